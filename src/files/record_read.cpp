#include "files/record_read.h"

namespace orv {

std::vector<std::vector<uint8_t>> SplitRecords(std::span<const uint8_t> bytes, std::size_t recordSize) {
    std::vector<std::vector<uint8_t>> records;
    if (recordSize == 0) return records;
    for (std::size_t at = 0; at + recordSize <= bytes.size(); at += recordSize)
        records.emplace_back(bytes.begin() + std::ptrdiff_t(at), bytes.begin() + std::ptrdiff_t(at + recordSize));
    return records;
}

std::vector<std::vector<uint8_t>> ReadRecordFile(const std::string& path, std::size_t recordSize) {
    const FileBytes file = ReadFileBytes(path);
    return SplitRecords(file.bytes, recordSize);
}

bool HasControlCharacter(std::string_view text) {
    const std::string_view shown = text.substr(0, std::min(text.find('\0'), text.size()));
    for (const char c : shown) {
        const auto b = uint8_t(c);
        if (b < 0x20 || b == 0x7F || b == 0x98) return true;
    }
    return false;
}

}  // namespace orv
