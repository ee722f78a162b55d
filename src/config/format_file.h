#pragma once
// The decimal format table: the 28-byte format record and the file "Orvfrmt.stt" in the current
// directory that holds the whole table, in the order of the table dialog's list.
//
// Record layout (little-endian): 0 reserved (4), 4 msbWeight (float), 8 msbBit (2), 10 lsbBit (2),
// 12 bit29Role (1), 13 units (4) + zero, 18 label (8) + zero, 27 zero.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "config/decimal_format.h"
#include "files/file_replacement.h"
#include "files/record_fields.h"
#include "files/record_read.h"
#include "files/file_replacement.h"

namespace orv {

inline constexpr std::size_t kFormatRecordSize = 28;
inline constexpr const char* kFormatFileName = "Orvfrmt.stt";

// The record's fields (the layout above), in the order orvtool gives them.
inline constexpr FieldDef<DecimalFormat> kFormatFields[] = {
    {"label", FieldForm::Text, 18, &DecimalFormat::label},
    {"role", FieldForm::Dec, 12, &DecimalFormat::bit29Role},
    {"msb", FieldForm::Dec, 8, &DecimalFormat::msbBit},
    {"lsb", FieldForm::Dec, 10, &DecimalFormat::lsbBit},
    {"units", FieldForm::Text, 13, &DecimalFormat::units},
    {"weight", FieldForm::Float, 4, &DecimalFormat::msbWeight},
    {"reserved", FieldForm::Hidden, 0, &DecimalFormat::reserved},
};

std::array<uint8_t, kFormatRecordSize> EncodeFormat(const DecimalFormat& format);
// `record` holds at least kFormatRecordSize bytes.
DecimalFormat DecodeFormat(std::span<const uint8_t> record);

// Why a stored format may not be shown as data, or nullptr when it may: it is damaged only when
// its label or units hold a control character, or when its format line does not read back to the
// same fields (a bit number wider than its two columns, a role other than 0 or 1, a weight whose
// six-decimal text does not give back the same float). What the format editor refuses of typed
// fields (a weight of 0, bit numbers out of its ranges) is not damage: the list writes such
// records itself.
const char* FormatRecordDefect(const DecimalFormat& format);

// The formats of a file's bytes / of the file: the sound ones in file order, the damaged ones
// left out and counted, and whether the file could be read at all (a missing file is empty).
RecordFileRead<DecimalFormat> DecodeFormatFile(std::span<const uint8_t> bytes);
RecordFileRead<DecimalFormat> ReadFormatFile(const std::string& path = kFormatFileName);

// The sound formats of the file, in file order; empty when the file cannot be read.
std::vector<DecimalFormat> LoadFormats(const std::string& path = kFormatFileName);

// The first format of the file whose label equals `label`, trailing blanks removed on both sides
// and letter case significant; nullopt when there is none.
std::optional<DecimalFormat> FindFormat(std::string_view label, const std::string& path = kFormatFileName);

// Replaces the file with the formats in the given order (ReplaceFile; `keepBackup` first copies
// the old file to "<name>.bak"). Anything but None leaves the old file as it was.
SaveError StoreFormats(std::span<const DecimalFormat> formats, const std::string& path = kFormatFileName,
                       bool keepBackup = false);
// The same, true when it was written.
bool SaveFormats(std::span<const DecimalFormat> formats, const std::string& path = kFormatFileName);

}  // namespace orv
