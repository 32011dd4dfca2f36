#include "core/entry_editor.h"

#include "core/dates.h"

namespace core {

namespace {

bool HasHalfWidthComma(TextView text) { return text.find(u',') != TextView::npos; }

bool HasLineBreak(TextView text) { return text.find_first_of(u"\r\n") != TextView::npos; }

}  // namespace

std::optional<EntryFieldError> CheckEntryFields(TextView category, TextView title,
                                                TextView text) {
  if (category.empty())
    return EntryFieldError{EntryField::Category,
                           u"新たなカテゴリー入力するか、カテゴリーを選択して下さい。"};
  if (title.empty()) return EntryFieldError{EntryField::Title, u"タイトルを入力して下さい。"};
  if (text.empty()) return EntryFieldError{EntryField::Text, u"内容を入力して下さい。"};
  if (HasHalfWidthComma(category))
    return EntryFieldError{EntryField::Category, u"カテゴリーに半角カンマは使用できません。"};
  if (HasLineBreak(category))
    return EntryFieldError{EntryField::Category, u"カテゴリーに改行は使用できません。"};
  if (HasHalfWidthComma(title))
    return EntryFieldError{EntryField::Title, u"タイトルに半角カンマは使用できません。"};
  if (HasLineBreak(title))
    return EntryFieldError{EntryField::Title, u"タイトルに改行は使用できません。"};
  return std::nullopt;
}

platform::LocalDateTime AddOneSecond(const platform::LocalDateTime& t) {
  platform::LocalDateTime next = t;
  if (++next.second < 60) return next;
  next.second = 0;
  if (++next.minute < 60) return next;
  next.minute = 0;
  if (++next.hour < 24) return next;
  next.hour = 0;
  return AddDays(next, 1);
}

Text UniqueCreatedKey(const platform::LocalDateTime& now,
                      const std::function<bool(const Text& key)>& taken) {
  platform::LocalDateTime at = now;
  Text key = FormatCreatedKey(at);
  // Ends: only finitely many keys can be taken.
  while (taken && taken(key)) {
    at = AddOneSecond(at);
    key = FormatCreatedKey(at);
  }
  return key;
}

}  // namespace core
