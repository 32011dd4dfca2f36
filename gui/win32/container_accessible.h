// The screen-reader objects of picture buttons. A window that paints image buttons of
// its own (a panel) gives them to readers as its children, in on-screen order, beside
// its child windows: each image button as a push button named by the label that
// captions it, each other label as static text. A flat button with a window of its own
// (a speed button) is one push button named by its tool tip.
#pragma once
#include <windows.h>

#include <oleacc.h>

#include <memory>

#include "gui/control.h"
#include "platform/win32/com.h"

namespace gui::win32 {

// What an object reads from; the peer clears it when it goes, so that a reader's object
// outliving it answers "not connected" instead of touching a control that is gone.
struct AccessibleLink {
  gui::Control* control = nullptr;
};

// A reader's "press" (lParam: the control), run after the reader's call has returned.
inline constexpr UINT kAccessibleClickMessage = WM_APP + 0x4A;
// Runs the click of `control` if it is `root` or a windowless control painted by it, and
// is enabled.
void RunAccessibleClick(gui::Control& root, LPARAM control);

// True when the container paints image buttons: only such windows answer readers with an
// object of their own; the others keep the system's.
bool ServesReaders(gui::Control& container);

platform::win32::ComPtr<IAccessible> CreateContainerAccessible(
    std::shared_ptr<AccessibleLink> container);
platform::win32::ComPtr<IAccessible> CreateSpeedButtonAccessible(
    std::shared_ptr<AccessibleLink> button);

// Tells readers of a change to a windowless control: a button enabled or disabled, a
// caption renamed, a control shown or hidden.
void AnnounceGraphicChange(const gui::Control& control, gui::Property property);

}  // namespace gui::win32
