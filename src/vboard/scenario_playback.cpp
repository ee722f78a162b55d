#include "vboard/scenario_playback.h"

#include <cmath>
#include <cstdio>

namespace orv::scenario {
namespace {

const BusRecording& Recording(const Table& t, Recordings& recordings, std::string& path) {
    path = t.Text("file");
    if (!path.starts_with('/') && !recordings.folder.empty()) path = recordings.folder + "/" + path;
    if (auto it = recordings.read.find(path); it != recordings.read.end()) return it->second;
    std::string reason;
    std::optional<BusRecording> recording = LoadBusRecording(path, reason);
    if (!recording) Refuse(*t.Find("file"), t.Path("file") + ": " + reason);
    if (recording->problemCount > 0) recordings.notes.push_back(DamagedRecordingNote(path, *recording));
    return recordings.read.emplace(path, std::move(*recording)).first->second;
}

std::string BusList(const BusRecording& recording) {
    std::string list;
    for (const auto& bus : recording.buses) list += (list.empty() ? "" : "; ") + BusTitle(*bus);
    return list;
}

}  // namespace

InputPlayback ReadPlayback(const Table& t, Recordings& recordings) {
    std::string path;
    const BusRecording& recording = Recording(t, recordings, path);
    const bool byName = t.Has("bus_name");
    if (byName && t.Has("bus")) Refuse(*t.Find("bus_name"), t.Path("bus_name") + ": шину уже выбирает ключ bus");
    if (!byName && !t.Has("bus")) Refuse(t.Raw(), MissingKey(t.Path("bus")) + " (или bus_name)");
    const std::optional<int64_t> channel =
        t.Has("channel") ? std::optional(t.Integer("channel", 0, 0xFFFF)) : std::nullopt;
    const std::string name = byName ? t.Text("bus_name") : std::string();
    const int64_t number = byName ? -1 : t.Integer("bus", 0, 255);

    std::optional<std::size_t> found;
    for (std::size_t i = 0; i < recording.buses.size(); ++i) {
        const RecordedBus& bus = *recording.buses[i];
        if (channel && bus.channel != *channel) continue;
        if (byName ? bus.name != name : bus.bus != number) continue;
        const std::string key = byName ? "bus_name" : "bus";
        if (found)
            Refuse(*t.Find(key), t.Path(key) + ": в записи таких шин несколько (" + BusTitle(*recording.buses[*found]) +
                                     "; " + BusTitle(bus) + "), укажите " + (channel ? "bus" : "channel"));
        found = i;
    }
    if (!found) {
        const std::string key = byName ? "bus_name" : "bus";
        Refuse(*t.Find(key), t.Path(key) + ": в записи " + path + " нет такой шины" +
                                 (channel ? " в канале " + std::to_string(*channel) : std::string()) + " (есть: " +
                                 BusList(recording) + ")");
    }
    InputPlayback playback = PlaybackOf(recording, *found);
    playback.timing.speed = t.Number("speed", 0.01, 100.0, 1.0);
    playback.timing.loop = t.Flag("loop", false);
    const double seconds = double(recording.end) / 1e7;
    playback.timing.startS = t.Number("start_s", 0.0, 1e9, 0.0);
    if (playback.timing.startS >= seconds) {
        char length[32];
        std::snprintf(length, sizeof length, "%.3f", seconds);
        Refuse(t.Has("start_s") ? *t.Find("start_s") : t.Raw(), t.Path("start_s") + ": запись длится только " + length + " с");
    }
    return playback;
}

InputPlayback PlaybackOf(const BusRecording& recording, std::size_t bus) {
    InputPlayback playback;
    playback.bus = recording.buses.at(bus);
    playback.recordingEnd = recording.end;
    return playback;
}

std::string DamagedRecordingNote(const std::string& path, const BusRecording& recording) {
    std::string note = "Запись " + path + " повреждена (ошибок: " + std::to_string(recording.problemCount) + "):";
    for (const std::string& problem : recording.problems) note += "\n" + problem;
    if (recording.problemCount > recording.problems.size()) note += "\n...";
    return note + "\nВоспроизводится то, что в ней цело.";
}

}  // namespace orv::scenario
