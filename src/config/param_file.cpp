#include "config/param_file.h"

#include "files/record_read.h"
#include "files/file_replacement.h"
#include "resources/file_strings.h"

namespace orv {

std::array<uint8_t, kParamRecordSize> EncodeParam(const ParamRecord& record) {
    return EncodeRecord<kParamRecordSize, ParamRecord>(kParamFields, record);
}

ParamRecord DecodeParam(std::span<const uint8_t> record) { return DecodeRecord<ParamRecord>(kParamFields, record); }

// An address 0400..0777 fits its three octal columns and stays in the dictionary; it is refused
// where it would name a label slot.
const char* ParamRecordDefect(const ParamRecord& record) {
    return LineRecordDefect<ParamRecord>(kParamFields, record,
                                         [](const ParamRecord& r) { return ParseParamLine(RenderParamLine(r)); });
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
