#include "driver/board_link.h"

#include <algorithm>

namespace orv {
namespace {
constexpr uint32_t kBlockByte = ControlBlock::Start * 2;
constexpr uint32_t Byte(uint32_t wordAddress) { return wordAddress * 2; }
}  // namespace

void BoardLink::Attach(Device* device) {
    std::lock_guard lock(mutex_);
    device_ = device;
}

bool BoardLink::Attached() const {
    std::lock_guard lock(mutex_);
    return device_ != nullptr;
}

void BoardLink::SendRaw(uint32_t code, const std::vector<uint8_t>& in, uint32_t outByte,
                        uint32_t outLen) {
    if (!device_) return;
    out_.assign(outLen, 0);
    const std::size_t got = device_->Control(code, in, out_);
    const std::size_t n = std::min<std::size_t>(got, outLen);
    if (n > 0) image_.CopyIn(outByte, std::span<const uint8_t>(out_.data(), n));
}

void BoardLink::Send(uint32_t code, uint32_t inByte, uint32_t inLen, uint32_t outByte,
                     uint32_t outLen) {
    if (!device_) return;
    in_.resize(inLen);
    image_.CopyOut(inByte, in_);
    SendRaw(code, in_, outByte, outLen);
}

uint32_t BoardLink::WriteRangeInputBytes(uint16_t address, uint16_t length) {
    const uint32_t end = uint32_t(address) + length;
    const uint32_t bytes = end >= ControlBlock::WriteLength ? 2 * end : 8728;
    return std::min<uint32_t>(bytes, BoardImage::kBytes);
}

uint32_t BoardLink::ChangeFrameWordInputBytes(uint16_t wordAddress) {
    return 2 * uint32_t(wordAddress) + 4 - kBlockByte;
}

void BoardLink::ReadMemory() {
    std::lock_guard lock(mutex_);
    if (!device_) return;
    SendRaw(kReadMemory, {}, 0, BoardImage::kBytes);
}

void BoardLink::StartBoard() {
    std::lock_guard lock(mutex_);
    Send(kStartBoard, 0, Byte(ControlBlock::BoardControlWord) + 2,
         Byte(ControlBlock::OutputFrameOffsets), 16);
}

void BoardLink::StopBoard() {
    std::lock_guard lock(mutex_);
    Send(kStopBoard, Byte(ControlBlock::StopInput), 2, Byte(ControlBlock::BoardControlWord), 2);
}

void BoardLink::ChangeFrameWord(uint16_t wordAddress) {
    std::lock_guard lock(mutex_);
    image_.Set(ControlBlock::WordAddress, wordAddress);
    if (wordAddress < ControlBlock::WordAddress || wordAddress + 1u >= BoardImage::kWords) return;
    Send(kChangeFrameWord, kBlockByte, ChangeFrameWordInputBytes(wordAddress), 0, 0);
}

uint32_t BoardLink::ReadSlot(uint16_t channel, uint16_t wordAddress) {
    std::lock_guard lock(mutex_);
    image_.Set(ControlBlock::LoadChannel, channel);
    image_.Set(ControlBlock::WordAddress, wordAddress);
    if (wordAddress + 1u < BoardImage::kWords)
        Send(kReadSlot, kBlockByte, Byte(ControlBlock::WordAddress) + 2 - kBlockByte,
             Byte(wordAddress), 4);
    return image_.Get32(wordAddress);
}

void BoardLink::ReleaseSlot(uint16_t wordAddress) {
    std::lock_guard lock(mutex_);
    image_.Set(ControlBlock::WordAddress, wordAddress);
    Send(kReleaseSlot, kBlockByte, Byte(ControlBlock::WordAddress) + 2 - kBlockByte, 0, 0);
}

void BoardLink::EndEventHandling() {
    std::lock_guard lock(mutex_);
    Send(kEndEventHandling, Byte(ControlBlock::EventInput), 2, 0, 0);
}

uint16_t BoardLink::ReadEvents() {
    std::lock_guard lock(mutex_);
    // A driver that answers nothing reports no events: the acquisition thread reads until it gets
    // 0, and a stale value would keep it reading forever.
    image_.Set(ControlBlock::ChannelEventBits, 0);
    Send(kReadEvents, Byte(ControlBlock::EventInput), 2, Byte(ControlBlock::ChannelEventBits), 2);
    return image_.Get(ControlBlock::ChannelEventBits);
}

void BoardLink::ReadBlock(uint16_t address, uint16_t length) {
    std::lock_guard lock(mutex_);
    image_.Set(ControlBlock::BlockReadAddress, address);
    image_.Set(ControlBlock::BlockReadLength, length);
    // The reply lands at `address`: never let it run past the image.
    const uint32_t room = address < BoardImage::kWords ? BoardImage::kBytes - Byte(address) : 0;
    const uint32_t outLen = std::min<uint32_t>(2u * length, room);
    Send(kReadBlock, kBlockByte, Byte(ControlBlock::BlockReadLength) + 2 - kBlockByte,
         Byte(address), outLen);
}

void BoardLink::WriteRange(uint16_t address, uint16_t length) {
    std::lock_guard lock(mutex_);
    image_.Set(ControlBlock::WriteAddress, address);
    image_.Set(ControlBlock::WriteLength, length);
    Send(kWriteRange, 0, WriteRangeInputBytes(address, length), 0, 0);
}

uint16_t BoardLink::LoadOutputChannel(uint16_t channel) {
    std::lock_guard lock(mutex_);
    image_.Set(ControlBlock::LoadChannel, channel);
    image_.Set(ControlBlock::LoadChannel + 1, 0);
    const uint32_t len = std::min<uint32_t>(0x3000u + 0x200u * channel, BoardImage::kBytes - kBlockByte);
    Send(kLoadOutputChannel, kBlockByte, len, Byte(ControlBlock::ReplyWord), 2);
    return image_.Get(ControlBlock::ReplyWord);
}

uint16_t BoardLink::LoadInputChannel(uint16_t channel) {
    std::lock_guard lock(mutex_);
    image_.Set(ControlBlock::LoadChannel, channel);
    image_.Set(ControlBlock::LoadChannel + 1, 0);
    const uint32_t len = std::min<uint32_t>(0x2000u + 0x200u * channel, BoardImage::kBytes - kBlockByte);
    Send(kLoadInputChannel, kBlockByte, len, Byte(ControlBlock::ReplyWord), 2);
    return image_.Get(ControlBlock::ReplyWord);
}

uint16_t BoardLink::StopChannel(uint16_t channelCode) {
    std::lock_guard lock(mutex_);
    image_.Set(ControlBlock::RunChannel, channelCode);
    const uint32_t reply = BoardImage::ChannelControlWords + (channelCode & 0x0F);
    Send(kStopChannel, kBlockByte, Byte(ControlBlock::RunChannel) + 2 - kBlockByte, Byte(reply), 2);
    return image_.Get(reply);
}

uint16_t BoardLink::StartOutputChannel(uint16_t channel) {
    std::lock_guard lock(mutex_);
    image_.Set(ControlBlock::RunChannel, channel);
    image_.Set(ControlBlock::RunChannel + 1, 0);
    Send(kStartOutputChannel, 0, Byte(ControlBlock::RunChannel + 1) + 2,
         Byte(ControlBlock::ReplyWord), 2);
    return image_.Get(ControlBlock::ReplyWord);
}

uint16_t BoardLink::StartInputChannel(uint16_t channel) {
    std::lock_guard lock(mutex_);
    image_.Set(ControlBlock::RunChannel, channel);
    image_.Set(ControlBlock::RunChannel + 1, 0);
    Send(kStartInputChannel, 0, Byte(ControlBlock::RunChannel + 1) + 2,
         Byte(ControlBlock::ReplyWord), 2);
    return image_.Get(ControlBlock::ReplyWord);
}

uint16_t BoardLink::RegisterEvent(int32_t handleValue) {
    std::lock_guard lock(mutex_);
    const uint32_t v = uint32_t(handleValue);
    const std::vector<uint8_t> in{uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
    SendRaw(kRegisterEvent, in, Byte(ControlBlock::ReplyWord), 2);
    return image_.Get(ControlBlock::ReplyWord);
}

}  // namespace orv
