// "Orvfrmt.stt": any bytes are read without fault; the formats kept are sound, and saving them
// through the table's lines and reading them again keeps every one of them.
#include <cstddef>
#include <cstdint>
#include <span>

#include "config/format_file.h"
#include "config/table_rules.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace orv;
    const auto read = DecodeFormatFile(std::span<const uint8_t>(data, size));
    FUZZ_CHECK(read.records.size() + read.damaged.size() == size / kFormatRecordSize);
    const std::vector<DecimalFormat> saved = FormatsOfLines(FormatLines(read.records));
    std::vector<uint8_t> bytes;
    for (const auto& f : saved) {
        FUZZ_CHECK(FormatRecordDefect(f) == nullptr);
        const auto rec = EncodeFormat(f);
        bytes.insert(bytes.end(), rec.begin(), rec.end());
    }
    const auto again = DecodeFormatFile(bytes);
    FUZZ_CHECK(again.damaged.empty() && again.records.size() == saved.size());
    return 0;
}
