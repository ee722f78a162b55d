#include "config/param_file.h"

#include "config/record_file.h"

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

std::vector<ParamRecord> LoadParams(const std::string& path) {
    std::vector<ParamRecord> records;
    for (const auto& rec : ReadRecordFile(path, kParamRecordSize)) records.push_back(DecodeParam(rec));
    return records;
}

bool SaveParams(std::span<const ParamRecord> records, const std::string& path) {
    std::vector<uint8_t> bytes;
    bytes.reserve(records.size() * kParamRecordSize);
    for (const auto& r : records) {
        const auto rec = EncodeParam(r);
        bytes.insert(bytes.end(), rec.begin(), rec.end());
    }
    return WriteFileReplacing(path, bytes);
}

}  // namespace orv
