#include "c10/c10_format.h"

#include <array>
#include <cstdio>

namespace orv::c10 {

uint16_t HeaderChecksum(const uint8_t* header) {
    uint32_t sum = 0;
    for (int i = 0; i < 11; ++i) sum += Get16(header + 2 * i);
    return uint16_t(sum);
}

PacketHeader DecodeHeader(const uint8_t* p) {
    PacketHeader h;
    h.channel = Get16(p + 2);
    h.packetLength = Get32(p + 4);
    h.dataLength = Get32(p + 8);
    h.version = p[12];
    h.sequence = p[13];
    h.flags = p[14];
    h.dataType = p[15];
    h.counter = uint64_t(Get32(p + 16)) | (uint64_t(Get16(p + 20)) << 32);
    h.checksum = Get16(p + 22);
    return h;
}

void EncodeHeader(const PacketHeader& h, uint8_t* p) {
    Put16(p, kSync);
    Put16(p + 2, h.channel);
    Put32(p + 4, h.packetLength);
    Put32(p + 8, h.dataLength);
    p[12] = h.version;
    p[13] = h.sequence;
    p[14] = h.flags;
    p[15] = h.dataType;
    Put32(p + 16, uint32_t(h.counter));
    Put16(p + 20, uint16_t(h.counter >> 32));
    Put16(p + 22, HeaderChecksum(p));
}

bool DataChecksumHolds(uint8_t kind, const uint8_t* body, std::size_t length) {
    const std::size_t size = ChecksumSize(kind);
    if (size == 0) return true;
    if (length < size) return false;
    const std::size_t n = length - size;
    const uint8_t* stored = body + n;
    switch (kind & kFlagChecksumMask) {
    case 1: {
        uint8_t sum = 0;
        for (std::size_t i = 0; i < n; ++i) sum = uint8_t(sum + body[i]);
        return sum == stored[0];
    }
    case 2: {
        if (n % 2) return false;
        uint16_t sum = 0;
        for (std::size_t i = 0; i < n; i += 2) sum = uint16_t(sum + Get16(body + i));
        return sum == Get16(stored);
    }
    default: {
        if (n % 4) return false;
        uint32_t sum = 0;
        for (std::size_t i = 0; i < n; i += 4) sum += Get32(body + i);
        return sum == Get32(stored);
    }
    }
}

bool SecondaryChecksumHolds(const uint8_t* s) {
    uint16_t bytes = 0, words = 0;
    for (int i = 0; i < 10; ++i) bytes = uint16_t(bytes + s[i]);
    for (int i = 0; i < 5; ++i) words = uint16_t(words + Get16(s + 2 * i));
    const uint16_t stored = Get16(s + 10);
    return stored == bytes || stored == words;
}

bool IsLeapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

// Eras of 400 years, March-based years, so that February's length falls at the end of a year.
int64_t DaysFromCivil(int year, unsigned month, unsigned day) {
    const int64_t y = int64_t(year) - (month <= 2 ? 1 : 0);
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t mp = (int64_t(month) + 9) % 12;
    const int64_t doy = (153 * mp + 2) / 5 + int64_t(day) - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFromDays(int64_t days, int& year, unsigned& month, unsigned& day) {
    const int64_t z = days + 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    day = unsigned(doy - (153 * mp + 2) / 5 + 1);
    month = unsigned(mp < 10 ? mp + 3 : mp - 9);
    year = int(yoe + era * 400 + (month <= 2 ? 1 : 0));
}

namespace {

constexpr int64_t kTicksPerDay = 86400 * int64_t(kTicksPerSecond);

int64_t FloorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

}  // namespace

int CivilYear(int64_t absolute) {
    int year;
    unsigned month, day;
    CivilFromDays(FloorDiv(absolute, kTicksPerDay), year, month, day);
    return year;
}

// Body words (LSB first in each): 1 tens/hundreds of ms, seconds; 2 minutes, hours;
// 3 day, month; 4 year.
void EncodeDmyTime(int64_t absolute, uint8_t* b) {
    const int64_t days = FloorDiv(absolute, kTicksPerDay);
    const int64_t inDay = absolute - days * kTicksPerDay;
    int year;
    unsigned month, day;
    CivilFromDays(days, year, month, day);
    const unsigned tenMs = unsigned(inDay / int64_t(kTicksPer10Ms) % 100);
    const unsigned sec = unsigned(inDay / int64_t(kTicksPerSecond) % 60);
    const unsigned min = unsigned(inDay / (60 * int64_t(kTicksPerSecond)) % 60);
    const unsigned hour = unsigned(inDay / (3600 * int64_t(kTicksPerSecond)));
    const unsigned y = unsigned(year);
    Put16(b + 0, uint16_t((tenMs % 10) | (tenMs / 10) << 4 | (sec % 10) << 8 | (sec / 10) << 12));
    Put16(b + 2, uint16_t((min % 10) | (min / 10) << 4 | (hour % 10) << 8 | (hour / 10) << 12));
    Put16(b + 4, uint16_t((day % 10) | (day / 10) << 4 | (month % 10) << 8 | (month / 10) << 12));
    Put16(b + 6, uint16_t((y % 10) | (y / 10 % 10) << 4 | (y / 100 % 10) << 8 | (y / 1000 % 10) << 12));
}

int64_t DecodeDmyTime(const uint8_t* b) {
    const uint16_t w1 = Get16(b), w2 = Get16(b + 2), w3 = Get16(b + 4), w4 = Get16(b + 6);
    // Reserved bits must be clear: bit 15 of words 1 and 2, bits 15-14 of word 2's hours,
    // bits 15-13 of word 3, bits 15-14 of word 4.
    if ((w1 & 0x8000) || (w2 & 0xC080) || (w3 & 0xE000) || (w4 & 0xC000)) return kNoTime;
    auto digit = [](uint16_t w, int shift) { return unsigned(w >> shift) & 0xF; };
    const unsigned d[] = {digit(w1, 0), digit(w1, 4), digit(w1, 8), digit(w1, 12), digit(w2, 0),
                          digit(w2, 4), digit(w2, 8), digit(w2, 12), digit(w3, 0), digit(w3, 4),
                          digit(w3, 8), digit(w3, 12), digit(w4, 0), digit(w4, 4), digit(w4, 8),
                          digit(w4, 12)};
    for (unsigned x : d)
        if (x > 9) return kNoTime;
    const unsigned tenMs = d[0] + 10 * d[1], sec = d[2] + 10 * d[3], min = d[4] + 10 * d[5];
    const unsigned hour = d[6] + 10 * d[7], day = d[8] + 10 * d[9], month = d[10] + 10 * d[11];
    const int year = int(d[12] + 10 * d[13] + 100 * d[14] + 1000 * d[15]);
    if (sec > 60 || min > 59 || hour > 23 || month < 1 || month > 12 || day < 1) return kNoTime;
    static constexpr unsigned kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (day > kDays[month - 1] || (month == 2 && day == 29 && !IsLeapYear(year))) return kNoTime;
    return DaysFromCivil(year, month, day) * kTicksPerDay +
           ((int64_t(hour) * 60 + min) * 60 + sec) * int64_t(kTicksPerSecond) +
           int64_t(tenMs) * int64_t(kTicksPer10Ms);
}

std::string IsoTime(int64_t absolute) {
    const int64_t days = FloorDiv(absolute, kTicksPerDay);
    const int64_t inDay = absolute - days * kTicksPerDay;
    int year;
    unsigned month, day;
    CivilFromDays(days, year, month, day);
    const int64_t sec = inDay / int64_t(kTicksPerSecond);
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02d.%07dZ", year, month, day, int(sec / 3600),
                  int(sec / 60 % 60), int(sec % 60), int(inDay % int64_t(kTicksPerSecond)));
    return text;
}

int64_t ParseIsoTime(std::string_view t) {
    auto number = [&t](std::size_t at, std::size_t n, unsigned& v) {
        if (at + n > t.size()) return false;
        v = 0;
        for (std::size_t i = at; i < at + n; ++i) {
            if (t[i] < '0' || t[i] > '9') return false;
            v = v * 10 + unsigned(t[i] - '0');
        }
        return true;
    };
    unsigned year, month, day, hour, min, sec;
    if (!number(0, 4, year) || t.size() < 20 || t[4] != '-' || !number(5, 2, month) || t[7] != '-' ||
        !number(8, 2, day) || (t[10] != 'T' && t[10] != 't') || !number(11, 2, hour) || t[13] != ':' ||
        !number(14, 2, min) || t[16] != ':' || !number(17, 2, sec))
        return kNoTime;
    static constexpr unsigned kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12 || day < 1 || day > kDays[month - 1] ||
        (month == 2 && day == 29 && !IsLeapYear(int(year))) || hour > 23 || min > 59 || sec > 59)
        return kNoTime;
    std::size_t at = 19;
    int64_t fraction = 0;
    if (at < t.size() && t[at] == '.') {
        std::size_t digits = 0;
        for (++at; at < t.size() && t[at] >= '0' && t[at] <= '9'; ++at, ++digits) {
            if (digits == 7) return kNoTime;
            fraction = fraction * 10 + (t[at] - '0');
        }
        if (digits == 0) return kNoTime;
        for (; digits < 7; ++digits) fraction *= 10;
    }
    const std::string_view zone = t.substr(at);
    if (zone != "Z" && zone != "z" && zone != "+00:00") return kNoTime;
    return DaysFromCivil(int(year), month, day) * kTicksPerDay +
           ((int64_t(hour) * 60 + min) * 60 + sec) * int64_t(kTicksPerSecond) + fraction;
}

uint32_t ReverseLabel(uint32_t word) {
    static constexpr std::array<uint8_t, 256> kReversed = [] {
        std::array<uint8_t, 256> t{};
        for (unsigned i = 0; i < 256; ++i) {
            unsigned r = 0;
            for (unsigned b = 0; b < 8; ++b)
                if (i & (1u << b)) r |= 0x80u >> b;
            t[i] = uint8_t(r);
        }
        return t;
    }();
    return (word & 0xFFFFFF00u) | kReversed[word & 0xFF];
}

}  // namespace orv::c10
