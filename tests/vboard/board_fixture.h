#pragma once
// A virtual board on the manual clock, driven the way the program drives it: through BoardLink
// over a BoardImage.

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "driver/board_image.h"
#include "driver/board_link.h"
#include "vboard/arinc_bus.h"
#include "vboard/virtual_board_provider.h"

namespace orv::test {

constexpr uint32_t kPause = 0;  // a frame entry that is a pause

class VirtualBoardTest : public ::testing::Test {
protected:
    void SetUp() override { Attach("arinc10"); }

    void Attach(const char* name) {
        device = provider.Open(name);
        ASSERT_NE(device, nullptr);
        link.Attach(device.get());
        link.ReadMemory();
    }
    VirtualBoard& Board(unsigned n = 1) { return provider.Board(n); }

    // Board start with the sixteen channel setting words (inputs 1..8, outputs 1..8).
    void StartBoard(const std::array<uint16_t, 16>& settings = {}) {
        for (uint32_t i = 0; i < 16; ++i) image.Set(BoardImage::ChannelSettingWords + i, settings[i]);
        link.StartBoard();
    }

    // The output start sequence of the frame dialog: frame slots, stop, slot table, load, start.
    // Words are sent with bit 32 set in the slot, as the program writes them. Returns the start
    // reply (0 when the load or the start was refused).
    uint16_t StartFrame(unsigned ch, const std::vector<uint32_t>& words, bool cyclic) {
        const uint32_t frame = BoardImage::OutputFrameArea + 512 * (ch - 1);
        for (std::size_t k = 0; k < words.size(); ++k) {
            const uint32_t w = words[k];
            image.Set(frame + 2 * uint32_t(k), w == kPause ? 0 : uint16_t(w & 0xFFFF));
            image.Set(frame + 2 * uint32_t(k) + 1, w == kPause ? 0 : uint16_t((w >> 16) | 0x8000));
        }
        link.WriteRange(uint16_t(frame), uint16_t(2 * words.size()));
        link.StopChannel(OutputChannelCode(ch));
        const uint32_t table = BoardImage::OutputSlotTable + 256 * (ch - 1);
        image.Fill(table, 256, 0);
        image.Set(table + uint32_t(words.size()) - 1, 0x8001);
        if (link.LoadOutputChannel(uint16_t(ch)) != 0) return 0;
        image.Set(BoardImage::ChannelControlWords + OutputChannelCode(ch), cyclic ? 0x8500 : 0x8700);
        return link.StartOutputChannel(uint16_t(ch));
    }

    // The input start sequence: stop, clear the channel's block, label table, load, start with
    // `mode` (0x0500 label slots, 0x8700 stream). `labelWords` are (label, table word) pairs.
    uint16_t StartInput(unsigned ch, uint16_t mode,
                        const std::vector<std::pair<unsigned, uint16_t>>& labelWords = {}) {
        link.StopChannel(InputChannelCode(ch));
        const uint32_t block = BoardImage::ReceiveArea + 512 * (ch - 1);
        image.Fill(block, 512, 0);
        link.WriteRange(uint16_t(block), 512);
        const uint32_t table = BoardImage::InputLabelTable + 256 * (ch - 1);
        image.Fill(table, 256, 0);
        for (const auto& [label, word] : labelWords) image.Set(table + label, word);
        image.Set(ControlBlock::InputActiveFlags + ch - 1, 1);
        if (link.LoadInputChannel(uint16_t(ch)) != 0) return 0;
        image.Set(BoardImage::ChannelControlWords + InputChannelCode(ch), mode);
        return link.StartInputChannel(uint16_t(ch));
    }

    // The word in the label slot, read with the slot read request.
    uint32_t Slot(unsigned ch, unsigned label) { return link.ReadSlot(uint16_t(ch), LabelSlotAddress(ch, label)); }

    // The channel's stream block, read with the block read request, as 256 words.
    std::vector<uint32_t> Block(unsigned ch) {
        const uint16_t block = uint16_t(BoardImage::ReceiveArea + 512 * (ch - 1));
        link.ReadBlock(block);
        std::vector<uint32_t> words(256);
        for (uint32_t i = 0; i < 256; ++i) words[i] = image.Get32(block + 2 * i);
        return words;
    }

    VirtualBoardProvider provider{BoardClock::Manual};
    std::unique_ptr<Device> device;
    std::unique_ptr<BoardImage> imageStore = std::make_unique<BoardImage>();
    BoardImage& image = *imageStore;
    BoardLink link{image};
};

// Word time and arrival offset at 12.5 kbit/s (rate code 0).
constexpr uint64_t kSlow = WordTimeUs(0);
constexpr uint64_t kSlowArrival = WordArrivalUs(0);

}  // namespace orv::test
