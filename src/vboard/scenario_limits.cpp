#include "vboard/scenario_limits.h"

#include <cstdint>
#include <vector>

namespace orv {
namespace {

// The words per second and the fault checks per second a transmitter plays for `traffic` with
// only its first `faults` faults.
struct Load {
    double offers = 0.0;
    double checks = 0.0;
};

Load LoadOf(const InputTraffic& traffic, std::size_t faults) {
    struct Source {
        uint8_t label;
        double rateHz;
    };
    std::vector<Source> sources;
    for (const LabelTraffic& l : traffic.labels) sources.push_back({l.label, l.rateHz});
    for (std::size_t k = 0; k < faults; ++k) {
        const TrafficFault& f = traffic.faults[k];
        if (f.kind == FaultKind::ExtraLabel) sources.push_back({f.extraLabel, f.extraRateHz});
    }
    Load load;
    for (const Source& s : sources) {
        double fastest = s.rateHz;  // a label's offers at its fastest: its rate and its bursts
        double acting = 0.0;        // faults an offered word is checked against
        for (std::size_t k = 0; k < faults; ++k) {
            const TrafficFault& f = traffic.faults[k];
            if (f.kind == FaultKind::ExtraLabel || !f.AppliesTo(s.label)) continue;
            acting += 1.0;
            if (f.kind != FaultKind::Burst) continue;
            fastest += f.burstHz;  // and a word at each opening of the window
            if (f.window.repeatS > 0.0) fastest += 1.0 / f.window.repeatS;
        }
        load.offers += fastest;
        load.checks += fastest * acting;
    }
    return load;
}

std::string Whole(double limit) { return std::to_string(int64_t(limit)); }

}  // namespace

std::string ScenarioTooLongReason() {
    return "файл длиннее " + std::to_string(kMaxScenarioFileBytes) + " байт: такого сценария быть не может";
}

std::string InputKeyPath(unsigned board, unsigned input) {
    return "board" + std::to_string(board) + ".input" + std::to_string(input);
}

std::size_t InputTableLimit(std::string_view key) {
    return key == "label" ? kMaxInputLabels : kMaxInputFaults;
}

std::string TooManyTablesReason(std::string_view key, unsigned board, unsigned input) {
    const std::string path = InputKeyPath(board, input) + "." + std::string(key);
    if (key == "label") return path + ": на входе больше " + std::to_string(kMaxInputLabels) + " меток";
    return path + ": на входе больше " + std::to_string(kMaxInputFaults) + " отказов";
}

std::optional<ScenarioError> CheckInputLimits(const InputTraffic& traffic, unsigned board, unsigned input) {
    const std::string path = InputKeyPath(board, input);
    if (traffic.labels.size() > kMaxInputLabels)
        return ScenarioError{traffic.labels[kMaxInputLabels].line, TooManyTablesReason("label", board, input)};
    if (traffic.faults.size() > kMaxInputFaults)
        return ScenarioError{traffic.faults[kMaxInputFaults].line, TooManyTablesReason("fault", board, input)};
    // The labels alone are held to the offer limit where they are read; the first fault that
    // takes the input beyond a limit is the one named.
    for (std::size_t k = 1; k <= traffic.faults.size(); ++k) {
        const Load load = LoadOf(traffic, k);
        const int line = traffic.faults[k - 1].line;
        if (load.offers > kMaxInputOffersPerS)
            return ScenarioError{line, path + ".fault: метки, дополнительные метки и пачки входа предлагают "
                                              "вместе больше " + Whole(kMaxInputOffersPerS) + " слов/с"};
        if (load.checks > kMaxInputFaultChecksPerS)
            return ScenarioError{line, path + ".fault: отказы входа проверяют больше " +
                                           Whole(kMaxInputFaultChecksPerS) +
                                           " слов/с (слова, которые метки предлагают в секунду, на число их отказов)"};
    }
    return std::nullopt;
}

}  // namespace orv
