#pragma once
// Mission files: one mission per line, the four texts of a row joined by a
// separator byte, CR LF after every line, code page 936 bytes exactly as the
// table holds them, no header. Saved mission lists use the separator 0x80;
// everyday.mis uses '$' with the same line rule (daily_missions.h).
//
// A repeating row's rule (its text as the main list shows it, "每天",
// "每周一、三" ...) follows its time after one more separator, in mission files
// only. An earlier version reads it as part of the time, which then reads as
// no time at all, so that version never fires the row. Rows that fire once
// are written as they always were.
//
// A text that the plain layout cannot hold - a reminder of several lines, a
// separator inside a text, a lead byte with no second byte at the end of a
// text - is written with escapes: the byte 0xFF, which is no character of
// code page 936, followed by two upper-case hex digits stands for the byte
// they spell. Texts without such bytes are written exactly as they are, so
// clean rows keep the plain layout byte for byte, and files of older
// versions (which hold no 0xFF) read as before.

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/clock.h"
#include "core/date_time_text.h"
#include "core/mission_table.h"

inline constexpr char kMisSeparator = '\x80';

// ---- The line rule ----

// Turns one line, without its line end, into a row. The first three
// separators end kindName, detail and dateText; a text whose separator is
// missing is empty, and timeText takes the rest, further separators
// included, unless what follows the first of them is a repeat rule (with
// the separator 0x80 only). Separators are searched character by character
// in code page 936, so the second byte of a two-byte character never counts
// as one. With
// today set, dateText becomes that text whatever the line held. The row gets
// the picture of its kind (0 for a caption that names no kind); texts are
// neither validated nor trimmed.
MisRecord splitMisLine(std::string_view line, char separator, std::optional<std::string_view> today = std::nullopt);

// Appends the line of one row: kindName, separator, detail, separator,
// dateText, separator, timeText, CR LF; with the separator 0x80 a repeating
// row's rule goes after another separator before the CR LF.
void appendMisLine(std::string& out, const MisRecord& record, char separator);

// Calls onLine for each line of a file's bytes, first to last, without its
// line end (LF, or CR LF; a last line may have none). Reading ends at the end
// or at the first empty line; the result is the offset where it ended: the
// start of that empty line, or the size of bytes.
std::size_t forEachMisLine(std::string_view bytes, const std::function<void(std::string_view line)>& onLine);

// The rows of a file's bytes by the line rule, first to last, up to the
// first empty line; end (if given) gets the offset where reading ended, as
// forEachMisLine gives it.
std::vector<MisRecord> misFileRows(std::string_view bytes, char separator, std::optional<std::string_view> today,
                                   std::size_t* end);

// ---- Files ----

// Replaces the table's rows by the file's, one row per line by the line
// rule; no row is selected afterwards. A file that cannot be opened or read
// throws FileError and leaves the table, its selection included, as it was.
void loadMisFile(MisTable& table, const std::filesystem::path& file, char separator,
                 std::optional<std::string_view> today);

// The bytes of a file holding every row of the table, first to last.
std::string misFileBytes(const MisTable& table, char separator);

// Load: the rows as the file holds them.
void loadMissionFile(MisTable& table, const std::filesystem::path& file);
// Load to today: every row re-dated to today's date text.
void loadMissionFileToToday(MisTable& table, const std::filesystem::path& file, const DateTimeText& text,
                            const Clock& clock);
// Save: replaces file with the table's rows. The old file stays whole if the
// save fails. The table is not changed.
void saveMissionFile(const MisTable& table, const std::filesystem::path& file);

// The name a save writes: file itself when it ends in ".mis" (any letter
// case), otherwise file with ".mis" appended.
std::filesystem::path withMisExtension(const std::filesystem::path& file);
