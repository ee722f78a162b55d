// Damaged recordings: each kind of damage is reported with its byte offset and reason, the reader
// resynchronises on the next sound packet counting what it skipped, and the sound packets still read.

#include <gtest/gtest.h>

#include <algorithm>

#include "c10/c10_test_support.h"
#include "support/scratch_dir.h"

namespace orv::c10::test {
namespace {

using Bytes = std::vector<uint8_t>;

void Set16(Bytes& b, std::size_t at, uint16_t v) {
    b[at] = uint8_t(v);
    b[at + 1] = uint8_t(v >> 8);
}
void Set32(Bytes& b, std::size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + std::size_t(i)] = uint8_t(v >> (8 * i));
}
// Recomputes the header checksum of the packet at `at` after a field was changed on purpose.
void FixHeaderChecksum(Bytes& b, std::size_t at) {
    uint16_t sum = 0;
    for (std::size_t i = 0; i < 22; i += 2) sum = uint16_t(sum + (b[at + i] | (b[at + i + 1] << 8)));
    Set16(b, at + 22, sum);
}

std::vector<uint32_t> WordsOf(const Collector& c) {
    std::vector<uint32_t> w;
    for (const Word& x : c.words) w.push_back(x.word);
    return w;
}

const std::vector<uint32_t> kAllWords = {0x12345681, 0x8ABCDE42, 0x40000003, 0x00000101};
const std::vector<uint32_t> kSecondPacketOnly = {0x00000101};

// One damaged copy of the small recording: the problem expected and the words still read.
struct Case {
    const char* name;
    void (*damage)(Bytes&, const SmallLayout&);
    ProblemKind kind;
    std::size_t SmallLayout::*at;
    uint64_t skipped;
    std::vector<uint32_t> words;
};

TEST(RecordingDamage, EachDamageIsReportedAtItsOffsetAndTheSoundPacketsStillRead) {
    const Case cases[] = {
        {"bad sync", [](Bytes& b, const SmallLayout& s) { b[s.arinc1 + 1] = 0xEA; },
         ProblemKind::BadSync, &SmallLayout::arinc1, 52, kSecondPacketOnly},
        {"wrong header checksum", [](Bytes& b, const SmallLayout& s) { b[s.arinc1 + 16] ^= 0x01; },
         ProblemKind::BadHeaderChecksum, &SmallLayout::arinc1, 52, kSecondPacketOnly},
        {"packet length beyond the file",
         [](Bytes& b, const SmallLayout& s) {
             Set32(b, s.arinc1 + 4, 0x10000);
             FixHeaderChecksum(b, s.arinc1);
         },
         ProblemKind::BeyondFile, &SmallLayout::arinc1, 52, kSecondPacketOnly},
        {"data length beyond the packet",
         [](Bytes& b, const SmallLayout& s) {
             Set32(b, s.arinc1 + 8, 29);
             FixHeaderChecksum(b, s.arinc1);
         },
         ProblemKind::BadLengths, &SmallLayout::arinc1, 52, kSecondPacketOnly},
        {"count disagreeing with the data length",
         [](Bytes& b, const SmallLayout& s) { Set32(b, s.arinc1 + 24, 4); },
         ProblemKind::BadCount, &SmallLayout::arinc1, 0, kSecondPacketOnly},
        {"time packet with a month 13",
         [](Bytes& b, const SmallLayout& s) { Set16(b, s.time1 + 28 + 4, 0x1307); },
         ProblemKind::BadTime, &SmallLayout::time1, 0, kAllWords},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        const SmallLayout s = HandMadeRecording();
        Bytes b = s.bytes;
        k.damage(b, s);
        const Collector c = ReadAll(b);
        ASSERT_EQ(c.problems.size(), 1u);
        EXPECT_EQ(c.problems[0].kind, k.kind);
        EXPECT_EQ(c.problems[0].offset, s.*k.at);
        EXPECT_EQ(c.problems[0].skipped, k.skipped);
        EXPECT_EQ(WordsOf(c), k.words);
        // The message names the offset and the reason in Russian.
        const std::string m = c.problems[0].Message();
        EXPECT_EQ(m.rfind("Смещение " + std::to_string(s.*k.at) + ": " + c.problems[0].Reason(), 0), 0u) << m;
    }
}

TEST(RecordingDamage, FileCutAtEveryByteOfItsLastPacketReportsTheTruncatedPacket) {
    const SmallLayout s = HandMadeRecording();
    for (std::size_t cut = s.arinc2; cut < s.bytes.size(); ++cut) {
        SCOPED_TRACE(cut);
        const Bytes b(s.bytes.begin(), s.bytes.begin() + std::ptrdiff_t(cut));
        const Collector c = ReadAll(b);
        EXPECT_EQ(c.words.size(), 3u);
        EXPECT_EQ(c.times.size(), 2u);
        if (cut == s.arinc2) {
            EXPECT_TRUE(c.problems.empty());  // ends between packets
            continue;
        }
        ASSERT_EQ(c.problems.size(), 1u);
        EXPECT_EQ(c.problems[0].kind, ProblemKind::Truncated);
        EXPECT_EQ(c.problems[0].offset, s.arinc2);
        EXPECT_EQ(c.problems[0].skipped, cut - s.arinc2);
    }
}

TEST(RecordingDamage, MissingTmatsAndMissingFirstTimePacketAreReportedAndTheWordsStillRead) {
    const SmallLayout s = HandMadeRecording();
    {
        const Bytes b(s.bytes.begin() + std::ptrdiff_t(s.time0), s.bytes.end());
        const Collector c = ReadAll(b);
        ASSERT_EQ(c.problems.size(), 1u);
        EXPECT_EQ(c.problems[0].kind, ProblemKind::NoTmats);
        EXPECT_EQ(c.problems[0].offset, 0u);
        EXPECT_EQ(WordsOf(c), kAllWords);
        EXPECT_NE(c.words[0].absolute, kNoTime);
    }
    {
        Bytes b(s.bytes.begin(), s.bytes.begin() + std::ptrdiff_t(s.time0));
        b.insert(b.end(), s.bytes.begin() + std::ptrdiff_t(s.arinc1), s.bytes.end());
        const Collector c = ReadAll(b);
        ASSERT_EQ(c.problems.size(), 1u);
        EXPECT_EQ(c.problems[0].kind, ProblemKind::NoTimeBeforeData);
        EXPECT_EQ(c.problems[0].offset, s.time0);  // where the first data packet now is
        EXPECT_EQ(WordsOf(c), kAllWords);
        // Words before any time packet have no absolute time; the one after the time packet has.
        EXPECT_EQ(c.words[0].absolute, kNoTime);
        EXPECT_EQ(c.words[2].absolute, kNoTime);
        EXPECT_EQ(c.words[3].absolute, kStart - 34567 + 1571367);
        EXPECT_EQ(c.words[3].relative, 1571367 - 38967);
    }
}

// An ARINC-429 packet of one word with a data checksum of the given kind (flags bits 1-0) and/or a
// secondary header, written from the layout: header, [secondary header], channel-specific word,
// intra-packet header, word, filler, checksum.
Bytes FlaggedPacket(uint8_t flags, uint32_t word) {
    const std::size_t secondary = (flags & 0x80) ? 12 : 0;
    const std::size_t checksum = std::size_t(flags & 3) == 3 ? 4 : (flags & 3);
    const std::size_t length = (24 + secondary + 12 + checksum + 3) & ~std::size_t(3);
    Bytes b(length, 0);
    Set16(b, 0, 0xEB25);                  // sync
    Set16(b, 2, 3);                       // channel id 3 (board 2)
    Set32(b, 4, uint32_t(length));        // packet length
    Set32(b, 8, 12);                      // data length
    b[12] = 0x09;                         // data type version
    b[14] = flags;                        // packet flags
    b[15] = 0x38;                         // ARINC-429 format 0
    Set32(b, 16, 2'000'000);              // counter
    FixHeaderChecksum(b, 0);
    if (secondary) {
        Set32(b, 24, 0x01020304);         // secondary header time
        uint16_t sum = 0;                 // its checksum: the 16-bit sum of its first ten bytes
        for (std::size_t i = 24; i < 34; ++i) sum = uint16_t(sum + b[i]);
        Set16(b, 34, sum);
    }
    const std::size_t body = 24 + secondary;
    Set32(b, body, 1);                    // message count
    Set32(b, body + 4, 0x01000000);       // gap 0, bus 1
    Set32(b, body + 8, word);
    const std::size_t end = length - checksum;  // the checksum closes the packet, after the filler
    if (checksum == 1) {
        uint8_t sum = 0;
        for (std::size_t i = body; i < end; ++i) sum = uint8_t(sum + b[i]);
        b[end] = sum;
    } else if (checksum == 2) {
        uint16_t sum = 0;
        for (std::size_t i = body; i < end; i += 2) sum = uint16_t(sum + (b[i] | (b[i + 1] << 8)));
        Set16(b, end, sum);
    } else if (checksum == 4) {
        uint32_t sum = 0;
        for (std::size_t i = body; i < end; i += 4)
            sum += uint32_t(b[i] | (b[i + 1] << 8) | (b[i + 2] << 16) | (uint32_t(b[i + 3]) << 24));
        Set32(b, end, sum);
    }
    return b;
}

TEST(RecordingDamage, DataAndSecondaryHeaderChecksumsAreCheckedWhenFlagged) {
    const SmallLayout s = HandMadeRecording();
    const uint8_t flagSets[] = {0x01, 0x02, 0x03, 0x80, 0x82};
    for (const uint8_t flags : flagSets) {
        SCOPED_TRACE(int(flags));
        for (const bool damaged : {false, true}) {
            Bytes packet = FlaggedPacket(flags, 0x00ABCD77);
            if (damaged) packet[packet.size() - (flags & 3 ? 6 : 2)] ^= 0x40;  // a data byte
            if (damaged && flags == 0x80) packet[30] ^= 0x01;  // inside the secondary header
            Bytes b = s.bytes;
            const std::size_t at = b.size();
            b.insert(b.end(), packet.begin(), packet.end());
            b.insert(b.end(), s.bytes.begin() + std::ptrdiff_t(s.arinc2), s.bytes.end());
            const Collector c = ReadAll(b);
            if (!damaged) {
                EXPECT_TRUE(c.problems.empty());
                ASSERT_EQ(c.words.size(), 6u);
                EXPECT_EQ(c.words[4].word, 0x00ABCD77u);
                EXPECT_EQ(c.words[4].channel, 3);
                EXPECT_EQ(c.words[4].bus, 1);
                ASSERT_EQ(c.packets.size(), 7u);
                EXPECT_EQ(c.packets[5].hasSecondaryTime, (flags & 0x80) != 0);
                EXPECT_EQ(c.packets[5].secondaryTime, (flags & 0x80) ? 0x01020304u : 0u);
                continue;
            }
            ASSERT_EQ(c.problems.size(), 1u);
            EXPECT_EQ(c.problems[0].kind,
                      flags == 0x80 ? ProblemKind::BadSecondaryChecksum : ProblemKind::BadDataChecksum);
            EXPECT_EQ(c.problems[0].offset, at);
            EXPECT_EQ(c.words.size(), 5u);  // the packet after it still reads
        }
    }
}

TEST(RecordingDamage, RunsOfGarbageAreSkippedAndCounted) {
    const SmallLayout s = HandMadeRecording();
    Bytes b(s.bytes.begin(), s.bytes.begin() + std::ptrdiff_t(s.arinc1));
    // Garbage with false sync patterns and headers that fail their checksum.
    Bytes garbage(70001, 0x25);
    for (std::size_t i = 1; i < garbage.size(); i += 3) garbage[i] = 0xEB;
    b.insert(b.end(), garbage.begin(), garbage.end());
    b.insert(b.end(), s.bytes.begin() + std::ptrdiff_t(s.arinc1), s.bytes.end());
    const Collector c = ReadAll(b);
    ASSERT_EQ(c.problems.size(), 1u);
    EXPECT_EQ(c.problems[0].offset, s.arinc1);
    EXPECT_EQ(c.problems[0].skipped, garbage.size());
    EXPECT_EQ(WordsOf(c), kAllWords);
}

}  // namespace
}  // namespace orv::c10::test

