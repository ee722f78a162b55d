#pragma once
// The parameter dictionary: the 24-byte dictionary record and the file "OrvparamList.stt" in the
// current directory, in the order of the dictionary dialog's list.
//
// Record layout (little-endian): 0 reserved (4), 4 address (2), 6 formatLabel (8) + zero,
// 15 paramLabel (8) + zero.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "config/param_line.h"
#include "files/record_fields.h"
#include "files/record_read.h"
#include "files/file_replacement.h"

namespace orv {

inline constexpr std::size_t kParamRecordSize = 24;
inline constexpr const char* kParamFileName = "OrvparamList.stt";

// The record's fields (the layout above), in the order orvtool gives them.
inline constexpr FieldDef<ParamRecord> kParamFields[] = {
    {"label", FieldForm::Text, 15, &ParamRecord::paramLabel},
    {"address", FieldForm::Oct, 4, &ParamRecord::address},
    {"format", FieldForm::Text, 6, &ParamRecord::formatLabel},
    {"reserved", FieldForm::Hidden, 0, &ParamRecord::reserved},
};

std::array<uint8_t, kParamRecordSize> EncodeParam(const ParamRecord& record);
// `record` holds at least kParamRecordSize bytes.
ParamRecord DecodeParam(std::span<const uint8_t> record);

// Why a stored entry may not be shown as data, or nullptr when it may: it is damaged only when a
// label holds a control character or its parameter line does not read back to the same fields (an
// address wider than its three octal columns). An address 0400..0777 is not damage; it is refused
// where it would reach a label slot, with the editors' "ОШИБКА: адрес параметра".
const char* ParamRecordDefect(const ParamRecord& record);

// The entries of a file's bytes / of the file: the sound ones in file order, the damaged ones
// left out and counted, and whether the file could be read at all (a missing file is empty).
RecordFileRead<ParamRecord> DecodeParamFile(std::span<const uint8_t> bytes);
RecordFileRead<ParamRecord> ReadParamFile(const std::string& path = kParamFileName);

// The sound entries of the file, in file order; empty when the file cannot be read.
std::vector<ParamRecord> LoadParams(const std::string& path = kParamFileName);

// Replaces the file with the entries in the given order (ReplaceFile; `keepBackup` first copies
// the old file to "<name>.bak"). Anything but None leaves the old file as it was.
SaveError StoreParams(std::span<const ParamRecord> records, const std::string& path = kParamFileName,
                      bool keepBackup = false);
// The same, true when it was written.
bool SaveParams(std::span<const ParamRecord> records, const std::string& path = kParamFileName);

}  // namespace orv
