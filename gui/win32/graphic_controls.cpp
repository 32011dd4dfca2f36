#include "gui/win32/graphic_controls.h"

#include <commctrl.h>

#include <string>

#include "gui/accessible_text.h"
#include "gui/controls.h"
#include "gui/keys.h"
#include "gui/win32/bitmap_cache.h"
#include "gui/win32/color_scheme.h"
#include "gui/win32/container_accessible.h"
#include "gui/win32/win32_window.h"

namespace gui::win32 {

namespace {

constexpr UINT kLabelFormat = DT_LEFT | DT_TOP | DT_NOPREFIX | DT_EXPANDTABS;

std::wstring Wide(const gui::Text& text) { return std::wstring(text.begin(), text.end()); }

RECT LabelTextRect(HDC dc, const gui::Label& label, const RECT& box, int dpi) {
  RECT text = box;
  if (label.Caption().empty()) return box;
  ScopedSelect font(dc, FontFor(label.GetFont(), dpi));
  const std::wstring caption = Wide(label.Caption());
  ::DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &text,
              kLabelFormat | DT_CALCRECT);
  return text;
}

RECT Union(const RECT& a, const RECT& b) {
  RECT u{};
  ::UnionRect(&u, &a, &b);
  return u;
}

void PaintLabel(HDC dc, const gui::Label& label, const gui::Control& container, const RECT& box,
                int dpi, gui::Color under) {
  const RECT text = LabelTextRect(dc, label, box, dpi);
  if (!label.transparent) {
    const RECT area = Union(box, text);
    ::FillRect(dc, &area, BrushFor(under));
  }
  if (label.Caption().empty()) return;
  ScopedSelect font(dc, FontFor(label.GetFont(), dpi));
  ::SetBkMode(dc, TRANSPARENT);
  // A label over a picture keeps its colour in high contrast: the picture keeps its own.
  const gui::Color colour =
      label.transparent ? label.textColor : ContainerText(container, label.textColor);
  ::SetTextColor(dc, label.EnabledWithParents() ? ToColorRef(colour) : ::GetSysColor(COLOR_GRAYTEXT));
  RECT area = text;
  const std::wstring caption = Wide(label.Caption());
  ::DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &area,
              kLabelFormat | DT_NOCLIP);
}

void PaintShape(HDC dc, const gui::Shape& shape, const gui::Control& container, const RECT& box) {
  if (!shape.bottomRule) {
    ::FillRect(dc, &box, BrushFor(ContainerText(container, shape.lineColor)));
    return;
  }
  // A lowered rule: a shadow line over a highlight line at the bottom of the box.
  if (box.bottom - box.top < 2) return;
  RECT shadow{box.left, box.bottom - 2, box.right, box.bottom - 1};
  RECT light{box.left, box.bottom - 1, box.right, box.bottom};
  ::FillRect(dc, &shadow, ::GetSysColorBrush(COLOR_BTNSHADOW));
  ::FillRect(dc, &light, ::GetSysColorBrush(COLOR_BTNHIGHLIGHT));
}

void PaintImage(HDC dc, const gui::Image& image, const RECT& box, int dpi) {
  const LoadedBitmap* picture = BitmapResource(image.resourceName);
  if (picture == nullptr) return;
  ScopedDcState state(dc);
  ::IntersectClipRect(dc, box.left, box.top, box.right, box.bottom);
  RECT destination = box;
  if (!image.stretch) {
    destination.right = box.left + Scale(picture->width, dpi);
    destination.bottom = box.top + Scale(picture->height, dpi);
  }
  if (image.transparent) DrawBitmapTransparent(dc, *picture, destination);
  else DrawBitmap(dc, *picture, destination);
}

class GraphicPeer : public gui::ControlPeer {
 public:
  explicit GraphicPeer(gui::Control& control) : control_(control) {
    HWND hwnd = nullptr;
    if (const gui::Control* container = Container(hwnd)) {
      last_ = Area(*container, hwnd);
      hasLast_ = true;
      UpdateToolTip(*container, hwnd);
    }
  }
  void PropertyChanged(gui::Property property) override {
    HWND hwnd = nullptr;
    const gui::Control* container = Container(hwnd);
    if (container == nullptr) return;
    const RECT now = Area(*container, hwnd);
    if (hasLast_) ::InvalidateRect(hwnd, &last_, FALSE);
    ::InvalidateRect(hwnd, &now, FALSE);
    last_ = now;
    hasLast_ = true;
    UpdateToolTip(*container, hwnd);
    AnnounceGraphicChange(control_, property);
  }

