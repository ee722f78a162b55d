// "OrvparamList.stt": the entries kept are sound and survive a save through the dictionary's lines
// unchanged.
#include <cstddef>
#include <cstdint>
#include <span>

#include "config/param_file.h"
#include "config/table_rules.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace orv;
    const auto read = DecodeParamFile(std::span<const uint8_t>(data, size));
    FUZZ_CHECK(read.records.size() + read.damaged.size() == size / kParamRecordSize);
    const std::vector<ParamRecord> saved = ParamsOfLines(ParamLines(read.records));
    FUZZ_CHECK(saved.size() == read.records.size());
    for (const auto& r : saved) {
        FUZZ_CHECK(ParamRecordDefect(r) == nullptr);
        bool found = false;
        for (const auto& o : read.records)
            found = found || (o.address == r.address && ShownText(o.paramLabel) == r.paramLabel &&
                              ShownText(o.formatLabel) == r.formatLabel);
        FUZZ_CHECK(found);
    }
    return 0;
}
