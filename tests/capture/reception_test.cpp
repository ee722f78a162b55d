// File reception: the stop address and the start sequence on the board.
#include <gtest/gtest.h>

#include "support/scripted_device.h"
#include "capture/reception.h"

namespace orv {
namespace {

constexpr std::size_t ImageByte(uint32_t word) { return 2 * word; }
constexpr std::size_t BlockByte(uint32_t word) { return 2 * (word - ControlBlock::Start); }

TEST(StopAddress, OctalUpTo377) {
    EXPECT_EQ(ReadStopAddress("377"), 255);
    EXPECT_EQ(ReadStopAddress(" 0\r\n"), 0);
    EXPECT_EQ(ReadStopAddress("17x"), 15);
    EXPECT_FALSE(ReadStopAddress("400"));
    EXPECT_FALSE(ReadStopAddress("777"));
    EXPECT_FALSE(ReadStopAddress(""));
    EXPECT_FALSE(ReadStopAddress("   "));
    EXPECT_FALSE(ReadStopAddress("9"));
    EXPECT_FALSE(ReadStopAddress("x1"));
    EXPECT_FALSE(ReadStopAddress("-1"));
    EXPECT_FALSE(ReadStopAddress("-0"));
}

class ReceptionTest : public ::testing::Test {
protected:
    ReceptionTest() { link.Attach(&device); }
    BoardImage image;
    BoardLink link{image};
    ScriptedDevice device;
    CaptureState capture;
    AcquisitionState acquisition;
};

TEST_F(ReceptionTest, StartOnChannel3) {
    image.Fill(0x4000, 0x1000, 0xAAAA);
    image.Fill(0x2000, 0x800, 0x8000);
    device.SetReplyWord(kLoadInputChannel, 0);
    device.SetReplyWord(kStartInputChannel, 1);
    capture.StopLabel = 255;
    StartFileReception(link, capture, acquisition, 3);

    ASSERT_EQ(device.Codes(), (std::vector<uint32_t>{kStopChannel, kWriteRange, kLoadInputChannel, kStartInputChannel}));
    const auto r = device.Requests();
    EXPECT_EQ(r[0].InputWord(BlockByte(ControlBlock::RunChannel)), 2);  // the code
    EXPECT_EQ(r[1].input.size(), 0x8C00u);
    EXPECT_EQ(r[1].InputWord(ImageByte(ControlBlock::WriteAddress)), 0x4400);
    EXPECT_EQ(r[1].InputWord(ImageByte(ControlBlock::WriteLength)), 512);
    for (uint32_t w = 0x4400; w < 0x4600; ++w) ASSERT_EQ(image.Get(w), 0) << std::hex << w;
    EXPECT_EQ(image.Get(0x43FF), 0xAAAA);
    EXPECT_EQ(image.Get(0x4600), 0xAAAA);

    EXPECT_EQ(r[2].input.size(), 0x2600u);
    EXPECT_EQ(r[2].InputWord(BlockByte(ControlBlock::LoadChannel)), 3);
    EXPECT_EQ(r[2].InputWord(BlockByte(ControlBlock::InputActiveFlags + 2)), 1);
    EXPECT_EQ(r[2].InputWord(BlockByte(0x2200 + 255)), 1);
    EXPECT_EQ(r[2].InputWord(BlockByte(0x2200)), 0);
    EXPECT_EQ(r[2].InputWord(BlockByte(0x21FF)), 0x8000);  // channel 2 untouched

    EXPECT_EQ(r[3].input.size(), 0x2220u);
    EXPECT_EQ(r[3].InputWord(ImageByte(ControlBlock::RunChannel)), 3);  // the number
    EXPECT_EQ(r[3].InputWord(ImageByte(0x22)), 0x8700);

    EXPECT_EQ(capture.FileChannel, 3);
    EXPECT_EQ(capture.StreamAddress, 0x4400);
    EXPECT_EQ(acquisition.AcquisitionMode, 2);
    EXPECT_EQ(image.Get(ControlBlock::InputActiveFlags + 2), 1);
}

TEST_F(ReceptionTest, RefusedStartClearsOnlyTheActiveFlag) {
    device.SetReplyWord(kLoadInputChannel, 7);  // not examined
    device.SetReplyWord(kStartInputChannel, 0);
    capture.StopLabel = -1;
    StartFileReception(link, capture, acquisition, 8);
    EXPECT_EQ(device.Count(kStartInputChannel), 1u);
    for (uint32_t l = 0; l < 256; ++l) ASSERT_EQ(image.Get(0x2700 + l), 0);
    EXPECT_EQ(image.Get(ControlBlock::InputActiveFlags + 7), 0);
    EXPECT_EQ(acquisition.AcquisitionMode, 2);
    EXPECT_EQ(capture.StreamAddress, 0x4E00);
}

}  // namespace
}  // namespace orv
