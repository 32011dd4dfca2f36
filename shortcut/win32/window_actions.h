// The installer window's Win32 side: the topmost raise, the posted close request, and the
// hook that runs the form's paint handler on every WM_PAINT.
#pragma once
#include <windows.h>

#include "shortcut/installer_form.h"

namespace shortcut::win32 {

class Win32WindowActions : public WindowActions {
 public:
  void RaiseToTopmost(gui::Form& form) override;
  // Throws core::AppError when the window has no handle or the request cannot be queued.
  void PostCloseRequest(gui::Form& form) override;
};

// Runs `form.FormPaint()` before each paint of the form's window, for as long as it lives.
class PaintHook {
 public:
  explicit PaintHook(TMainForm& form);
  ~PaintHook();
  PaintHook(const PaintHook&) = delete;
  PaintHook& operator=(const PaintHook&) = delete;

 private:
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                    UINT_PTR id, DWORD_PTR data);
  TMainForm& form_;
  HWND hwnd_ = nullptr;
};

}  // namespace shortcut::win32
