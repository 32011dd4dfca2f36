#include "ui/long_text.h"

namespace ui {

namespace {

std::size_t CharacterCount(const Text& text) {
  std::size_t count = text.size();
  for (std::size_t i = 1; i < text.size(); ++i) {
    const char16_t previous = text[i - 1];
    const char16_t c = text[i];
    const bool pair = previous >= 0xD800 && previous <= 0xDBFF && c >= 0xDC00 && c <= 0xDFFF;
    if (pair || (previous == u'\r' && c == u'\n')) --count;
  }
  return count;
}

// 12345678 as "12,345,678".
Text GroupedDigits(std::size_t number) {
  Text digits;
  int inGroup = 0;
  do {
    if (inGroup == 3) {
      digits.insert(digits.begin(), u',');
      inGroup = 0;
    }
    digits.insert(digits.begin(), static_cast<char16_t>(u'0' + number % 10));
    number /= 10;
    ++inGroup;
  } while (number > 0);
  return digits;
}

}  // namespace

Text LongTextNote(const Text& whole) {
  return u"（長いため先頭だけを表示しています。全体は " + GroupedDigits(CharacterCount(whole)) +
         u" 文字です）";
}

void ShowStartOfLongTexts(gui::Memo& memo) {
  memo.longText.budget = kLayoutBudget;
  memo.longText.note = LongTextNote;
}

}  // namespace ui
