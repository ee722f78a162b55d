// The sixteen device-control requests of the virtual board (docs/VIRTUAL_BOARD.md, "Requests").
#include <algorithm>
#include <string>
#include <string_view>
#include <fcntl.h>
#include <unistd.h>

#include "driver/device.h"
#include "driver/signal_event.h"
#include "vboard/virtual_board.h"

namespace orv {
namespace {

constexpr uint32_t kBlock = ControlBlock::Start;

// Bytes a request must carry to include word `address`, counting from word `base`.
constexpr std::size_t Through(uint32_t address, uint32_t base) { return 2u * (address - base) + 2u; }

uint16_t InWord(std::span<const uint8_t> in, uint32_t address, uint32_t base) {
    const std::size_t b = 2u * (address - base);
    return uint16_t(in[b] | (in[b + 1] << 8));
}

void PutWord(std::span<uint8_t> out, std::size_t index, uint16_t value) {
    out[2 * index] = uint8_t(value & 0xFF);
    out[2 * index + 1] = uint8_t(value >> 8);
}

// Only an eventfd is signalled: a write to any other descriptor (a file, a pipe, the terminal)
// would put the board's counter bytes into it.
bool IsEventDescriptor(int fd) {
    char link[64] = {};
    const std::string path = "/proc/self/fd/" + std::to_string(fd);
    const ssize_t n = readlink(path.c_str(), link, sizeof link - 1);
    return n > 0 && std::string_view(link, std::size_t(n)) == "anon_inode:[eventfd]";
}

}  // namespace

std::size_t VirtualBoard::RequestLocked(uint32_t code, std::span<const uint8_t> in, std::span<uint8_t> out) {
    switch (code) {
        case kReadMemory: {
            const std::size_t n = std::min<std::size_t>(out.size(), BoardImage::kBytes);
            for (std::size_t b = 0; b < n; ++b) {
                const uint16_t w = memory_[b / 2];
                out[b] = uint8_t((b & 1) ? (w >> 8) : (w & 0xFF));
            }
            return n;
        }
        case kStartBoard:
            return StartBoardLocked(in, out);
        case kStopBoard: {
            if (in.size() < 2 || out.size() < 2) return 0;
            StopAllLocked();
            PutWord(out, 0, memory_[ControlBlock::BoardControlWord]);
            return 2;
        }
        case kChangeFrameWord: {
            if (in.size() < Through(ControlBlock::WordAddress, kBlock)) return 0;
            const uint32_t a = InWord(in, ControlBlock::WordAddress, kBlock);
            if (!IsFrameSlotAddress(a)) return 0;
            if (in.size() < Through(a + 1, kBlock)) return 0;
            memory_[a] = InWord(in, a, kBlock);
            memory_[a + 1] = InWord(in, a + 1, kBlock);
            return 0;
        }
        case kReadSlot: {
            if (in.size() < Through(ControlBlock::WordAddress, kBlock) || out.size() < 4) return 0;
            const uint32_t a = InWord(in, ControlBlock::WordAddress, kBlock);
            if (a + 1 >= BoardImage::kWords) return 0;
            uint32_t word = memory_[a] | (uint32_t(memory_[a + 1]) << 16);
            PopSlotLocked(a, word);
            PutWord(out, 0, uint16_t(word & 0xFFFF));
            PutWord(out, 1, uint16_t(word >> 16));
            return 4;
        }
        case kReleaseSlot: {
            if (in.size() < Through(ControlBlock::WordAddress, kBlock)) return 0;
            const uint32_t a = InWord(in, ControlBlock::WordAddress, kBlock);
            if (!IsReceiveSlotAddress(a)) return 0;
            memory_[a + 1] = 0;
            return 0;
        }
        case kEndEventHandling: {
            if (in.size() < 2) return 0;
            // Events that came in after the last read keep the event signalled.
            if (events_ != 0) SignalEvent::SignalHandle(eventFd_);
            return 0;
        }
        case kReadEvents: {
            if (in.size() < 2 || out.size() < 2) return 0;
            // The arrivals since the last read, and the channels where words still wait.
            PutWord(out, 0, PendingBitsLocked());
            events_ = 0;
            for (Receiver& r : rx_) r.arrived.reset();
            return 2;
        }
        case kReadBlock: {
            if (in.size() < Through(ControlBlock::BlockReadLength, kBlock)) return 0;
            const uint32_t a = InWord(in, ControlBlock::BlockReadAddress, kBlock);
            const uint32_t len = InWord(in, ControlBlock::BlockReadLength, kBlock);
            if (a + len > BoardImage::kWords || out.size() < 2u * len) return 0;
            for (std::size_t i = 0; i < len; ++i) PutWord(out, i, memory_[a + i]);
            return 2u * len;
        }
        case kWriteRange: {
            if (in.size() < Through(ControlBlock::WriteLength, 0)) return 0;
            const uint32_t a = InWord(in, ControlBlock::WriteAddress, 0);
            const uint32_t len = InWord(in, ControlBlock::WriteLength, 0);
            if (a + len > BoardImage::kWords || in.size() < 2u * (a + len)) return 0;
            for (uint32_t i = 0; i < len; ++i) memory_[a + i] = InWord(in, a + i, 0);
            const uint32_t tablesEnd = BoardImage::InputLabelTable + 8 * kTableWordsPerChannel;
            if (a < tablesEnd && a + len > BoardImage::InputLabelTable) SyncEventLabelsLocked();
            return 0;
        }
        case kLoadOutputChannel:
        case kLoadInputChannel: {
            if (in.size() < Through(ControlBlock::LoadChannel, kBlock) || out.size() < 2) return 0;
            const bool output = code == kLoadOutputChannel;
            const unsigned c = InWord(in, ControlBlock::LoadChannel, kBlock);
            const unsigned count = output ? spec_.outputs : spec_.inputs;
            const uint32_t table = output ? SlotTableAddress(c, 0) : LabelTableAddress(c, 0);
            if (c < 1 || c > count || in.size() < Through(table + kTableWordsPerChannel - 1, kBlock)) {
                PutWord(out, 0, 1);  // refused
                return 2;
            }
            for (uint32_t i = 0; i < kTableWordsPerChannel; ++i) memory_[table + i] = InWord(in, table + i, kBlock);
            if (!output) SyncEventLabelsLocked();
            PutWord(out, 0, 0);  // accepted
            return 2;
        }
        case kStopChannel: {
            if (in.size() < Through(ControlBlock::RunChannel, kBlock) || out.size() < 2) return 0;
            const unsigned channelCode = InWord(in, ControlBlock::RunChannel, kBlock);
            if (channelCode > 15) return 0;
            const unsigned index = channelCode & 7;
            if (channelCode & 8) {
                if (index < spec_.outputs) tx_[index].running = false;
            } else if (index < spec_.inputs) {
                rx_[index].running = false;
            }
            PutWord(out, 0, memory_[ChannelModeAddress(channelCode)]);
            return 2;
        }
        case kStartOutputChannel:
        case kStartInputChannel:
            return StartChannelLocked(code == kStartOutputChannel, in, out);
        case kRegisterEvent:
            return RegisterEventLocked(in, out);
        default:
            return 0;
    }
}

std::size_t VirtualBoard::StartBoardLocked(std::span<const uint8_t> in, std::span<uint8_t> out) {
    if (in.size() < Through(ControlBlock::BoardControlWord, 0) || out.size() < 16) return 0;
    // A (re)start ends whatever the channels were doing: the program sets their modes again
    // after it.
    StopAllLocked();
    for (Receiver& r : rx_) r.DropQueues();
    for (unsigned code = 0; code < 16; ++code) {
        settings_[code] = ChannelSetting::BoardWord(InWord(in, ChannelSettingAddress(code), 0));
        memory_[ChannelSettingAddress(code)] = settings_[code];
    }
    memory_[ControlBlock::BoardControlWord] = InWord(in, ControlBlock::BoardControlWord, 0);
    for (unsigned c = 0; c < 8; ++c) {
        memory_[ControlBlock::OutputFrameOffsets + c] = FrameOffset(c + 1);
        PutWord(out, c, FrameOffset(c + 1));
    }
    return 16;
}

std::size_t VirtualBoard::StartChannelLocked(bool output, std::span<const uint8_t> in, std::span<uint8_t> out) {
    if (in.size() < Through(ControlBlock::RunChannel + 1, 0) || out.size() < 2) return 0;
    const unsigned c = InWord(in, ControlBlock::RunChannel, 0);
    const unsigned count = output ? spec_.outputs : spec_.inputs;
    if (c < 1 || c > count) {
        PutWord(out, 0, 0);  // refused
        return 2;
    }
    const unsigned channelCode = output ? OutputChannelCode(c) : InputChannelCode(c);
    const uint16_t mode = InWord(in, ChannelModeAddress(channelCode), 0);
    if ((mode & (output ? kOutputEnable : kInputEnable)) == 0) {
        PutWord(out, 0, 0);  // refused
        return 2;
    }
    memory_[ChannelModeAddress(channelCode)] = mode;
    if (output) {
        Transmitter& t = tx_[c - 1];
        t.cursor = FrameCursor::Start(memory_, c, (mode & kOutputOneShot) != 0, now_);
        t.running = true;
    } else {
        Receiver& r = rx_[c - 1];
        r.DropQueues();  // a new start begins with empty queues
        r.running = true;
        r.file = (mode & kInputFileMode) != 0;
        r.captureStopped = false;
        r.position = 0;
    }
    PutWord(out, 0, 1);  // started
    return 2;
}

std::size_t VirtualBoard::RegisterEventLocked(std::span<const uint8_t> in, std::span<uint8_t> out) {
    if (in.size() < 4 || out.size() < 2) return 0;
    const int handle = int32_t(uint32_t(in[0]) | (uint32_t(in[1]) << 8) | (uint32_t(in[2]) << 16) |
                               (uint32_t(in[3]) << 24));
    const int copy = handle >= 0 ? fcntl(handle, F_DUPFD_CLOEXEC, 0) : -1;
    if (copy >= 0 && !IsEventDescriptor(copy)) {
        close(copy);
        PutWord(out, 0, 1);
        return 2;
    }
    if (copy < 0) {
        PutWord(out, 0, 1);  // refused; the previous event stays registered
        return 2;
    }
    if (eventFd_ >= 0) close(eventFd_);
    eventFd_ = copy;
    PutWord(out, 0, 0);
    return 2;
}

// Words the firmware owns: the program may write over them, the board keeps its own values.
void VirtualBoard::RestoreRegistersLocked() {
    memory_[ControlBlock::BoardConfigWord] = spec_.ConfigWord();
    memory_[ControlBlock::ChannelEventBits] = PendingBitsLocked();
}

void VirtualBoard::StopAllLocked() {
    for (auto& t : tx_) t.running = false;
    for (auto& r : rx_) r.running = false;
}

}  // namespace orv
