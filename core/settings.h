// The settings file beside the executable: its name, and the value syntax of a Windows
// private-profile file as the program reads it.
#pragma once
#include <cstdint>
#include <optional>
#include "core/text.h"

namespace core {

// Sections and keys of the settings file.
inline constexpr char16_t kSectionGamen[] = u"GAMEN";
inline constexpr char16_t kSectionBkup[] = u"BKUP";
inline constexpr char16_t kSectionSet[] = u"SET";

// Defaults for a missing or unreadable value.
inline constexpr int kDefaultTop = 200;
inline constexpr int kDefaultLeft = 200;
inline constexpr int kDefaultWidth = 1088;
inline constexpr int kDefaultHeight = 683;
inline constexpr int kDefaultBkupFlg = 1;
inline constexpr char16_t kDefaultCheckView[] = u"0";

// The executable's path with its extension replaced by ".ini" (appended when it has none).
Text SettingsPathFor(TextView exePath);

// An integer value: "0x"/"0X" followed by hexadecimal digits (at least three characters in
// all); otherwise leading blanks, an optional sign, an optional "$", "x" or "X" marking
// hexadecimal, then digits. Nothing when the text is not such a number or does not fit a
// 32-bit signed integer.
std::optional<std::int32_t> ParseProfileInteger(TextView value);

// A boolean value: a number (as above) is true when not zero; otherwise "True" or
// "False" in any mix of letter case. Nothing for any other text.
std::optional<bool> ParseProfileBoolean(TextView value);

// How a boolean is written: "-1" or "0".
Text ProfileBooleanText(bool value);

// The message for a settings file that cannot be written.
Text SettingsWriteErrorText(TextView settingsPath);

}  // namespace core
