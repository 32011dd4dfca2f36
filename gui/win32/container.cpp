#include "gui/win32/container.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "gui/controls.h"
#include "gui/win32/accessible_object.h"
#include "gui/win32/color_scheme.h"
#include "gui/win32/graphic_controls.h"
#include "gui/win32/win32_window.h"

namespace gui::win32 {

gui::Control* Container::GraphicAt(HWND hwnd, POINT client) {
  const int dpi = DpiOf(hwnd);
  auto controls = GraphicControlsOf(control_);
  // The one painted last lies on top.
  for (auto it = controls.rbegin(); it != controls.rend(); ++it) {
    if (!ShownWithin(**it, control_)) continue;
    const RECT box = BoxInContainer(**it, control_, dpi);
    if (::PtInRect(&box, client)) return *it;
  }
  return nullptr;
}

void Container::Paint(HWND hwnd, HDC target, const RECT& area) {
  RECT client{};
  ::GetClientRect(hwnd, &client);
  RECT part{};
  if (!::IntersectRect(&part, &area, &client)) return;
  const int width = part.right - part.left;
  const int height = part.bottom - part.top;
  const int dpi = DpiOf(hwnd);
  const gui::Color under = ContainerBackground(control_, background_());

  // Painted off screen first, so that a picture under a label never flickers. The
  // buffer covers only the part to paint; its origin is moved to that part's corner.
  OwnedMemoryDc buffer(target);
  OwnedBitmap bitmap(::CreateCompatibleBitmap(target, width, height));
  HDC dc = target;
  std::unique_ptr<ScopedSelect> selection;
  if (buffer.Get() != nullptr && bitmap) {
    selection = std::make_unique<ScopedSelect>(buffer.Get(), bitmap.Get());
    dc = buffer.Get();
    ::SetViewportOrgEx(dc, -part.left, -part.top, nullptr);
  }
  ::FillRect(dc, &part, BrushFor(under));
  for (gui::Control* control : GraphicControlsOf(control_)) {
    if (!ShownWithin(*control, control_)) continue;
    const RECT box = BoxInContainer(*control, control_, dpi);
    RECT overlap{};
    // Labels may draw past their box; everything else stays inside it.
    if (dynamic_cast<gui::Label*>(control) == nullptr && !::IntersectRect(&overlap, &box, &part))
      continue;
    ScopedDcState state(dc);
    PaintGraphic(dc, *control, control_, dpi, under);
  }
  if (dc != target) {
    ::SetViewportOrgEx(dc, 0, 0, nullptr);
    ::BitBlt(target, part.left, part.top, width, height, dc, 0, 0, SRCCOPY);
  }
}

bool Container::HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                              LRESULT& result) {
  switch (message) {
    case WM_ERASEBKGND:
      result = 1;  // WM_PAINT paints everything
      return true;
    case WM_PAINT: {
      PAINTSTRUCT ps{};
      HDC dc = ::BeginPaint(hwnd, &ps);
      if (dc != nullptr) Paint(hwnd, dc, ps.rcPaint);
      ::EndPaint(hwnd, &ps);
      result = 0;
      return true;
    }
    case WM_PRINTCLIENT: {
      RECT client{};
      ::GetClientRect(hwnd, &client);
      Paint(hwnd, reinterpret_cast<HDC>(wParam), client);
      result = 0;
      return true;
    }
    case WM_LBUTTONDOWN: {
      const POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
      gui::Control* hit = GraphicAt(hwnd, at);
      if (hit != nullptr && hit->EnabledWithParents()) {
        pressed_ = hit;
        ::SetCapture(hwnd);
      }
      result = 0;
      return true;
    }
    case WM_LBUTTONDBLCLK:
      // The second press of a double click: the first one already made the click.
      result = 0;
      return true;
    case WM_LBUTTONUP: {
      gui::Control* pressed = std::exchange(pressed_, nullptr);
      if (::GetCapture() == hwnd) ::ReleaseCapture();
      if (pressed == nullptr) return false;
      const POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
      // A click is a press and a release on the same control, as with buttons.
      if (GraphicAt(hwnd, at) == pressed) RunGuarded([pressed] { pressed->Click(); });
      result = 0;
      return true;
    }
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(lParam) != hwnd) pressed_ = nullptr;
      return false;
    case WM_SETCURSOR: {
      if (ShowBusyCursorIfBusy()) {
        result = TRUE;
        return true;
      }
      if (reinterpret_cast<HWND>(wParam) != hwnd || LOWORD(lParam) != HTCLIENT) return false;
      POINT at{};
      ::GetCursorPos(&at);
      ::ScreenToClient(hwnd, &at);
      gui::Control* hit = GraphicAt(hwnd, at);
      auto* image = dynamic_cast<gui::Image*>(hit);
      auto* label = dynamic_cast<gui::Label*>(hit);
      const bool wantsHand = (image != nullptr && image->handCursor) ||
                             (label != nullptr && label->handCursor);
      const bool hand = wantsHand && hit->EnabledWithParents();
      ::SetCursor(::LoadCursorW(nullptr, hand ? IDC_HAND : IDC_ARROW));
      result = TRUE;
      return true;
    }
    case WM_COMMAND: {
      if (lParam == 0) return false;  // menus and accelerators: the form's
      WindowPeer* child = WindowPeer::FromHandle(reinterpret_cast<HWND>(lParam));
      if (child == nullptr) return false;
      const WORD code = HIWORD(wParam);
      RunGuarded([child, code] { child->OnCommand(code); });
      result = 0;
      return true;
    }
    case WM_GETOBJECT: {
      if (!ServesReaders(control_)) return false;
      if (!accessible_) accessible_ = CreateContainerAccessible(link_);
      result = AnswerGetObject(wParam, lParam, accessible_.get());
      return result != 0;
    }
    case kAccessibleClickMessage:
      RunAccessibleClick(control_, lParam);
      result = 0;
      return true;
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lParam);
      WindowPeer* child = header != nullptr ? WindowPeer::FromHandle(header->hwndFrom) : nullptr;
      if (child == nullptr) return false;
      bool handled = false;
      RunGuarded([&] { handled = child->OnNotify(header, result); });
      return handled;
    }
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN: {
      WindowPeer* child = WindowPeer::FromHandle(reinterpret_cast<HWND>(lParam));
      if (child == nullptr) return false;
      HBRUSH brush = child->OnControlColor(reinterpret_cast<HDC>(wParam));
      if (brush == nullptr) return false;
      result = reinterpret_cast<LRESULT>(brush);
      return true;
    }
    default:
      return false;
  }
}

}  // namespace gui::win32
