// ".42i": the display lines kept are sound and survive a save through the list's lines unchanged.
#include <cstddef>
#include <cstdint>
#include <span>

#include "display/display_line_file.h"
#include "display/list_rules.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace orv;
    const auto read = DecodeDisplayLineFile(std::span<const uint8_t>(data, size));
    FUZZ_CHECK(read.records.size() + read.damaged.size() == size / kDisplayLineRecordSize);
    FUZZ_CHECK(read.trailingBytes == size % kDisplayLineRecordSize);
    for (const auto& r : read.records) {
        const DisplayLineRecord back = ParseDisplayLine(RenderDisplayLine(r));
        FUZZ_CHECK(back.address == r.address && back.channel == r.channel);
        FUZZ_CHECK(back.paramLabel == ShownText(r.paramLabel) && back.formatLabel == ShownText(r.formatLabel));
        FUZZ_CHECK(DisplayLineDefect(back) == nullptr);
    }
    return 0;
}
