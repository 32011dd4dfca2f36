#include "gui/single_line_text.h"

#include "core/text_cut.h"

namespace gui {

namespace {

// Appends text[0, length) with each line break as one mark.
void AppendMarked(Text& shown, const Text& text, std::size_t length, char16_t breakMark) {
  for (std::size_t i = 0; i < length; ++i) {
    const char16_t c = text[i];
    if (c == u'\r' || c == u'\n') {
      shown += breakMark;
      if (c == u'\r' && i + 1 < length && text[i + 1] == u'\n') ++i;
    } else {
      shown += c;
    }
  }
}

}  // namespace

Text SingleLineText(const Text& text, char16_t breakMark) {
  if (text.find_first_of(u"\r\n") == Text::npos) return text;
  Text shown;
  shown.reserve(text.size());
  AppendMarked(shown, text, text.size(), breakMark);
  return shown;
}

SingleLineStart SingleLineStartOf(const Text& text, char16_t breakMark, std::size_t limit) {
  SingleLineStart start;
  const std::size_t length = core::CutLength(text, limit);
  start.cut = length < text.size();
  start.shown.reserve(length);
  AppendMarked(start.shown, text, length, breakMark);
  return start;
}

}  // namespace gui
