#include "config/param_file.h"

#include "files/record_file.h"
#include "resources/file_strings.h"

namespace orv {

std::array<uint8_t, kParamRecordSize> EncodeParam(const ParamRecord& record) {
    std::array<uint8_t, kParamRecordSize> rec{};
    PutU32(rec, 0, record.reserved);
    PutU16(rec, 4, record.address);
    PutText(rec, 6, record.formatLabel);
    PutText(rec, 15, record.paramLabel);
    return rec;
}

ParamRecord DecodeParam(std::span<const uint8_t> record) {
    ParamRecord r;
    r.reserved = GetU32(record, 0);
    r.address = GetU16(record, 4);
    r.formatLabel = GetText<8>(record, 6);
    r.paramLabel = GetText<8>(record, 15);
    return r;
}

const char* ParamRecordDefect(const ParamRecord& record) {
    if (HasControlCharacter(record.paramLabel.View()) || HasControlCharacter(record.formatLabel.View()))
        return text::kDefectControl;
    // An address 0400..0777 fits its three octal columns and stays in the dictionary; it is
    // refused where it would name a label slot.
    const ParamRecord back = ParseParamLine(RenderParamLine(record));
    if (back.address != record.address || back.paramLabel != ShownText(record.paramLabel) ||
        back.formatLabel != ShownText(record.formatLabel))
        return text::kDefectColumns;
    return nullptr;
}

RecordFileRead<ParamRecord> DecodeParamFile(std::span<const uint8_t> bytes) {
    return DecodeRecordBytes<ParamRecord>(bytes, kParamRecordSize, DecodeParam, ParamRecordDefect);
}

RecordFileRead<ParamRecord> ReadParamFile(const std::string& path) {
    return ReadRecordsOfFile<ParamRecord>(path, kParamRecordSize, DecodeParam, ParamRecordDefect);
}

std::vector<ParamRecord> LoadParams(const std::string& path) { return ReadParamFile(path).records; }

SaveError StoreParams(std::span<const ParamRecord> records, const std::string& path, bool keepBackup) {
    std::vector<uint8_t> bytes;
    bytes.reserve(records.size() * kParamRecordSize);
    for (const auto& r : records) {
        const auto rec = EncodeParam(r);
        bytes.insert(bytes.end(), rec.begin(), rec.end());
    }
    return ReplaceFile(path, bytes, keepBackup);
}

bool SaveParams(std::span<const ParamRecord> records, const std::string& path) {
    return StoreParams(records, path) == SaveError::None;
}

}  // namespace orv
