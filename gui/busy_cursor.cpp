// The busy pointer's nesting: only the outermost scope shows and restores it.
#include "gui/application.h"

namespace gui {

namespace {

int& Depth() {
  static int depth = 0;
  return depth;
}

}  // namespace

BusyCursor::BusyCursor() {
  if (++Depth() == 1) BusyCursorChanged(true);
}

BusyCursor::~BusyCursor() {
  if (--Depth() == 0) BusyCursorChanged(false);
}

bool BusyCursorShown() { return Depth() > 0; }

BusyCursorPause::BusyCursorPause() : depth_(Depth()) {
  Depth() = 0;
  if (depth_ > 0) BusyCursorChanged(false);
}

BusyCursorPause::~BusyCursorPause() {
  Depth() += depth_;
  if (depth_ > 0 && Depth() == depth_) BusyCursorChanged(true);
}

}  // namespace gui
