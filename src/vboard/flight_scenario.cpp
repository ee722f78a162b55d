#include "vboard/flight_scenario.h"

#include "vboard/label_encoding.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace orv {
namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;
constexpr double kDeg = 180.0 / std::numbers::pi;

// A slow climb-and-descend cruise with gentle S-turns; every value is a smooth function of time.
struct Flight {
    double alt, vs, ias, tas, mach, hdg, pitch, roll, nacc, tat, gs;
    uint32_t disc;
};

Flight FlightAt(double t) {
    Flight f{};
    const double altPhase = kTwoPi * t / 300.0;
    f.alt = 18000.0 + 3000.0 * std::sin(altPhase);                       // ft
    f.vs = 3000.0 * (kTwoPi / 300.0) * std::cos(altPhase) * 60.0;        // ft/min
    f.ias = 250.0 + 15.0 * std::sin(kTwoPi * t / 90.0);                  // kt
    f.tas = f.ias * (1.0 + 0.02 * f.alt / 1000.0);                       // kt
    const double sat = 15.0 - 1.98 * f.alt / 1000.0;                     // deg C
    f.mach = f.tas / (661.47 * std::sqrt((sat + 273.15) / 288.15));
    const double tasMs = f.tas * 0.514444;
    f.tat = sat + tasMs * tasMs / 2010.0;
    const double hdgPhase = kTwoPi * t / 180.0;
    f.hdg = 90.0 + 40.0 * std::sin(hdgPhase);                            // deg
    const double turnRate = 40.0 * (kTwoPi / 180.0) * std::cos(hdgPhase) / kDeg;  // rad/s
    f.roll = std::atan(tasMs * turnRate / 9.80665) * kDeg;
    f.pitch = 2.0 + std::atan((f.vs / 60.0) / (f.tas * 1.68781)) * kDeg;
    f.nacc = 1.0 / std::cos(f.roll / kDeg) + 0.02 * std::sin(kTwoPi * t * 0.7);
    f.gs = f.tas + 20.0 * std::sin(kTwoPi * t / 200.0);
    f.disc = kDiscAutopilot | kDiscDataValid;
    if (std::fmod(t, 120.0) < 60.0) f.disc |= kDiscAutothrust;
    if (f.vs > 0.0) f.disc |= kDiscClimbing;
    if (f.roll < 0.0) f.disc |= kDiscLeftTurn;
    return f;
}

}  // namespace

double ScenarioValue(std::size_t index, double seconds) {
    const Flight f = FlightAt(seconds);
    switch (index) {
        case 0: return f.alt;
        case 1: return f.vs;
        case 2: return f.ias;
        case 3: return f.tas;
        case 4: return f.mach;
        case 5: return f.hdg;
        case 6: return f.pitch;
        case 7: return f.roll;
        case 8: return f.nacc;
        case 9: return f.tat;
        case 10: return f.gs;
        case 11: return double(f.disc);
        default: return 0.0;
    }
}

uint32_t EncodeBnr(double value, unsigned msbBit, unsigned lsbBit, double msbWeight) {
    return EncodeBnrField(value, BnrCoding{29, msbBit, lsbBit, msbWeight, 0.0});
}

uint32_t EncodeBcd4(unsigned value) {
    value = std::min(value, 7999u);
    return ((value / 1000) << 26) | ((value / 100 % 10) << 22) | ((value / 10 % 10) << 18) |
           ((value % 10) << 14);
}

uint32_t ScenarioWord(std::size_t index, double seconds, unsigned sdi) {
    if (index >= kFlightScenario.size()) return 0;
    const ScenarioLabel& l = kFlightScenario[index];
    const double v = ScenarioValue(index, seconds);
    uint32_t word = l.label | ((sdi & 3u) << 8);
    switch (l.encoding) {
        case ScenarioEncoding::Bnr:
            word |= EncodeBnr(v, l.msbBit, l.lsbBit, l.msbWeight) | (3u << 29);
            break;
        case ScenarioEncoding::Bcd:
            word |= EncodeBcd4(unsigned(std::lround(std::max(v, 0.0))));
            break;
        case ScenarioEncoding::Discrete:
            word |= uint32_t(v);
            break;
    }
    return word;
}

}  // namespace orv
