// The request functions against the recording device: codes, input stretches, output
// destinations, and the one-request-at-a-time rule between threads.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "driver/board_link.h"
#include "support/scripted_device.h"

namespace orv {
namespace {

constexpr uint32_t kBlockByte = 0x2000;

class BoardLinkTest : public ::testing::Test {
protected:
    BoardLinkTest() { link.Attach(&device); }
    const ScriptedRequest& Last() {
        requests = device.Requests();
        return requests.back();
    }
    BoardImage image;
    BoardLink link{image};
    ScriptedDevice device;
    std::vector<ScriptedRequest> requests;
};

// Each request: its code, how many bytes it sends, how many it asks back, and which image bytes
// it sends (checked by a marker word placed at the end of the expected input stretch).
TEST_F(BoardLinkTest, EveryRequestSendsItsStretchAndAsksItsReply) {
    struct Case {
        const char* name;
        std::function<void()> call;
        uint32_t code;
        std::size_t inBytes;
        std::size_t outBytes;
    };
    const std::vector<Case> cases = {
        {"read memory", [&] { link.ReadMemory(); }, kReadMemory, 0, 65536},
        {"start board", [&] { link.StartBoard(); }, kStartBoard, 8706, 16},
        {"stop board", [&] { link.StopBoard(); }, kStopBoard, 2, 2},
        {"change frame word", [&] { link.ChangeFrameWord(0x5000 + 512 + 10); }, kChangeFrameWord,
         2 * (0x5000 + 512 + 10 - 0x1000) + 4, 0},
        {"read slot", [&] { link.ReadSlot(2, 0x4390); }, kReadSlot, 546, 4},
        {"release slot", [&] { link.ReleaseSlot(0x4390); }, kReleaseSlot, 546, 0},
        {"end event handling", [&] { link.EndEventHandling(); }, kEndEventHandling, 2, 0},
        {"read events", [&] { link.ReadEvents(); }, kReadEvents, 2, 2},
        {"read block", [&] { link.ReadBlock(0x4400); }, kReadBlock, 532, 1024},
        {"write range", [&] { link.WriteRange(0x4000, 0x1000); }, kWriteRange, 0xA000, 0},
        {"load output 3", [&] { link.LoadOutputChannel(3); }, kLoadOutputChannel, 0x3000 + 3 * 512, 2},
        {"load input 3", [&] { link.LoadInputChannel(3); }, kLoadInputChannel, 0x2000 + 3 * 512, 2},
        {"stop channel", [&] { link.StopChannel(8); }, kStopChannel, 542, 2},
        {"start output", [&] { link.StartOutputChannel(1); }, kStartOutputChannel, 8736, 2},
        {"start input", [&] { link.StartInputChannel(3); }, kStartInputChannel, 8736, 2},
        {"register event", [&] { link.RegisterEvent(0x01020304); }, kRegisterEvent, 4, 2},
    };
    for (const auto& c : cases) {
        device.Clear();
        c.call();
        ASSERT_EQ(device.Requests().size(), 1u) << c.name;
        const auto& r = Last();
        EXPECT_EQ(r.code, c.code) << c.name;
        EXPECT_EQ(r.input.size(), c.inBytes) << c.name;
        EXPECT_EQ(r.outputLength, c.outBytes) << c.name;
    }
}

TEST_F(BoardLinkTest, RequestFieldsTravelInTheBlockAtTheirOffsets) {
    link.ReadSlot(2, 0x4390);
    EXPECT_EQ(Last().InputWord(0x218), 2);       // LoadChannel
    EXPECT_EQ(Last().InputWord(0x220), 0x4390);  // WordAddress, the last word sent

    link.ReadBlock(0x4400);
    EXPECT_EQ(Last().InputWord(0x210), 0x4400);
    EXPECT_EQ(Last().InputWord(0x212), 512);

    // Input channel 3 starts with its number, output channel 1 stops with its code.
    link.StartInputChannel(3);
    EXPECT_EQ(Last().InputWord(2 * 0x110E), 3);
    EXPECT_EQ(Last().InputWord(2 * 0x110F), 0);
    link.StopChannel(OutputChannelCode(1));
    EXPECT_EQ(Last().InputWord(0x21C), 8);
    link.StopChannel(InputChannelCode(8));
    EXPECT_EQ(Last().InputWord(0x21C), 7);

    link.RegisterEvent(0x01020304);
    EXPECT_EQ(Last().input, (std::vector<uint8_t>{4, 3, 2, 1}));
}

TEST_F(BoardLinkTest, RepliesLandWhereTheCallersReadThem) {
    device.SetReplyWord(kStopChannel, 0xBEEF);
    EXPECT_EQ(link.StopChannel(OutputChannelCode(1)), 0xBEEF);
    EXPECT_EQ(image.Get(0x28), 0xBEEF);
    EXPECT_EQ(link.StopChannel(InputChannelCode(8)), 0xBEEF);
    EXPECT_EQ(image.Get(0x27), 0xBEEF);

    device.QueueReply(kReadSlot, {0x34, 0x12, 0x78, 0x56});
    EXPECT_EQ(link.ReadSlot(1, 0x4010), 0x56781234u);
    EXPECT_EQ(image.Get(0x4010), 0x1234);
    EXPECT_EQ(image.Get(0x4011), 0x5678);

    device.QueueReplyWord(kLoadInputChannel, 0);
    device.QueueReplyWord(kStartInputChannel, 7);
    EXPECT_EQ(link.LoadInputChannel(1), 0);
    EXPECT_EQ(link.StartInputChannel(1), 7);
    EXPECT_EQ(image.Get(ControlBlock::ReplyWord), 7);

    device.QueueReply(kStartBoard, {0, 0, 0, 2});
    link.StartBoard();
    EXPECT_EQ(image.Get(ControlBlock::OutputFrameOffsets), 0);
    EXPECT_EQ(image.Get(ControlBlock::OutputFrameOffsets + 1), 0x200);

    device.SetReplyWord(kStopBoard, 0x55);
    link.StopBoard();
    EXPECT_EQ(image.Get(ControlBlock::BoardControlWord), 0x55);

    device.QueueReplyWord(kReadEvents, 0x0005);
    EXPECT_EQ(link.ReadEvents(), 0x0005);
    EXPECT_EQ(link.ReadEvents(), 0);  // no answer: no events, never the previous bits again

    std::vector<uint8_t> block(1024);
    for (std::size_t i = 0; i < block.size(); ++i) block[i] = uint8_t(i);
    device.QueueReply(kReadBlock, block);
    link.ReadBlock(0x4400);
    EXPECT_EQ(image.Get(0x4400), 0x0100);
    EXPECT_EQ(image.Get(0x45FF), 0xFFFE);
    EXPECT_EQ(image.Get(0x4600), 0);
}

TEST_F(BoardLinkTest, RangeWriteSendsThroughTheRangeButNeverLessThanTheBlock) {
    for (int x : {0, 1, 255, 0x7FF}) {
        link.WriteRange(uint16_t(0x2000 + x), 1);
        EXPECT_EQ(Last().input.size(), 2u * (0x2000 + x + 1)) << x;
    }
    link.WriteRange(0x20, 1);
    EXPECT_EQ(Last().input.size(), 8728u);
    EXPECT_EQ(Last().InputWord(2 * 0x110A), 0x20);
    EXPECT_EQ(Last().InputWord(2 * 0x110B), 1);
    // The written words themselves travel with it.
    image.Set(0x2105, 0x8123);
    link.WriteRange(0x2105, 1);
    EXPECT_EQ(Last().InputWord(2 * 0x2105), 0x8123);
    // A range running past the memory is cut at its end, never read beyond the image.
    link.WriteRange(0x7FFF, 4);
    EXPECT_EQ(Last().input.size(), 65536u);
    // Likewise a block read near or past the end of the memory asks only what fits.
    link.ReadBlock(0x7F00);
    EXPECT_EQ(Last().outputLength, 512u);
    link.ReadBlock(0x9000);
    EXPECT_EQ(Last().outputLength, 0u);
}

TEST_F(BoardLinkTest, NothingIsSentWithoutADevice) {
    link.Attach(nullptr);
    link.ReadMemory();
    link.WriteRange(0x2000, 1);
    EXPECT_EQ(link.ReadSlot(1, 0x4000), 0u);
    EXPECT_TRUE(device.Requests().empty());
    EXPECT_FALSE(link.Attached());
}

// Two threads read slots of different channels at full speed. Each request must carry the
// LoadChannel and WordAddress its own thread filled in: with interleaved fill-then-send steps a
// request would go out with the other thread's address.
TEST_F(BoardLinkTest, ConcurrentRequestsNeverMixTheirFields) {
    std::atomic<int> mixed{0};
    device.OnRequest([&](const ScriptedRequest& r) {
        if (r.code != kReadSlot) return;
        const uint16_t channel = r.InputWord(0x218);
        const uint16_t address = r.InputWord(0x220);
        if (address != LabelSlotAddress(channel, 0310)) ++mixed;
    });
    auto worker = [&](uint16_t channel) {
        for (int i = 0; i < 3000; ++i) link.ReadSlot(channel, LabelSlotAddress(channel, 0310));
    };
    std::thread a(worker, 1), b(worker, 2);
    a.join();
    b.join();
    EXPECT_EQ(mixed.load(), 0);
    EXPECT_EQ(device.Count(kReadSlot), 6000u);
}

TEST(BoardImageTest, BytesAreLittleEndianWordsAndArincWordsLowHalfFirst) {
    BoardImage image;
    image.Set32(0x4390, 0x12345678);
    EXPECT_EQ(image.Get(0x4390), 0x5678);
    EXPECT_EQ(image.Get(0x4391), 0x1234);
    std::array<uint8_t, 4> bytes{};
    image.CopyOut(2 * 0x4390, bytes);
    EXPECT_EQ(bytes, (std::array<uint8_t, 4>{0x78, 0x56, 0x34, 0x12}));
    // An odd start and length touch only their own bytes.
    const std::array<uint8_t, 1> one{0xAB};
    image.CopyIn(2 * 0x4390 + 1, one);
    EXPECT_EQ(image.Get(0x4390), 0xAB78);
    EXPECT_EQ(LabelSlotAddress(2, 0310), 0x4390);
}

// Every start and length, odd or even: a copy out gives the bytes of the words, a copy in changes
// exactly its own bytes and keeps the other half of a word it only half covers.
TEST(BoardImageTest, WordWiseCopiesMatchTheBytesAtEveryAlignment) {
    BoardImage image;
    auto byteAt = [&](std::size_t b) { return uint8_t(image.Get(uint32_t(b / 2)) >> (8 * (b & 1))); };
    for (std::size_t start = 0; start < 6; ++start) {
        for (std::size_t length = 0; length < 10; ++length) {
            for (uint32_t w = 0; w < 8; ++w) image.Set(0x100 + w, uint16_t(0x1111 * (w + 1) + w));
            std::vector<uint8_t> before(16);
            for (std::size_t b = 0; b < 16; ++b) before[b] = byteAt(0x200 + b);
            std::vector<uint8_t> out(length, 0xEE);
            image.CopyOut(0x200 + start, out);
            for (std::size_t i = 0; i < length; ++i) ASSERT_EQ(out[i], before[start + i]) << start << " " << length;

            std::vector<uint8_t> in(length);
            for (std::size_t i = 0; i < length; ++i) in[i] = uint8_t(0xA0 + i);
            image.CopyIn(0x200 + start, in);
            for (std::size_t b = 0; b < 16; ++b) {
                const bool inside = b >= start && b < start + length;
                ASSERT_EQ(byteAt(0x200 + b), inside ? in[b - start] : before[b]) << start << " " << length << " " << b;
            }
        }
    }
    // The last byte of the image.
    image.Set(BoardImage::kWords - 1, 0x1234);
    std::array<uint8_t, 1> last{};
    image.CopyOut(BoardImage::kBytes - 1, last);
    EXPECT_EQ(last[0], 0x12);
}

}  // namespace
}  // namespace orv
