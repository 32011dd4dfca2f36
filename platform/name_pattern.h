#pragma once
#include "core/text.h"

namespace platform {

// File-name wildcard match with "*" and "?", ASCII letter case ignored, as folder listings
// use it. "*.*" matches every name, also names without a dot, as on Windows.
bool MatchesNamePattern(core::TextView name, core::TextView pattern);

}  // namespace platform
