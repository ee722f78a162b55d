#include "app/main_options.h"

#include <algorithm>

#include "session/board_control.h"
#include "session/recording.h"
#include "files/file_read.h"
#include "display/display_line_file.h"
#include "display/list_rules.h"
#include "display/table_ops.h"
#include "monitor/refresh_period.h"
#include "resources/board_strings.h"
#include "resources/capture_strings.h"
#include "resources/shell_strings.h"
#include "resources/vboard_strings.h"
#include "vboard/virtual_board_provider.h"

namespace orv {

const char* ApplyPeriodOption(ProgramState& state, std::string_view text) {
    return ApplyRefreshPeriod(state.Shell, state.Timer, text) ? nullptr : kBadPeriodOption;
}

const char* ApplyDeviceOption(ProgramState& state, std::string_view name, const std::string& settingsPath) {
    if (std::find(kDeviceNames.begin(), kDeviceNames.end(), name) == kDeviceNames.end())
        return text::kDeviceOpenError;
    if (!OpenSelectedBoard(state, name)) return text::kDeviceOpenError;
    // The settings dialog would have shown the cleared table; "Восстановить из файла" fills it.
    RestoreChannelSettings(state.Board.ChannelSettings, settingsPath);
    StartBoard(state);
    ClearBoardData(state);
    return nullptr;
}

std::vector<std::string> ApplyListOption(ProgramState& state, const std::string& path, const std::string& formatPath) {
    if (state.Shell.DeviceState == kNoDevice) return {text::kNoBoard};
    const FileBytes file = ReadFileBytes(path);
    if (!file.ok()) return {text::kOpenFailed + path};
    RestoredList restored = RestoreDisplayList(file.bytes, true, path);
    std::vector<std::string> messages = std::move(restored.messages);
    if (const char* refusal =
            LoadDisplayList(restored.lines, state.Display, state.Acquisition, state.Board, formatPath))
        messages.emplace_back(refusal);
    return messages;
}

std::optional<std::string> ApplyScenarioOption(ProgramState& state, const std::string& path) {
    auto* boards = dynamic_cast<VirtualBoardProvider*>(state.Devices);
    if (!boards) return std::string(text::kScenarioNeedsVirtualBoard);
    return boards->PlayScenarioFile(path);
}

std::vector<std::string> ApplyPlaybackOption(ProgramState& state, const std::string& path,
                                             std::optional<RecordingPlayback>* played) {
    auto* boards = dynamic_cast<VirtualBoardProvider*>(state.Devices);
    if (!boards) return {text::kScenarioNeedsVirtualBoard};
    std::string failure;
    std::optional<RecordingPlayback> playback = RecordingPlaybackOf(path, failure);
    if (!playback) return {failure};
    boards->PlayScenario(playback->scenario);
    std::vector<std::string> messages = playback->messages;
    if (played) *played = std::move(playback);
    return messages;
}

void ApplyStartOptions(ProgramState& state, const StartOptions& options,
                       const std::function<void(const std::string&)>& show) {
    if (options.scenario)
        if (const auto m = ApplyScenarioOption(state, *options.scenario)) show(*m);
    // What the playback has to say is shown once the start is done, in one box, so that reading it
    // does not hold the device, the list and the recording back while the recording plays.
    std::optional<RecordingPlayback> playback;
    std::string playbackText;
    if (options.playback)
        for (const std::string& m : ApplyPlaybackOption(state, *options.playback, &playback))
            playbackText += (playbackText.empty() ? "" : "\n\n") + m;
    if (options.period)
        if (const char* m = ApplyPeriodOption(state, *options.period)) show(m + *options.period);
    if (options.device) {
        if (const char* m = ApplyDeviceOption(state, *options.device)) show(m);
        else if (playback && VirtualBoardProvider::BoardNumber(*options.device) == 1)
            if (const std::string rates = PlaybackRateMessage(*playback, state.Board.ChannelSettings); !rates.empty())
                playbackText += "\n\n" + rates;
    }
    if (options.list)
        for (const std::string& m : ApplyListOption(state, *options.list)) show(m);
    if (options.record)
        if (const auto m = ApplyRecordOption(state, *options.record)) show(*m);
    if (!playbackText.empty()) show(playbackText);
}

std::optional<std::string> ApplyRecordOption(ProgramState& state, const std::string& path) {
    if (state.Shell.DeviceState == kNoDevice) return std::string(text::kNoBoard);
    RecordingRequest request;
    request.path = path;
    std::string message = StartRecording(state, request);
    if (message.empty()) return std::nullopt;
    return message;
}

namespace {

// The length of the valid UTF-8 sequence at the start of `s`, or 0 when its first byte does not
// begin one (a stray continuation byte, an overlong form, a surrogate, beyond U+10FFFF, cut short).
std::size_t Utf8Length(std::string_view s, char32_t& code) {
    const auto b = [&](std::size_t i) { return i < s.size() ? uint8_t(s[i]) : 0u; };
    const auto cont = [&](std::size_t i) { return (b(i) & 0xC0u) == 0x80u; };
    const unsigned b0 = b(0);
    if (b0 < 0x80) {
        code = b0;
        return 1;
    }
    if (b0 >= 0xC2 && b0 <= 0xDF && cont(1)) {
        code = char32_t(((b0 & 0x1Fu) << 6) | (b(1) & 0x3Fu));
        return 2;
    }
    if (b0 >= 0xE0 && b0 <= 0xEF && cont(1) && cont(2)) {
        code = char32_t(((b0 & 0x0Fu) << 12) | ((b(1) & 0x3Fu) << 6) | (b(2) & 0x3Fu));
        return code >= 0x800 && (code < 0xD800 || code > 0xDFFF) ? 3 : 0;
    }
    if (b0 >= 0xF0 && b0 <= 0xF4 && cont(1) && cont(2) && cont(3)) {
        code = char32_t(((b0 & 0x07u) << 18) | ((b(1) & 0x3Fu) << 12) | ((b(2) & 0x3Fu) << 6) | (b(3) & 0x3Fu));
        return code >= 0x10000 && code <= 0x10FFFF ? 4 : 0;
    }
    return 0;
}

void PutUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

}  // namespace

std::u16string ArgumentText(std::string_view bytes) {
    std::u16string text;
    text.reserve(bytes.size());
    while (!bytes.empty()) {
        char32_t c = 0;
        std::size_t n = Utf8Length(bytes, c);
        if (n == 0) {
            c = 0xDC00 + uint8_t(bytes[0]);
            n = 1;
        }
        if (c >= 0x10000) {
            text += char16_t(0xD800 + ((c - 0x10000) >> 10));
            text += char16_t(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            text += char16_t(c);
        }
        bytes.remove_prefix(n);
    }
    return text;
}

std::string ArgumentBytes(std::u16string_view text) {
    std::string bytes;
    bytes.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            PutUtf8(bytes, 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00));
        } else if (c >= 0xDC80 && c <= 0xDCFF) {
            bytes += char(c - 0xDC00);  // an escaped byte
        } else {
            PutUtf8(bytes, c);
        }
    }
    return bytes;
}

}  // namespace orv
