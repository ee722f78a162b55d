// Start, stop and running code change of an output channel: the words written and the requests.
#include <gtest/gtest.h>

#include "support/scripted_device.h"
#include "resources/transmit_strings.h"
#include "transmit/frame_line.h"
#include "transmit/frame_list.h"
#include "transmit/output_channel.h"
#include "transmit_fixture.h"

namespace orv {
namespace {

using test::WordEntry;

// Byte offset of a word in a request that sends the image from word 0, and in a block request.
constexpr std::size_t ImageByte(uint32_t word) { return 2 * word; }
constexpr std::size_t BlockByte(uint32_t word) { return 2 * (word - ControlBlock::Start); }

class OutputChannelTest : public ::testing::Test {
protected:
    OutputChannelTest() {
        link.Attach(&device);
        for (auto& e : stored) e.endFlag = 1;
    }
    std::vector<ScriptedRequest> Of(uint32_t code) const {
        std::vector<ScriptedRequest> out;
        for (const auto& r : device.Requests())
            if (r.code == code) out.push_back(r);
        return out;
    }

    BoardImage image;
    BoardLink link{image};
    ScriptedDevice device;
    StoredFrame stored{};
    FrameEntry current;
};

TEST_F(OutputChannelTest, OneWordOneShot) {
    device.SetReplyWord(kLoadOutputChannel, 0);
    device.SetReplyWord(kStartOutputChannel, 1);
    const std::vector<std::string> lines{RenderFrameLine(WordEntry(0, "A", 0310, 0x123456C8))};
    ASSERT_EQ(StartOutputFrame(link, stored, current, lines, 1, kModeOneShot), nullptr);

    EXPECT_EQ(device.Codes(), (std::vector<uint32_t>{kWriteRange, kStopChannel, kLoadOutputChannel,
                                                     kStartOutputChannel}));
    const auto write = Of(kWriteRange).at(0);
    EXPECT_EQ(write.InputWord(ImageByte(ControlBlock::WriteAddress)), 0x5000);
    EXPECT_EQ(write.InputWord(ImageByte(ControlBlock::WriteLength)), 2);
    EXPECT_EQ(write.input.size(), 2u * (0x5000 + 2));
    EXPECT_EQ(write.InputWord(ImageByte(0x5000)), 0x56C8);
    EXPECT_EQ(write.InputWord(ImageByte(0x5001)), 0x1234 | 0x8000);  // bit 32 set in the slot

    EXPECT_EQ(Of(kStopChannel).at(0).InputWord(BlockByte(ControlBlock::RunChannel)), 8);
    const auto load = Of(kLoadOutputChannel).at(0);
    EXPECT_EQ(load.input.size(), 0x3000u + 0x200);
    EXPECT_EQ(load.InputWord(BlockByte(0x2800)), 0x8001);
    EXPECT_EQ(load.InputWord(BlockByte(0x2801)), 0);
    EXPECT_EQ(load.InputWord(BlockByte(ControlBlock::LoadChannel)), 1);
    EXPECT_EQ(load.InputWord(BlockByte(OutputFlagsWord(1) + 1)), 1);  // one-shot
    EXPECT_EQ(load.InputWord(BlockByte(OutputFlagsWord(1) + 2)), 1);
    const auto start = Of(kStartOutputChannel).at(0);
    EXPECT_EQ(start.input.size(), 8736u);
    EXPECT_EQ(start.InputWord(ImageByte(0x28)), 0x8700);
    EXPECT_EQ(start.InputWord(ImageByte(ControlBlock::RunChannel)), 1);
    EXPECT_EQ(start.InputWord(ImageByte(OutputFlagsWord(1))), 1);
    EXPECT_EQ(image.Get(OutputFlagsWord(1)), 1);  // the start reply was not 0

    EXPECT_EQ(stored[0].word, 0x123456C8u);
    EXPECT_EQ(stored[0].endFlag, 0);
    EXPECT_EQ(stored[1].endFlag, 1);
}

TEST_F(OutputChannelTest, CyclicWithTrailingPauseOnChannel3) {
    device.SetReplyWord(kLoadOutputChannel, 0);
    device.SetReplyWord(kStartOutputChannel, 0);  // refused start
    image.Fill(OutputSlotWord(3, 0), 256, 0x4444);
    const std::vector<std::string> lines{RenderFrameLine(WordEntry(0, "A", 1, 0x101)), RenderPauseLine(1)};
    ASSERT_EQ(StartOutputFrame(link, stored, current, lines, 3, kModeCyclic), nullptr);
    const uint32_t frame = FrameSlotAddress(3, 0);
    EXPECT_EQ(frame, 0x5400u);
    EXPECT_EQ(image.Get(frame + 2), 0);
    EXPECT_EQ(image.Get(frame + 3), 0);
    EXPECT_EQ(image.Get(OutputSlotWord(3, 0)), 0);
    EXPECT_EQ(image.Get(OutputSlotWord(3, 1)), 0x8001);
    EXPECT_EQ(image.Get(OutputSlotWord(3, 2)), 0);
    EXPECT_EQ(image.Get(0x2A), 0x8500);
    EXPECT_EQ(image.Get(OutputFlagsWord(3) + 1), 0);
    EXPECT_EQ(image.Get(OutputFlagsWord(3)), 0);  // set back by the refused start
    EXPECT_EQ(Of(kStopChannel).at(0).InputWord(BlockByte(ControlBlock::RunChannel)), 10);
    EXPECT_EQ(stored[1].pause, 1);
}

TEST_F(OutputChannelTest, RefusedLoadSendsNoStartAndNoModeOnlyStops) {
    device.SetReplyWord(kLoadOutputChannel, 3);
    const std::vector<std::string> lines{RenderFrameLine(WordEntry(0, "A", 1, 0x101))};
    StartOutputFrame(link, stored, current, lines, 2, kModeOneShot);
    EXPECT_EQ(device.Count(kStartOutputChannel), 0u);
    EXPECT_EQ(image.Get(OutputFlagsWord(2)), 0);

    device.Clear();
    StartOutputFrame(link, stored, current, lines, 2, -1);
    EXPECT_EQ(device.Codes(), (std::vector<uint32_t>{kWriteRange, kStopChannel}));

    device.Clear();
    EXPECT_STREQ(StartOutputFrame(link, stored, current, {}, 2, kModeOneShot), text::kNoParameters);
    EXPECT_TRUE(device.Codes().empty());
}

TEST_F(OutputChannelTest, ALongListSendsOnly256Slots) {
    device.SetReplyWord(kLoadOutputChannel, 0);
    std::vector<std::string> lines;
    for (int i = 0; i < 300; ++i) lines.push_back(RenderFrameLine(WordEntry(uint16_t(i), "P", 1, 0x100u + unsigned(i))));
    StartOutputFrame(link, stored, current, lines, 8, kModeCyclic);
    EXPECT_EQ(Of(kWriteRange).at(0).InputWord(ImageByte(ControlBlock::WriteLength)), 512);
    EXPECT_EQ(image.Get(OutputSlotWord(8, 255)), 0x8001);
    EXPECT_EQ(stored[255].endFlag, 0);
    EXPECT_EQ(stored[255].word, 0x100u + 255);
    EXPECT_EQ(stored[256].endFlag, 1);
    EXPECT_EQ(StoredFrameLines(stored).size(), 256u);
}

TEST_F(OutputChannelTest, StopOfOutput1) {
    device.SetReplyWord(kStopChannel, 0x1234);
    StopOutputFrame(link, 1);
    ASSERT_EQ(device.Codes(), (std::vector<uint32_t>{kStopChannel}));
    const auto stop = device.Requests().at(0);
    EXPECT_EQ(stop.input.size(), 542u);
    EXPECT_EQ(stop.InputWord(BlockByte(ControlBlock::RunChannel)), 8);
    EXPECT_EQ(image.Get(0x28), 0x1234);
}

TEST_F(OutputChannelTest, CodeChangeOfSlot5OnChannel2) {
    image.Set(ControlBlock::OutputFrameOffsets + 1, 512);
    stored[5].word = 1;
    ASSERT_EQ(ChangeRunningCode(link, stored, 2, 5, 0x0ABCDE12), nullptr);
    const uint32_t a = 0x5000 + 512 + 10;
    ASSERT_EQ(device.Codes(), (std::vector<uint32_t>{kChangeFrameWord}));
    const auto r = device.Requests().at(0);
    EXPECT_EQ(r.input.size(), 2 * (a - 0x1000) + 4);
    EXPECT_EQ(r.InputWord(BlockByte(ControlBlock::WordAddress)), a);
    EXPECT_EQ(r.InputWord(BlockByte(a)), 0xDE12);
    EXPECT_EQ(r.InputWord(BlockByte(a + 1)), 0x8ABC);
    EXPECT_EQ(stored[5].word, 0x0ABCDE12u);
}

TEST_F(OutputChannelTest, CodeChangeRefusedOutsideTheFrameArea) {
    image.Set(ControlBlock::OutputFrameOffsets, 0x0FFE);
    EXPECT_EQ(ChangeRunningCode(link, stored, 1, 0, 0x101), nullptr);  // last two words of the area
    device.Clear();
    EXPECT_STREQ(ChangeRunningCode(link, stored, 1, 1, 0x101), text::kSlotOutsideFrameArea);
    image.Set(ControlBlock::OutputFrameOffsets, 0xFFFF);
    EXPECT_STREQ(ChangeRunningCode(link, stored, 1, 0, 0x101), text::kSlotOutsideFrameArea);
    image.Set(ControlBlock::OutputFrameOffsets, 0);
    EXPECT_STREQ(ChangeRunningCode(link, stored, 1, 256, 0x101), text::kSlotBeyondFrame);
    EXPECT_TRUE(device.Codes().empty());
    EXPECT_EQ(stored[1].word, 0u);
}

}  // namespace
}  // namespace orv
