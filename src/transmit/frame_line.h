#pragma once
// The frame line (one slot of an output frame as the frame dialog's list shows it) and the 64-byte
// ".42o" record. The list is the working copy of a frame, so every operation reads lines back into
// a FrameEntry; the column positions below are what that parse relies on. Lines are Windows-1251
// bytes, one byte per column.
//
// Word line (0-based columns): number "%03x" at 2, parameter label at 7, address "%03o" at 17,
// HEX "0x%08x" at 26, OCTAL "%012o" at 39, M at 54, the 21 DECIMAL columns at 61 and the format
// line from 82. Without a format, columns 61-95 are blanks and the line is 96 characters long.
// Pause line: "  %03x            пауза " (the word "пауза" at column 17).
//
// Record (little-endian): 0 reserved (4, written 0), 4 address, 6 pause, 8 number, 10 end flag,
// 12 format label (8) + zero, 21 parameter label (8) + zero, 30 zero (2), 32 word (4),
// 36 the format as its 28-byte record.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "files/record_fields.h"
#include "state/frame_entry.h"

namespace orv {

inline constexpr std::size_t kFrameRecordSize = 64;
inline constexpr std::size_t kFrameNoFormatLineLength = 96;

// Columns of the frame line.
inline constexpr std::size_t kColNumber = 2;
inline constexpr std::size_t kColParamLabel = 7;
inline constexpr std::size_t kColAddress = 17;
inline constexpr std::size_t kColHex = 26;
inline constexpr std::size_t kColCode = 28;  // the six code digits of the HEX form
inline constexpr std::size_t kColOctal = 39;
inline constexpr std::size_t kColM = 54;
inline constexpr std::size_t kColDecimal = 61;
inline constexpr std::size_t kColFormat = 82;

// "пауза", Windows-1251.
inline constexpr std::string_view kPauseWord = "\357\340\363\347\340";

// A slot is a pause when its pause field is set or its parameter label begins with a blank.
bool IsPauseEntry(const FrameEntry& entry);

// The pause line "  %03x            пауза " of slot number `number`.
std::string RenderPauseLine(unsigned number);
std::string RenderFrameLine(const FrameEntry& entry);

// Reads a line into `entry`: number (end flag cleared) and parameter label always; for a pause
// line the pause field 1 and nothing else; for a word line pause 0, address, word, format label
// and, when that label is not blank, the format from column 82. Fields not read keep their values.
void ParseFrameLine(std::string_view line, FrameEntry& entry);

// Column 7 blank: the line shows a pause (or a word without parameter label).
bool IsPauseLine(std::string_view line);

// Texts of the word editors cut out of a line: address 17-19, parameter label 7-14, format label
// 82-89 and code 28-33 (the word shifted right by eight, six hex digits).
struct FrameLineTexts {
    std::string address;
    std::string paramLabel;
    std::string formatLabel;
    std::string code;
};
FrameLineTexts TextsOfFrameLine(std::string_view line);

// The record's fields before its format (the layout above; bytes 0-3 and 30-31 are written 0),
// in the order orvtool gives them; the format follows at kFrameFormatAt as its own record.
inline constexpr FieldDef<FrameEntry> kFrameFields[] = {
    {"number", FieldForm::Dec, 8, &FrameEntry::number},
    {"pause", FieldForm::Dec, 6, &FrameEntry::pause},
    {"end", FieldForm::Dec, 10, &FrameEntry::endFlag},
    {"label", FieldForm::Text, 21, &FrameEntry::paramLabel},
    {"address", FieldForm::Oct, 4, &FrameEntry::address},
    {"word", FieldForm::Hex, 32, &FrameEntry::word},
    {"format", FieldForm::Text, 12, &FrameEntry::formatLabel},
};
inline constexpr std::size_t kFrameFormatAt = 36;

std::array<uint8_t, kFrameRecordSize> EncodeFrameEntry(const FrameEntry& entry);
// `record` holds at least kFrameRecordSize bytes. The labels (and the format's label and units)
// are taken up to their first zero byte, blank-padded, as every record reader takes them.
FrameEntry DecodeFrameEntry(std::span<const uint8_t> record);

// The largest slot number a frame line can show in its three hex columns.
inline constexpr unsigned kMaxFrameLineNumber = 0xFFF;

// Why a stored slot may not be shown as data, or nullptr when it may: it is damaged when its frame
// line does not read back to the same fields (a number above 0xFFF, an address above 0377, a bit
// number of its format wider than two columns, a role other than 0 or 1, a weight that its
// six-decimal text does not give back exactly) or when a label or the
// units hold a control character. A pause is checked for its number only: a pause line shows
// nothing else. A word whose format label names no format in the table is not damaged: the word
// editor gives such words a format with no fields.
const char* FrameEntryDefect(const FrameEntry& entry);

}  // namespace orv
