// What forms and panels share as windows that hold other controls: painting their
// background and graphic controls, clicks and the hand cursor over those, and handing
// the notifications of child windows to the children's peers.
#pragma once
#include <windows.h>

#include <functional>
#include <memory>

#include "gui/control.h"
#include "gui/win32/container_accessible.h"

namespace gui::win32 {

class Container {
 public:
  Container(gui::Control& control, std::function<gui::Color()> background)
      : control_(control),
        background_(std::move(background)),
        link_(std::make_shared<AccessibleLink>(AccessibleLink{&control})) {}
  // A reader's object of the window may live on; it then finds nothing to read.
  ~Container() { link_->control = nullptr; }
  Container(const Container&) = delete;
  Container& operator=(const Container&) = delete;

  // True when the message was handled; `result` is then its answer.
  bool HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

 private:
  void Paint(HWND hwnd, HDC target, const RECT& area);
  gui::Control* GraphicAt(HWND hwnd, POINT client);

  gui::Control& control_;
  std::function<gui::Color()> background_;
  gui::Control* pressed_ = nullptr;
  std::shared_ptr<AccessibleLink> link_;
  platform::win32::ComPtr<IAccessible> accessible_;  // made at the first reader's request
};

}  // namespace gui::win32
