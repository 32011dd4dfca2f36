#include "gui/form.h"

#include "gui/application.h"

namespace gui {

Form::Form() : Control(nullptr) {}

Form::~Form() {
  // The window goes before the state it shows.
  formPeer_.reset();
}

void Form::SetClientSize(int width, int height) {
  sizeGiven_ = false;
  if (width == clientWidth_ && height == clientHeight_) return;
  clientWidth_ = width;
  clientHeight_ = height;
  if (formPeer_) formPeer_->ClientSizeChanged();
}

Rect Form::StoredFrame() const {
  if (formPeer_ && formPeer_->IsMinimized()) return formPeer_->RestoredFrame();
  return Bounds();
}

void Form::ShowWindow() {
  if (closed_) return;
  if (formPeer_) formPeer_->Show();
  RunShowEvent();
}

void Form::ShowModal() {
  if (closed_) return;
  BusyCursorPause pause;
  if (formPeer_) {
    formPeer_->ShowModal();
    return;
  }
  // Without a backend window nobody could ever interact: show and close at once.
  RunShowEvent();
  Close();
}

void Form::RunShowEvent() {
  if (onShow) onShow();
}

bool Form::Close() {
  if (closed_) return true;
  if (closeQueryRunning_) return false;
  bool canClose = true;
  if (onCloseQuery) {
    closeQueryRunning_ = true;
    try {
      onCloseQuery(canClose);
    } catch (...) {
      closeQueryRunning_ = false;
      throw;
    }
    closeQueryRunning_ = false;
  }
  if (!canClose || closed_) return closed_;
  // Mark first: a close that arrives while onClose runs must not run it twice.
  closed_ = true;
  if (onClose) onClose();
  if (formPeer_) formPeer_->Destroy();
  return true;
}

bool Form::KeyPressed(const KeyStroke& stroke, Control* focus) {
  return onKey && onKey(stroke, focus);
}

void Form::AttachFormPeer(std::unique_ptr<FormPeer> peer) { formPeer_ = std::move(peer); }

void Form::FrameChangedByUser(Rect frame, Rect restoredFrame) {
  restoredFrame_ = restoredFrame;
  hasRestoredFrame_ = true;
  StoreBounds(frame);
}

void Form::ClientChangedByUser(int width, int height) {
  clientWidth_ = width;
  clientHeight_ = height;
}

void* Form::NativeHandle() const { return formPeer_ ? formPeer_->NativeHandle() : nullptr; }

void Form::SizeRequested() { sizeGiven_ = true; }

void Form::BoundsSet(const Rect& previous) {
  if (previous.width != Width() || previous.height != Height()) BoundsChanged();
}

void Form::BoundsChanged() {
  if (onResize) onResize();
}

}  // namespace gui
