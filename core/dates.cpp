#include "core/dates.h"

#include <cstdint>

namespace core {

namespace {

void Append(Text& out, int value, int digits) { out += ZeroPadded(value, digits); }

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's days_from_civil).
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
  y -= m <= 2 ? 1 : 0;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const auto yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void CivilFromDays(std::int64_t z, int& year, int& month, int& day) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const auto doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t y = static_cast<std::int64_t>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  const unsigned d = doy - (153 * mp + 2) / 5 + 1;
  const unsigned m = mp < 10 ? mp + 3 : mp - 9;
  year = static_cast<int>(y + (m <= 2 ? 1 : 0));
  month = static_cast<int>(m);
  day = static_cast<int>(d);
}

}  // namespace

Text FormatDate(const platform::LocalDateTime& t) {
  Text out;
  out.reserve(10);
  Append(out, t.year, 4);
  out += u'/';
  Append(out, t.month, 2);
  out += u'/';
  Append(out, t.day, 2);
  return out;
}

Text FormatStamp(const platform::LocalDateTime& t) {
  Text out = FormatDate(t);
  out += u' ';
  Append(out, t.hour, 2);
  out += u':';
  Append(out, t.minute, 2);
  out += u':';
  Append(out, t.second, 2);
  return out;
}

Text FormatCreatedKey(const platform::LocalDateTime& t) {
  Text out;
  out.reserve(15);
  Append(out, t.year, 4);
  Append(out, t.month, 2);
  Append(out, t.day, 2);
  out += u' ';
  Append(out, t.hour, 2);
  Append(out, t.minute, 2);
  Append(out, t.second, 2);
  return out;
}

platform::LocalDateTime AddDays(const platform::LocalDateTime& t, int days) {
  platform::LocalDateTime result = t;
  const unsigned month = t.month >= 1 && t.month <= 12 ? static_cast<unsigned>(t.month) : 1u;
  const unsigned day = t.day >= 1 && t.day <= 31 ? static_cast<unsigned>(t.day) : 1u;
  CivilFromDays(DaysFromCivil(t.year, month, day) + days, result.year, result.month, result.day);
  return result;
}

}  // namespace core
