// Creates the real windows of a form and of every control in it.
#include <set>

#include "gui/application.h"
#include "gui/controls.h"
#include "gui/win32/form_window.h"
#include "gui/win32/graphic_controls.h"
#include "gui/win32/grid_peer.h"
#include "gui/win32/peers.h"
#include "gui/win32/win32_window.h"

namespace gui::win32 {

namespace {

// The form as a control: its changes go to its window.
class FormControlPeer : public gui::ControlPeer {
 public:
  explicit FormControlPeer(gui::Form& form) : form_(form) {}
  void PropertyChanged(gui::Property property) override {
    if (auto* window = dynamic_cast<FormWindow*>(form_.FormPeerPtr()))
      window->FormPropertyChanged(property);
  }

 private:
  gui::Form& form_;
};

std::set<HWND> ChildWindows(HWND parent) {
  std::set<HWND> children;
  for (HWND child = ::GetWindow(parent, GW_CHILD); child != nullptr;
       child = ::GetWindow(child, GW_HWNDNEXT))
    children.insert(child);
  return children;
}

std::unique_ptr<gui::ControlPeer> CreatePeer(gui::Control& control, HWND parentWindow) {
  if (auto* grid = dynamic_cast<gui::Grid*>(&control)) {
    const std::set<HWND> before = ChildWindows(parentWindow);
    auto peer = CreateGridPeer(*grid, parentWindow);
    if (dynamic_cast<WindowPeer*>(peer.get()) == nullptr) {
      // A peer of its own making: still keep the creation order as the stacking order.
      for (HWND child : ChildWindows(parentWindow))
        if (before.count(child) == 0)
          ::SetWindowPos(child, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    return peer;
  }
  if (auto* panel = dynamic_cast<gui::Panel*>(&control)) return CreatePanelPeer(*panel, parentWindow);
  if (auto* button = dynamic_cast<gui::SpeedButton*>(&control))
    return CreateSpeedButtonPeer(*button, parentWindow);
  if (auto* edit = dynamic_cast<gui::Edit*>(&control)) return CreateEditPeer(*edit, parentWindow);
  if (auto* memo = dynamic_cast<gui::Memo*>(&control)) return CreateMemoPeer(*memo, parentWindow);
  if (auto* combo = dynamic_cast<gui::ComboBox*>(&control))
    return CreateComboBoxPeer(*combo, parentWindow);
  if (auto* list = dynamic_cast<gui::ListBox*>(&control)) return CreateListBoxPeer(*list, parentWindow);
  if (auto* view = dynamic_cast<gui::ListView*>(&control))
    return CreateListViewPeer(*view, parentWindow);
  // Labels, pictures, lines and plain controls are drawn by the window they lie in.
  return CreateGraphicPeer(control);
}

}  // namespace

void RealizeChildren(gui::Control& parent, HWND parentWindow) {
  for (gui::Control* child : parent.Children()) {
    if (child->Peer() != nullptr) continue;
    child->AttachPeer(CreatePeer(*child, parentWindow));
    HWND own = WindowOf(*child);
    RealizeChildren(*child, own != nullptr ? own : parentWindow);
  }
}

}  // namespace gui::win32

namespace gui {

void Realize(Form& form) {
  if (form.FormPeerPtr() != nullptr) return;
  auto window = std::make_unique<win32::FormWindow>(form);
  win32::FormWindow* created = window.get();
  form.AttachFormPeer(std::move(window));
  form.AttachPeer(std::make_unique<win32::FormControlPeer>(form));
  if (created->Handle() == nullptr) return;
  win32::RealizeChildren(form, created->Handle());
  created->AttachMenuAndTimers();
}

}  // namespace gui
