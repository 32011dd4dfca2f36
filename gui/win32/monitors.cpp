// The monitors' work areas and the title bar's place, for the check that a window can be
// seen and moved at all.
#include "gui/application.h"
#include "gui/win32/win32_window.h"

namespace gui {

std::vector<Rect> MonitorWorkAreas() {
  std::vector<Rect> areas;
  ::EnumDisplayMonitors(
      nullptr, nullptr,
      [](HMONITOR monitor, HDC, LPRECT, LPARAM data) -> BOOL {
        MONITORINFO info{};
        info.cbSize = sizeof(info);
        if (::GetMonitorInfoW(monitor, &info)) {
          // Frames are designed at 96 DPI and placed with the system's DPI.
          reinterpret_cast<std::vector<Rect>*>(data)->push_back(
              win32::UnscaleRect(info.rcWork, win32::SystemDpi()));
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&areas));
  return areas;
}

Rect TitleBarGrip(const Rect& frame) {
  // The system's measures at its DPI, brought to the frames' 96 DPI.
  const int dpi = win32::SystemDpi();
  auto measure = [dpi](int index) { return win32::Unscale(::GetSystemMetrics(index), dpi); };
  const int padding = measure(SM_CXPADDEDBORDER);
  const int side = measure(SM_CXSIZEFRAME) + padding;
  const int top = measure(SM_CYSIZEFRAME) + padding;
  const int icon = measure(SM_CXSMICON) + measure(SM_CXEDGE) * 2;
  const int buttons = 3 * measure(SM_CXSIZE);
  return {frame.left + side + icon, frame.top + top, frame.width - 2 * side - icon - buttons,
          measure(SM_CYCAPTION)};
}

}  // namespace gui
