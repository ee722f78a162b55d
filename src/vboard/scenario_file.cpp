#include "vboard/scenario_file.h"

#include <new>
#include <span>

#include "vboard/board_layout.h"
#include "vboard/scenario_labels.h"
#include "files/file_read.h"
#include "vboard/scenario_limits.h"
#include "vboard/scenario_playback.h"
#include "vboard/scenario_table.h"
#include "vboard/toml_guard.h"

namespace orv {
namespace {

using scenario::ArrayOfTables;
using scenario::kMaxRateHz;
using scenario::ReadFault;
using scenario::ReadLabel;
using scenario::ListItemPath;
using scenario::Refusal;
using scenario::Refuse;
using scenario::Table;

std::string OctalText(unsigned label) {
    std::string text;
    for (int shift = 6; shift >= 0; shift -= 3) text += char('0' + ((label >> shift) & 7));
    return text;
}

// An input holding more tables of `key` than it may is refused at the first one too many, before
// any of them is read.
void RefuseTooMany(const toml::array& tables, std::string_view key, unsigned board, unsigned input) {
    const std::size_t limit = InputTableLimit(key);
    if (tables.size() > limit) Refuse(tables[limit], TooManyTablesReason(key, board, input));
}

constexpr std::string_view kTrafficKeys[] = {"bit_rate_kbps", "parity", "label", "fault"};

// Keys of one kind of input on an input of another kind are refused by name.
void RefuseKeysOf(const Table& t, std::span<const std::string_view> keys, std::string_view hears) {
    for (std::string_view key : keys)
        if (t.Has(key))
            Refuse(*t.Find(key), t.Path(key) + ": ключ только для входа с hears = \"" + std::string(hears) + "\"");
}

InputScenario ReadInput(const toml::table& raw, const BoardLayout& spec, unsigned input, unsigned board,
                        scenario::Recordings& recordings) {
    const Table t(raw, "board" + std::to_string(board) + ".input" + std::to_string(input));
    t.Allow({"hears", "bit_rate_kbps", "parity", "label", "fault", "file", "channel", "bus", "bus_name", "speed", "loop",
             "start_s"});
    InputScenario s;
    static constexpr InputHears kHears[] = {InputHears::Loopback, InputHears::Nothing, InputHears::Flight,
                                            InputHears::Traffic, InputHears::Playback};
    s.hears = kHears[t.Choice("hears", {"loopback", "nothing", "flight", "traffic", "playback"})];
    if (s.hears == InputHears::Loopback && input > spec.outputs)
        Refuse(*t.Find("hears"), t.Path("hears") + ": у платы " + std::to_string(board) + " нет выхода " + std::to_string(input));
    if (s.hears != InputHears::Playback) RefuseKeysOf(t, scenario::kPlaybackKeys, "playback");
    if (s.hears != InputHears::Traffic) RefuseKeysOf(t, kTrafficKeys, "traffic");
    if (s.hears == InputHears::Playback) s.playback = scenario::ReadPlayback(t, recordings);
    if (s.hears != InputHears::Traffic) return s;
    InputTraffic& traffic = s.traffic;
    traffic.bitRateKbps = t.Number("bit_rate_kbps", 10.0, 100.0, 12.5);
    traffic.evenParity = t.Choice("parity", {"odd", "even"}, 0) == 1;
    if (t.Has("label")) {
        double offered = 0.0;  // words per second the labels offer together
        const toml::array& labels = ArrayOfTables(t, "label");
        RefuseTooMany(labels, "label", board, input);
        for (const toml::node& n : labels) {
            const std::string path = ListItemPath(t, "label", traffic.labels.size());
            const LabelTraffic l = ReadLabel(*n.as_table(), path);
            for (const LabelTraffic& other : traffic.labels)
                if (other.label == l.label && other.sdi == l.sdi)
                    Refuse(n, path + ": метка " + OctalText(l.label) + " с SDI " + std::to_string(l.sdi) + " уже задана");
            offered += l.rateHz;
            if (offered > kMaxRateHz)
                Refuse(n, path + ": метки входа " + t.Path() + " вместе дают больше 100000 слов/с");
            traffic.labels.push_back(l);
        }
    }
    if (t.Has("fault")) {
        const toml::array& faults = ArrayOfTables(t, "fault");
        RefuseTooMany(faults, "fault", board, input);
        for (const toml::node& n : faults)
            traffic.faults.push_back(ReadFault(*n.as_table(), traffic, ListItemPath(t, "fault", traffic.faults.size())));
    }
    if (auto breach = CheckInputLimits(traffic, board, input)) throw Refusal{breach->line, breach->reason};
    return s;
}

Scenario ReadScenario(const toml::table& root, scenario::Recordings& recordings) {
    const Table top(root, "");
    top.Allow({"seed", "board1", "board2"});
    Scenario scenario;
    scenario.seed = uint64_t(top.Integer("seed", 0, INT64_MAX, 1));
    for (unsigned b = 1; b <= 2; ++b) {
        const std::string name = "board" + std::to_string(b);
        if (!top.Has(name)) continue;
        const BoardLayout spec = b == 1 ? VirtualBoardOne() : VirtualBoardTwo();
        const Table board(top.SubTable(name), name);
        for (auto&& [key, value] : board.Raw()) {
            const std::string k(key.str());
            unsigned input = 0;
            if (k.size() == 6 && k.starts_with("input") && k[5] >= '1' && k[5] <= '8') input = unsigned(k[5] - '0');
            if (input == 0 || input > spec.inputs)
                throw Refusal{int(key.source().begin.line), "неизвестный вход " + board.Path(key.str()) + ": у платы " +
                                                                std::to_string(b) + " входы input1..input" +
                                                                std::to_string(spec.inputs)};
            if (!value.is_table()) Refuse(value, board.Path(key.str()) + ": нужна таблица");
            scenario.boards[b - 1].inputs[input - 1] = ReadInput(*value.as_table(), spec, input, b, recordings);
        }
    }
    scenario.notes = std::move(recordings.notes);
    return scenario;
}

}  // namespace

std::optional<Scenario> ParseScenario(std::string_view text, ScenarioError& error, const std::string& folder) {
    if (text.size() > kMaxScenarioFileBytes) {
        error = {0, ScenarioTooLongReason()};
        return std::nullopt;
    }
    if (std::optional<TomlTrap> trap = FindTomlTrap(text)) {
        error = {trap->line, std::move(trap->reason)};
        return std::nullopt;
    }
    try {
        const toml::table root = toml::parse(text);
        scenario::Recordings recordings;
        recordings.folder = folder;
        return ReadScenario(root, recordings);
    } catch (const toml::parse_error& e) {
        error = {int(e.source().begin.line), std::string(e.description())};
    } catch (const Refusal& r) {
        error = {r.line, r.reason};
    } catch (const std::bad_alloc&) {
        error = {0, "не хватило памяти"};
    }
    return std::nullopt;
}

std::optional<Scenario> LoadScenarioFile(const std::string& path, ScenarioError& error) {
    // The name exactly as given, whatever its length. Only a regular file is read: a FIFO under
    // the name would block, a folder reads as nothing.
    const FileBytes file = ReadFileBytes(path, kMaxScenarioFileBytes + 1);
    switch (file.status) {
        case ReadStatus::Ok: break;
        case ReadStatus::Missing: error = {0, "нет такого файла"}; return std::nullopt;
        case ReadStatus::NotRegular: error = {0, "это не обычный файл"}; return std::nullopt;
        case ReadStatus::Unreadable: error = {0, "файл не читается"}; return std::nullopt;
    }
    if (file.bytes.size() > kMaxScenarioFileBytes) {
        error = {0, ScenarioTooLongReason()};
        return std::nullopt;
    }
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + (slash == 0));
    return ParseScenario(std::string(file.bytes.begin(), file.bytes.end()), error, folder);
}

std::string ScenarioErrorMessage(const std::string& path, const ScenarioError& error) {
    std::string text = "Сценарий " + path + " не прочитан:\n";
    if (error.line > 0) text += "строка " + std::to_string(error.line) + ": ";
    return text + error.reason + ".\nПлаты играют встроенный полёт.";
}

}  // namespace orv
