// The history journal Data\Log.journal: every record the clipboard monitor adds is appended
// to it and flushed at once, so that a crash, a killed process or a power cut loses none of
// the texts recorded since start-up (Log.dat is written only at exit). The exit deletes it
// once Log.dat holds the records; a start-up that finds it adds what Log.dat lacks.
//
// The file is UTF-8 with a byte-order mark. Each record is
//   "#J " stamp " " byte count " " checksum CR LF, then the text's bytes, then CR LF
// where the byte count is that of the text's UTF-8 bytes and the checksum is the CRC-32 of
// the stamp's bytes, LF and the text's bytes, in eight lowercase hex digits. The text is
// held exactly: its line breaks stay as they are, and a lone surrogate half (which UTF-8
// has no form for) is written as its three-byte form. A record cut short by a power cut
// mid-append, or damaged, fails its length or checksum and is skipped; reading goes on at
// the next intact record, so the records before and after it stay.
//
// While Log.dat cannot be read, the journal is all that holds the history. A run that ends
// normally then rewrites it with the records it shows (a month's, no older) followed by
// the line "#H " checksum CR LF, the CRC-32 of why Log.dat could not be read. Records
// before such a line were kept on purpose, not left by a crash; the reason tells whether
// the user has heard of it. Readers that know no "#H" line pass over it as damage.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>
#include "core/cell_table.h"
#include "core/text.h"
#include "platform/file_system.h"
#include "platform/locale.h"

namespace core::history {

inline constexpr char16_t kJournalFileName[] = u"Log.journal";

struct JournalRecord {
  Text stamp;  // "yyyy/mm/dd hh:nn:ss"
  Text text;
  bool held = false;  // a "#H" line follows: kept while Log.dat could not be read
};

// The bytes of one record as appended (without the byte-order mark).
std::string JournalRecordBytes(TextView stamp, TextView text);

// The intact records of a journal's bytes, in file order (oldest first). `holdReason`, when
// given, receives the checksum of the last "#H" line, or nothing.
std::vector<JournalRecord> ParseJournal(std::string_view bytes,
                                        std::optional<std::uint32_t>* holdReason = nullptr);

// Appends one record, with the byte-order mark first when the file is new. False when it
// could not be stored; never throws for a file problem.
bool AppendJournalRecord(platform::FileSystem& fs, const Text& path, TextView stamp,
                         TextView text);

// The records of the journal at `path`; none when it is missing or cannot be read.
std::vector<JournalRecord> ReadJournal(platform::FileSystem& fs, const Text& path);

// What a "#H" line records of why Log.dat could not be read.
std::uint32_t HoldReasonChecksum(TextView reason);

// The history table's records, oldest first, as the journal holds them.
std::vector<JournalRecord> JournalRecordsOf(const CellTable& table);

// Rewrites the journal as the given records followed by a "#H" line for `reason`. False
// when it could not be written (the journal is then as it was); never throws for that.
bool HoldJournal(platform::FileSystem& fs, const Text& path,
                 const std::vector<JournalRecord>& records, TextView reason);

// Deletes the journal. One that cannot be deleted is emptied instead, so that texts the
// user cleared cannot come back at the next start. False when it is still there with records.
bool DiscardJournal(platform::FileSystem& fs, const Text& path);

// Adds to the history table the journal's records dated on or after `cutOff` that the
// table (just loaded from Log.dat) does not hold already, then sorts newest first. A record
// counts as held when the table holds what Log.dat gives back for it: the same stamp and
// text, or the pieces a text is read back as when one of its lines begins like a header. Returns how many were added; `logCnt` grows by that many.
int RecoverJournalRecords(CellTable& table, int& logCnt, const std::vector<JournalRecord>& records,
                          TextView cutOff, platform::Collator& collator);

}  // namespace core::history
