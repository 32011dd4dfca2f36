#pragma once
#include <functional>
#include <memory>
#include "gui/control.h"
#include "gui/controls.h"
#include "gui/keys.h"
#include "gui/menu.h"

namespace gui {

class FormPeer;

// A top-level window. Bounds() is the outer frame in screen pixels.
class Form : public Control {
 public:
  Form();
  ~Form() override;

  Rect ClientSize() const { return {0, 0, clientWidth_, clientHeight_}; }
  void SetClientSize(int width, int height);
  // Whether the program gave the outer size (SetWidth, SetHeight or SetBounds, any value,
  // zero and below included) after the last SetClientSize. Otherwise the window's first
  // size comes from the client size.
  bool SizeGiven() const { return sizeGiven_; }
  bool resizable = true;
  bool centerOnScreen = false;
  Color background = kWhite;
  MainMenu* menu = nullptr;
  std::vector<Timer*> timers;  // timers that tick on this window

  // The frame the window has when restored (differs while minimised); what gets stored.
  Rect StoredFrame() const;

  void ShowWindow();   // shows the window and runs onShow
  // Returns when the form has closed. Call gui::Realize(form) first: without a backend
  // window the form runs onShow and closes at once.
  void ShowModal();
  // Runs onCloseQuery; when it allows, the window closes (onClose, then destroyed).
  // Returns true when the window closed. A close asked for while the query still runs
  // (it may process messages) is refused: the query never runs inside itself.
  bool Close();
  bool IsClosed() const { return closed_; }

  // Window events. onResize runs on every change of the outer size.
  std::function<void()> onShow;
  std::function<void()> onResize;
  std::function<void(bool& canClose)> onCloseQuery;
  std::function<void()> onClose;
  // Log-off or shutdown query: the answer is whether the session may end.
  std::function<bool()> onQueryEndSession;
  // The session ends for certain: the process is ended right after this returns, so what
  // must reach the disk is written here.
  std::function<void()> onEndSession;

  // A key pressed while the form is active, before the control with the keyboard focus
  // (`focus`: the form itself or one of its controls; nullptr when unknown) gets it. True:
  // the key was used, and the control does not get it. The backend keeps back the keys of
  // an input method that is composing and those of an open drop-down list.
  std::function<bool(const KeyStroke& stroke, Control* focus)> onKey;
  // From the backend, or a test pressing a key: runs onKey.
  bool KeyPressed(const KeyStroke& stroke, Control* focus);

  // Backend hooks.
  FormPeer* FormPeerPtr() const { return formPeer_.get(); }
  void AttachFormPeer(std::unique_ptr<FormPeer> peer);
  // From the backend: the window's frame changed (onResize runs when its size did).
  void FrameChangedByUser(Rect frame, Rect restoredFrame);
  void ClientChangedByUser(int width, int height);
  void RunShowEvent();  // runs onShow (the backend's modal show)
  void MarkClosed() { closed_ = true; }
  void* NativeHandle() const;  // the HWND, or nullptr headless

 protected:
  void BoundsChanged();  // runs onResize
  void BoundsSet(const Rect& previous) override;
  void SizeRequested() override;

 private:
  std::unique_ptr<FormPeer> formPeer_;
  int clientWidth_ = 0;
  int clientHeight_ = 0;
  Rect restoredFrame_;
  bool hasRestoredFrame_ = false;
  bool sizeGiven_ = false;
  bool closed_ = false;
  bool closeQueryRunning_ = false;
};

class FormPeer {
 public:
  virtual ~FormPeer() = default;
  virtual void Show() = 0;
  virtual void ShowModal() = 0;
  virtual void Destroy() = 0;
  virtual void* NativeHandle() const = 0;
  virtual Rect RestoredFrame() const = 0;
  virtual bool IsMinimized() const { return false; }
  virtual void ClientSizeChanged() {}
};

}  // namespace gui
