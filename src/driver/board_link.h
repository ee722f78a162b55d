#pragma once
// The board interface: one function per device-control request. Each function fills the request
// fields of the ControlBlock and sends the request in one step under the request lock, so that
// the user-interface thread and the acquisition thread never interleave their fill-then-send
// sequences. Without an attached device the requests are dropped (nothing is sent).
//
// Table words that are not request fields (label tables, slot tables, frame slots, mode words)
// are written by the caller into the image before calling.

#include <cstdint>
#include <mutex>
#include <vector>

#include "driver/board_image.h"
#include "driver/device.h"

namespace orv {

class BoardLink {
public:
    explicit BoardLink(BoardImage& image) : image_(image) {}
    BoardLink(const BoardLink&) = delete;
    BoardLink& operator=(const BoardLink&) = delete;

    BoardImage& Image() { return image_; }
    const BoardImage& Image() const { return image_; }

    // The device the requests go to; nullptr detaches. The caller keeps the device alive while
    // it is attached. Waits for a request in progress to finish.
    void Attach(Device* device);
    bool Attached() const;

    // 0x222000: the whole board memory into the image.
    void ReadMemory();
    // 0x222004: sends image words 0..0x1100 (settings and control word), receives the eight
    // OutputFrameOffsets words.
    void StartBoard();
    // 0x222008: sends word 0x1002, the reply lands in BoardControlWord.
    void StopBoard();
    // 0x222010: sends the block through the two words at `wordAddress` (a frame slot the caller
    // has written) to replace one word of a running frame.
    void ChangeFrameWord(uint16_t wordAddress);
    // 0x222014: LoadChannel = channel, WordAddress = wordAddress; the two slot words arrive there.
    // Returns the 32-bit word read (low half first).
    uint32_t ReadSlot(uint16_t channel, uint16_t wordAddress);
    // 0x222020: WordAddress = wordAddress; the board clears the slot's high half.
    void ReleaseSlot(uint16_t wordAddress);
    // 0x222030: ends the handling of one signal of the event.
    void EndEventHandling();
    // 0x222034: reads and clears the pending channel events; returns ChannelEventBits.
    uint16_t ReadEvents();
    // 0x22204C: BlockReadAddress = address, BlockReadLength = length (512); the block arrives at
    // `address`.
    void ReadBlock(uint16_t address, uint16_t length = 512);
    // 0x222050: WriteAddress = address, WriteLength = length; sends the image from word 0
    // through the range (at least 8728 bytes).
    void WriteRange(uint16_t address, uint16_t length);
    // 0x222058: LoadChannel = output channel, zero word; returns ReplyWord (0 = accepted).
    uint16_t LoadOutputChannel(uint16_t channel);
    // 0x22205C: LoadChannel = input channel, zero word; returns ReplyWord (0 = accepted).
    uint16_t LoadInputChannel(uint16_t channel);
    // 0x222060: RunChannel = channel code; the reply lands in the code's ChannelControlWords word.
    uint16_t StopChannel(uint16_t channelCode);
    // 0x222064: RunChannel = output channel number, zero word; returns ReplyWord (0 = refused).
    uint16_t StartOutputChannel(uint16_t channel);
    // 0x222068: RunChannel = input channel number, zero word; returns ReplyWord (0 = refused).
    uint16_t StartInputChannel(uint16_t channel);
    // 0x222070: hands the driver the event handle value; returns ReplyWord.
    uint16_t RegisterEvent(int32_t handleValue);

    // Input lengths in bytes, as the requests send them.
    static uint32_t WriteRangeInputBytes(uint16_t address, uint16_t length);
    static uint32_t ChangeFrameWordInputBytes(uint16_t wordAddress);

private:
    // Sends `code` with image bytes [inByte, inByte + inLen) and receives up to outLen bytes into
    // the image at outByte. Must be called with mutex_ held.
    void Send(uint32_t code, uint32_t inByte, uint32_t inLen, uint32_t outByte, uint32_t outLen);
    void SendRaw(uint32_t code, const std::vector<uint8_t>& in, uint32_t outByte, uint32_t outLen);

    BoardImage& image_;
    mutable std::mutex mutex_;
    Device* device_ = nullptr;
    std::vector<uint8_t> in_;
    std::vector<uint8_t> out_;
};

}  // namespace orv
