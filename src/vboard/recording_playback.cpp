#include "vboard/recording_playback.h"

#include <cstdio>

#include "vboard/line_source.h"
#include "vboard/scenario_playback.h"

namespace orv {
namespace {

constexpr unsigned kInputs = 8;

std::string RateText(double bitRate) {
    char text[32];
    std::snprintf(text, sizeof text, "%g кбит/с", bitRate / 1000.0);
    return text;
}

constexpr const char* kClassText[] = {"12-14,5 кбит/с", "36-60 кбит/с", "100 кбит/с", "недопустимую частоту"};

}  // namespace

std::optional<RecordingPlayback> RecordingPlaybackOf(const std::string& path, std::string& message) {
    std::string reason;
    const std::optional<BusRecording> recording = LoadBusRecording(path, reason);
    if (!recording) {
        message = "Запись " + path + " не воспроизводится: " + reason + ".\nПлаты играют встроенный полёт.";
        return std::nullopt;
    }
    RecordingPlayback playback;
    std::string where = "Запись " + path + " играет на входах платы 1:";
    for (std::size_t b = 0; b < recording->buses.size() && b < kInputs; ++b) {
        InputScenario& input = playback.scenario.boards[0].inputs[b];
        input.hears = InputHears::Playback;
        input.playback = scenario::PlaybackOf(*recording, b);
        const RecordedBus& bus = *recording->buses[b];
        playback.inputRates[b] = bus.bitRate;
        where += "\nвход " + std::to_string(b + 1) + ": " + BusTitle(bus) + ", " + RateText(bus.bitRate);
    }
    playback.messages.push_back(std::move(where));
    if (recording->buses.size() > kInputs) {
        std::string rest = "В записи больше восьми шин; не играют:";
        for (std::size_t b = kInputs; b < recording->buses.size(); ++b)
            rest += (b == kInputs ? " " : "; ") + BusTitle(*recording->buses[b]);
        playback.messages.push_back(std::move(rest));
    }
    if (recording->problemCount > 0) playback.messages.push_back(scenario::DamagedRecordingNote(path, *recording));
    return playback;
}

std::string PlaybackRateMessage(const RecordingPlayback& playback, const std::array<uint16_t, 16>& settings) {
    std::string text;
    for (unsigned i = 0; i < kInputs; ++i) {
        const double rate = playback.inputRates[i];
        if (rate == 0.0) continue;
        const unsigned setting = settings[i] & 3u;
        if (RateClassOf(rate / 1000.0) == setting) continue;
        text += "\nвход " + std::to_string(i + 1) + " настроен на " + kClassText[setting] + ", шина записи идёт на " +
                RateText(rate);
    }
    if (text.empty()) return text;
    return "Частота записи вне класса входа: вход сочтёт её слова словами другой частоты." + text;
}

}  // namespace orv
