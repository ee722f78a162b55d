#include "monitor/trace_stats.h"

#include <cmath>

#include "monitor/trace.h"

namespace orv {

TraceSnapshot TakeTraceSnapshot(const AcquisitionState& acquisition, int channelIndex) {
    TraceSnapshot snapshot;
    const std::vector<int> slots = TraceSlots(acquisition, channelIndex);
    if (slots.empty()) {
        if (channelIndex >= 0 && channelIndex < kInputChannels)
            snapshot.matchCount = acquisition.MaskMatchCount[std::size_t(channelIndex)].load();
        return snapshot;
    }
    const auto ch = std::size_t(channelIndex);
    snapshot.mask = {acquisition.MaskOrPattern[ch].load(), acquisition.MaskMatchValue[ch].load()};
    snapshot.points.reserve(slots.size());
    int64_t time = 0;
    uint32_t previous = 0;
    for (std::size_t k = 0; k < slots.size(); ++k) {
        const auto s = std::size_t(slots[k]);
        TracePoint p;
        p.slot = slots[k];
        p.word = acquisition.TraceValues[ch][s].load();
        p.tickMs = acquisition.TraceTimes[ch][s].load();
        p.intervalMs = k == 0 ? 0 : int32_t(p.tickMs - previous);
        time += p.intervalMs;
        p.timeMs = time;
        previous = p.tickMs;
        snapshot.points.push_back(p);
    }
    snapshot.matchCount = acquisition.MaskMatchCount[ch].load();
    return snapshot;
}

std::vector<std::string> TraceSnapshotLines(const TraceSnapshot& snapshot, const DecimalFormat& format) {
    std::vector<std::string> lines;
    lines.reserve(snapshot.points.size());
    for (const TracePoint& p : snapshot.points) lines.push_back(TraceLine(p.slot, p.word, format, p.intervalMs));
    return lines;
}

TraceStats ComputeTraceStats(const TraceSnapshot& snapshot) {
    TraceStats stats;
    const std::vector<TracePoint>& points = snapshot.points;
    stats.words = int(points.size());
    stats.matchCount = snapshot.matchCount;
    for (std::size_t k = 0; k < points.size(); ++k)
        if (snapshot.Fits(k)) ++stats.fitting;
    if (points.size() < 2) return stats;

    stats.spanMs = points.back().timeMs - points.front().timeMs;
    TraceStats::Intervals iv;
    iv.minMs = points[1].intervalMs;
    iv.maxMs = points[1].intervalMs;
    const double n = double(points.size() - 1);
    double sum = 0;
    for (std::size_t k = 1; k < points.size(); ++k) {
        const int32_t d = points[k].intervalMs;
        iv.minMs = std::min(iv.minMs, d);
        iv.maxMs = std::max(iv.maxMs, d);
        sum += d;
    }
    iv.meanMs = sum / n;
    double squares = 0;
    for (std::size_t k = 1; k < points.size(); ++k) {
        const double e = points[k].intervalMs - iv.meanMs;
        squares += e * e;
    }
    iv.stddevMs = std::sqrt(squares / n);
    stats.intervals = iv;
    if (stats.spanMs > 0) stats.rate = n * 1000.0 / double(stats.spanMs);
    return stats;
}

double PlotValue(ArincWord word, const DecimalFormat& format) {
    if (format.IsNone()) return double(DataField(word));
    return double(DecimalValue(word, format));
}

std::vector<SeriesPoint> ValueSeries(const TraceSnapshot& snapshot, const DecimalFormat& format) {
    std::vector<SeriesPoint> series;
    series.reserve(snapshot.points.size());
    for (std::size_t k = 0; k < snapshot.points.size(); ++k) {
        const TracePoint& p = snapshot.points[k];
        const double value = PlotValue(p.word, format);
        if (!std::isfinite(value)) continue;
        series.push_back({int(k), double(p.timeMs) / 1000.0, value});
    }
    return series;
}

}  // namespace orv
