#pragma once
// Bit rate and parity of every board channel: sixteen setting words (input channels 1..8, then
// output channels 1..8), their list lines, and the 32-byte settings file.
//
// A setting word holds the rate code in bits 0-1 (0, 1 or 2) and the parity choice in bit 2
// (input: 0 parity check on, 1 off; output: 0 complete to odd parity, 1 to even parity).

#include <array>
#include <cstdint>
#include <string>

namespace orv {

inline constexpr int kSettingsPerKind = 8;
inline constexpr int kChannelSettingCount = 2 * kSettingsPerKind;
using ChannelSettingTable = std::array<uint16_t, kChannelSettingCount>;

inline constexpr const char* kChannelSettingsFileName = "Orvparam.stt";
inline constexpr std::size_t kChannelSettingsFileBytes = 2 * kChannelSettingCount;  // 32

// Table index of input / output channel `channel` (1..8).
constexpr int InputSettingIndex(int channel) { return channel - 1; }
constexpr int OutputSettingIndex(int channel) { return kSettingsPerKind + channel - 1; }

constexpr unsigned RateCode(uint16_t setting) { return setting & 3u; }
constexpr unsigned ParityChoice(uint16_t setting) { return (setting >> 2) & 1u; }
constexpr uint16_t SettingWord(unsigned rateCode, unsigned parityChoice) {
    return uint16_t((rateCode & 3u) + 4u * (parityChoice & 1u));
}
// The word the board receives for a setting: bits 0-2 only.
constexpr uint16_t BoardSettingWord(uint16_t setting) { return uint16_t(setting & 7u); }

// List lines (Windows-1251). Input: channel "%2d", 6 blanks, the rate text in 15 columns, the
// parity text from column 24 ("вкл." / "выкл."). Output: channel "%2d", 8 blanks, the rate text in
// 10 columns, the parity text from column 21 ("до нечетности" / "до четности"). A rate code of 3,
// which only a foreign file can hold, shows the rate as "?".
std::string InputChannelLine(int channel, uint16_t setting);
std::string OutputChannelLine(int channel, uint16_t setting);

// Writes the sixteen words little-endian (32 bytes) to `path`, through a temporary file in the
// same directory that replaces the target only once it is complete. False (and the old file left
// as it was) when it cannot be written.
bool SaveChannelSettings(const ChannelSettingTable& table,
                         const std::string& path = kChannelSettingsFileName);

// Reads up to 32 bytes of `path` over the table from its start (a shorter file replaces only the
// leading bytes it holds; words are taken as stored). False, table unchanged, when the file does
// not exist, is not a regular file or cannot be read.
bool RestoreChannelSettings(ChannelSettingTable& table,
                            const std::string& path = kChannelSettingsFileName);

}  // namespace orv