 private:
  // The window that paints this control, or nullptr while there is none.
  const gui::Control* Container(HWND& hwnd) const {
    int dx = 0, dy = 0;
    const gui::Control* container = WindowedAncestor(control_, dx, dy);
    hwnd = container != nullptr ? WindowOf(*container) : nullptr;
    return hwnd != nullptr ? container : nullptr;
  }
  RECT Area(const gui::Control& container, HWND hwnd) const {
    HDC dc = ::GetDC(hwnd);
    const RECT area = PaintedArea(control_, container, dc, DpiOf(hwnd));
    if (dc != nullptr) ::ReleaseDC(hwnd, dc);
    return area;
  }

  // An image button with a key gets a tool tip that tells it: "保存 (Ctrl+S)". The tip
  // covers the button's box in the window that paints it, and is off while it is hidden.
  void UpdateToolTip(const gui::Control& container, HWND hwnd) {
    auto* image = dynamic_cast<const gui::Image*>(&control_);
    if (image == nullptr || (image->KeyboardShortcut().empty() && tip_.Get() == nullptr)) return;
    const gui::Text name = CaptionReading(image->captionLabel != nullptr
                                              ? image->captionLabel->Caption()
                                              : image->Caption());
    const gui::Text text = gui::WithKeyboardShortcut(name, image->KeyboardShortcut());
    TTTOOLINFOW tool{};
    // The older structure size: accepted by every version of the common controls.
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.uFlags = TTF_SUBCLASS;
    tool.hwnd = hwnd;
    tool.uId = 1;
    tool.rect = BoxInContainer(control_, container, DpiOf(hwnd));
    tipText_.assign(text.begin(), text.end());
    tool.lpszText = tipText_.data();
    if (tip_.Get() == nullptr) {
      tip_.Reset(::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                   WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                   ::GetAncestor(hwnd, GA_ROOT), nullptr, Instance(), nullptr));
      if (tip_.Get() == nullptr) return;
      ::SendMessageW(tip_.Get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    } else {
      ::SendMessageW(tip_.Get(), TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
      ::SendMessageW(tip_.Get(), TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    const bool on = !image->KeyboardShortcut().empty() && ShownWithin(control_, container);
    ::SendMessageW(tip_.Get(), TTM_ACTIVATE, on ? TRUE : FALSE, 0);
  }

  gui::Control& control_;
  RECT last_{};
  bool hasLast_ = false;
  OwnedWindow tip_;
  std::wstring tipText_;
};

}  // namespace

bool IsGraphic(const gui::Control& control) {
  return dynamic_cast<const gui::Label*>(&control) != nullptr ||
         dynamic_cast<const gui::Image*>(&control) != nullptr ||
         dynamic_cast<const gui::Shape*>(&control) != nullptr;
}

namespace {

void Collect(gui::Control& parent, std::vector<gui::Control*>& out) {
  for (gui::Control* child : parent.Children()) {
    if (!IsGraphic(*child)) continue;
    out.push_back(child);
    Collect(*child, out);
  }
}

}  // namespace

std::vector<gui::Control*> GraphicControlsOf(gui::Control& container) {
  std::vector<gui::Control*> controls;
  Collect(container, controls);
  return controls;
}

bool ShownWithin(const gui::Control& control, const gui::Control& container) {
  for (const gui::Control* c = &control; c != nullptr && c != &container; c = c->Parent())
    if (!c->Visible()) return false;
  return true;
}

RECT BoxInContainer(const gui::Control& control, const gui::Control& container, int dpi) {
  gui::Rect box = control.Bounds();
  for (const gui::Control* p = control.Parent(); p != nullptr && p != &container; p = p->Parent()) {
    box.left += p->Left();
    box.top += p->Top();
  }
  return ScaleRect(box, dpi);
}

RECT PaintedArea(const gui::Control& control, const gui::Control& container, HDC measure,
                 int dpi) {
  const RECT box = BoxInContainer(control, container, dpi);
  if (auto* label = dynamic_cast<const gui::Label*>(&control); label != nullptr && measure != nullptr)
    return Union(box, LabelTextRect(measure, *label, box, dpi));
  return box;
}

void PaintGraphic(HDC dc, const gui::Control& control, const gui::Control& container, int dpi,
                  gui::Color under) {
  const RECT box = BoxInContainer(control, container, dpi);
  if (auto* label = dynamic_cast<const gui::Label*>(&control)) {
    PaintLabel(dc, *label, container, box, dpi, under);
  } else if (auto* image = dynamic_cast<const gui::Image*>(&control)) {
    PaintImage(dc, *image, box, dpi);
  } else if (auto* shape = dynamic_cast<const gui::Shape*>(&control)) {
    PaintShape(dc, *shape, container, box);
  }
}

std::unique_ptr<gui::ControlPeer> CreateGraphicPeer(gui::Control& control) {
  return std::make_unique<GraphicPeer>(control);
}

}  // namespace gui::win32
