// One running copy of the program per folder. Two copies started from one folder would
// record every text twice, write the same data files over each other and rotate the same
// backup slots; copies in different folders keep apart.
#pragma once
#include "core/text.h"
#include "platform/shell.h"

namespace platform {

class SingleInstance {
 public:
  virtual ~SingleInstance() = default;
  // Claims `folder` (the executable's folder) for this process until it ends. False when
  // a copy started from the same folder, its letter case ignored, holds it already.
  virtual bool Claim(const core::Text& folder) = 0;
  // After a claim: the main window that a later start in the folder brings to the front.
  virtual void Publish(NativeWindow window) = 0;
  // After a claim that failed: brings the holder's main window to the front, restored
  // when minimised. Waits a bounded time for a holder still starting up; false when no
  // window was found.
  virtual bool ActivateHolder() = 0;
};

// The session-wide object name that stands for a folder: "Local\Soramitsu-" and 16 hex
// digits of a hash of the folder as given, since a backslash may not follow the namespace
// prefix. Callers give the folder in one normal form (full path, upper case).
core::Text InstanceObjectName(core::TextView normalFolder);

}  // namespace platform
