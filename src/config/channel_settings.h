#pragma once
// Bit rate and parity of every board channel: sixteen setting words (input channels 1..8, then
// output channels 1..8), their list lines, and the 32-byte settings file.
//
// A setting word holds the rate code in bits 0-1 (0, 1 or 2) and the parity choice in bit 2
// (input: 0 parity check on, 1 off; output: 0 complete to odd parity, 1 to even parity).

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "files/file_read.h"
#include "files/record_read.h"
#include "files/file_replacement.h"

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

// The channel editors' check of a stored word: nullptr when they can show it, else the reason
// (UTF-8). A rate code of 3 has no rate button; bits above 2 are ignored by the board and kept.
const char* ChannelSettingDefect(uint16_t setting);

// Writes the sixteen words little-endian (32 bytes) to `path` with ReplaceFile: a read-only or
// non-regular target is refused and the old file is left as it was; `keepBackup` first copies the
// old file to "<name>.bak".
SaveError StoreChannelSettings(const ChannelSettingTable& table, const std::string& path = kChannelSettingsFileName,
                               bool keepBackup = false);
// The same, true when it was written.
bool SaveChannelSettings(const ChannelSettingTable& table,
                         const std::string& path = kChannelSettingsFileName);

// "Сохранить в файле" of the channel dialog, guarded as the other settings saves are: a file that
// exists but cannot be read is not saved over (its words were never seen), and one with words the
// editors would refuse keeps its old contents as "<name>.bak". Returns the message to show (UTF-8),
// or empty when the table was saved.
std::string SaveChannelSettingsGuarded(const ChannelSettingTable& table,
                                       const std::string& path = kChannelSettingsFileName);

// What a restore took from the file: its status, and the words it left out because the editors
// would refuse them (their table entries keep their values; `index` is the table index).
struct ChannelSettingsRead {
    ReadStatus status = ReadStatus::Missing;
    std::vector<DamagedRecord> damaged;
};

// Reads up to 32 bytes of `path` over the table from its start (a shorter file replaces only the
// leading bytes it holds; words are taken as stored, except damaged ones, which are left out).
// The table is unchanged when the file does not exist, is not a regular file or cannot be read.
ChannelSettingsRead ReadChannelSettings(ChannelSettingTable& table, const std::string& path = kChannelSettingsFileName);
// The same over the first 32 of the file's `bytes` (status Ok).
ChannelSettingsRead DecodeChannelSettings(ChannelSettingTable& table, std::span<const uint8_t> bytes);
// The same, true when the file was read.
bool RestoreChannelSettings(ChannelSettingTable& table,
                            const std::string& path = kChannelSettingsFileName);

}  // namespace orv
