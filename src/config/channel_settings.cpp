#include "config/channel_settings.h"

#include "files/settings_guard.h"

#include <algorithm>
#include <string_view>

#include "text/code_page.h"
#include "text/printf_forms.h"
#include "resources/file_strings.h"

namespace orv {
namespace {

std::string_view InputRateText(unsigned code) {
    switch (code) {
        case 0: return "12...14,5";
        case 1: return "36...60";
        case 2: return "100";
        default: return "?";
    }
}

std::string_view OutputRateText(unsigned code) {
    switch (code) {
        case 0: return "12,5";
        case 1: return "50";
        case 2: return "100";
        default: return "?";
    }
}

const std::string& InputParityText(unsigned choice) {
    static const std::string on = Cp1251("вкл.");
    static const std::string off = Cp1251("выкл.");
    return choice == 0 ? on : off;
}

const std::string& OutputParityText(unsigned choice) {
    static const std::string odd = Cp1251("до нечетности");
    static const std::string even = Cp1251("до четности");
    return choice == 0 ? odd : even;
}

}  // namespace

std::string InputChannelLine(int channel, uint16_t setting) {
    std::string line = FormatDec(channel, 2);
    line += "      ";
    line += PadRight(InputRateText(RateCode(setting)), 15);
    line += InputParityText(ParityChoice(setting));
    return line;
}

std::string OutputChannelLine(int channel, uint16_t setting) {
    std::string line = FormatDec(channel, 2);
    line += "        ";
    line += PadRight(OutputRateText(RateCode(setting)), 10);
    line += OutputParityText(ParityChoice(setting));
    return line;
}

const char* ChannelSettingDefect(uint16_t setting) {
    return RateCode(setting) == 3 ? text::kDefectUnknownRate : nullptr;
}

SaveError StoreChannelSettings(const ChannelSettingTable& table, const std::string& path, bool keepBackup) {
    std::array<uint8_t, kChannelSettingsFileBytes> bytes{};
    for (std::size_t i = 0; i < table.size(); ++i) {
        bytes[2 * i] = uint8_t(table[i] & 0xFF);
        bytes[2 * i + 1] = uint8_t(table[i] >> 8);
    }
    return ReplaceFile(path, bytes, keepBackup);
}

bool SaveChannelSettings(const ChannelSettingTable& table, const std::string& path) {
    return StoreChannelSettings(table, path) == SaveError::None;
}

ChannelSettingsRead DecodeChannelSettings(ChannelSettingTable& table, std::span<const uint8_t> bytes) {
    ChannelSettingsRead out;
    out.status = ReadStatus::Ok;
    bytes = bytes.first(std::min(bytes.size(), kChannelSettingsFileBytes));
    // Word by word, little-endian, so an odd length replaces a low byte only.
    for (std::size_t w = 0; 2 * w < bytes.size(); ++w) {
        uint16_t word = table[w];
        word = uint16_t((word & 0xFF00) | bytes[2 * w]);
        if (2 * w + 1 < bytes.size()) word = uint16_t((word & 0x00FF) | (bytes[2 * w + 1] << 8));
        if (const char* reason = ChannelSettingDefect(word)) out.damaged.push_back({w, reason});
        else table[w] = word;
    }
    return out;
}

ChannelSettingsRead ReadChannelSettings(ChannelSettingTable& table, const std::string& path) {
    const FileBytes file = ReadFileBytes(path, kChannelSettingsFileBytes);
    if (!file.ok()) {
        ChannelSettingsRead out;
        out.status = file.status;
        return out;
    }
    return DecodeChannelSettings(table, file.bytes);
}

std::string SaveChannelSettingsGuarded(const ChannelSettingTable& table, const std::string& path) {
    ChannelSettingTable old{};
    const ChannelSettingsRead read = ReadChannelSettings(old, path);
    SettingsFileGuard guard = GuardOfRead(path, read.status, read.damaged.size());
    if (std::string refusal = guard.SaveRefusal(); !refusal.empty()) return refusal;
    if (StoreChannelSettings(table, path, guard.keepBackup) != SaveError::None) return guard.SaveFailure();
    return {};
}

bool RestoreChannelSettings(ChannelSettingTable& table, const std::string& path) {
    return ReadChannelSettings(table, path).status == ReadStatus::Ok;
}

}  // namespace orv
