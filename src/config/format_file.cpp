#include "config/format_file.h"

#include "files/record_file.h"
#include "text/scanf_forms.h"
#include "resources/config_strings.h"
#include "resources/file_strings.h"

namespace orv {

std::array<uint8_t, kFormatRecordSize> EncodeFormat(const DecimalFormat& format) {
    std::array<uint8_t, kFormatRecordSize> rec{};
    PutU32(rec, 0, format.reserved);
    PutF32(rec, 4, format.msbWeight);
    PutU16(rec, 8, format.msbBit);
    PutU16(rec, 10, format.lsbBit);
    rec[12] = format.bit29Role;
    PutText(rec, 13, format.units);
    PutText(rec, 18, format.label);
    rec[27] = 0;
    return rec;
}

DecimalFormat DecodeFormat(std::span<const uint8_t> record) {
    DecimalFormat f;
    f.reserved = GetU32(record, 0);
    f.msbWeight = GetF32(record, 4);
    f.msbBit = GetU16(record, 8);
    f.lsbBit = GetU16(record, 10);
    f.bit29Role = record[12];
    f.units = GetText<4>(record, 13);
    f.label = GetText<8>(record, 18);
    return f;
}

const char* FormatRecordDefect(const DecimalFormat& format) {
    if (HasControlCharacter(format.label.View()) || HasControlCharacter(format.units.View()))
        return text::kDefectControl;
    // The list keeps a format as its line: a record whose line gives back other fields would be
    // changed by the next save. The weight travels as six-decimal text, so it must come back as
    // the same float (a weight of 0, which the list itself writes for a tiny weight, does).
    const DecimalFormat back = ParseFormatLine(RenderFormatLine(format));
    if (back.label != ShownText(format.label) || back.msbBit != format.msbBit || back.lsbBit != format.lsbBit ||
        back.bit29Role != format.bit29Role || Trim(back.units.Trimmed()) != Trim(format.units.Trimmed()) ||
        back.msbWeight != format.msbWeight)  // compared as floats: a NaN never reads back
        return text::kDefectColumns;
    return nullptr;
}

RecordFileRead<DecimalFormat> DecodeFormatFile(std::span<const uint8_t> bytes) {
    return DecodeRecordBytes<DecimalFormat>(bytes, kFormatRecordSize, DecodeFormat, FormatRecordDefect);
}

RecordFileRead<DecimalFormat> ReadFormatFile(const std::string& path) {
    return ReadRecordsOfFile<DecimalFormat>(path, kFormatRecordSize, DecodeFormat, FormatRecordDefect);
}

std::vector<DecimalFormat> LoadFormats(const std::string& path) { return ReadFormatFile(path).records; }

std::optional<DecimalFormat> FindFormat(std::string_view label, const std::string& path) {
    const Label8 padded(label);
    const std::string_view wanted = padded.Trimmed();
    for (const DecimalFormat& f : LoadFormats(path))
        if (f.label.Trimmed() == wanted) return f;
    return std::nullopt;
}

SaveError StoreFormats(std::span<const DecimalFormat> formats, const std::string& path, bool keepBackup) {
    std::vector<uint8_t> bytes;
    bytes.reserve(formats.size() * kFormatRecordSize);
    for (const auto& f : formats) {
        const auto rec = EncodeFormat(f);
        bytes.insert(bytes.end(), rec.begin(), rec.end());
    }
    return ReplaceFile(path, bytes, keepBackup);
}

bool SaveFormats(std::span<const DecimalFormat> formats, const std::string& path) {
    return StoreFormats(formats, path) == SaveError::None;
}

}  // namespace orv
