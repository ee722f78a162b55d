#include "vboard/counter_rows.h"

#include <algorithm>

namespace orv {

const std::array<const char*, kCounterColumns> kCounterHeads = {
    "Канал", "Вход слышит", "Передано в линию", "Не передано", "Принято", "Ошибки чётности",
    "Не та частота", "Выход передал"};

std::string HearsText(InputHears hears, unsigned channel) {
    switch (hears) {
        case InputHears::Loopback: return "выход " + std::to_string(channel);
        case InputHears::Flight: return "полёт";
        case InputHears::Traffic: return "сценарий";
        case InputHears::Playback: return "запись";
        case InputHears::Default:
        case InputHears::Nothing: break;
    }
    return "ничего";
}

std::vector<std::array<std::string, kCounterColumns>> CounterRows(const BoardCounters& counters,
                                                                   const BoardLayout& spec) {
    std::vector<std::array<std::string, kCounterColumns>> rows;
    const unsigned channels = std::max(spec.inputs, spec.outputs);
    for (unsigned c = 1; c <= channels; ++c) {
        std::array<std::string, kCounterColumns> row;
        row[0] = std::to_string(c);
        if (c <= spec.inputs) {
            const InputCounters& in = counters.inputs[c - 1];
            const LineCounters& line = counters.lines[c - 1];
            row[1] = HearsText(counters.hears[c - 1], c);
            row[2] = std::to_string(line.sent);
            row[3] = std::to_string(line.notSent);
            row[4] = std::to_string(in.received);
            row[5] = std::to_string(in.parityDropped);
            row[6] = std::to_string(in.rateMismatched);
        }
        if (c <= spec.outputs) row[7] = std::to_string(counters.outputsSent[c - 1]);
        rows.push_back(std::move(row));
    }
    return rows;
}

}  // namespace orv
