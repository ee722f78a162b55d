// "Orvparam.stt": any bytes restore without fault, and every word kept in the table has a line.
#include <cstddef>
#include <cstdint>
#include <span>

#include "config/channel_settings.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace orv;
    ChannelSettingTable table{};
    const ChannelSettingsRead read = DecodeChannelSettings(table, std::span<const uint8_t>(data, size));
    FUZZ_CHECK(read.damaged.size() <= table.size());
    for (int c = 1; c <= kSettingsPerKind; ++c) {
        FUZZ_CHECK(ChannelSettingDefect(table[std::size_t(InputSettingIndex(c))]) == nullptr);
        FUZZ_CHECK(!InputChannelLine(c, table[std::size_t(InputSettingIndex(c))]).empty());
        FUZZ_CHECK(!OutputChannelLine(c, table[std::size_t(OutputSettingIndex(c))]).empty());
    }
    return 0;
}
