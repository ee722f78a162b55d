#include "vboard/label_encoding.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace orv {

double ValueProfile::At(double seconds) const {
    switch (kind) {
        case ProfileKind::Constant:
            return value;
        case ProfileKind::Ramp: {
            if (periodS <= 0.0) return from;
            const double phase = std::fmod(std::max(seconds, 0.0), periodS) / periodS;
            return from + (to - from) * phase;
        }
        case ProfileKind::Sine:
            if (periodS <= 0.0) return mean;
            return mean + amplitude * std::sin(2.0 * std::numbers::pi * seconds / periodS);
        case ProfileKind::Steps: {
            if (values.empty()) return 0.0;
            if (stepS <= 0.0) return values.front();
            const auto step = uint64_t(std::max(seconds, 0.0) / stepS);
            return values[step % values.size()];
        }
        case ProfileKind::Table: {
            if (points.empty()) return 0.0;
            if (seconds <= points.front().first) return points.front().second;
            if (seconds >= points.back().first) return points.back().second;
            const auto next = std::upper_bound(points.begin(), points.end(), seconds,
                                               [](double s, const auto& p) { return s < p.first; });
            const auto& [t1, v1] = *next;
            const auto& [t0, v0] = *(next - 1);
            return t1 > t0 ? v0 + (v1 - v0) * (seconds - t0) / (t1 - t0) : v1;
        }
    }
    return 0.0;
}

uint32_t EncodeBnrField(double value, const BnrCoding& bnr) {
    const unsigned n = bnr.msb - bnr.lsb + 1;
    const int64_t limit = (int64_t(1) << n) - 1;
    const double lsbWeight = std::ldexp(bnr.msbWeight, -int(bnr.msb - bnr.lsb));
    const bool isSigned = bnr.signBit != 0;
    const double scaled = std::isfinite(value) ? value / lsbWeight : 0.0;
    const double bounded = std::clamp(scaled, isSigned ? -double(limit) : 0.0, double(limit));
    const int64_t raw = std::llround(bounded);
    uint32_t word = (uint32_t(uint64_t(raw)) & uint32_t(limit)) << (bnr.lsb - 1);
    if (isSigned && raw < 0) word |= 1u << (bnr.signBit - 1);
    return word;
}

uint32_t EncodeBcdDigits(double value, const BcdCoding& bcd, bool* negative) {
    const unsigned digits = std::clamp(bcd.digits, 1u, 5u);
    unsigned scale = 1;  // 10^(digits - 1)
    for (unsigned i = 1; i < digits; ++i) scale *= 10;
    const double largest = 7.0 * scale + (scale - 1);  // the top digit has three bits
    const double magnitude =
        std::isfinite(value) && bcd.resolution > 0.0 ? std::fabs(value) / bcd.resolution : 0.0;
    auto n = unsigned(std::llround(std::min(magnitude, largest)));
    if (negative) *negative = value < 0.0 && n != 0;
    uint32_t word = 0;
    for (unsigned i = 0; i < digits; ++i) {
        const unsigned digit = n / scale;
        n %= scale;
        scale /= 10;
        word |= uint32_t(digit) << (26 - 4 * i);  // top digit at bit 27, then 23, 19, 15, 11
    }
    return word;
}

bool LabelValueFits(double value, const LabelCoding& coding) {
    if (coding.encoding == TrafficEncoding::Discrete) return true;
    if (!std::isfinite(value)) return false;
    if (coding.encoding == TrafficEncoding::Bnr) {
        const BnrCoding& bnr = coding.bnr;
        const unsigned n = bnr.msb - bnr.lsb + 1;
        const double limit = double((int64_t(1) << n) - 1);
        const double scaled = std::round(value / std::ldexp(bnr.msbWeight, -int(bnr.msb - bnr.lsb)));
        return scaled <= limit && scaled >= (bnr.signBit != 0 ? -limit : 0.0);
    }
    const unsigned digits = std::clamp(coding.bcd.digits, 1u, 5u);
    double scale = 1;
    for (unsigned i = 1; i < digits; ++i) scale *= 10;
    return coding.bcd.resolution > 0.0 && std::round(std::fabs(value) / coding.bcd.resolution) <= 8.0 * scale - 1;
}

uint32_t EncodeLabelWord(uint8_t label, unsigned sdi, const LabelCoding& coding, double seconds) {
    uint32_t word = label | ((sdi & 3u) << 8);
    unsigned ssm = 0;
    switch (coding.encoding) {
        case TrafficEncoding::Bnr:
            word |= EncodeBnrField(coding.value.At(seconds), coding.bnr);
            ssm = 3;
            break;
        case TrafficEncoding::Bcd: {
            bool negative = false;
            word |= EncodeBcdDigits(coding.value.At(seconds), coding.bcd, &negative);
            ssm = negative ? 3 : 0;
            break;
        }
        case TrafficEncoding::Discrete: {
            const DiscreteCoding& d = coding.discrete;
            word |= d.bits & 0x1FFFFC00u;
            if (d.toggleS > 0.0 && std::fmod(std::max(seconds, 0.0), 2.0 * d.toggleS) < d.toggleS)
                word |= d.toggleBits & 0x1FFFFC00u;
            break;
        }
    }
    if (coding.ssm >= 0) ssm = unsigned(coding.ssm) & 3u;
    return word | (ssm << 29);
}

}  // namespace orv
