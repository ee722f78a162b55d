#include "vboard/traffic_generator.h"

#include <algorithm>
#include <cmath>

#include "vboard/arinc_bus.h"

namespace orv {
namespace {

constexpr double kUsPerS = 1e6;

double Seconds(uint64_t us) { return double(us) / kUsPerS; }

uint64_t BitsUs(unsigned bits, double kbps) { return uint64_t(std::llround(bits * 1000.0 / kbps)); }

}  // namespace

unsigned RateClassOf(double kbps) {
    if (kbps >= 12.0 && kbps <= 14.5) return 0;
    if (kbps >= 36.0 && kbps <= 60.0) return 1;
    if (kbps == 100.0) return 2;
    return kNoRateClass;
}

TrafficGenerator::TrafficGenerator(InputTraffic traffic, uint64_t seed)
    : traffic_(std::move(traffic)), rng_(seed * 0x9E3779B97F4A7C15ull + 0x2545F4914F6CDD1Dull) {
    auto faultsOf = [this](uint8_t label) {
        std::vector<const TrafficFault*> list;
        for (const TrafficFault& f : traffic_.faults)
            if (f.kind != FaultKind::ExtraLabel && f.AppliesTo(label)) list.push_back(&f);
        return list;
    };
    for (const LabelTraffic& l : traffic_.labels) {
        Entry e;
        e.label = l.label;
        e.sdi = l.sdi;
        e.periodUs = kUsPerS / l.rateHz;
        e.jitter = l.jitter;
        e.coding = &l.coding;
        e.faults = faultsOf(l.label);
        entries_.push_back(std::move(e));
    }
    for (const TrafficFault& f : traffic_.faults) {
        if (f.kind != FaultKind::ExtraLabel) continue;
        Entry e;
        e.label = f.extraLabel;
        e.sdi = f.extraSdi;
        e.periodUs = kUsPerS / f.extraRateHz;
        e.coding = &f.extraCoding;
        e.onlyIn = &f;
        e.faults = faultsOf(f.extraLabel);
        entries_.push_back(std::move(e));
    }
    double fastest = traffic_.bitRateKbps;
    for (const TrafficFault& f : traffic_.faults)
        if (f.kind == FaultKind::BitRate) fastest = std::max(fastest, f.bitRateKbps);
    shortestWordUs_ = BitsUs(kArincWordBits, fastest);
    // Each label starts at a phase of its own within its first period, so that the labels do
    // not all queue at the start.
    for (Entry& e : entries_) e.due = uint64_t(Uniform() * e.periodUs);
}

double TrafficGenerator::Uniform() {
    // splitmix64
    uint64_t z = (rng_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    return double(z >> 11) * 0x1.0p-53;
}

bool TrafficGenerator::Draw(double probability) {
    if (probability >= 1.0) return true;
    if (probability <= 0.0) return false;
    return Uniform() < probability;
}

uint64_t TrafficGenerator::NextPeriod(const Entry& e, double seconds) {
    double period = e.periodUs;
    for (const TrafficFault* f : e.faults) {
        if (f->kind != FaultKind::Burst) continue;
        if (f->window.Contains(seconds)) period = std::min(period, kUsPerS / f->burstHz);
        // A burst starts when its window opens, not at the label's next word.
        period = std::min(period, std::max(1.0, (f->window.NextOpening(seconds) - seconds) * kUsPerS));
    }
    if (e.jitter > 0.0) period *= 1.0 + e.jitter * (2.0 * Uniform() - 1.0);
    return std::max<uint64_t>(1, uint64_t(std::llround(period)));
}

void TrafficGenerator::OfferUpTo(uint64_t t) {
    for (Entry& e : entries_) {
        while (e.due <= t) {
            const double seconds = Seconds(e.due);
            bool offered = e.onlyIn == nullptr || e.onlyIn->window.Contains(seconds);
            for (const TrafficFault* f : e.faults) {
                if (!offered) break;
                if (f->kind == FaultKind::Dropout && f->window.Contains(seconds) && Draw(f->probability))
                    offered = false;
            }
            if (offered) {
                if (e.pending != kNone) ++notSent_;  // the fresher word replaces the waiting one
                e.pending = e.due;
            }
            e.due += NextPeriod(e, seconds);
        }
    }
}

bool TrafficGenerator::Stage(uint64_t untilUs) {
    for (;;) {
        uint64_t t = kNone;
        for (const Entry& e : entries_) t = std::min(t, e.pending != kNone ? e.pending : e.due);
        if (t == kNone) return false;
        t = std::max(t, busFree_);
        if (t > untilUs) return false;
        OfferUpTo(t);
        Entry* pick = nullptr;
        for (Entry& e : entries_)
            if (e.pending != kNone && (pick == nullptr || e.pending < pick->pending)) pick = &e;
        if (pick == nullptr) continue;  // the offers due by t were dropped out

        const double seconds = Seconds(t);
        Staged s;
        s.entry = std::size_t(pick - entries_.data());
        s.startUs = t;
        s.kbps = traffic_.bitRateKbps;
        for (const TrafficFault* f : pick->faults) {
            if (!f->window.Contains(seconds)) continue;
            switch (f->kind) {
                case FaultKind::Parity:
                    if (!s.parityFlip && Draw(f->probability)) s.parityFlip = true;
                    break;
                case FaultKind::Ssm:
                    if (s.ssm < 0 && Draw(f->probability)) s.ssm = int(f->ssm);
                    break;
                case FaultKind::BitRate:
                    if (s.kbps == traffic_.bitRateKbps && Draw(f->probability)) s.kbps = f->bitRateKbps;
                    break;
                default:
                    break;
            }
        }
        s.endUs = t + BitsUs(kArincWordBits, s.kbps);
        s.nextUs = t + BitsUs(kArincWordBits + kArincGapBits, s.kbps);
        pick->pending = kNone;
        staged_ = s;
        return true;
    }
}

uint64_t TrafficGenerator::NextArrivalUs(const std::bitset<256>& labels) const {
    uint64_t free = busFree_;
    if (staged_) {
        if (labels.test(entries_[staged_->entry].label)) return staged_->endUs;
        free = staged_->nextUs;
    }
    uint64_t first = kNone;
    for (const Entry& e : entries_) {
        if (!labels.test(e.label)) continue;
        const uint64_t offer = e.pending != kNone ? e.pending : e.due;
        first = std::min(first, std::max(offer, free) + shortestWordUs_);
    }
    return first;
}

void TrafficGenerator::Skip(uint64_t untilUs, bool countNotSent) {
    uint64_t skipped = staged_ ? 1 : 0;
    for (Entry& e : entries_) {
        if (e.pending != kNone) ++skipped;
        e.pending = kNone;
        if (e.due > untilUs) continue;
        const auto period = std::max<uint64_t>(1, uint64_t(std::llround(e.periodUs)));
        const uint64_t offers = (untilUs - e.due) / period + 1;
        if (e.onlyIn == nullptr)
            skipped += offers;
        else
            skipped += uint64_t(std::llround(e.onlyIn->window.OpenSeconds(Seconds(e.due), Seconds(untilUs)) *
                                             kUsPerS / double(period)));
        e.due += offers * period;
    }
    staged_.reset();
    busFree_ = std::max(busFree_, untilUs);
    if (countNotSent) notSent_ += skipped;
}

bool TrafficGenerator::Next(uint64_t untilUs, TrafficWord& out, bool build) {
    if (!staged_ && !Stage(untilUs)) return false;
    const Staged& s = *staged_;
    if (s.endUs > untilUs) return false;
    const Entry& e = entries_[s.entry];
    out.startUs = s.startUs;
    out.endUs = s.endUs;
    out.bitRateKbps = s.kbps;
    out.rateClass = RateClassOf(s.kbps);
    out.parityRight = !s.parityFlip;
    if (build) {
        uint32_t word = EncodeLabelWord(e.label, e.sdi, *e.coding, Seconds(s.startUs));
        if (s.ssm >= 0) word = (word & ~(3u << 29)) | (uint32_t(s.ssm) << 29);
        out.word = WithParityBit(word, traffic_.evenParity != s.parityFlip);
    } else {
        out.word = 0;
    }
    busFree_ = s.nextUs;
    ++sent_;
    staged_.reset();
    return true;
}

}  // namespace orv
