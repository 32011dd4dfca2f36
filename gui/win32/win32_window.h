// What every Win32 peer shares, and what the grid's peer needs from the backend: the
// window of a control, DPI scaling of designed coordinates, the font cache, guarded calls.
#pragma once
#include <windows.h>

#include <functional>

#include "gui/control.h"
#include "gui/types.h"
#include "gui/win32/handles.h"

namespace gui::win32 {

HINSTANCE Instance();

// ---- DPI: designed coordinates are pixels at 96 DPI, scaled by dpi / 96 on screen ----
inline constexpr int kDesignDpi = 96;
int DpiOf(HWND hwnd);  // the window's DPI (96 when the system cannot tell)
int SystemDpi();
inline int Scale(int designed, int dpi) { return ::MulDiv(designed, dpi, kDesignDpi); }
inline int Unscale(int pixels, int dpi) { return ::MulDiv(pixels, kDesignDpi, dpi); }
RECT ScaleRect(const gui::Rect& designed, int dpi);   // to a RECT in pixels
gui::Rect UnscaleRect(const RECT& pixels, int dpi);   // back to designed coordinates

inline COLORREF ToColorRef(gui::Color color) { return RGB(color.r, color.g, color.b); }

// ---- fonts and brushes, created once per value and kept for the whole run ----
// lfHeight = -height scaled by the DPI for pixel heights, -MulDiv(pt, dpi, 72) for points.
HFONT FontFor(const gui::Font& font, int dpi);
HBRUSH BrushFor(gui::Color color);

// WM_SETCURSOR while the busy pointer shows: sets it and returns true (the message is
// then answered TRUE); otherwise false and the window sets its own pointer.
bool ShowBusyCursorIfBusy();

// Sets the input method of a window that just got the focus (imm32); nothing when the
// system has no input method for it.
void ApplyImeMode(HWND hwnd, gui::ImeMode mode);
// Whether the input method of the window is composing a text (an unconfirmed string is
// open): the keys then are the input method's (Esc, F6 to F10, Enter).
bool InputMethodComposing(HWND hwnd);

// Runs a handler of the program; an escaping exception becomes the error report.
void RunGuarded(const std::function<void()>& handler);

// ---- the peer of a child control that has its own window ----
class WindowPeer : public gui::ControlPeer {
 public:
  explicit WindowPeer(gui::Control& control);
  ~WindowPeer() override;
  WindowPeer(const WindowPeer&) = delete;
  WindowPeer& operator=(const WindowPeer&) = delete;

  HWND Handle() const { return hwnd_; }
  gui::Control& Owner() const { return control_; }
  int Dpi() const { return hwnd_ != nullptr ? DpiOf(hwnd_) : SystemDpi(); }

  // Bounds, visibility, enabled state, font and focus are handled here; every property
  // (these included) then reaches OnPropertyChanged.
  void PropertyChanged(gui::Property property) final;

  // Re-applies bounds and font (after the window moved to a monitor of another DPI).
  virtual void ApplyDpi();

  // After the window's own handling of WM_SETFOCUS.
  virtual void OnFocusReceived() {}

  // Notifications the parent window receives for this child, forwarded to its peer.
  virtual void OnCommand(WORD code) { (void)code; }
  virtual bool OnNotify(NMHDR* header, LRESULT& result) { (void)header; (void)result; return false; }
  // WM_CTLCOLOR*: a brush to paint the background with, or nullptr for the default.
  virtual HBRUSH OnControlColor(HDC dc) { (void)dc; return nullptr; }

  // The peer of a window created by this backend, or nullptr.
  static WindowPeer* FromHandle(HWND hwnd);

 protected:
  // Creates the child window at the control's place (parent: the nearest ancestor with a
  // window), then attaches it.
  HWND CreateChild(const wchar_t* className, DWORD style, DWORD exStyle, HWND parent,
                   const wchar_t* text = L"");
  // Takes ownership of a created window: subclasses it, applies the control's bounds,
  // font, visibility and enabled state, and puts it above the siblings created before.
  void AttachWindow(HWND hwnd);

  virtual void OnPropertyChanged(gui::Property property) { (void)property; }
  // Messages of the window itself (subclass). Set `handled` to keep them from the
  // window's own procedure.
  virtual LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    (void)message; (void)wParam; (void)lParam; (void)handled;
    return 0;
  }
  // The window's rectangle within its parent window, in pixels.
  RECT PixelBounds() const;
  RECT PixelBoundsAt(int dpi) const;
  // Extra height the window gets beyond the control's (a drop-down list).
  virtual int ExtraPixelHeight() const { return 0; }
  virtual bool UsesFont() const { return true; }

  void ApplyBounds();
  void ApplyFont();

 private:
  static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR id, DWORD_PTR data);
  void Detach();
  bool HasFocus() const;
  void HandFocusOn();

  gui::Control& control_;
  HWND hwnd_ = nullptr;
};

// The window of a control's peer (a child control or a form), or nullptr.
HWND WindowOf(const gui::Control& control);

// The nearest ancestor that has a window, and the control's offset from it in designed
// pixels (controls without windows, such as labels, lie in their parent's window).
const gui::Control* WindowedAncestor(const gui::Control& control, int& offsetX, int& offsetY);

}  // namespace gui::win32
