// The trace listing over a ring written by the acquisition thread's own channel service, not by a
// copy of it: what the trace dialog shows after the thread served a masked label.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "session/acquisition.h"
#include "session/board_control.h"
#include "board_fixture.h"
#include "monitor/mask.h"
#include "monitor/trace.h"

namespace orv::test {
namespace {

class TraceRingTest : public BoardTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(OpenSelectedBoard(state, "arinc10"));
        // 3 ms between words, the tick count wrapping at 2^32 on the way.
        state.Board.TickCount = [this] { return clock += 3; };
        StoreMaskPattern(state.Acquisition, 2, EncodeMask(std::string(kMaskBits, 'x')));
        state.Acquisition.MaskLabel[2] = 0203;
        state.Acquisition.MaskActive[2] = 1;
    }
    // Serves channel index 2 once for each word, as the thread does for each signal.
    void Arrive(uint32_t first, int count) {
        for (int k = 0; k < count; ++k) {
            Device().QueueReply(kReadSlot, SlotReply(first + uint32_t(k)));
            ServeMaskedChannel(state, 2);
        }
    }
    static int SlotOf(const std::string& line) { return std::stoi(line.substr(0, 3)); }
    static int IntervalOf(const std::string& line) { return std::stoi(line.substr(58)); }
    static bool Shows(const std::string& line, uint32_t word) {
        char hex[16];
        std::snprintf(hex, sizeof hex, "0x%08x", word);
        return line.find(hex) != std::string::npos;
    }

    uint32_t clock = 0xFFFFFE00u;
};

TEST_F(TraceRingTest, AWrappedRingIsListedFromTheOldestWordAcrossTheClockWrap) {
    Arrive(0x00100083u, 300);
    const auto lines = TraceLines(state.Acquisition, 2, DecimalFormat::None());
    ASSERT_EQ(lines.size(), 256u);
    // Words 44..299 remain; word 44 sits in slot 44 and is the oldest.
    EXPECT_EQ(SlotOf(lines[0]), 44);
    EXPECT_TRUE(Shows(lines[0], 0x00100083u + 44));
    EXPECT_EQ(SlotOf(lines[211]), 255);
    EXPECT_EQ(SlotOf(lines[212]), 0);
    EXPECT_TRUE(Shows(lines[212], 0x00100083u + 256));
    EXPECT_TRUE(Shows(lines[255], 0x00100083u + 299));
    EXPECT_EQ(IntervalOf(lines[0]), 0);
    for (std::size_t k = 1; k < lines.size(); ++k) EXPECT_EQ(IntervalOf(lines[k]), 3) << k;

    // A new mask empties the listing; the thread's next word is its first line.
    state.Acquisition.MaskActive[2] = 0;
    StoreMaskPattern(state.Acquisition, 2, EncodeMask(std::string(kMaskBits, 'x')));
    state.Acquisition.MaskActive[2] = 1;
    EXPECT_TRUE(TraceLines(state.Acquisition, 2, DecimalFormat::None()).empty());
    Arrive(0x00200083u, 1);
    const auto after = TraceLines(state.Acquisition, 2, DecimalFormat::None());
    ASSERT_EQ(after.size(), 1u);
    EXPECT_TRUE(Shows(after[0], 0x00200083u));
}

}  // namespace
}  // namespace orv::test
