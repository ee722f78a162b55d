#include "vboard/playback_source.h"

#include <algorithm>
#include <cmath>

#include "vboard/arinc_bus.h"

namespace orv {
namespace {

// How far ahead NextArrivalUs looks for a word of the wanted labels before it gives the time of
// the word it stopped at, which is early but never late.
constexpr uint64_t kLookAhead = 64;
// bit/s of the fastest class: a word recorded at 100 kbit/s on a slower bus is played at it.
constexpr double kFastest = 100000.0;

uint64_t BitsUs(unsigned bits, double bitRate) { return uint64_t(std::llround(bits * 1e6 / bitRate)); }

}  // namespace

PlaybackSource::PlaybackSource(std::shared_ptr<const RecordedBus> bus, int64_t recordingEnd, PlaybackTiming timing)
    : bus_(std::move(bus)), timing_(timing) {
    startTenths_ = std::llround(timing_.startS * 1e7);
    const auto& words = bus_->words;
    first_ = std::size_t(std::lower_bound(words.begin(), words.end(), startTenths_,
                                          [](const RecordedWord& w, int64_t t) { return w.start < t; }) -
                         words.begin());
    count_ = words.size() - first_;
    passTenths_ = std::max<int64_t>(1, recordingEnd - startTenths_);
    rateClass_ = RateClassOf(bus_->bitRate / 1000.0);
    wordUs_ = BitsUs(kArincWordBits, std::max(bus_->bitRate, kFastest));
}

double PlaybackSource::RateOf(const RecordedWord& w) const {
    if (!w.formatError) return bus_->bitRate;
    if (w.highSpeed) return kFastest;
    return rateClass_ == 0 ? 50000.0 : 12500.0;
}

uint64_t PlaybackSource::OfferUs(uint64_t position) const {
    if (count_ == 0) return kNone;
    const uint64_t pass = position / count_;
    if (pass > 0 && !timing_.loop) return kNone;
    const double tenths = double(pass) * double(passTenths_) + double(WordAt(position).start - startTenths_);
    return uint64_t(std::llround(tenths / timing_.speed / 10.0));
}

void PlaybackSource::OfferUpTo(uint64_t t) {
    for (uint64_t offer = OfferUs(next_); offer <= t; offer = OfferUs(++next_)) {
        const unsigned key = Key(WordAt(next_).word);
        const auto same = std::find_if(waiting_.begin(), waiting_.end(),
                                       [&](const Waiting& w) { return Key(WordAt(w.position).word) == key; });
        if (same != waiting_.end()) {
            waiting_.erase(same);  // the fresher word replaces the waiting one
            ++notSent_;
        }
        waiting_.push_back({offer, next_});
    }
}

bool PlaybackSource::Stage(uint64_t untilUs) {
    for (;;) {
        uint64_t t = std::min(waiting_.empty() ? kNone : waiting_.front().offerUs, OfferUs(next_));
        if (t == kNone) return false;
        t = std::max(t, busFree_);
        if (t > untilUs) return false;
        OfferUpTo(t);
        if (waiting_.empty()) continue;
        const double rate = RateOf(WordAt(waiting_.front().position));
        staged_ = Staged{waiting_.front().position, t, t + BitsUs(kArincWordBits, rate),
                         t + BitsUs(kArincWordBits + kArincGapBits, rate), rate};
        waiting_.erase(waiting_.begin());
        return true;
    }
}

bool PlaybackSource::Next(uint64_t untilUs, TrafficWord& out, bool /*build*/) {
    if (!staged_ && !Stage(untilUs)) return false;
    const Staged& s = *staged_;
    if (s.endUs > untilUs) return false;
    const RecordedWord& w = WordAt(s.position);
    out.word = w.word;
    out.startUs = s.startUs;
    out.endUs = s.endUs;
    out.bitRateKbps = s.rate / 1000.0;
    out.rateClass = RateClassOf(out.bitRateKbps);
    out.parityRight = !w.parityError;
    busFree_ = s.nextUs;
    ++sent_;
    staged_.reset();
    return true;
}

void PlaybackSource::Skip(uint64_t untilUs, bool countNotSent) {
    uint64_t skipped = (staged_ ? 1 : 0) + waiting_.size();
    staged_.reset();
    waiting_.clear();
    // The first position offered after `untilUs`: offers only grow with the position, so a
    // doubling search and then a bisection find it however many passes a loop makes meanwhile.
    uint64_t low = next_, high = next_;
    for (uint64_t step = 1; OfferUs(high) <= untilUs; step *= 2) {
        low = high + 1;
        high += step;
    }
    while (low < high) {
        const uint64_t mid = low + (high - low) / 2;
        if (OfferUs(mid) <= untilUs) low = mid + 1;
        else high = mid;
    }
    skipped += low - next_;
    next_ = low;
    busFree_ = std::max(busFree_, untilUs);
    if (countNotSent) notSent_ += skipped;
}

uint64_t PlaybackSource::NextArrivalUs(const std::bitset<256>& labels) const {
    uint64_t free = busFree_;
    if (staged_) {
        if (labels.test(WordAt(staged_->position).word & 0xFF)) return staged_->endUs;
        free = staged_->nextUs;
    }
    const auto arrival = [&](uint64_t offer) { return std::max(offer, free) + wordUs_; };
    for (const Waiting& w : waiting_)
        if (labels.test(WordAt(w.position).word & 0xFF)) return arrival(w.offerUs);
    for (uint64_t p = next_; p < next_ + kLookAhead; ++p) {
        const uint64_t offer = OfferUs(p);
        if (offer == kNone) return kNone;
        if (labels.test(WordAt(p).word & 0xFF)) return arrival(offer);
    }
    const uint64_t offer = OfferUs(next_ + kLookAhead);
    return offer == kNone ? kNone : arrival(offer);
}

}  // namespace orv
