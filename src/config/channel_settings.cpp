#include "config/channel_settings.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

#include "arinc/text.h"

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

bool WriteAll(int fd, const uint8_t* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = write(fd, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data += n;
        size -= std::size_t(n);
    }
    return true;
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

bool SaveChannelSettings(const ChannelSettingTable& table, const std::string& path) {
    std::array<uint8_t, kChannelSettingsFileBytes> bytes{};
    for (std::size_t i = 0; i < table.size(); ++i) {
        bytes[2 * i] = uint8_t(table[i] & 0xFF);
        bytes[2 * i + 1] = uint8_t(table[i] >> 8);
    }
    std::string temp = path + ".XXXXXX";
    const int fd = mkstemp(temp.data());
    if (fd < 0) return false;
    bool ok = WriteAll(fd, bytes.data(), bytes.size());
    ok = fsync(fd) == 0 && ok;
    ok = close(fd) == 0 && ok;
    // mkstemp creates the file private to the user; settings files get the usual mode.
    if (ok) ok = chmod(temp.c_str(), 0644) == 0;
    if (ok) ok = rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) unlink(temp.c_str());
    return ok;
}

bool RestoreChannelSettings(ChannelSettingTable& table, const std::string& path) {
    // O_NONBLOCK keeps a FIFO of that name from blocking the open; only a regular file is read.
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return false;
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        return false;
    }
    std::array<uint8_t, kChannelSettingsFileBytes> bytes{};
    std::size_t got = 0;
    while (got < bytes.size()) {
        const ssize_t n = read(fd, bytes.data() + got, bytes.size() - got);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        got += std::size_t(n);
    }
    close(fd);
    // Byte by byte over the little-endian words, so an odd length replaces a low byte only.
    for (std::size_t b = 0; b < got; ++b) {
        uint16_t& w = table[b / 2];
        w = (b & 1) ? uint16_t((w & 0x00FF) | (bytes[b] << 8)) : uint16_t((w & 0xFF00) | bytes[b]);
    }
    return true;
}

}  // namespace orv
