#include "shortcut/win32/window_actions.h"

#include <commctrl.h>

#include "gui/application.h"

namespace shortcut::win32 {

namespace {

constexpr UINT_PTR kPaintHookId = 1;

HWND HandleOf(gui::Form& form) { return static_cast<HWND>(form.NativeHandle()); }

}  // namespace

void Win32WindowActions::RaiseToTopmost(gui::Form& form) {
  if (HWND hwnd = HandleOf(form)) {
    ::SetWindowPos(hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  }
}

void Win32WindowActions::PostCloseRequest(gui::Form& form) {
  HWND hwnd = HandleOf(form);
  if (hwnd == nullptr || !::PostMessageW(hwnd, WM_CLOSE, 0, 0)) {
    throw core::AppError(u"ウィンドウを閉じられません");
  }
}

PaintHook::PaintHook(TMainForm& form) : form_(form), hwnd_(HandleOf(form)) {
  if (hwnd_ != nullptr &&
      !::SetWindowSubclass(hwnd_, &PaintHook::Procedure, kPaintHookId,
                           reinterpret_cast<DWORD_PTR>(this))) {
    hwnd_ = nullptr;
  }
}

PaintHook::~PaintHook() {
  // The window may already be gone; then its subclass went with it.
  if (hwnd_ != nullptr && ::IsWindow(hwnd_)) {
    ::RemoveWindowSubclass(hwnd_, &PaintHook::Procedure, kPaintHookId);
  }
}

LRESULT CALLBACK PaintHook::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR, DWORD_PTR data) {
  auto* self = reinterpret_cast<PaintHook*>(data);
  if (message == WM_PAINT) {
    // Nothing thrown by a handler may leave the window procedure.
    gui::Guarded([self] { self->form_.FormPaint(); });
  } else if (message == WM_NCDESTROY) {
    ::RemoveWindowSubclass(hwnd, &PaintHook::Procedure, kPaintHookId);
    self->hwnd_ = nullptr;
  }
  return ::DefSubclassProc(hwnd, message, wParam, lParam);
}

}  // namespace shortcut::win32
