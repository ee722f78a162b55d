#include "config/format_file.h"

#include "files/record_read.h"
#include "files/file_replacement.h"
#include "text/scanf_forms.h"
#include "config/format_line.h"
#include "resources/config_strings.h"
#include "resources/file_strings.h"

namespace orv {

std::array<uint8_t, kFormatRecordSize> EncodeFormat(const DecimalFormat& format) {
    return EncodeRecord<kFormatRecordSize, DecimalFormat>(kFormatFields, format);
}

DecimalFormat DecodeFormat(std::span<const uint8_t> record) { return DecodeRecord<DecimalFormat>(kFormatFields, record); }

const char* FormatRecordDefect(const DecimalFormat& format) {
    if (TextsHoldControlCharacter<DecimalFormat>(kFormatFields, format)) return text::kDefectControl;
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
    return ReplaceFile(path, EncodeRecords(formats, kFormatRecordSize, EncodeFormat), keepBackup);
}

bool SaveFormats(std::span<const DecimalFormat> formats, const std::string& path) {
    return StoreFormats(formats, path) == SaveError::None;
}

}  // namespace orv
