#pragma once
#include "core/text.h"
#include "platform/clock.h"

namespace core {

// "yyyy/mm/dd": the "/" is fixed whatever the user's regional settings say.
Text FormatDate(const platform::LocalDateTime& t);
// "yyyy/mm/dd hh:nn:ss" (history stamps and backup stamps).
Text FormatStamp(const platform::LocalDateTime& t);
// "yyyymmdd hhnnss" (created keys of saved entries).
Text FormatCreatedKey(const platform::LocalDateTime& t);
// The calendar date `days` days later (negative: earlier); the time is kept.
platform::LocalDateTime AddDays(const platform::LocalDateTime& t, int days);

}  // namespace core
