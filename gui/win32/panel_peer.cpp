#include "gui/win32/container.h"
#include "gui/win32/peers.h"
#include "gui/win32/window_classes.h"
#include "gui/win32/win32_window.h"

namespace gui::win32 {

namespace {

class PanelPeer : public WindowPeer {
 public:
  PanelPeer(gui::Panel& panel, HWND parent)
      : WindowPeer(panel), container_(panel, [&panel] { return panel.GetColor(); }) {
    CreateChild(PanelClassName(), WS_CLIPCHILDREN, WS_EX_CONTROLPARENT, parent);
  }

 protected:
  bool UsesFont() const override { return false; }
  void OnPropertyChanged(gui::Property property) override {
    if ((property == gui::Property::Color || property == gui::Property::Enabled) && Handle())
      ::InvalidateRect(Handle(), nullptr, FALSE);
  }
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override {
    LRESULT result = 0;
    handled = container_.HandleMessage(Handle(), message, wParam, lParam, result);
    return result;
  }

 private:
  Container container_;
};

}  // namespace

std::unique_ptr<gui::ControlPeer> CreatePanelPeer(gui::Panel& panel, HWND parent) {
  return std::make_unique<PanelPeer>(panel, parent);
}

}  // namespace gui::win32
