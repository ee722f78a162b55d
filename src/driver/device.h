#pragma once
// The driver interface: what the program sees of a board driver. A device is opened by name and
// driven with synchronous device-control requests that exchange byte stretches of the board
// memory mirror; the driver signals an event (registered by request 0x222070) when channel events
// are pending. Implementations: the virtual board (vboard/) and the scripted device of the tests.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

#include "driver/word_stream.h"

namespace orv {

// Device-control codes (METHOD_BUFFERED, FILE_ANY_ACCESS, device type 0x22, functions 0x800..).
enum RequestCode : uint32_t {
    kReadMemory = 0x222000,         // out: whole memory
    kStartBoard = 0x222004,         // in: image 0..8705; out: OutputFrameOffsets
    kStopBoard = 0x222008,          // in: word 0x1002; out: BoardControlWord
    kChangeFrameWord = 0x222010,    // in: block through the two words at WordAddress
    kReadSlot = 0x222014,           // in: block (546); out: 4 bytes at WordAddress
    kReleaseSlot = 0x222020,        // in: block (546)
    kEndEventHandling = 0x222030,   // in: word 0x1003
    kReadEvents = 0x222034,         // in: word 0x1003; out: ChannelEventBits
    kReadBlock = 0x22204C,          // in: block (532); out: 1024 bytes at BlockReadAddress
    kWriteRange = 0x222050,         // in: image from 0 through the range (at least 8728)
    kLoadOutputChannel = 0x222058,  // in: block through the channel's OutputSlotTable; out: ReplyWord
    kLoadInputChannel = 0x22205C,   // in: block through the channel's InputLabelTable; out: ReplyWord
    kStopChannel = 0x222060,        // in: block (542); out: the channel's ChannelControlWords word
    kStartOutputChannel = 0x222064, // in: image from 0 (8736); out: ReplyWord
    kStartInputChannel = 0x222068,  // in: image from 0 (8736); out: ReplyWord
    kRegisterEvent = 0x222070,      // in: 4-byte event handle value; out: ReplyWord
};

// Function number of a code (0x800 and up), for messages and tests.
constexpr uint32_t RequestFunction(uint32_t code) { return (code >> 2) & 0xFFF; }

// One opened board device.
class Device {
public:
    virtual ~Device() = default;
    // A synchronous device-control request. `in` is what the program sends, `out` the buffer the
    // driver may fill. Returns the number of bytes written to `out` (callers do not rely on it).
    virtual std::size_t Control(uint32_t code, std::span<const uint8_t> in, std::span<uint8_t> out) = 0;
    // The stream of the words the input lines carry (word_stream.h), when the device offers one.
    virtual WordStream* Stream() { return nullptr; }
};

// Opens devices by name ("arinc10" .. "arinc42"). Returns nullptr when the device cannot be
// opened.
class DeviceProvider {
public:
    virtual ~DeviceProvider() = default;
    virtual std::unique_ptr<Device> Open(std::string_view name) = 0;
};

}  // namespace orv
