#include "gui/win32/window_classes.h"

#include <commctrl.h>

#include "gui/win32/win32_window.h"

namespace gui::win32 {

namespace {

void Register(const wchar_t* name, WNDPROC procedure, UINT style, HICON icon, HICON small) {
  WNDCLASSEXW description{};
  description.cbSize = sizeof(description);
  description.style = style;
  description.lpfnWndProc = procedure;
  description.hInstance = Instance();
  description.hIcon = icon;
  description.hIconSm = small;
  description.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  description.hbrBackground = nullptr;  // the peers paint their own background
  description.lpszClassName = name;
  ::RegisterClassExW(&description);
}

}  // namespace

void EnsureCommonControls() {
  static const bool done = [] {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES |
                                                        ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    return ::InitCommonControlsEx(&controls) != FALSE;
  }();
  (void)done;
}

const wchar_t* PanelClassName() {
  static const wchar_t* name = [] {
    // A double click on a picture button is one click, not two.
    Register(L"SoramitsuPanel", ::DefWindowProcW, CS_DBLCLKS, nullptr, nullptr);
    return L"SoramitsuPanel";
  }();
  return name;
}

const wchar_t* ButtonClassName() {
  static const wchar_t* name = [] {
    Register(L"SoramitsuSpeedButton", ::DefWindowProcW, 0, nullptr, nullptr);
    return L"SoramitsuSpeedButton";
  }();
  return name;
}

const wchar_t* FormClassName(WNDPROC procedure) {
  static const wchar_t* name = [procedure] {
    // The application icon is resource 1 of the executable.
    auto load = [](int width, int height) {
      return static_cast<HICON>(::LoadImageW(Instance(), MAKEINTRESOURCEW(1), IMAGE_ICON, width,
                                             height, LR_SHARED));
    };
    Register(L"SoramitsuForm", procedure, CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS,
             load(::GetSystemMetrics(SM_CXICON), ::GetSystemMetrics(SM_CYICON)),
             load(::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON)));
    return L"SoramitsuForm";
  }();
  return name;
}

}  // namespace gui::win32
