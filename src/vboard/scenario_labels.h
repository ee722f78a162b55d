#pragma once
// The scenario reader's tables of one input's traffic: a label ([[boardB.inputN.label]]) with its
// encoding and value profile, and a fault ([[boardB.inputN.fault]]). Used only inside the reader.

#include <string>
#include <toml++/toml.h>

#include "vboard/traffic_generator.h"

namespace orv::scenario {

// Words per second one label (or one extra label, or one burst) may offer.
inline constexpr double kMaxRateHz = 100000.0;

LabelTraffic ReadLabel(const toml::table& raw, const std::string& path);
// A fault of the input whose labels `traffic` holds so far (a fault's label must be one of them).
TrafficFault ReadFault(const toml::table& raw, const InputTraffic& traffic, const std::string& path);

}  // namespace orv::scenario
