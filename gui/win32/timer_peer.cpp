// Window timers: ticks arrive as WM_TIMER on the form's window, on the UI thread.
#include <map>

#include "gui/controls.h"
#include "gui/win32/form_window.h"
#include "gui/win32/win32_window.h"

namespace gui::win32 {

namespace {

struct TimerEntry {
  gui::Timer* timer;
  bool ticking;  // its handler is running (it may process messages meanwhile)
};

std::map<UINT_PTR, TimerEntry>& Timers() {
  static std::map<UINT_PTR, TimerEntry> timers;
  return timers;
}

UINT_PTR NextTimerId() {
  static UINT_PTR next = 0x5000;
  return ++next;
}

class TimerPeer : public gui::Timer::Peer {
 public:
  TimerPeer(gui::Timer& timer, HWND window) : timer_(timer), window_(window), id_(NextTimerId()) {
    Timers()[id_] = TimerEntry{&timer, false};
    EnabledChanged();
  }
  ~TimerPeer() override {
    if (::IsWindow(window_)) ::KillTimer(window_, id_);
    Timers().erase(id_);
  }
  void EnabledChanged() override {
    if (timer_.Enabled()) {
      const UINT interval = timer_.interval > 0 ? static_cast<UINT>(timer_.interval) : 1;
      ::SetTimer(window_, id_, interval, nullptr);
    } else {
      ::KillTimer(window_, id_);
    }
  }

 private:
  gui::Timer& timer_;
  HWND window_;
  UINT_PTR id_;
};

}  // namespace

void AttachTimer(gui::Timer& timer, HWND window) {
  timer.AttachPeer(std::make_unique<TimerPeer>(timer, window));
}

bool FireTimer(UINT_PTR id) {
  auto found = Timers().find(id);
  if (found == Timers().end()) return false;
  // A tick never starts inside the same timer's previous tick, and a tick still queued
  // when the timer was stopped is dropped.
  if (found->second.ticking || !found->second.timer->Enabled()) return true;
  found->second.ticking = true;
  gui::Timer* timer = found->second.timer;
  RunGuarded([timer] { timer->Fire(); });
  // The handler may have ended the timer (and its entry) meanwhile.
  found = Timers().find(id);
  if (found != Timers().end()) found->second.ticking = false;
  return true;
}

}  // namespace gui::win32
