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

namespace orv::tool {

enum class Kind { Formats, Dictionary, Channels, DisplayList, Frame };

enum class FieldType {
    Text,   // a Windows-1251 text field, blank-padded in the record; trailing blanks not written
    Dec,    // decimal integer
    Oct,    // octal, three digits (labels)
    Hex,    // "0x" and eight hexadecimal digits (words)
    Float,  // single precision, the shortest decimal that reads back to the same value
};

struct FieldSpec {
    const char* name;
    FieldType type;
};

struct KindInfo {
    Kind kind;
    const char* name;            // the name given to import and written in JSON
    std::size_t recordSize;      // bytes of one record (channel settings: one 2-byte word)
    std::vector<FieldSpec> fields;
};

const KindInfo& Info(Kind kind);
const std::vector<Kind>& AllKinds();
// "formats", "dictionary", "channels", "list", "frame".
std::optional<Kind> KindOfName(std::string_view name);
// By file name (Orvfrmt.stt, OrvparamList.stt, Orvparam.stt, any case) or extension (.42i, .42o).
std::optional<Kind> KindOfPath(const std::string& path);

using Row = std::vector<std::string>;

// The whole contents of a regular file; nullopt when it cannot be read.
std::optional<std::vector<uint8_t>> ReadWholeFile(const std::string& path);

// The whole records of a file's bytes and the length of a trailing partial record (0 if none).
struct Records {
    std::vector<std::vector<uint8_t>> records;
    std::size_t partialBytes = 0;
};
Records SplitFile(Kind kind, std::span<const uint8_t> bytes);

// The fields of record `index` of a file of `kind`.
Row RowOfRecord(Kind kind, std::size_t index, std::span<const uint8_t> record);

// The record of a row: `error` names the field whose text cannot be read, else `bytes` holds the
// record.
struct RecordOfRowResult {
    std::vector<uint8_t> bytes;
    std::string error;
    bool ok() const { return error.empty(); }
};
RecordOfRowResult RecordOfRow(Kind kind, std::size_t index, const Row& row);

// The file's lines exactly as the dialog that shows the file lists them (Windows-1251).
std::vector<std::string> DialogLines(Kind kind, std::span<const uint8_t> bytes);

}  // namespace orv::tool
