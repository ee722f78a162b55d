// Trace: listing order of the ring, intervals, line layout and caption.
#include <gtest/gtest.h>

#include "monitor/mask.h"
#include "monitor/trace.h"
#include "text/code_page.h"
#include "monitor_fixture.h"

namespace orv {
namespace {

// Appends a word to the ring as the acquisition thread does.
void Append(AcquisitionState& acq, int ch, uint32_t word, uint32_t time) {
    const auto c = std::size_t(ch);
    uint16_t index = acq.TraceIndex[c];
    if (index >= kTraceSlots) index = 0;
    acq.TraceValues[c][index] = word;
    acq.TraceTimes[c][index] = time;
    acq.TraceIndex[c] = uint16_t(index + 1);
}

int SlotOf(const std::string& line) { return std::stoi(line.substr(0, 3)); }
int IntervalOf(const std::string& line) { return std::stoi(line.substr(58)); }

TEST(TraceLineTest, ColumnsWithAndWithoutFormat) {
    const std::string plain = TraceLine(5, 0x92345678, DecimalFormat::None(), 0);
    EXPECT_EQ(plain, "005   0x92345678   022215053170   00 " + std::string(21, ' ') + "          0");
    EXPECT_EQ(plain.size(), kTraceLineWidth);
    const std::string formatted = TraceLine(255, 0x4C8000C8, test::Alt1Format(), -12);
    EXPECT_EQ(formatted.substr(34, 3), "10 ");  // bit 31 set, bit 30 clear
    EXPECT_EQ(formatted.substr(37), " +1.406250e+002 deg          -12");
    EXPECT_EQ(formatted.size(), kTraceLineWidth);
}

TEST(TraceLinesTest, EmptyAfterSetThenOldestFirst) {
    AcquisitionState acq;
    // Leftovers of an earlier mask on the channel.
    for (int k = 0; k < 20; ++k) Append(acq, 2, 0, 1000u + uint32_t(k));
    acq.TraceIndex[2] = 3;
    StoreMaskPattern(acq, 2, EncodeMask(std::string(kMaskBits, 'x')));
    EXPECT_TRUE(TraceLines(acq, 2, DecimalFormat::None()).empty());

    Append(acq, 2, 0x11, 500);
    Append(acq, 2, 0x22, 520);
    Append(acq, 2, 0x33, 547);
    const auto lines = TraceLines(acq, 2, DecimalFormat::None());
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(SlotOf(lines[0]), 0);
    EXPECT_EQ(SlotOf(lines[2]), 2);
    EXPECT_EQ(IntervalOf(lines[0]), 0);
    EXPECT_EQ(IntervalOf(lines[1]), 20);
    EXPECT_EQ(IntervalOf(lines[2]), 27);
    EXPECT_NE(lines[1].find("0x00000022"), std::string::npos);
}

TEST(TraceLinesTest, FullRingStartsAtTheNextSlotAcrossTheClockWrap) {
    AcquisitionState acq;
    // 300 words, 3 ms apart, the tick count wrapping at 2^32 on the way.
    const auto time = [](int k) { return 0xFFFFFE00u + 3u * uint32_t(k); };
    for (int k = 0; k < 300; ++k) Append(acq, 0, 0x100u + uint32_t(k), time(k));
    acq.TraceTimes[0][0] = time(256) + 1000;  // slot 0 came late: its interval shows it
    const auto lines = TraceLines(acq, 0, DecimalFormat::None());
    ASSERT_EQ(lines.size(), 256u);
    EXPECT_EQ(SlotOf(lines[0]), 44);
    EXPECT_EQ(IntervalOf(lines[0]), 0);
    EXPECT_EQ(IntervalOf(lines[1]), 3);
    EXPECT_EQ(SlotOf(lines[211]), 255);
    EXPECT_EQ(SlotOf(lines[212]), 0);
    EXPECT_EQ(IntervalOf(lines[212]), 1003);   // t0 - t255
    EXPECT_EQ(IntervalOf(lines[213]), -997);   // time went back: a signed difference
    EXPECT_EQ(SlotOf(lines[255]), 43);
}

TEST(TraceLinesTest, AZeroWordInAFullRingIsStillListed) {
    AcquisitionState acq;
    for (int k = 0; k < 300; ++k) Append(acq, 5, k == 44 ? 0u : 0x80u, 10u * uint32_t(k));
    const auto lines = TraceLines(acq, 5, DecimalFormat::None());
    ASSERT_EQ(lines.size(), 256u);
    EXPECT_EQ(SlotOf(lines[0]), 44);
    EXPECT_NE(lines[0].find("0x00000000"), std::string::npos);
    // The ring index may stand at 256 (just wrapped): it lists from slot 0.
    AcquisitionState wrapped;
    for (int k = 0; k < 256; ++k) Append(wrapped, 1, 1, uint32_t(k));
    EXPECT_EQ(wrapped.TraceIndex[1], 256);
    const auto all = TraceLines(wrapped, 1, DecimalFormat::None());
    ASSERT_EQ(all.size(), 256u);
    EXPECT_EQ(SlotOf(all[0]), 0);
    EXPECT_TRUE(TraceLines(wrapped, 8, DecimalFormat::None()).empty());
}

TEST(TraceCaptionTest, LabelAndChannel) {
    EXPECT_EQ(TraceCaption(Label8("    ALT1"), 3), Cp1251("Метка:     ALT1       № канала: 3"));
}

}  // namespace
}  // namespace orv
