#include "core/text_cut.h"

namespace core {

std::size_t CutLength(TextView text, std::size_t limit) {
  if (text.size() <= limit) return text.size();
  std::size_t length = limit;
  if (length == 0) return 0;
  const char16_t last = text[length - 1];
  const char16_t next = text[length];
  const bool splitsPair = last >= 0xD800 && last <= 0xDBFF && next >= 0xDC00 && next <= 0xDFFF;
  const bool splitsBreak = last == u'\r' && next == u'\n';
  if (splitsPair || splitsBreak) --length;
  return length;
}

}  // namespace core
