#include "platform/single_instance.h"

#include <cstdint>

namespace platform {

core::Text InstanceObjectName(core::TextView folderKey) {
  // FNV-1a over the UTF-16 code units: the same in every process and every build.
  std::uint64_t hash = 0xcbf29ce484222325ull;
  for (char16_t unit : folderKey) {
    for (int shift : {0, 8}) {
      hash ^= static_cast<std::uint8_t>(unit >> shift);
      hash *= 0x100000001b3ull;
    }
  }
  core::Text name = u"Local\\Soramitsu-";
  for (int shift = 60; shift >= 0; shift -= 4) name += u"0123456789abcdef"[(hash >> shift) & 0xF];
  return name;
}

}  // namespace platform
