#include "c10/c10_test_support.h"

#include <string_view>

namespace orv::c10::test {

namespace {

// Little-endian fields, one call per field.
struct Out {
    std::vector<uint8_t> b;
    void U8(uint8_t v) { b.push_back(v); }
    void U16(uint16_t v) {
        U8(uint8_t(v));
        U8(uint8_t(v >> 8));
    }
    void U32(uint32_t v) {
        U16(uint16_t(v));
        U16(uint16_t(v >> 16));
    }
    void U48(uint64_t v) {
        U32(uint32_t(v));
        U16(uint16_t(v >> 32));
    }
    // The header checksum: the 16-bit sum of the eleven 16-bit words from `at`.
    void HeaderChecksumFrom(std::size_t at) {
        uint16_t sum = 0;
        for (std::size_t i = 0; i < 22; i += 2) sum = uint16_t(sum + (b[at + i] | (b[at + i + 1] << 8)));
        U16(sum);
    }
    // The 24-byte packet header.
    void Header(uint16_t channel, uint32_t packetLength, uint32_t dataLength, uint8_t sequence,
                uint8_t type, uint64_t counter) {
        const std::size_t at = b.size();
        U16(0xEB25);        // sync
        U16(channel);       // channel id
        U32(packetLength);  // packet length
        U32(dataLength);    // data length
        U8(0x09);           // data type version: RCC 106-19
        U8(sequence);       // sequence number
        U8(0x00);           // packet flags: no secondary header, no data checksum, RTC time
        U8(type);           // data type
        U48(counter);       // relative time counter
        HeaderChecksumFrom(at);
    }
};

constexpr std::string_view kTmats =
    "G\\106:19;\r\n"
    "COMMENT:IRIG 106-19 CHAPTER 10 RECORDING;\r\n"
    "G\\DSI\\N:1;\r\n"
    "G\\DSI-1:ORVMON;\r\n"
    "R-1\\ID:ORVMON;\r\n"
    "R-1\\N:2;\r\n"
    "R-1\\TK1-1:1;\r\n"
    "R-1\\CHE-1:T;\r\n"
    "R-1\\CDT-1:TIMEIN;\r\n"
    "R-1\\CDLN-1:TIME;\r\n"
    "R-1\\TTF-1:1;\r\n"
    "R-1\\TFMT-1:I;\r\n"
    "R-1\\TSRC-1:I;\r\n"
    "R-1\\TK1-2:2;\r\n"
    "R-1\\CHE-2:T;\r\n"
    "R-1\\CDT-2:429IN;\r\n"
    "R-1\\CDLN-2:Плата 1;\r\n"
    "R-1\\ABTF-2:0;\r\n"
    "R-1\\NAS\\N-2:2;\r\n"
    "R-1\\ASN-2-1:0;\r\n"
    "R-1\\ANM-2-1:Вход 1;\r\n"
    "COMMENT:R-1\\ASN-2-1 BIT RATE 12500;\r\n"
    "R-1\\ASN-2-2:4;\r\n"
    "R-1\\ANM-2-2:Вход 5;\r\n"
    "COMMENT:R-1\\ASN-2-2 BIT RATE 100000;\r\n";

}  // namespace

SmallLayout HandMadeRecording() {
    SmallLayout s;
    Out o;
    // The start 14:30:15.1234567 lies 34567 ticks into its 10 ms step: counter 0 is
    // 14:30:15.12 and the recording starts at counter 34567.

    // TMATS, channel 0, written at the start.
    s.tmats = o.b.size();
    const uint32_t tmatsData = uint32_t(4 + kTmats.size());
    const uint32_t tmatsPacket = (24 + tmatsData + 3) & ~3u;
    o.Header(0, tmatsPacket, tmatsData, 0, 0x01, 34567);
    o.U32(0x0000000D);  // channel-specific word: edition 0x0D (106-19), no change, ASCII
    for (char c : kTmats) o.U8(uint8_t(c));
    while (o.b.size() < s.tmats + tmatsPacket) o.U8(0);  // filler

    // Time, channel 1: 2026-12-07 14:30:15.12 at counter 0.
    s.time0 = o.b.size();
    o.Header(1, 36, 12, 0, 0x11, 0);
    o.U32(0x00000230);  // channel-specific word: source internal (0), format RTC (3), DMY (bit 9)
    o.U16(0x1512);      // 1 hundreds 2 tens of ms, 1 tens 5 units of seconds
    o.U16(0x1430);      // 3 tens 0 units of minutes, 1 tens 4 units of hours
    o.U16(0x1207);      // 0 tens 7 units of day, 1 tens 2 units of month
    o.U16(0x2026);      // year 2026

    // ARINC-429, channel 2, its first packet. Starts (counter): the 12.5 kbit/s word arriving at
    // 30000 started 25600 earlier (32 bit times): 34567 + 30000 - 25600 = 38967. Its next word
    // arrived at 58800 and started at 67767, before the 100 kbit/s word that arrived at 40000 but
    // started at 34567 + 40000 - 3200 = 71367.
    s.arinc1 = o.b.size();
    o.Header(2, 52, 28, 0, 0x38, 38967);
    o.U32(3);            // channel-specific word: message count
    o.U32(0x00000000);   // gap 0, bus 0, low speed, no errors
    o.U32(0x12345681);   // the word as sent
    o.U32(0x00407080);   // gap 28800, parity error (bit 22), bus 0
    o.U32(0x8ABCDE42);
    o.U32(0x04A00E10);   // gap 3600, high speed (bit 21), format error (bit 23), bus 4
    o.U32(0x40000003);

    // Time, channel 1, one second later: 14:30:16.12 at counter 10000000.
    s.time1 = o.b.size();
    o.Header(1, 36, 12, 1, 0x11, 10000000);
    o.U32(0x00000230);
    o.U16(0x1612);
    o.U16(0x1430);
    o.U16(0x1207);
    o.U16(0x2026);

    // ARINC-429, channel 2, its second packet: a word starting 150 ms after the first packet's
    // first word, beyond the 100 ms a packet spans. Arrived at 1540000, started at 1571367.
    s.arinc2 = o.b.size();
    o.Header(2, 36, 12, 1, 0x38, 1571367);
    o.U32(1);            // message count
    o.U32(0x04200000);   // gap 0, high speed, bus 4
    o.U32(0x00000101);
    s.bytes = std::move(o.b);
    return s;
}

bool WriteSmallRecording(const std::string& path, std::string* error) {
    uint64_t now = 0;
    WriterOptions options;
    options.setup = SmallSetup();
    options.startTime = kStart;
    options.clock = [&now] { return now; };
    options.replace = true;
    auto writer = Writer::Create(path, options, error);
    if (!writer) return false;
    writer->Offer({30000, 0x12345681, 2, 0, 0});
    writer->Offer({40000, 0x40000003, 2, 4, kWordFormatError});
    writer->Offer({58800, 0x8ABCDE42, 2, 0, kWordParityError});
    now = 1'500'000;
    writer->Service();
    writer->Offer({1'540'000, 0x00000101, 2, 4, 0});
    now = 3'000'000;
    writer->Service();
    now = 12'000'000;
    return writer->Close();
}

}  // namespace orv::c10::test
