#pragma once
// The kinds of settings and data files, their fixed-size records, and each record as a row of
// named text fields (UTF-8), the form in which the records travel through CSV and JSON.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "config/decimal_format.h"
#include "config/param_line.h"
#include "display/display_line.h"
#include "state/frame_entry.h"

namespace orv::tool {

enum class Kind { Formats, Dictionary, Channels, DisplayList, Frame };

enum class FieldType {
    Text,   // a Windows-1251 text field, blank-padded in the record; trailing blanks not written
    Dec,    // decimal integer
    Oct,    // octal, three digits (labels)
    Hex,    // "0x" and eight hexadecimal digits (words)
    Float,  // single precision, the shortest decimal that reads back to the same value
};

struct ColumnDef {
    std::string name;
    FieldType type;
};

struct KindInfo {
    Kind kind;
    const char* name;            // the name given to import and written in JSON
    std::vector<ColumnDef> fields;
};

const KindInfo& Info(Kind kind);
const std::vector<Kind>& AllKinds();
// "formats", "dictionary", "channels", "list", "frame".
std::optional<Kind> KindOfName(std::string_view name);
// By file name (Orvfrmt.stt, OrvparamList.stt, Orvparam.stt, any case) or extension (.42i, .42o).
std::optional<Kind> KindOfPath(const std::string& path);
// A scenario file of the virtual board, by its extension .toml (any case): it has no records, so
// `check` is the only command that reads it.
bool IsScenarioPath(const std::string& path);

// How much orvtool reads, so that its memory stays bounded whatever it is given: a file or text
// beyond these is refused unread, with a message naming the limit.
//   formats, dictionary  1,048,576 records: the dialogs list any number, a million is beyond any bench
//   channels             65,536 bytes: the program reads the first 32, the rest is told as not read
//   list                 65,536 records: the list dialog takes the first 256 sound ones
//   frame                65,536 records: the frame dialog takes the first 4,096
// A CSV or JSON text for a kind holds at most MaxRecords records in at most 256 bytes each.
std::size_t MaxRecords(Kind kind);
std::size_t MaxFileBytes(Kind kind);
std::size_t MaxTextBytes(Kind kind);

using Row = std::vector<std::string>;

// The fields of a record as the program shows it: texts up to their first zero byte, trailing
// blanks not written. A channel setting gives its rate code and parity choice (bits 0-2) and is
// told from the others by its index in the file (0-7 inputs, 8-15 outputs).
Row RowOfFormat(const DecimalFormat& format);
Row RowOfParam(const ParamRecord& record);
Row RowOfChannelSetting(std::size_t index, uint16_t setting);
Row RowOfDisplayLine(const DisplayLineRecord& record);
Row RowOfFrameEntry(const FrameEntry& entry);

// The record of a row: `error` names the field whose text cannot be read, else `bytes` holds the
// record.
struct RecordOfRowResult {
    std::vector<uint8_t> bytes;
    std::string error;
    bool ok() const { return error.empty(); }
};
RecordOfRowResult RecordOfRow(Kind kind, std::size_t index, const Row& row);

}  // namespace orv::tool
