// Loading a list into the table and the board, and the operations on one row.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/scripted_device.h"
#include "config/format_file.h"
#include "support/scratch_dir.h"
#include "display/table_ops.h"
#include "resources/display_strings.h"

namespace orv {
namespace {

constexpr uint32_t kBlockByte = ControlBlock::Start * 2;

DecimalFormat Format(const char* label, float weight) {
    DecimalFormat f;
    f.label.Assign(label);
    f.msbBit = 28;
    f.lsbBit = 11;
    f.msbWeight = weight;
    f.units.Assign("deg");
    return f;
}

DisplayLineRecord Record(const char* label, uint16_t channel, uint16_t address, const char* format = "") {
    DisplayLineRecord r;
    r.paramLabel.Assign(label);
    r.channel = channel;
    r.address = address;
    r.formatLabel.Assign(format);
    return r;
}

std::string Line(const char* label, uint16_t channel, uint16_t address, const char* format = "") {
    return RenderDisplayLine(Record(label, channel, address, format));
}

class TableOpsTest : public test::ScratchDir {
protected:
    void SetUp() override {
        ScratchDir::SetUp();
        ASSERT_TRUE(SaveFormats(std::vector<DecimalFormat>{Format("ALT1", 90.0f), Format("SPD", 512.0f)}));
        board.Link.Attach(&device);
        board.InputChannelCount = 8;
        device.SetReplyWord(kLoadInputChannel, 0);
        device.SetReplyWord(kStartInputChannel, 1);
    }
    void TearDown() override {
        board.Link.Attach(nullptr);
        ScratchDir::TearDown();
    }
    const DisplayEntry& Entry(int i) const { return display.DisplayTable[std::size_t(i)]; }
    const char* Load(const std::vector<std::string>& lines) {
        return LoadDisplayList(lines, display, acquisition, board);
    }

