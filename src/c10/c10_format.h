#pragma once
// IRIG 106 Chapter 10 recording layout (as published in RCC 106-19, Chapters 10 and 11): the
// 24-byte packet header, the optional 12-byte secondary header, data checksums, and the bodies of
// the three packet types the recorder writes. Everything is little-endian.
//
// Packet header:
//   0  u16 sync 0xEB25            2  u16 channel id
//   4  u32 packet length (header to the end of filler and data checksum, a multiple of 4)
//   8  u32 data length (channel-specific word plus body, without filler)
//  12  u8  data type version     13  u8 sequence number (per channel, wraps after 255)
//  14  u8  packet flags          15  u8 data type
//  16  u48 relative time counter (10 MHz, one counter for the whole file)
//  22  u16 header checksum (16-bit sum of the eleven 16-bit words before it)

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace orv::c10 {

inline constexpr uint16_t kSync = 0xEB25;
inline constexpr std::size_t kHeaderSize = 24;
inline constexpr std::size_t kSecondaryHeaderSize = 12;
inline constexpr uint32_t kMaxPacketLength = 524288;
// Counter ticks per second (10 MHz) and per 10 ms step of the time packets.
inline constexpr uint64_t kTicksPerSecond = 10'000'000;
inline constexpr uint64_t kTicksPer10Ms = 100'000;
inline constexpr uint64_t kCounterMask = (uint64_t{1} << 48) - 1;

// Data type version written in every header: 0x09 is the code of RCC 106-19.
inline constexpr uint8_t kDataTypeVersion106_19 = 0x09;
// Edition written in the TMATS channel-specific word (bits 7-0): 0x0D is RCC 106-19.
inline constexpr uint8_t kTmatsEdition106_19 = 0x0D;

inline constexpr uint8_t kTypeTmats = 0x01;      // computer-generated data, format 1 (setup record)
inline constexpr uint8_t kTypeTimeF1 = 0x11;     // time data, format 1
inline constexpr uint8_t kTypeArinc429F0 = 0x38; // ARINC-429 data, format 0

inline constexpr uint16_t kTmatsChannel = 0;
inline constexpr uint16_t kTimeChannel = 1;

// Packet flags.
inline constexpr uint8_t kFlagSecondaryHeader = 0x80;
inline constexpr uint8_t kFlagIntraPacketTime = 0x40;
inline constexpr uint8_t kFlagSyncError = 0x20;
inline constexpr uint8_t kFlagOverflow = 0x10;
inline constexpr uint8_t kFlagChecksumMask = 0x03;  // 0 none, 1 8-bit, 2 16-bit, 3 32-bit

// ARINC-429 intra-packet header.
inline constexpr uint32_t kGapMask = 0xFFFFF;        // bits 19-0, 0.1 us
inline constexpr uint32_t kIphBusSpeed = 1u << 21;   // 1: 100 kbit/s
inline constexpr uint32_t kIphParityError = 1u << 22;
inline constexpr uint32_t kIphFormatError = 1u << 23;
// A packet spans at most 100 ms from its first word's start to its last word's start.
inline constexpr uint64_t kMaxPacketSpan = kTicksPerSecond / 10;
inline constexpr uint32_t kMaxWordsPerPacket = (kMaxPacketLength - kHeaderSize - 4) / 8;

// Time data format 1, channel-specific word: bits 3-0 source, 7-4 format, 8 leap year,
// 9 date format (1: month-day-year form, which carries the year).
inline constexpr uint32_t kTimeSourceInternal = 0x0;
inline constexpr uint32_t kTimeFormatRealTimeClock = 0x3;
inline constexpr uint32_t kTimeLeapYear = 1u << 8;
inline constexpr uint32_t kTimeDateFormatDmy = 1u << 9;

struct PacketHeader {
    uint16_t channel = 0;
    uint32_t packetLength = 0;
    uint32_t dataLength = 0;
    uint8_t version = kDataTypeVersion106_19;
    uint8_t sequence = 0;
    uint8_t flags = 0;
    uint8_t dataType = 0;
    uint64_t counter = 0;   // 48 bits
    uint16_t checksum = 0;  // as read; EncodeHeader writes the right one
};

inline uint16_t Get16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
inline uint32_t Get32(const uint8_t* p) {
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
inline void Put16(uint8_t* p, uint16_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}
inline void Put32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}

// Sum of the first eleven 16-bit words of a header.
uint16_t HeaderChecksum(const uint8_t* header);
// Reads the 24 bytes at `p` (no check made).
PacketHeader DecodeHeader(const uint8_t* p);
// Writes the 24 bytes at `p`, with the header checksum.
void EncodeHeader(const PacketHeader& h, uint8_t* p);

// Bytes a data checksum of the given kind (flags bits 1-0) occupies at the end of a packet.
inline std::size_t ChecksumSize(uint8_t flags) {
    static constexpr std::size_t kSizes[4] = {0, 1, 2, 4};
    return kSizes[flags & kFlagChecksumMask];
}
// True when the checksum at the end of `body` (body .. end, the checksum included) is right for
// its kind: the 8-, 16- or 32-bit sum of the bytes, words or double words before it.
bool DataChecksumHolds(uint8_t kind, const uint8_t* body, std::size_t length);
// True when the secondary header's checksum (its last two bytes) is the 16-bit sum of its first
// ten bytes, or of its first five 16-bit words (recorders differ in how they read the rule).
bool SecondaryChecksumHolds(const uint8_t* secondary);

// Days since 1970-01-01 of a proleptic Gregorian date, and back.
int64_t DaysFromCivil(int year, unsigned month, unsigned day);
void CivilFromDays(int64_t days, int& year, unsigned& month, unsigned& day);
bool IsLeapYear(int year);
// The year of an absolute time (below).
int CivilYear(int64_t absolute);

// Absolute times are 0.1 us ticks since 1970-01-01 00:00:00 UTC.
inline constexpr int64_t kNoTime = INT64_MIN;

// An absolute time as ISO 8601 UTC with 7 decimals, "2026-12-07T14:30:15.1234567Z" (years 0..9999),
// and back: "YYYY-MM-DDTHH:MM:SS[.f...]Z" with up to 7 decimals (also "+00:00" for the zone), or
// kNoTime when the text is not such a time.
std::string IsoTime(int64_t absolute);
int64_t ParseIsoTime(std::string_view text);

// The 8-byte body of a month-day-year time packet (after its channel-specific word) for a
// 10 ms instant, and back. Decoding refuses digits out of range (returns kNoTime).
void EncodeDmyTime(int64_t absolute, uint8_t* body8);
int64_t DecodeDmyTime(const uint8_t* body8);

// The difference a - b of two 48-bit counter values, taken as the shorter way round.
inline int64_t CounterDiff(uint64_t a, uint64_t b) {
    const uint64_t d = (a - b) & kCounterMask;
    return (d & (uint64_t{1} << 47)) ? int64_t(d) - int64_t(uint64_t{1} << 48) : int64_t(d);
}

// Label bits 1-8 in the other order (for recorders that store the label in wire order).
uint32_t ReverseLabel(uint32_t word);

}  // namespace orv::c10
