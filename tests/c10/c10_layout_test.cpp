// A small recording written out field by field from the layout tables reads back field by field,
// and the writer, given the same words and clock, writes exactly those bytes.

#include <gtest/gtest.h>

#include "c10/c10_test_support.h"
#include "support/scratch_dir.h"

namespace orv::c10::test {
namespace {

using RecordingLayoutTest = orv::test::ScratchDir;

TEST(RecordingLayout, HandMadeFileReadsBackFieldByField) {
    const SmallLayout s = HandMadeRecording();
    const Collector c = ReadAll(s.bytes);
    EXPECT_TRUE(c.problems.empty()) << c.problems[0].Message();

    // Packet headers, in file order.
    ASSERT_EQ(c.packets.size(), 5u);
    const std::size_t offsets[] = {s.tmats, s.time0, s.arinc1, s.time1, s.arinc2};
    const uint16_t channels[] = {0, 1, 2, 1, 2};
    const uint8_t types[] = {0x01, 0x11, 0x38, 0x11, 0x38};
    const uint8_t sequences[] = {0, 0, 0, 1, 1};
    const uint64_t counters[] = {34567, 0, 38967, 10000000, 1571367};
    for (std::size_t i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(c.packets[i].offset, offsets[i]);
        EXPECT_EQ(c.packets[i].header.channel, channels[i]);
        EXPECT_EQ(c.packets[i].header.dataType, types[i]);
        EXPECT_EQ(c.packets[i].header.sequence, sequences[i]);
        EXPECT_EQ(c.packets[i].header.counter, counters[i]);
        EXPECT_EQ(c.packets[i].header.version, 0x09);
        EXPECT_EQ(c.packets[i].header.flags, 0);
    }

    // The setup record, parsed back into channels and buses.
    ASSERT_EQ(c.tmats.size(), 1u);
    const TmatsInfo& t = c.tmats[0];
    EXPECT_EQ(t.edition, "19");
    EXPECT_EQ(t.recorderId, "ORVMON");
    EXPECT_EQ(t.timeChannel, std::optional<uint16_t>(1));
    ASSERT_EQ(t.channels.size(), 1u);
    EXPECT_EQ(t.channels[0].id, 2);
    EXPECT_EQ(t.channels[0].name, "Плата 1");
    ASSERT_EQ(t.channels[0].buses.size(), 2u);
    EXPECT_EQ(t.channels[0].buses[0].number, 0);
    EXPECT_EQ(t.channels[0].buses[0].name, "Вход 1");
    EXPECT_EQ(t.channels[0].buses[0].bitRate, 12500.0);
    EXPECT_EQ(t.channels[0].buses[1].number, 4);
    EXPECT_EQ(t.channels[0].buses[1].name, "Вход 5");
    EXPECT_EQ(t.channels[0].buses[1].bitRate, 100000.0);

    // Time packets name 14:30:15.12 and 14:30:16.12.
    const int64_t counterZero = kStart - 34567;
    ASSERT_EQ(c.times.size(), 2u);
    EXPECT_EQ(c.times[0], counterZero);
    EXPECT_EQ(c.times[1], counterZero + 10'000'000);

    // Words in order of start time, each with its bus, flags, absolute and relative time.
    struct Expected {
        uint32_t word;
        uint8_t bus, flags;
        uint64_t counter;
    };
    const Expected expected[] = {
        {0x12345681, 0, 0, 38967},
        {0x8ABCDE42, 0, kWordParityError, 67767},
        {0x40000003, 4, kWordHighSpeed | kWordFormatError, 71367},
        {0x00000101, 4, kWordHighSpeed, 1571367},
    };
    ASSERT_EQ(c.words.size(), 4u);
    for (std::size_t i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        const Word& w = c.words[i];
        EXPECT_EQ(w.word, expected[i].word);
        EXPECT_EQ(w.channel, 2);
        EXPECT_EQ(w.bus, expected[i].bus);
        EXPECT_EQ(w.flags, expected[i].flags);
        EXPECT_EQ(w.counter, expected[i].counter);
        EXPECT_EQ(w.relative, int64_t(expected[i].counter - 38967));
        EXPECT_EQ(w.absolute, counterZero + int64_t(expected[i].counter));
    }
    // The first word started 30000 - 25600 ticks after the recording's start.
    EXPECT_EQ(c.words[0].absolute, kStart + 4400);
}

TEST_F(RecordingLayoutTest, WriterGivenTheSameWordsAndClockWritesThoseBytes) {
    std::string error;
    ASSERT_TRUE(WriteSmallRecording("small.ch10", &error)) << error;
    const std::vector<uint8_t> written = ReadBytes("small.ch10");
    const SmallLayout s = HandMadeRecording();
    ASSERT_EQ(written.size(), s.bytes.size());
    for (std::size_t i = 0; i < written.size(); ++i) ASSERT_EQ(written[i], s.bytes[i]) << "byte " << i;
    // The same file through the file reader (not from memory).
    Collector c;
    Reader reader;
    ASSERT_TRUE(reader.ReadFile("small.ch10", c, &error)) << error;
    EXPECT_TRUE(c.problems.empty());
    EXPECT_EQ(c.words.size(), 4u);
    EXPECT_EQ(reader.Summary().packetsByType[kTypeArinc429F0], 2u);
}

TEST(RecordingLayout, ReversedLabelsReadTheLabelBitsInWireOrder) {
    const Collector c = ReadAll(HandMadeRecording().bytes, ReadOptions{true});
    ASSERT_EQ(c.words.size(), 4u);
    EXPECT_EQ(c.words[0].word, 0x12345681u);  // 1000 0001 reads the same both ways
    EXPECT_EQ(c.words[1].word, 0x8ABCDE42u);  // 0100 0010 likewise
    EXPECT_EQ(c.words[2].word, 0x400000C0u);  // 0000 0011 -> 1100 0000
    EXPECT_EQ(c.words[3].word, 0x00000180u);  // 0000 0001 -> 1000 0000
}

TEST(RecordingLayout, IsoTimesHaveSevenDecimalsAndReadBack) {
    EXPECT_EQ(IsoTime(kStart), "2026-12-07T14:30:15.1234567Z");
    EXPECT_EQ(IsoTime(-1), "1969-12-31T23:59:59.9999999Z");
    EXPECT_EQ(ParseIsoTime("2026-12-07T14:30:15.1234567Z"), kStart);
    EXPECT_EQ(ParseIsoTime("2026-12-07T14:30:15.12+00:00"), kStart - 34567);
    EXPECT_EQ(ParseIsoTime("2024-02-29T00:00:00Z"), DaysFromCivil(2024, 2, 29) * 864'000'000'000);
    for (const char* bad : {"2026-12-07T14:30:15.12345678Z", "2026-12-07T14:30:15", "2026-12-07 14:30:15Z",
                            "2025-02-29T00:00:00Z", "2026-12-07T24:00:00Z", "2026-12-07T14:30:15.Z",
                            "2026-12-07T14:30:15+03:00", ""})
        EXPECT_EQ(ParseIsoTime(bad), kNoTime) << bad;
}

}  // namespace
}  // namespace orv::c10::test
