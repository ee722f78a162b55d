// orvtool's recording commands on a small recording whose words the test knows (written by the
// recordings library's writer on a manual clock) and on the committed sample recording: what info
// and export say of each word, export -> import -> export, the lines import refuses, check on a
// damaged and a missing file, and output that cannot be written.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "c10/c10_reader.h"
#include "c10/c10_strings.h"
#include "c10/c10_writer.h"
#include "c10_commands.h"
#include "support/scratch_dir.h"

namespace orv::tool {
namespace {

// 2026-12-07 10:00:00 UTC in 0.1 us ticks.
constexpr int64_t kStart = (int64_t{20794} * 86400 + 10 * 3600) * 10'000'000;

// The known recording's lines: a 100 kbit/s word at the start, a 12.5 kbit/s word with a parity
// error 1 ms later, and the first label again 2.5 s on with a format error.
const std::string kKnownCsv = std::string(kC10CsvHead) + "\r\n" +
                              "0.0000000,2026-12-07T10:00:00.0000000Z,2,4,310,1,0x12345,11,0,0,0xe48d15c8\r\n"
                              "0.0010000,2026-12-07T10:00:00.0010000Z,2,0,203,0,0x00001,00,1,0,0x80000483\r\n"
                              "2.5000000,2026-12-07T10:00:02.5000000Z,2,4,310,1,0x00005,00,0,1,0x000015c8\r\n";

class C10CommandsTest : public test::ScratchDir {
protected:
    // Writes the known recording; a fourth word meets a full queue, is lost and flags the packet.
    static void WriteKnown(const std::string& path) {
        uint64_t now = 0;
        c10::WriterOptions options;
        options.setup.channels = {{2, "Плата 1", {{0, "Вход 1", 12500.0}, {4, "Вход 5", 100000.0}}}};
        options.startTime = kStart;
        options.clock = [&now] { return now; };
        options.queueWords = 1;
        std::string error;
        auto writer = c10::Writer::Create(path, options, &error);
        ASSERT_TRUE(writer) << error;
        // Arrivals: each word's start plus its 32 bit times (3,200 ticks at 100 kbit/s, 25,600 at 12.5).
        const c10::WordIn words[] = {{3200, 0xE48D15C8u, 2, 4, 0},
                                     {10000 + 25600, 0x80000483u, 2, 0, c10::kWordParityError},
                                     {25'000'000 + 3200, 0x000015C8u, 2, 4, c10::kWordFormatError}};
        for (const c10::WordIn& w : words) {
            now = w.arrival;
            ASSERT_TRUE(writer->Offer(w));
            writer->Service();
        }
        EXPECT_TRUE(writer->Offer({now + 100, 0x1u, 2, 4, 0}));
        EXPECT_FALSE(writer->Offer({now + 200, 0x2u, 2, 4, 0}));  // lost
        ASSERT_TRUE(writer->Close());
    }
    // Offsets of the sound packets of a recording.
    static std::vector<uint64_t> PacketOffsets(const std::string& path) {
        struct : c10::ReadSink {
            std::vector<uint64_t> offsets;
            void OnPacket(const c10::PacketInfo& p) override { offsets.push_back(p.offset); }
        } sink;
        c10::Reader reader;
        EXPECT_TRUE(reader.ReadFile(path, sink));
        return sink.offsets;
    }
    static std::string Text(const std::string& path) {
        const std::vector<uint8_t> b = ReadBytes(path);
        return {b.begin(), b.end()};
    }
    std::string err() { return std::exchange(errors, std::ostringstream()).str(); }
    std::string report() { return std::exchange(out, std::ostringstream()).str(); }
    std::ostringstream out, errors;
};

TEST_F(C10CommandsTest, InfoAndExportGiveEveryKnownWordWithItsFields) {
    WriteKnown("known.ch10");
    // The fourth word, the one the queue still took, starts 100 ticks after the third.
    const std::string csv =
        kKnownCsv + "2.5000100,2026-12-07T10:00:02.5000100Z,2,4,001,0,0x00000,00,0,0,0x00000001\r\n";
    ASSERT_EQ(C10Export("known.ch10", std::nullopt, out, errors), 0) << err();
    EXPECT_EQ(report(), csv);
    ASSERT_EQ(C10Export("known.ch10", std::string("known.csv"), out, errors), 0) << err();
    EXPECT_EQ(report(), "");
    EXPECT_EQ(Text("known.csv"), csv);

    ASSERT_EQ(C10Info("known.ch10", out, errors), 0) << err();
    const std::string info = report();
    for (const char* expected : {
             "  0x01 TMATS setup record: 1\n",
             "  0x38 ARINC-429, format 0: 2\n",
             "  channel 2 \"Плата 1\"\n    bus 0 \"Вход 1\", 12500 bit/s\n    bus 4 \"Вход 5\", 100000 bit/s\n",
             "time: 2026-12-07T10:00:00.0000000Z to 2026-12-07T10:00:02.5000100Z, 2.5000100 s",
             "words: 4, parity errors: 1, format errors: 1\n",
             "packets with the overflow flag (words lost): 1;",
             "channel 2 \"Плата 1\", bus 0 \"Вход 1\": 1 words, parity errors: 1, format errors: 0\n  label 203: 1 words\n",
             "channel 2 \"Плата 1\", bus 4 \"Вход 5\": 3 words, parity errors: 0, format errors: 1\n"
             "  label 001: 1 words\n  label 310: 2 words, gaps over 2 s: 1, longest 2.5000000 s\n",
         })
        EXPECT_NE(info.find(expected), std::string::npos) << expected << "\nin:\n" << info;
}

TEST_F(C10CommandsTest, ExportImportExportGivesTheSameLines) {
    std::filesystem::copy_file(std::filesystem::path(ORV_SAMPLES_DIR) / "c10-seed.ch10", "seed.ch10");
    ASSERT_EQ(C10Export("seed.ch10", std::string("a.csv"), out, errors), 0) << err();
    C10ImportOptions options;
    ASSERT_TRUE(AddC10Rate("2:4=100000", options));
    ASSERT_TRUE(AddC10Rate("3:1=50000", options));
    ASSERT_EQ(C10Import("a.csv", "b.ch10", options, errors), 0) << err();
    ASSERT_EQ(C10Export("b.ch10", std::string("b.csv"), out, errors), 0) << err();
    const std::string a = Text("a.csv");
    EXPECT_GT(std::count(a.begin(), a.end(), '\n'), 200);
    EXPECT_EQ(Text("b.csv"), a);

    // Without the absolute times, from a start given on the command line: the same again.
    std::string relative;
    std::istringstream lines(a);
    for (std::string line; std::getline(lines, line);) {
        const std::size_t comma = line.find(',');
        relative += line.substr(0, comma + 1) + (relative.empty() ? "time_utc" : "") +
                    line.substr(line.find(',', comma + 1)) + "\n";
    }
    WriteBytes("rel.csv", std::vector<uint8_t>(relative.begin(), relative.end()));
    EXPECT_EQ(C10Import("rel.csv", "c.ch10", options, errors), 1);
    EXPECT_NE(err().find("rel.csv: line 2: no time, and no --start"), std::string::npos);
    options.start = c10::ParseIsoTime(a.substr(a.find('\n') + 11, 28));
    ASSERT_NE(*options.start, c10::kNoTime);
    ASSERT_EQ(C10Import("rel.csv", "c.ch10", options, errors), 0) << err();
    ASSERT_EQ(C10Export("c.ch10", std::string("c.csv"), out, errors), 0) << err();
    EXPECT_EQ(Text("c.csv"), a);

    // An existing recording is replaced only when asked.
    EXPECT_EQ(C10Import("a.csv", "c.ch10", options, errors), 1);
    EXPECT_NE(err().find(std::string(text::kRecordingExists) + "c.ch10 (--force replaces it)"), std::string::npos);
    options.replace = true;
    EXPECT_EQ(C10Import("a.csv", "c.ch10", options, errors), 0) << err();
}

TEST_F(C10CommandsTest, ImportRefusesEveryLineThatDisagreesWithItsHexAndWritesNothing) {
    std::string csv = kKnownCsv;
    csv += "0.5,,2,0,203,0,0x00001,01,0,0,0x80000483\r\n";   // line 5: SSM
    csv += "0.6,,2,0,202,0,0x00001,00,0,0,0x80000483\r\n";   // line 6: label
    csv += "0.7,,2,0,203,2,0x00001,00,0,0,0x80000483\r\n";   // line 7: SDI
    csv += "0.8,,2,0,203,0,0x00002,00,0,0,0x80000483\r\n";   // line 8: data
    csv += "0.9,,1,0,203,0,0x00001,00,0,0,0x80000483\r\n";   // line 9: the time channel
    csv += "\"1.0\",,2,0,,,,,0,0,0x80000483\r\n";            // line 10: quoted, fields left empty: sound
    WriteBytes("in.csv", std::vector<uint8_t>(csv.begin(), csv.end()));
    C10ImportOptions options;
    options.start = kStart;
    EXPECT_EQ(C10Import("in.csv", "out.ch10", options, errors), 1);
    EXPECT_EQ(err(), "in.csv: line 5: SSM 01 disagrees with HEX 0x80000483 (SSM 00)\n"
                     "in.csv: line 6: label 202 disagrees with HEX 0x80000483 (label 203)\n"
                     "in.csv: line 7: SDI 2 disagrees with HEX 0x80000483 (SDI 0)\n"
                     "in.csv: line 8: data 0x00002 disagrees with HEX 0x80000483 (data 0x00001)\n"
                     "in.csv: line 9: channel \"1\" is not 2..65535\n"
                     "out.ch10: not written\n");
    EXPECT_FALSE(std::filesystem::exists("out.ch10"));
}

TEST_F(C10CommandsTest, CheckNamesEachDamageByItsOffsetAndWhatIsSoundStillExports) {
    WriteKnown("known.ch10");
    const std::vector<uint64_t> packets = PacketOffsets("known.ch10");
    EXPECT_EQ(C10Check({"known.ch10"}, out, errors), 0);
    EXPECT_EQ(report() + err(), "");

    // The first ARINC packet's header checksum is spoiled, and the file ends in the first 30
    // bytes of a copy of the second.
    std::vector<uint8_t> bytes = ReadBytes("known.ch10");
    const uint64_t size = bytes.size();
    std::vector<uint64_t> arinc;
    for (uint64_t at : packets)
        if (bytes[at + 15] == c10::kTypeArinc429F0) arinc.push_back(at);
    ASSERT_EQ(arinc.size(), 2u);
    bytes[arinc[0] + 22] ^= 1;
    bytes.insert(bytes.end(), bytes.begin() + std::ptrdiff_t(arinc[1]), bytes.begin() + std::ptrdiff_t(arinc[1] + 30));
    WriteBytes("damaged.ch10", bytes);
    EXPECT_EQ(C10Check({"known.ch10", "damaged.ch10"}, out, errors), 1);
    const std::string lines = report();
    const std::string first = "damaged.ch10: Смещение " + std::to_string(arinc[0]) + ": " + text::kBadHeaderChecksum;
    const std::string last = "damaged.ch10: Смещение " + std::to_string(size) + ": " + text::kTruncated;
    EXPECT_EQ(lines.rfind(first, 0), 0u) << lines;
    EXPECT_NE(lines.find("\n" + last), std::string::npos) << lines;
    EXPECT_EQ(std::count(lines.begin(), lines.end(), '\n'), 2) << lines;

    // Export gives the words of the sound packet (times from the first of them) and names the
    // same problems on the error stream.
    EXPECT_EQ(C10Export("damaged.ch10", std::nullopt, out, errors), 1);
    EXPECT_EQ(report(), std::string(kC10CsvHead) + "\r\n" +
                            "0.0000000,2026-12-07T10:00:02.5000000Z,2,4,310,1,0x00005,00,0,1,0x000015c8\r\n"
                            "0.0000100,2026-12-07T10:00:02.5000100Z,2,4,001,0,0x00000,00,0,0,0x00000001\r\n");
    EXPECT_EQ(err(), lines);

    EXPECT_EQ(C10Check({"known.ch10", "missing.ch10"}, out, errors), 2);
    EXPECT_EQ(report(), "");
    EXPECT_EQ(err(), "missing.ch10: no such file\n");
}

TEST_F(C10CommandsTest, OutputThatCannotBeWrittenIsAMessageAndExitOne) {
    WriteKnown("known.ch10");
    std::ofstream full("/dev/full");
    ASSERT_TRUE(full.is_open());
    EXPECT_EQ(C10Export("known.ch10", std::nullopt, full, errors), 1);
    EXPECT_EQ(err(), "known.ch10: the output could not be written\n");
    // Unbuffered, the write itself fails rather than the flush.
    std::ofstream unbuffered;
    unbuffered.rdbuf()->pubsetbuf(nullptr, 0);
    unbuffered.open("/dev/full");
    EXPECT_EQ(C10Export("known.ch10", std::nullopt, unbuffered, errors), 1);
    EXPECT_EQ(err(), "known.ch10: the output could not be written\n");
    full.clear();
    EXPECT_EQ(C10Info("known.ch10", full, errors), 1);
    EXPECT_EQ(err(), "known.ch10: the output could not be written\n");
    EXPECT_EQ(C10Export("known.ch10", std::string("/dev/full"), out, errors), 1);
    EXPECT_NE(err().find("/dev/full"), std::string::npos);
}

}  // namespace
}  // namespace orv::tool