namespace orv::c10::test {
namespace {

TEST(RecordingDamage, PacketsOfOtherTypesArePassedOverWithoutComplaint) {
    const SmallLayout s = HandMadeRecording();
    Bytes other = FlaggedPacket(0x00, 0x00ABCD77);
    other[15] = 0x19;  // a MIL-STD-1553 packet, say
    FixHeaderChecksum(other, 0);
    Bytes b = s.bytes;
    b.insert(b.begin() + std::ptrdiff_t(s.arinc2), other.begin(), other.end());
    Collector c;
    Reader reader;
    reader.ReadBytes(b, c);
    EXPECT_TRUE(c.problems.empty());
    EXPECT_EQ(WordsOf(c), kAllWords);
    EXPECT_EQ(reader.Summary().packetsByType[0x19], 1u);
    EXPECT_EQ(reader.Summary().packetsByType[0x38], 2u);
}

using RecordingFileDamageTest = orv::test::ScratchDir;

// A recording several times the reader's buffer, damaged in many places (one run of garbage
// longer than a packet), reads from the file exactly as from memory: the same words and problems.
TEST_F(RecordingFileDamageTest, ALargeDamagedFileReadsFromDiskAsFromMemory) {
    {
        uint64_t now = 0;
        WriterOptions o;
        o.setup = SmallSetup();
        o.startTime = kStart;
        o.clock = [&now] { return now; };
        std::string error;
        auto w = Writer::Create("big.ch10", o, &error);
        ASSERT_NE(w, nullptr) << error;
        for (now = 0; now < 5'400'000'000; now += 3600) {
            w->Offer({now, uint32_t(now / 3600), 2, 4, 0});
            if (now % 1'000'000 == 0) w->Service();
        }
        ASSERT_TRUE(w->Close());
    }
    Bytes b = ScratchDir::ReadBytes("big.ch10");
    ASSERT_GT(b.size(), 12'000'000u);  // three times the reader's buffer
    // Damage the sync, the header checksum or the count of every 37th packet.
    const Collector clean = ReadAll(b);
    std::size_t damaged = 0;
    for (std::size_t i = 2; i < clean.packets.size(); i += 37, ++damaged) {
        const std::size_t at = clean.packets[i].offset;
        b[at + (damaged % 3 == 0 ? 0 : damaged % 3 == 1 ? 16 : 24)] ^= 0x01;
    }
    b.insert(b.begin() + 7'000'001, 700'000, 0x25);
    b.resize(b.size() - 5);
    ScratchDir::WriteBytes("big.ch10", b);

    const Collector memory = ReadAll(b);
    Collector disk;
    Reader reader;
    ASSERT_TRUE(reader.ReadFile("big.ch10", disk));
    EXPECT_GT(memory.problems.size(), damaged / 2);  // a resync may pass over several
    ASSERT_EQ(disk.problems.size(), memory.problems.size());
    for (std::size_t i = 0; i < disk.problems.size(); ++i) {
        EXPECT_EQ(disk.problems[i].offset, memory.problems[i].offset);
        EXPECT_EQ(disk.problems[i].kind, memory.problems[i].kind);
        EXPECT_EQ(disk.problems[i].skipped, memory.problems[i].skipped);
    }
    EXPECT_EQ(memory.problems.back().kind, ProblemKind::Truncated);
    EXPECT_EQ(WordsOf(disk), WordsOf(memory));
    EXPECT_GT(disk.words.size(), 1'400'000u);
}

}  // namespace
}  // namespace orv::c10::test
