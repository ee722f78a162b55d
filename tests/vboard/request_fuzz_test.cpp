#include <random>

#include "vboard/board_fixture.h"

namespace orv::test {
namespace {

constexpr uint32_t kCodes[] = {kReadMemory,        kStartBoard,       kStopBoard,
                               kChangeFrameWord,   kReadSlot,         kReleaseSlot,
                               kEndEventHandling,  kReadEvents,       kReadBlock,
                               kWriteRange,        kLoadOutputChannel, kLoadInputChannel,
                               kStopChannel,       kStartOutputChannel, kStartInputChannel,
                               kRegisterEvent};

// The smallest input each request needs (bytes).
std::size_t MinimumInput(uint32_t code) {
    switch (code) {
        case kReadMemory: return 0;
        case kStartBoard: return 8706;
        case kStopBoard: case kEndEventHandling: case kReadEvents: return 2;
        case kChangeFrameWord: case kReadSlot: case kReleaseSlot: return 546;
        case kReadBlock: return 532;
        case kWriteRange: return 8728;
        case kLoadOutputChannel: case kLoadInputChannel: return 0x21A;
        case kStopChannel: return 542;
        case kStartOutputChannel: case kStartInputChannel: return 8736;
        case kRegisterEvent: return 4;
        default: return 0;
    }
}

TEST_F(VirtualBoardTest, ShortOrUnknownRequestsAreRefusedWithoutAnyChange) {
    StartBoard();
    ASSERT_EQ(StartInput(1, 0x0500), 1);
    ASSERT_EQ(StartFrame(1, {0x60001241}, true), 1);
    provider.Advance(5 * kSlow);
    VirtualBoard& board = Board();
    std::vector<uint8_t> in(0x10000, 0xFF);  // every field at its largest value
    std::vector<uint8_t> out(0x10000, 0xAA);
    for (uint32_t code : kCodes) {
        const std::size_t need = MinimumInput(code);
        if (need == 0) continue;
        const std::vector<uint16_t> before = board.Memory();
        EXPECT_EQ(board.Control(code, std::span(in).first(need - 1), out), 0u) << std::hex << code;
        EXPECT_EQ(board.Memory(), before) << std::hex << code;
        EXPECT_TRUE(board.InputRunning(1));
        EXPECT_TRUE(board.OutputRunning(1));
    }
    for (uint32_t code : {0u, 0x222001u, 0x22200Cu, 0x222074u, 0xFFFFFFFFu}) {
        const std::vector<uint16_t> before = board.Memory();
        EXPECT_EQ(board.Control(code, in, out), 0u);
        EXPECT_EQ(board.Memory(), before);
    }
    // Addresses and lengths that run past the end of the memory.
    const std::vector<uint16_t> before = board.Memory();
    std::vector<uint8_t> writeIn(0x10000, 0x11);
    writeIn[0x2214] = 0xF0, writeIn[0x2215] = 0x7F, writeIn[0x2216] = 0x20, writeIn[0x2217] = 0;
    EXPECT_EQ(board.Control(kWriteRange, writeIn, {}), 0u);
    // A range beyond the bytes actually sent.
    writeIn.assign(0x10000, 0x55);
    writeIn[0x2214] = 0x00, writeIn[0x2215] = 0x20, writeIn[0x2216] = 0x01, writeIn[0x2217] = 0;
    EXPECT_EQ(board.Control(kWriteRange, std::span(writeIn).first(8728), {}), 0u);
    std::vector<uint8_t> blockIn(532, 0);
    blockIn[0x210] = 0xF0, blockIn[0x211] = 0x7F, blockIn[0x212] = 0x20;
    EXPECT_EQ(board.Control(kReadBlock, blockIn, out), 0u);
    std::vector<uint8_t> slotIn(546, 0xFF);
    EXPECT_EQ(board.Control(kReadSlot, slotIn, out), 0u);  // word 0xFFFF has no second word
    EXPECT_EQ(board.Memory(), before);
    // Output buffers shorter than the reply are never written past their end.
    std::array<uint8_t, 1> tiny{0x77};
    std::vector<uint8_t> startIn(8736, 0);
    EXPECT_EQ(board.Control(kStartInputChannel, startIn, tiny), 0u);
    EXPECT_EQ(tiny[0], 0x77);
    // A block read into fewer bytes than the block is refused, not cut short.
    blockIn.assign(532, 0);
    blockIn[0x210] = 0x00, blockIn[0x211] = 0x40, blockIn[0x212] = 0x00, blockIn[0x213] = 0x02;
    std::vector<uint8_t> shortOut(1023, 0x77);
    EXPECT_EQ(board.Control(kReadBlock, blockIn, shortOut), 0u);
    EXPECT_EQ(shortOut, std::vector<uint8_t>(1023, 0x77));
    std::vector<uint8_t> fullOut(1024, 0x77);
    EXPECT_EQ(board.Control(kReadBlock, blockIn, fullOut), 1024u);
}

// Random requests of random sizes and contents, mixed with bus time: the board never crashes,
// keeps its configuration word, and still works afterwards.
TEST_F(VirtualBoardTest, RandomRequestsNeverBreakTheBoard) {
    std::mt19937 rng(20240611);
    auto pick = [&](uint32_t n) { return std::uniform_int_distribution<uint32_t>(0, n - 1)(rng); };
    VirtualBoard& board = Board();
    std::vector<uint8_t> pool(0x20000);
    for (auto& b : pool) b = uint8_t(rng());
    std::vector<uint8_t> in;
    std::vector<uint8_t> out;
    for (int i = 0; i < 5000; ++i) {
        const uint32_t code = pick(10) == 0 ? uint32_t(rng()) : kCodes[pick(16)];
        std::size_t size;
        switch (pick(4)) {
            case 0: size = pick(0x10001); break;
            case 1: size = MinimumInput(code) + pick(3); break;
            case 2: size = MinimumInput(code) > 0 ? MinimumInput(code) - 1 : 0; break;
            default: size = 0x10000; break;
        }
        const std::size_t from = pick(uint32_t(pool.size() - size + 1));
        in.assign(pool.begin() + std::ptrdiff_t(from), pool.begin() + std::ptrdiff_t(from + size));
        // Plausible fields now and then: small channel numbers, addresses inside the tables.
        if (pick(2) == 0 && in.size() >= 0x2220) {
            in[0x221C] = uint8_t(pick(10));
            in[0x221D] = 0;
        }
        if (pick(2) == 0 && in.size() >= 0x21C) {
            in[0x218] = uint8_t(pick(10));
            in[0x219] = 0;
        }
        if (code == kRegisterEvent && in.size() >= 4) in[3] = 0x7F;  // never a real descriptor
        out.assign(pick(3) == 0 ? pick(64) : 0x10000, 0);
        const std::size_t n = board.Control(code, in, out);
        ASSERT_LE(n, out.size());
        ASSERT_EQ(board.Word(ControlBlock::BoardConfigWord), 0x0880);
        if (pick(8) == 0) provider.Advance(pick(20000));
    }
    // Still a working board.
    link.StopBoard();
    StartBoard();
    ASSERT_EQ(StartInput(1, 0x0500), 1);
    ASSERT_EQ(StartFrame(1, {0x60001241}, true), 1);
    provider.Advance(kSlow);
    EXPECT_EQ(Slot(1, 0101), 0x60001241u);
    link.ReadMemory();
    EXPECT_EQ(image.Get(ControlBlock::BoardConfigWord), 0x0880);
}

}  // namespace
}  // namespace orv::test
