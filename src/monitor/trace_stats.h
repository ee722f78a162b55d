#pragma once
// What the trace dialog shows besides its list: one snapshot of a channel's trace ring, the
// statistics of its words (count, rate, interval spread) and the series the plot draws.
//
// Times are the acquisition thread's tick times: when the program served each word, at 1 ms
// resolution, on a 32-bit clock that wraps. Times within a snapshot are therefore taken from the
// intervals between consecutive words (signed 32-bit differences), never from the raw ticks.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "arinc/word.h"
#include "config/decimal_format.h"
#include "state/acquisition_state.h"
#include "monitor/mask.h"

namespace orv {

// One word of the ring as the trace lists it.
struct TracePoint {
    int slot = 0;            // its ring position, the first column of the list
    ArincWord word = 0;
    uint32_t tickMs = 0;     // tick time as the acquisition thread stored it
    int32_t intervalMs = 0;  // since the word listed before it; 0 for the first
    int64_t timeMs = 0;      // since the first listed word: the sum of the intervals up to here
};

// The words of one channel's ring in listing order, with the channel's mask as it stood.
struct TraceSnapshot {
    std::vector<TracePoint> points;
    MaskPattern mask;
    int32_t matchCount = 0;  // MaskMatchCount of the channel

    // Whether word `line` fits the mask, as the acquisition thread counts it.
    bool Fits(std::size_t line) const { return MaskMatches(points[line].word, mask); }
};

// One snapshot of channel index `channelIndex`: each slot read once, in the order TraceSlots lists
// them. Empty for a channel outside the tables.
TraceSnapshot TakeTraceSnapshot(const AcquisitionState& acquisition, int channelIndex);

// The list lines of a snapshot, exactly as TraceLines writes them.
std::vector<std::string> TraceSnapshotLines(const TraceSnapshot& snapshot, const DecimalFormat& format);

struct TraceStats {
    int words = 0;           // words in the ring
    int fitting = 0;         // of them, words that fit the mask
    int32_t matchCount = 0;  // the mask's match count
    int64_t spanMs = 0;      // from the first to the last listed word
    // Interval statistics over the words after the first; present with at least 2 words.
    struct Intervals {
        int32_t minMs = 0;
        int32_t maxMs = 0;
        double meanMs = 0;
        double stddevMs = 0;  // population standard deviation: the jitter
    };
    std::optional<Intervals> intervals;
    // Words per second over the span: (words - 1) / span. Absent with fewer than 2 words or when
    // every word has the same time.
    std::optional<double> rate;
};

TraceStats ComputeTraceStats(const TraceSnapshot& snapshot);

// The number the plot draws for a word: its DECIMAL value (DecimalValue) when the row has a
// format, otherwise the data field, bits 11..29, read as an unsigned number.
constexpr uint32_t DataField(ArincWord word) { return (word >> 10) & 0x7FFFFu; }
double PlotValue(ArincWord word, const DecimalFormat& format);

struct SeriesPoint {
    int line = 0;        // the list line (index into the snapshot's points)
    double timeS = 0;    // seconds since the first listed word
    double value = 0;    // PlotValue
};

// The plotted points in listing order; words whose value is not finite are left out.
std::vector<SeriesPoint> ValueSeries(const TraceSnapshot& snapshot, const DecimalFormat& format);

}  // namespace orv
