#include "display/display_line_file.h"

#include "files/record_file.h"
#include "display/list_rules.h"
#include "resources/file_strings.h"

namespace orv {

std::array<uint8_t, kDisplayLineRecordSize> EncodeDisplayLine(const DisplayLineRecord& record) {
    std::array<uint8_t, kDisplayLineRecordSize> rec{};
    PutU32(rec, 0, record.reserved);
    PutU16(rec, 4, record.address);
    PutU16(rec, 6, record.channel);
    PutText(rec, 8, record.formatLabel);
    PutText(rec, 17, record.paramLabel);
    return rec;
}

DisplayLineRecord DecodeDisplayLine(std::span<const uint8_t> record) {
    DisplayLineRecord r;
    r.reserved = GetU32(record, 0);
    r.address = GetU16(record, 4);
    r.channel = GetU16(record, 6);
    r.formatLabel = GetText<8>(record, 8);
    r.paramLabel = GetText<8>(record, 17);
    return r;
}

const char* DisplayLineDefect(const DisplayLineRecord& record) {
    if (HasControlCharacter(record.paramLabel.View()) || HasControlCharacter(record.formatLabel.View()))
        return text::kDefectControl;
    // A channel or address with no label slot reads back the same and stays in the list; loading
    // the list refuses it (LoadDisplayList).
    const DisplayLineRecord back = ParseDisplayLine(RenderDisplayLine(record));
    if (back.address != record.address || back.channel != record.channel ||
        back.paramLabel != ShownText(record.paramLabel) || back.formatLabel != ShownText(record.formatLabel))
        return text::kDefectColumns;
    return nullptr;
}

RecordFileRead<DisplayLineRecord> DecodeDisplayLineFile(std::span<const uint8_t> bytes) {
    return DecodeRecordBytes<DisplayLineRecord>(bytes, kDisplayLineRecordSize, DecodeDisplayLine,
                                                DisplayLineDefect);
}

RecordFileRead<DisplayLineRecord> ReadDisplayLineFile(const std::string& path) {
    return ReadRecordsOfFile<DisplayLineRecord>(path, kDisplayLineRecordSize, DecodeDisplayLine,
                                                DisplayLineDefect);
}

std::vector<DisplayLineRecord> DecodeDisplayLines(std::span<const uint8_t> bytes) {
    std::vector<DisplayLineRecord> records;
    for (const auto& rec : SplitRecords(bytes, kDisplayLineRecordSize)) records.push_back(DecodeDisplayLine(rec));
    return records;
}

std::vector<uint8_t> EncodeDisplayLines(std::span<const DisplayLineRecord> records) {
    std::vector<uint8_t> bytes;
    bytes.reserve(records.size() * kDisplayLineRecordSize);
    for (const auto& r : records) {
        const auto rec = EncodeDisplayLine(r);
        bytes.insert(bytes.end(), rec.begin(), rec.end());
    }
    return bytes;
}

}  // namespace orv
