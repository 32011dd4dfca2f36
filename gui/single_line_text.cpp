#include "gui/single_line_text.h"

namespace gui {

Text SingleLineText(const Text& text, char16_t breakMark) {
  if (text.find_first_of(u"\r\n") == Text::npos) return text;
  Text shown;
  shown.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c == u'\r' || c == u'\n') {
      shown += breakMark;
      if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
    } else {
      shown += c;
    }
  }
  return shown;
}

}  // namespace gui