    ScriptedDevice device;
    BoardState board;
    DisplayState display;
    AcquisitionState acquisition;
};

TEST_F(TableOpsTest, EachInputChannelIsStoppedClearedLoadedAndStartedInOrder) {
    board.BoardImage.Set(LabelSlotAddress(3, 0310), 0x5555);           // an old received word
    board.BoardImage.Set(BoardImage::InputLabelTable + 256 * 4 + 7, 0x8000);  // an old mask bit
    ASSERT_EQ(Load({Line("ALT", 2, 0310)}), nullptr);

    const auto requests = device.Requests();
    ASSERT_EQ(requests.size(), 32u);
    for (unsigned j = 1; j <= 8; ++j) {
        SCOPED_TRACE(j);
        const auto& stop = requests[4 * (j - 1)];
        const auto& write = requests[4 * (j - 1) + 1];
        const auto& load = requests[4 * (j - 1) + 2];
        const auto& start = requests[4 * (j - 1) + 3];
        EXPECT_EQ(stop.code, kStopChannel);
        EXPECT_EQ(stop.input.size(), 542u);
        EXPECT_EQ(stop.InputWord(2 * ControlBlock::RunChannel - kBlockByte), j - 1);

        EXPECT_EQ(write.code, kWriteRange);
        ASSERT_EQ(write.input.size(), 0xA000u);
        EXPECT_EQ(write.InputWord(2 * ControlBlock::WriteAddress), 0x4000);
        EXPECT_EQ(write.InputWord(2 * ControlBlock::WriteLength), 0x1000);
        EXPECT_EQ(write.InputWord(2 * LabelSlotAddress(3, 0310)), 0);

        EXPECT_EQ(load.code, kLoadInputChannel);
        ASSERT_EQ(load.input.size(), 0x2000u + 512 * j);
        EXPECT_EQ(load.outputLength, 2u);
        EXPECT_EQ(load.InputWord(2 * ControlBlock::LoadChannel - kBlockByte), j);
        EXPECT_EQ(load.InputWord(2 * ControlBlock::LoadChannel + 2 - kBlockByte), 0);
        EXPECT_EQ(load.InputWord(2 * (ControlBlock::InputActiveFlags + j - 1) - kBlockByte), 1);
        for (uint32_t l = 0; l < 256; ++l) {
            ASSERT_EQ(load.InputWord(2 * (BoardImage::InputLabelTable + 256 * (j - 1) + l) - kBlockByte), 0);
        }

        EXPECT_EQ(start.code, kStartInputChannel);
        EXPECT_EQ(start.input.size(), 8736u);
        EXPECT_EQ(start.InputWord(2 * ControlBlock::RunChannel), j);
        EXPECT_EQ(start.InputWord(2 * ControlBlock::RunChannel + 2), 0);
        EXPECT_EQ(start.InputWord(2 * (BoardImage::ChannelControlWords + j - 1)), kParameterReceptionMode);
        EXPECT_EQ(board.BoardImage.Get(ControlBlock::InputActiveFlags + j - 1), 1);
    }
    EXPECT_EQ(acquisition.AcquisitionMode, 1);
    EXPECT_EQ(display.DisplayListReady, 1);
}

TEST_F(TableOpsTest, RefusedLoadSkipsTheStartAndRefusedStartClearsTheActiveFlag) {
    board.InputChannelCount = 3;
    device.SetReplyWord(kStopChannel, 0x1234);
    device.QueueReplyWord(kLoadInputChannel, 7);  // channel 1 refused
    device.QueueReplyWord(kLoadInputChannel, 0);
    device.QueueReplyWord(kLoadInputChannel, 0);
    device.QueueReplyWord(kStartInputChannel, 0);  // channel 2's start refused
    ASSERT_EQ(Load({Line("ALT", 1, 1)}), nullptr);

    EXPECT_EQ(device.Codes(), (std::vector<uint32_t>{kStopChannel, kWriteRange, kLoadInputChannel,
                                                     kStopChannel, kWriteRange, kLoadInputChannel, kStartInputChannel,
                                                     kStopChannel, kWriteRange, kLoadInputChannel, kStartInputChannel}));
    const BoardImage& image = board.BoardImage;
    EXPECT_EQ(image.Get(BoardImage::ChannelControlWords + 0), 0x1234);  // stop reply kept, no start
    EXPECT_EQ(image.Get(ControlBlock::InputActiveFlags + 0), 1);
    EXPECT_EQ(image.Get(ControlBlock::InputActiveFlags + 1), 0);
    EXPECT_EQ(image.Get(ControlBlock::InputActiveFlags + 2), 1);
    EXPECT_EQ(image.Get(BoardImage::ChannelControlWords + 2), kParameterReceptionMode);
    EXPECT_EQ(acquisition.AcquisitionMode, 1);
}

TEST_F(TableOpsTest, ABoardReportingMoreThanEightInputsIsLoadedOnEight) {
    board.InputChannelCount = 15;
    board.BoardImage.Set(BoardImage::OutputSlotTable, 0x8001);  // where a ninth input's table would be
    ASSERT_EQ(Load({Line("ALT", 1, 1)}), nullptr);
    EXPECT_EQ(device.Count(kStopChannel), 8u);
    EXPECT_EQ(device.Count(kLoadInputChannel), 8u);
    EXPECT_EQ(board.BoardImage.Get(BoardImage::OutputSlotTable), 0x8001);
    EXPECT_EQ(board.BoardImage.Get(ControlBlock::InputActiveFlags + 8), 0);
}

TEST_F(TableOpsTest, LoadingRebuildsTheTableEndsMasksAndResolvesFormats) {
    // A previous list of five rows, one with a mask, and a running mask count.
    for (int i = 0; i < 5; ++i) {
        ASSERT_EQ(AssignEntry(display, i, Record("OLD", 1, uint16_t(i + 1), "SPD")), AssignResult::Assigned);
    }
    display.DisplayTable[1].maskMode = 1;
    display.DisplayTable[2].receivedCycle = 9;
    acquisition.MaskActive[1] = 1;
    acquisition.MaskMatchCount[1] = 44;
    acquisition.CycleCounter = 17;

    ASSERT_EQ(Load({Line("ALT", 2, 0310, "ALT1"), Line("SPD", 1, 0206, "NOPE"), Line("DISC", 8, 0270, "alt1")}),
              nullptr);
    EXPECT_EQ(UsedEntries(display.DisplayTable), 3);
    EXPECT_EQ(Entry(0).slot, 0x4390);
    EXPECT_EQ(display.SlotAddresses[0], 0x4390);
    EXPECT_EQ(Entry(1).slot, LabelSlotAddress(1, 0206));
    EXPECT_EQ(Entry(2).slot, 0x4000 + 7 * 512 + 2 * 0270);
    EXPECT_EQ(Entry(0).paramLabel.View(), "ALT     ");
    EXPECT_EQ(Entry(2).receivedCycle, 0);
    for (int i = 3; i < kDisplayRows; ++i) {
        ASSERT_FALSE(Entry(i).Used()) << i;
        ASSERT_EQ(Entry(i).slot, 0) << i;
        ASSERT_EQ(display.SlotAddresses[std::size_t(i)], 0) << i;
    }
    for (int i = 0; i < kDisplayRows; ++i) ASSERT_EQ(Entry(i).maskMode, 0) << i;
    for (int c = 0; c < kInputChannels; ++c) {
        EXPECT_EQ(acquisition.MaskActive[std::size_t(c)], 0);
        EXPECT_EQ(acquisition.MaskMatchCount[std::size_t(c)], 0);
    }
    EXPECT_EQ(acquisition.CycleCounter, 0);

    EXPECT_EQ(Entry(0).format, Format("ALT1", 90.0f));
    // A label that names no format, and one that differs only in letter case, give no format,
    // even where the row had one before.
    EXPECT_TRUE(Entry(1).format.IsNone());
    EXPECT_EQ(Entry(1).formatLabel.View(), "NOPE    ");
    EXPECT_TRUE(Entry(2).format.IsNone());
}

TEST_F(TableOpsTest, LinesWithoutALabelSlotAreRefusedAndLinesBeyond256LeftOut) {
    // A line with no label slot refuses the list with the editor's message; nothing changes.
    EXPECT_STREQ(Load({Line("OK", 8, 0377), Line("BAD9", 9, 1)}), text::kDisplayBadChannel);
    EXPECT_STREQ(Load({Line("BAD0", 0, 1)}), text::kDisplayBadChannel);
    EXPECT_STREQ(Load({Line("OK", 8, 0377), Line("HIGH", 1, 0400)}), text::kDisplayBadAddress);
    EXPECT_TRUE(device.Requests().empty());
    EXPECT_EQ(acquisition.AcquisitionMode, 0);
    EXPECT_EQ(UsedEntries(display.DisplayTable), 0);

    ASSERT_EQ(Load({Line("OK", 8, 0377)}), nullptr);
    EXPECT_EQ(UsedEntries(display.DisplayTable), 1);
    EXPECT_EQ(Entry(0).slot, 0x4FFE);

    std::vector<std::string> many;
    for (int i = 0; i < 300; ++i) many.push_back(Line("P", uint16_t(1 + i / 256), uint16_t(i % 256)));
    ASSERT_EQ(Load(many), nullptr);
    EXPECT_EQ(UsedEntries(display.DisplayTable), 256);
    EXPECT_EQ(Entry(255).slot, LabelSlotAddress(1, 255));
}

TEST_F(TableOpsTest, AnEmptyListChangesNothing) {
    ASSERT_EQ(AssignEntry(display, 0, Record("A", 1, 1)), AssignResult::Assigned);
    EXPECT_STREQ(Load({}), text::kDisplayListEmpty);
    EXPECT_TRUE(device.Requests().empty());
    EXPECT_EQ(UsedEntries(display.DisplayTable), 1);
    EXPECT_EQ(acquisition.AcquisitionMode, 0);
}

TEST_F(TableOpsTest, AssignEntryRefusesOnlyAnotherRowWithTheSameAddressAndChannel) {
    ASSERT_EQ(AssignEntry(display, 0, Record("A", 2, 0310, "ALT1")), AssignResult::Assigned);
    ASSERT_EQ(AssignEntry(display, 1, Record("B", 3, 0310)), AssignResult::Assigned);  // other channel
    EXPECT_EQ(Entry(0).slot, 0x4390);
    EXPECT_EQ(display.SlotAddresses[0], 0x4390);
    EXPECT_EQ(Entry(0).format, Format("ALT1", 90.0f));
    EXPECT_EQ(display.DisplayListReady, 1);

    display.DisplayTable[1].maskMode = 1;
    display.DisplayTable[1].receivedCycle = 5;
    // Row 1 to row 0's slot, whatever the labels: refused and unchanged.
    EXPECT_EQ(AssignEntry(display, 1, Record("OTHER", 2, 0310, "SPD")), AssignResult::Duplicate);
    EXPECT_EQ(Entry(1).paramLabel.View(), "B       ");
    EXPECT_EQ(Entry(1).receivedCycle, 5);
    // Row 0 keeping its own slot: accepted; the mask flag stays, the received cycle restarts.
    display.DisplayTable[0].maskMode = 1;
    EXPECT_EQ(AssignEntry(display, 0, Record("A2", 2, 0310, "missing")), AssignResult::Assigned);
    EXPECT_EQ(Entry(0).paramLabel.View(), "A2      ");
    EXPECT_TRUE(Entry(0).format.IsNone());
    EXPECT_EQ(Entry(0).maskMode, 1);
    EXPECT_EQ(AssignEntry(display, 1, Record("B", 3, 0311)), AssignResult::Assigned);
    EXPECT_EQ(Entry(1).receivedCycle, 0);
    EXPECT_EQ(Entry(1).maskMode, 1);

    // Rows that would leave a gap in the table, and records with no slot, are refused.
    EXPECT_EQ(AssignEntry(display, 3, Record("GAP", 1, 1)), AssignResult::Refused);
    EXPECT_EQ(AssignEntry(display, 2, Record("CH9", 9, 1)), AssignResult::Refused);
    EXPECT_EQ(AssignEntry(display, 256, Record("X", 1, 1)), AssignResult::Refused);
    EXPECT_EQ(UsedEntries(display.DisplayTable), 2);
}

TEST_F(TableOpsTest, SetAndClearEntryFormat) {
    ASSERT_EQ(AssignEntry(display, 0, Record("A", 1, 1)), AssignResult::Assigned);
    const DecimalFormat spd = Format("SPD", 512.0f);
    SetEntryFormat(display, 0, spd);
    EXPECT_EQ(Entry(0).format, spd);
    EXPECT_EQ(Entry(0).formatLabel.View(), "SPD     ");
    ClearEntryFormat(display, 0);
    EXPECT_EQ(Entry(0).formatLabel.View(), "        ");
    EXPECT_TRUE(Entry(0).format.IsNone());
    EXPECT_EQ(Entry(0).format.msbWeight, 512.0f);  // only the label says "no format"
}

}  // namespace
}  // namespace orv
