#include "config/format_file.h"

#include "config/record_file.h"

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

std::vector<DecimalFormat> LoadFormats(const std::string& path) {
    std::vector<DecimalFormat> formats;
    for (const auto& rec : ReadRecordFile(path, kFormatRecordSize)) formats.push_back(DecodeFormat(rec));
    return formats;
}

std::optional<DecimalFormat> FindFormat(std::string_view label, const std::string& path) {
    const Label8 padded(label);
    const std::string_view wanted = padded.Trimmed();
    for (const auto& rec : ReadRecordFile(path, kFormatRecordSize)) {
        DecimalFormat f = DecodeFormat(rec);
        if (f.label.Trimmed() == wanted) return f;
    }
    return std::nullopt;
}

bool SaveFormats(std::span<const DecimalFormat> formats, const std::string& path) {
    std::vector<uint8_t> bytes;
    bytes.reserve(formats.size() * kFormatRecordSize);
    for (const auto& f : formats) {
        const auto rec = EncodeFormat(f);
        bytes.insert(bytes.end(), rec.begin(), rec.end());
    }
    return WriteFileReplacing(path, bytes);
}

}  // namespace orv
