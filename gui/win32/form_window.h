// The top-level window of a form.
#pragma once
#include <windows.h>

#include <memory>

#include "gui/form.h"
#include "gui/win32/container.h"
#include "gui/win32/menu_bar.h"

namespace gui::win32 {

class FormWindow : public gui::FormPeer {
 public:
  explicit FormWindow(gui::Form& form);
  ~FormWindow() override;
  FormWindow(const FormWindow&) = delete;
  FormWindow& operator=(const FormWindow&) = delete;

  void Show() override;
  void ShowModal() override;
  void Destroy() override;
  void* NativeHandle() const override { return hwnd_; }
  gui::Rect RestoredFrame() const override;
  bool IsMinimized() const override;
  void ClientSizeChanged() override;

  HWND Handle() const { return hwnd_; }
  gui::Form& Owner() const { return form_; }
  // A property of the form as a control changed (bounds, caption, enabled...).
  void FormPropertyChanged(gui::Property property);
  // Called by Realize once the child windows exist.
  void AttachMenuAndTimers();
  // Moves the keyboard focus to the next (or previous) control that takes it.
  void MoveFocus(bool forward);
  void FocusFirstControl();
  // A key going to a window of this form, before it is translated and dispatched: Tab
  // between controls, then the form's own keys (Form::onKey). True when it was used.
  bool PreTranslateKey(const MSG& message);

  static FormWindow* FromHandle(HWND hwnd);

 private:
  static LRESULT CALLBACK WindowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  DWORD Style() const;
  DWORD ExStyle() const;
  RECT InitialFrame(HWND owner) const;
  void ApplyBounds();
  void ApplyClientSize();
  void ReportFrame();
  void ApplyDpiToChildren();
  // The form's control whose window is `hwnd` or holds it (the edit part of a drop-down
  // box), or the form itself.
  gui::Control* ControlOf(HWND hwnd) const;

  gui::Form& form_;
  HWND hwnd_ = nullptr;
  Container container_;
  std::unique_ptr<MenuBar> menuBar_;
  HWND lastFocus_ = nullptr;
  HWND modalOwner_ = nullptr;
  bool modal_ = false;
  bool shown_ = false;
  bool sizeFromClient_ = false;
  // The frame last seen while maximised (screen pixels): what a window minimised from
  // the maximised state gets back when restored.
  RECT maximizedFrame_{};
  bool hasMaximizedFrame_ = false;
  // Cleared when this object goes, so that a modal loop notices a form deleted under it.
  std::shared_ptr<bool> alive_;
};

// The window a message box belongs to: the active form, else the newest open form.
HWND DefaultOwnerWindow();

// Keyboard handling before a message is dispatched (Tab between controls, the form's
// keys). True when the message was used up.
bool PreTranslateMessage(const MSG& message);

// Timers (timer_peer.cpp).
void AttachTimer(gui::Timer& timer, HWND window);
bool FireTimer(UINT_PTR id);

// Creates the peers of a control and of everything inside it (realize.cpp).
void RealizeChildren(gui::Control& parent, HWND parentWindow);

}  // namespace gui::win32
