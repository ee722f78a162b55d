#pragma once
// What the frame dialog does to its list of frame lines. The list holds at most 256 slots for
// the board, but a restored file may give more lines; the operations that add slots refuse once
// 256 lines are reached. Every line that is renumbered is parsed into `current` (the program's
// CurrentEntry), given its number and rendered again.
//
// Functions that can refuse return the message to show (UTF-8, transmit_strings.h) and leave the
// list unchanged, or nullptr when they did their work.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "text/line_list.h"
#include "files/file_read.h"
#include "files/list_file.h"
#include "files/record_read.h"
#include "state/frame_entry.h"
#include "transmit/frame_line.h"

namespace orv {

// Refusal of add and insert when the list is full: "В списке 256 параметров.".
const char* CheckRoomForSlot(const LineList& list);

// Appends the word of `current`, numbered with the count.
void AppendWordLine(LineList& list, FrameEntry& current);
// Appends up to `length` pause lines, each numbered with its index, stopping silently at 256
// lines.
void AppendPauseLines(LineList& list, int length);

// Inserts the word of `current` above line `selection`, numbered with the selection, and
// renumbers the lines below it.
void InsertWordLine(LineList& list, int selection, FrameEntry& current);
// Inserts `length` pause lines above line `selection` and renumbers; refused as a whole when the
// list would then exceed 256 lines.
const char* InsertPauseLines(LineList& list, int selection, int length, FrameEntry& current);

// Lines from `from` to the end get their index as number.
void RenumberFrom(LineList& list, int from, FrameEntry& current);

// Removes line `selection`; every line below it has its number decreased by one.
void DeleteFrameLine(LineList& list, int selection, FrameEntry& current);

// Removes every line.
void ClearFrameLines(LineList& list);

// ".42o" contents of the list: each line parsed into `current` and written as its 64-byte record,
// in list order.
std::vector<uint8_t> FrameFileBytes(const LineList& list, FrameEntry& current);
// A ".42o" file as the frame dialog restores it. Every sound record is read into `current` and
// rendered as a line; damaged records (FrameEntryDefect) are left out and counted; reading stops
// after kMaxFrameFileRecords records, the most that three-column line numbers can tell apart, and
// `recordsCut` counts the whole records beyond; `trailingBytes` are the bytes of a trailing
// partial record, which is dropped.
inline constexpr std::size_t kMaxFrameFileRecords = kMaxFrameLineNumber + 1;
struct FrameFileRead {
    ReadStatus status = ReadStatus::Ok;
    std::vector<std::string> lines;
    std::vector<DamagedRecord> damaged;
    std::size_t recordsCut = 0;
    std::size_t trailingBytes = 0;
    bool lossy() const { return !damaged.empty() || recordsCut != 0 || trailingBytes != 0; }
};
FrameFileRead DecodeFrameFile(std::span<const uint8_t> bytes, FrameEntry& current);
// The same for a file.
FrameFileRead ReadFrameFile(const std::string& path, FrameEntry& current);
// The messages (UTF-8) that tell the engineer what a restore of file `name` left out, in order:
// the records beyond the limit, the damaged records, the trailing partial record.
std::vector<std::string> FrameFileMessages(const FrameFileRead& read, std::string_view name);

// What "Восстановить" takes from a ".42o" file, as the decoder the dialog gives RestoreListFile
// (files/list_file.h): the lines of DecodeFrameFile, lossy when anything was left out or the read
// failed part way (`whole` false), and the messages: the failed read first, then FrameFileMessages.
RestoredList RestoreFrameList(std::span<const uint8_t> bytes, bool whole, std::string_view name, FrameEntry& current);

// The lines of DecodeFrameFile.
std::vector<std::string> FrameFileLines(std::span<const uint8_t> bytes, FrameEntry& current);

// Lines of the stored frame: entries from 0 up to the first with the end flag set, at most 256.
std::vector<std::string> StoredFrameLines(const StoredFrame& frame);

}  // namespace orv
