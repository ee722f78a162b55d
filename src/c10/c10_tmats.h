#pragma once
// The recording's setup (which channels carry which buses) and its TMATS text: the setup record
// the writer puts first in a file, and the reader's parse of it back into the same description.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orv::c10 {

struct BusSetup {
    uint8_t number = 0;    // bus number in the intra-packet headers (input 1..8 is bus 0..7)
    std::string name;      // UTF-8, e.g. "Вход 5"
    double bitRate = 0.0;  // bit/s, exactly as the line ran; 0 when a file does not say
};

struct ArincChannelSetup {
    uint16_t id = 2;       // channel id of its packets (board 1: 2, board 2: 3)
    std::string name;      // UTF-8 data link name
    std::vector<BusSetup> buses;
};

struct RecordingSetup {
    std::string recorderId = "ORVMON";
    std::vector<ArincChannelSetup> channels;
};

// What a file's TMATS says, as far as the reader understands it.
struct TmatsInfo {
    std::string edition;                 // G\106
    std::string recorderId;              // R-1\ID
    std::optional<uint16_t> timeChannel; // the TIMEIN source's channel id
    std::vector<ArincChannelSetup> channels;
};

// The TMATS text for a setup: one `CODE:value;` attribute a line (CR LF), names in UTF-8, each
// bus's exact bit rate in a COMMENT attribute. The time channel is channel 1.
std::string TmatsText(const RecordingSetup& setup);

// Parses a TMATS text (attributes separated by ';', line breaks ignored) of data source R-1.
TmatsInfo ParseTmats(std::string_view text);

// The reason a setup cannot be written (empty when it can): channel ids 2..0xFFFF and unique,
// bus numbers unique per channel, positive rates, names without ';' or control characters.
std::string SetupProblem(const RecordingSetup& setup);

// True for the 100 kbit/s class (the intra-packet header's bus speed bit): anything faster than
// the 36..60 kbit/s class.
inline bool IsHighSpeed(double bitRate) { return bitRate > 80000.0; }

}  // namespace orv::c10
