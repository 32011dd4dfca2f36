#include "gui/controls.h"

#include <algorithm>

#include "core/text_cut.h"
#include "gui/quick_layout.h"

namespace gui {

namespace {

bool IsHighSurrogate(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }

// Splits at CR LF, CR and LF; a final break does not start an extra empty line.
std::vector<Text> SplitLines(const Text& text) {
  std::vector<Text> lines;
  if (text.empty()) return lines;
  std::size_t start = 0;
  std::size_t i = 0;
  while (i < text.size()) {
    const char16_t c = text[i];
    if (c == u'\r' || c == u'\n') {
      lines.emplace_back(text, start, i - start);
      i += (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ? 2 : 1;
      start = i;
    } else {
      ++i;
    }
  }
  if (start < text.size()) lines.emplace_back(text, start, text.size() - start);
  return lines;
}

}  // namespace

void Edit::SetText(Text text) {
  if (text == text_) return;
  text_ = std::move(text);
  Changed(Property::Content);
}

void Memo::SetText(Text text) {
  if (text == text_) return;
  text_ = std::move(text);
  shownLength_ = longText.budget == 0
                     ? text_.size()
                     : core::CutLength(text_, QuickLayoutLength(text_, wordWrap, longText.budget));
  Changed(Property::Content);
}

Text Memo::ShownText() const {
  if (!ShowsStartOnly()) return text_;
  const std::size_t length = shownLength_;
  Text shown(text_, 0, length);
  if (length > 0 && shown.back() != u'\n' && shown.back() != u'\r') shown += u"\r\n";
  if (longText.note) shown += longText.note(text_);
  return shown;
}

std::vector<Text> Memo::DisplayedLines() const {
  if (ShowsStartOnly()) return SplitLines(text_);
  if (linesSource_ != nullptr) return linesSource_->DisplayedLines();
  return HeadlessLines();
}

std::vector<Text> Memo::HeadlessLines() const {
  std::vector<Text> lines = SplitLines(text_);
  if (!wordWrap || headlessWrapWidth <= 0) return lines;
  const std::size_t width = static_cast<std::size_t>(headlessWrapWidth);
  std::vector<Text> wrapped;
  wrapped.reserve(lines.size());
  for (const Text& line : lines) {
    if (line.size() <= width) {
      wrapped.push_back(line);
      continue;
    }
    std::size_t pos = 0;
    while (pos < line.size()) {
      std::size_t len = std::min(width, line.size() - pos);
      // Never cut a surrogate pair in two: the piece would not be valid text.
      if (pos + len < line.size() && len > 1 && IsHighSurrogate(line[pos + len - 1])) --len;
      wrapped.emplace_back(line, pos, len);
      pos += len;
    }
  }
  return wrapped;
}

void ComboBox::SetText(Text text) {
  if (text == text_) return;
  text_ = std::move(text);
  Changed(Property::Content);
}

void ComboBox::SetItems(std::vector<Text> items) {
  items_ = std::move(items);
  Changed(Property::Content);
}

}  // namespace gui
