#include "config/param_file.h"

#include "files/record_read.h"
#include "files/file_replacement.h"
#include "resources/file_strings.h"

namespace orv {

std::array<uint8_t, kParamRecordSize> EncodeParam(const ParamRecord& record) {
    std::array<uint8_t, kParamRecordSize> rec{};
    EncodeFields<ParamRecord>(kParamFields, record, rec);
    return rec;
}

ParamRecord DecodeParam(std::span<const uint8_t> record) {
    ParamRecord r;
    DecodeFields<ParamRecord>(kParamFields, record, r);
    return r;
}

const char* ParamRecordDefect(const ParamRecord& record) {
    if (TextsHoldControlCharacter<ParamRecord>(kParamFields, record)) return text::kDefectControl;
    // An address 0400..0777 fits its three octal columns and stays in the dictionary; it is
    // refused where it would name a label slot.
    if (!ShownFieldsReadBack<ParamRecord>(kParamFields, ParseParamLine(RenderParamLine(record)), record))
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
    return ReplaceFile(path, EncodeRecords(records, kParamRecordSize, EncodeParam), keepBackup);
}

bool SaveParams(std::span<const ParamRecord> records, const std::string& path) {
    return StoreParams(records, path) == SaveError::None;
}

}  // namespace orv
