#pragma once
// Faults injected into scenario traffic, as a transmitter or a line would produce them:
//   parity      words sent with the wrong parity bit;
//   dropout     a label stops being sent;
//   ssm         the SSM bits 30-31 change (failure warning, no computed data, functional test);
//   burst       a label sent far above its rate;
//   bit_rate    words sent at another bit rate than the transmitter's;
//   extra_label an unexpected label appears on the line.
// Each fault acts on one label of an input or on all of them, inside a time window (start,
// duration, optionally repeated) and, for parity, dropout, ssm and bit_rate, on each word (or
// each offer, for dropout) with a probability.

#include <cstdint>
#include <limits>

#include "vboard/label_encoding.h"

namespace orv {

enum class FaultKind : uint8_t { Parity, Dropout, Ssm, Burst, BitRate, ExtraLabel };

// The names of the SSM values of BNR data.
enum SsmValue : unsigned { kSsmFailure = 0, kSsmNoData = 1, kSsmTest = 2, kSsmNormal = 3 };

struct FaultWindow {
    double startS = 0.0;
    double durationS = std::numeric_limits<double>::infinity();
    double repeatS = 0.0;  // > 0: the window opens again every repeatS seconds after startS

    bool Contains(double seconds) const;
    // The first opening of the window after `seconds` (infinity when it never opens again).
    double NextOpening(double seconds) const;
    // Seconds of [from, to) during which the window is open.
    double OpenSeconds(double from, double to) const;
};

struct TrafficFault {
    FaultKind kind = FaultKind::Parity;
    int label = -1;             // the label it acts on, -1: every label of the input
    FaultWindow window;
    double probability = 1.0;   // parity, dropout, ssm, bit_rate: chance per word
    unsigned ssm = kSsmFailure; // ssm
    double burstHz = 0.0;       // burst: the label's rate inside the window
    double bitRateKbps = 0.0;   // bit_rate
    // extra_label: the unexpected label, sent at extraRateHz inside the window.
    uint8_t extraLabel = 0;
    unsigned extraSdi = 0;
    double extraRateHz = 0.0;
    LabelCoding extraCoding;
    int line = 0;               // where the fault stands in its file, for messages

    bool AppliesTo(uint8_t wordLabel) const { return label < 0 || unsigned(label) == wordLabel; }
};

}  // namespace orv
