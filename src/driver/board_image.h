#pragma once
// The program-side mirror of the board's 64 KiB memory and the request block inside it.
//
// Every word is a relaxed atomic: the user-interface thread and the acquisition thread both read
// and write slot words and request fields, and each 16-bit word must be seen whole. Ordering
// between threads is given by the request lock of BoardLink and the atomics of the mask tables.

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <span>

namespace orv {

class BoardImage {
public:
    static constexpr std::size_t kWords = 32768;
    static constexpr std::size_t kBytes = kWords * 2;

    // Regions (word addresses).
    static constexpr uint32_t ChannelSettingWords = 0x0000;  // inputs 0..7, outputs 8..15
    static constexpr uint32_t ChannelControlWords = 0x0020;  // one word per channel code 0..15
    static constexpr uint32_t InputLabelTable = 0x2000;      // 256 words per input channel
    static constexpr uint32_t OutputSlotTable = 0x2800;      // 256 words per output channel
    static constexpr uint32_t ReceiveArea = 0x4000;          // 512 words per input channel
    static constexpr uint32_t ReceiveAreaWords = 0x1000;
    static constexpr uint32_t OutputFrameArea = 0x5000;      // 512 words per output channel
    static constexpr uint32_t OutputFrameAreaWords = 0x1000;

    BoardImage() { Clear(); }
    BoardImage(const BoardImage&) = delete;
    BoardImage& operator=(const BoardImage&) = delete;

    uint16_t Get(uint32_t wordAddress) const {
        return words_[wordAddress % kWords].load(std::memory_order_relaxed);
    }
    void Set(uint32_t wordAddress, uint16_t value) {
        words_[wordAddress % kWords].store(value, std::memory_order_relaxed);
    }
    // A 32-bit ARINC word held low half first.
    uint32_t Get32(uint32_t lowAddress) const {
        return uint32_t(Get(lowAddress)) | (uint32_t(Get(lowAddress + 1)) << 16);
    }
    void Set32(uint32_t lowAddress, uint32_t value) {
        Set(lowAddress, uint16_t(value & 0xFFFF));
        Set(lowAddress + 1, uint16_t(value >> 16));
    }
    void Fill(uint32_t wordAddress, uint32_t count, uint16_t value) {
        for (uint32_t i = 0; i < count; ++i) Set(wordAddress + i, value);
    }
    void Clear() { Fill(0, kWords, 0); }

    // Little-endian byte views, as the driver exchanges them. Ranges must lie inside the image.
    void CopyOut(std::size_t byteOffset, std::span<uint8_t> dst) const;
    void CopyIn(std::size_t byteOffset, std::span<const uint8_t> src);

private:
    std::array<std::atomic<uint16_t>, kWords> words_;
};

// Fields of the request block. Word addresses in BoardImage; the block starts at word 0x1000.
struct ControlBlock {
    static constexpr uint32_t Start = 0x1000;
    static constexpr uint32_t StopInput = 0x1002;   // 2-byte input of the board stop request
    static constexpr uint32_t EventInput = 0x1003;  // 2-byte input of the two event requests
    static constexpr uint32_t OutputFrameOffsets = 0x1018;  // 8 words, reply of the board start
    static constexpr uint32_t OutputChannelFlags = 0x1020;  // 3 words per output channel
    static constexpr uint32_t InputActiveFlags = 0x1050;    // 8 words
    static constexpr uint32_t BoardControlWord = 0x1100;
    static constexpr uint32_t BoardConfigWord = 0x1101;
    static constexpr uint32_t ReplyWord = 0x1102;
    static constexpr uint32_t ChannelEventBits = 0x1104;
    static constexpr uint32_t BlockReadAddress = 0x1108;
    static constexpr uint32_t BlockReadLength = 0x1109;
    static constexpr uint32_t WriteAddress = 0x110A;
    static constexpr uint32_t WriteLength = 0x110B;
    static constexpr uint32_t LoadChannel = 0x110C;  // followed by a word written as 0
    static constexpr uint32_t RunChannel = 0x110E;   // followed by a word written as 0
    static constexpr uint32_t WordAddress = 0x1110;
    static constexpr uint32_t End = 0x1111;  // first word after the block
};

// Channel codes: input channel c is c - 1, output channel c is (c - 1) | 8.
constexpr uint16_t InputChannelCode(unsigned channel) { return uint16_t(channel - 1); }
constexpr uint16_t OutputChannelCode(unsigned channel) { return uint16_t((channel - 1) | 8); }

// Word address of the label slot of `label` on input channel `channel` (1-based).
constexpr uint16_t LabelSlotAddress(unsigned channel, unsigned label) {
    return uint16_t(BoardImage::ReceiveArea + (channel - 1) * 512 + 2 * label);
}

}  // namespace orv
