// The rules of the entry editor that need no window: which fields it refuses, and how a
// new entry gets a created key that no other entry has.
#pragma once
#include <functional>
#include <optional>
#include "core/text.h"
#include "platform/clock.h"

namespace core {

enum class EntryField { Category, Title, Text };

struct EntryFieldError {
  EntryField field;  // the box that gets the focus
  Text message;      // shown in an information box
};

// The first refusal in the order the editor checks: empty category, empty title, empty
// text, then for the category and after it the title: "," and a line break (CR or LF,
// pasted into the box), either of which would split the entry's index line. Blanks and
// the full-width comma pass: the index line splits at the half-width comma only.
std::optional<EntryFieldError> CheckEntryFields(TextView category, TextView title,
                                                TextView text);

// One second later, carrying into minutes, hours, days, months and years.
platform::LocalDateTime AddOneSecond(const platform::LocalDateTime& t);

// The created key ("yyyymmdd hhnnss") for an entry saved at `now`: the key of `now` itself,
// or, while `taken` says a key belongs to another entry (in the table, or a content file
// on disk), the first free key after it, a second at a time. Two entries saved within the
// same second, or after the clock was set back, so never share a content file.
Text UniqueCreatedKey(const platform::LocalDateTime& now,
                      const std::function<bool(const Text& key)>& taken);

}  // namespace core
