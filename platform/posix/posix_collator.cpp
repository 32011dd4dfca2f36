#include "platform/posix/posix_services.h"

namespace platform::posix {
namespace {

// Lower case for the alphabets a Japanese user meets in copied text: ASCII, Latin-1,
// Latin Extended-A, Greek, Cyrillic and the full-width Latin letters. Folding to lower
// case (not upper) keeps "_" and "[" before the letters, as the Windows sort does.
char16_t FoldCase(char16_t c) {
  if (c < 0x80) return (c >= u'A' && c <= u'Z') ? char16_t(c + 0x20) : c;
  if ((c >= 0xC0 && c <= 0xDE && c != 0xD7)) return char16_t(c + 0x20);
  if (c >= 0x100 && c <= 0x17F) {
    // Pairs upper/lower alternate, with the odd runs 0x139-0x148 and 0x179-0x17E.
    if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) {
      return (c & 1) ? char16_t(c + 1) : c;
    }
    if (c == 0x178) return 0xFF;
    if (c == 0x130 || c == 0x131 || c == 0x138 || c == 0x149 || c == 0x17F) return c;
    return (c & 1) ? c : char16_t(c + 1);
  }
  if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) return char16_t(c + 0x20);
  if (c >= 0x410 && c <= 0x42F) return char16_t(c + 0x20);
  if (c >= 0x400 && c <= 0x40F) return char16_t(c + 0x50);
  if (c >= 0xFF21 && c <= 0xFF3A) return char16_t(c + 0x20);
  return c;
}

}  // namespace

int PosixCollator::Compare(core::TextView a, core::TextView b) {
  const std::size_t n = a.size() < b.size() ? a.size() : b.size();
  for (std::size_t i = 0; i < n; ++i) {
    char16_t x = FoldCase(a[i]), y = FoldCase(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

}  // namespace platform::posix
