#include "display/display_line_file.h"

#include "files/record_read.h"
#include "display/list_rules.h"
#include "resources/file_strings.h"

namespace orv {

std::array<uint8_t, kDisplayLineRecordSize> EncodeDisplayLine(const DisplayLineRecord& record) {
    return EncodeRecord<kDisplayLineRecordSize, DisplayLineRecord>(kDisplayLineFields, record);
}

DisplayLineRecord DecodeDisplayLine(std::span<const uint8_t> record) {
    return DecodeRecord<DisplayLineRecord>(kDisplayLineFields, record);
}

// A channel or address with no label slot reads back the same and stays in the list; loading the
// list refuses it (LoadDisplayList).
const char* DisplayLineDefect(const DisplayLineRecord& record) {
    return LineRecordDefect<DisplayLineRecord>(
        kDisplayLineFields, record, [](const DisplayLineRecord& r) { return ParseDisplayLine(RenderDisplayLine(r)); });
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
    return EncodeRecords(records, kDisplayLineRecordSize, EncodeDisplayLine);
}

}  // namespace orv
