// The monitors' work areas, for the check that a window can be seen at all.
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

}  // namespace gui
