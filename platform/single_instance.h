// One running copy of the program per folder. Two copies started from one folder would
// record every text twice, write the same data files over each other and rotate the same
// backup slots; copies in different folders keep apart.
#pragma once
#include <cstdint>

#include "core/text.h"
#include "platform/shell.h"

namespace platform {

// How long a start waits for a copy in its exit to end; an exit with a large history and a
// full backup takes some seconds.
inline constexpr std::uint32_t kHolderExitWaitMs = 30000;

class SingleInstance {
 public:
  virtual ~SingleInstance() = default;
  // Claims `folder` (the executable's folder) for this process until it ends. False when
  // a copy started from the same folder holds it already and goes on running. The folder
  // is the same however it is reached: in other letter case, through another drive letter,
  // a link or a junction. A holder in its exit is waited for (kHolderExitWaitMs at most)
  // and the claim then made; one whose exit asks the user something counts as running.
  virtual bool Claim(const core::Text& folder) = 0;
  // After a claim: the main window that a later start in the folder brings to the front.
  virtual void Publish(NativeWindow window) = 0;
  // After a claim: the exit sequence runs (true), or it was called off and the program
  // runs on (false). Left set when the exit goes through, until the process ends.
  virtual void SetExiting(bool exiting) = 0;
  // After a claim that failed: brings the holder's main window to the front, restored
  // when minimised. Waits a bounded time for a holder still starting up; false when no
  // window was found.
  virtual bool ActivateHolder() = 0;
};

// The session-wide object name that stands for a folder: "Local\Soramitsu-" and 16 hex
// digits of a hash of the key, since a backslash may not follow the namespace prefix.
// The key is made from the folder's identity on its volume (its file index, with the
// volume serial number where folders on two volumes share an index), or from its path in
// one normal form (full path, upper case) when the identity cannot be read.
core::Text InstanceObjectName(core::TextView folderKey);

}  // namespace platform
