// Scenario files (TOML): any bytes are read without fault. This project builds the TOML parser
// from its headers with its own assertions on, so text the parser mishandles (which the reader
// must refuse first) aborts here. A refusal names a line of the text and a reason; a scenario
// that is read keeps the bounds the reader promises.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz_check.h"
#include "vboard/scenario_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace orv;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    ScenarioError error;
    const std::optional<Scenario> scenario = ParseScenario(text, error);
    if (!scenario) {
        const auto lines = std::count(text.begin(), text.end(), '\n') + 1;
        FUZZ_CHECK(error.line >= 1 && error.line <= lines);
        FUZZ_CHECK(!error.reason.empty());
        (void)ScenarioErrorMessage("f.toml", error);
        return 0;
    }
    for (const BoardScenario& board : scenario->boards)
        for (const InputScenario& input : board.inputs) {
            if (input.hears != InputHears::Traffic) continue;
            const InputTraffic& t = input.traffic;
            FUZZ_CHECK(t.bitRateKbps >= 10.0 && t.bitRateKbps <= 100.0);
            double offered = 0.0;
            for (const LabelTraffic& l : t.labels) {
                FUZZ_CHECK(l.rateHz >= 0.01 && l.sdi <= 3 && l.jitter >= 0.0 && l.jitter <= 0.5);
                if (l.coding.encoding == TrafficEncoding::Bnr)
                    FUZZ_CHECK(l.coding.bnr.lsb >= 11 && l.coding.bnr.lsb <= l.coding.bnr.msb &&
                               (l.coding.bnr.signBit == 0 || l.coding.bnr.signBit > l.coding.bnr.msb));
                offered += l.rateHz;
            }
            FUZZ_CHECK(offered <= 100000.0);
            for (const TrafficFault& f : t.faults) FUZZ_CHECK(f.probability >= 0.0 && f.probability <= 1.0);
        }
    return 0;
}
