#pragma once
// What a scenario file may ask of the transmitter of one input, so that no file the reader
// accepts can make a virtual board fall behind real time. The transmitter's work grows with the
// words its labels offer (a label's rate, an extra label's rate, a burst's rate and the openings
// of its window), with the faults each offered word meets, and with the labels it chooses among
// for each word it sends; each is bounded here, with the limit named in the refusal.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "vboard/scenario_types.h"

namespace orv {

// The longest scenario file read: far more than twelve inputs at their limits take, and little
// enough that parsing it stays within a few hundred megabytes.
inline constexpr std::size_t kMaxScenarioFileBytes = std::size_t(4) << 20;

// Label tables (`label`) and fault tables (`fault`) one input may hold.
inline constexpr std::size_t kMaxInputLabels = 256;
inline constexpr std::size_t kMaxInputFaults = 64;
// Words per second one input's labels, extra labels and bursts may offer together, each at its
// fastest (a label in its bursts).
inline constexpr double kMaxInputOffersPerS = 100000.0;
// Fault checks per second one input may make: each offered word is checked against every fault
// that acts on its label.
inline constexpr double kMaxInputFaultChecksPerS = 1000000.0;

// The reason (UTF-8) given for a file longer than kMaxScenarioFileBytes.
std::string ScenarioTooLongReason();

// The whole key of an input, "board1.input5".
std::string InputKeyPath(unsigned board, unsigned input);

// The most tables of `key` ("label" or "fault") an input may hold, and the reason (UTF-8) given
// for an input that holds more.
std::size_t InputTableLimit(std::string_view key);
std::string TooManyTablesReason(std::string_view key, unsigned board, unsigned input);

// Checks the traffic of input `input` of board `board` as read: on a breach, the line of the fault
// that goes beyond a limit and the reason (UTF-8), naming the key and the limit.
std::optional<ScenarioError> CheckInputLimits(const InputTraffic& traffic, unsigned board, unsigned input);

}  // namespace orv
