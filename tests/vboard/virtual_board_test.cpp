// The virtual board behind its device names, driven through its requests on the manual clock:
// the provider, the request replies, transmission, board 2. Its receivers: board_receivers_test.

#include "vboard/board_fixture.h"

namespace orv::test {
namespace {

constexpr uint32_t kA = 0x60001241;  // label 101
constexpr uint32_t kB = 0x20345642;  // label 102

TEST(VirtualBoardProviderTest, OpensTheBoardNamesAndKeepsBoardsAcrossReopens) {
    VirtualBoardProvider provider(BoardClock::Manual);
    for (const char* bad : {"arinc13", "arinc30", "arinc42", "arinc1", "arinc100", "ARINC10", ""})
        EXPECT_EQ(provider.Open(bad), nullptr) << bad;

    auto image = std::make_unique<BoardImage>();
    BoardLink link(*image);
    for (const char* name : {"arinc10", "arinc11", "arinc12"}) {
        auto device = provider.Open(name);
        ASSERT_NE(device, nullptr);
        link.Attach(device.get());
        link.ReadMemory();
        EXPECT_EQ(image->Get(ControlBlock::BoardConfigWord), 0x0880) << name;
        link.Attach(nullptr);
    }
    for (const char* name : {"arinc20", "arinc21", "arinc22"}) {
        auto device = provider.Open(name);
        ASSERT_NE(device, nullptr);
        link.Attach(device.get());
        link.ReadMemory();
        EXPECT_EQ(image->Get(ControlBlock::BoardConfigWord), 0x0420) << name;
        link.Attach(nullptr);
    }

    // Memory and a running channel outlive the handle that set them up.
    {
        auto device = provider.Open("arinc10");
        link.Attach(device.get());
        image->Set(0x6000, 0xBEEF);
        link.WriteRange(0x6000, 1);
        image->Set(0x5000, 0x0041);
        image->Set(0x5001, 0x8000);
        link.WriteRange(0x5000, 2);
        image->Set(BoardImage::OutputSlotTable, 0x8001);
        ASSERT_EQ(link.LoadOutputChannel(1), 0);
        image->Set(BoardImage::ChannelControlWords + 8, 0x8500);
        ASSERT_NE(link.StartOutputChannel(1), 0);
        link.Attach(nullptr);
    }
    provider.Advance(10 * kSlow);
    EXPECT_EQ(provider.Board(1).OutputWordsSent(1), 10u);
    auto again = provider.Open("arinc12");
    image->Clear();
    link.Attach(again.get());
    link.ReadMemory();
    EXPECT_EQ(image->Get(0x6000), 0xBEEF);
    EXPECT_TRUE(provider.Board(1).OutputRunning(1));
    // Board 2 is a board of its own.
    EXPECT_EQ(provider.Board(2).Word(0x6000), 0);
}

TEST_F(VirtualBoardTest, LoadAndStartRepliesFollowTheChannelsTheBoardHas) {
    StartBoard();
    image.Set(ControlBlock::ReplyWord, 0x5555);
    EXPECT_EQ(link.LoadInputChannel(8), 0);
    EXPECT_EQ(link.LoadOutputChannel(8), 0);
    EXPECT_NE(link.LoadInputChannel(9), 0);
    EXPECT_NE(link.LoadInputChannel(0), 0);
    EXPECT_NE(link.LoadOutputChannel(9), 0);

    EXPECT_EQ(StartInput(1, 0x0500), 1);
    EXPECT_TRUE(Board().InputRunning(1));
    EXPECT_EQ(StartInput(2, 0x8700), 1);
    // A mode word without the receiver or transmitter bit is refused and starts nothing.
    EXPECT_EQ(StartInput(3, 0x0000), 0);
    EXPECT_FALSE(Board().InputRunning(3));
    EXPECT_EQ(StartFrame(1, {kA}, true), 1);
    image.Set(BoardImage::ChannelControlWords + OutputChannelCode(2), 0x0500);
    EXPECT_EQ(link.StartOutputChannel(2), 0);
    EXPECT_FALSE(Board().OutputRunning(2));
    EXPECT_EQ(link.StartInputChannel(0), 0);
    EXPECT_EQ(link.StartInputChannel(9), 0);
    EXPECT_EQ(link.StartOutputChannel(9), 0);

    // Board 2 has inputs 1..4 and outputs 1..2 only.
    Attach("arinc21");
    StartBoard();
    EXPECT_EQ(link.LoadOutputChannel(2), 0);
    EXPECT_NE(link.LoadOutputChannel(3), 0);
    EXPECT_NE(link.LoadInputChannel(5), 0);
    EXPECT_EQ(StartInput(4, 0x0500), 1);
    image.Set(BoardImage::ChannelControlWords + InputChannelCode(5), 0x0500);
    EXPECT_EQ(link.StartInputChannel(5), 0);
    image.Set(BoardImage::ChannelControlWords + OutputChannelCode(3), 0x8500);
    EXPECT_EQ(link.StartOutputChannel(3), 0);
    EXPECT_FALSE(Board(2).OutputRunning(3));
}

TEST_F(VirtualBoardTest, BoardStartRepliesFrameOffsetsAndBoardStopStopsEveryChannel) {
    for (uint32_t c = 0; c < 8; ++c) image.Set(ControlBlock::OutputFrameOffsets + c, 0xFFFF);
    StartBoard({0, 1, 2, 3, 4, 5, 6, 7, 0, 1, 2, 3, 4, 5, 6, 7});
    for (uint32_t c = 0; c < 8; ++c) EXPECT_EQ(image.Get(ControlBlock::OutputFrameOffsets + c), 512 * c);

    StartBoard();
    ASSERT_EQ(StartInput(1, 0x0500), 1);
    ASSERT_EQ(StartInput(6, 0x0500), 1);
    ASSERT_EQ(StartFrame(1, {kA}, true), 1);
    ASSERT_EQ(StartFrame(3, {kA}, true), 1);
    // A restart ends every channel's mode; the program sets them again afterwards.
    image.Set(ControlBlock::BoardControlWord, 0x0041);
    link.StartBoard();
    for (unsigned c : {1u, 6u}) EXPECT_FALSE(Board().InputRunning(c)) << c;
    for (unsigned c : {1u, 3u}) EXPECT_FALSE(Board().OutputRunning(c)) << c;

    ASSERT_EQ(StartInput(1, 0x0500), 1);
    ASSERT_EQ(StartInput(6, 0x0500), 1);
    ASSERT_EQ(StartFrame(1, {kA}, true), 1);
    ASSERT_EQ(StartFrame(3, {kA}, true), 1);
    image.Set(ControlBlock::BoardControlWord, 0);
    link.StopBoard();
    EXPECT_EQ(image.Get(ControlBlock::BoardControlWord), 0x0041);
    for (unsigned c = 1; c <= 8; ++c) {
        EXPECT_FALSE(Board().InputRunning(c)) << c;
        EXPECT_FALSE(Board().OutputRunning(c)) << c;
    }
    const uint64_t sent = Board().OutputWordsSent(1);
    provider.Advance(10 * kSlow);
    EXPECT_EQ(Board().OutputWordsSent(1), sent);
}

TEST_F(VirtualBoardTest, OneShotFrameSendsOnceAndPausesKeepTheLineSilentForOneWord) {
    StartBoard();
    ASSERT_EQ(StartInput(1, 0x8700), 1);
    ASSERT_EQ(StartFrame(1, {kA, kPause, kB}, false), 1);
    provider.Advance(2 * kSlow + kSlowArrival - 1);
    EXPECT_EQ(Board().Input(1).received, 1u);
    provider.Advance(1);
    EXPECT_EQ(Board().Input(1).received, 2u);
    provider.Advance(100 * kSlow);
    EXPECT_EQ(Board().Input(1).received, 2u);
    EXPECT_FALSE(Board().OutputRunning(1));
    std::vector<uint32_t> block = Block(1);
    EXPECT_EQ(block[0], kA);
    EXPECT_EQ(block[1], kB);
    EXPECT_EQ(block[2], 0u);

    // Cyclic, ending with a pause: A B _ A B _ ...
    ASSERT_EQ(StartInput(1, 0x8700), 1);
    ASSERT_EQ(StartFrame(1, {kA, kB, kPause}, true), 1);
    provider.Advance(3 * kSlow + kSlow + kSlowArrival);
    EXPECT_EQ(Board().Input(1).received, 6u);
    block = Block(1);
    EXPECT_EQ(std::vector<uint32_t>(block.begin(), block.begin() + 5),
              (std::vector<uint32_t>{kA, kB, kA, kB, 0}));
    EXPECT_TRUE(Board().OutputRunning(1));

    // The stop request ends it.
    link.StopChannel(OutputChannelCode(1));
    EXPECT_EQ(image.Get(BoardImage::ChannelControlWords + 8), 0x8500);
    const uint64_t sent = Board().OutputWordsSent(1);
    provider.Advance(10 * kSlow);
    EXPECT_EQ(Board().OutputWordsSent(1), sent);
}

TEST_F(VirtualBoardTest, CodeChangeTakesEffectAtTheSlotsNextTransmission) {
    constexpr uint32_t kB2 = 0x20777742;
    StartBoard();
    ASSERT_EQ(StartInput(1, 0x8700), 1);
    ASSERT_EQ(StartFrame(1, {kA, kB}, true), 1);
    provider.Advance(kSlow + kSlowArrival);  // A and B sent
    const uint32_t a = 0x5000 + image.Get(ControlBlock::OutputFrameOffsets) + 2;
    image.Set32(a, kB2 | 0x80000000u);
    link.ChangeFrameWord(uint16_t(a));
    provider.Advance(4 * kSlow);
    const std::vector<uint32_t> block = Block(1);
    EXPECT_EQ(std::vector<uint32_t>(block.begin(), block.begin() + 7),
              (std::vector<uint32_t>{kA, kB, kA, kB2, kA, kB2, 0}));

    // A change aimed outside the output frames is refused.
    const std::vector<uint16_t> before = Board().Memory();
    for (uint32_t bad : {0x4000u, 0x4FFEu, 0x5FFFu, 0x5003u}) {
        image.Set32(bad, 0x12345678);
        link.ChangeFrameWord(uint16_t(bad));
    }
    EXPECT_EQ(Board().Memory(), before);
}

TEST_F(VirtualBoardTest, BoardTwoLoopsTwoOutputsAndPlaysTheFlightOnInputsThreeAndFour) {
    Attach("arinc20");
    StartBoard();
    ASSERT_EQ(StartInput(2, 0x0500), 1);
    ASSERT_EQ(StartInput(3, 0x0500), 1);
    ASSERT_EQ(StartFrame(2, {kB}, true), 1);
    provider.Advance(1000000);
    EXPECT_EQ(Slot(2, 0102), kB);
    const uint32_t alt = Slot(3, 0203);
    EXPECT_NE(alt >> 16, 0u);
    EXPECT_EQ((alt >> 8) & 3, 3u);  // SDI: channel 3
    EXPECT_EQ(Board(1).Input(5).received, 0u);
}

}  // namespace
}  // namespace orv::test
