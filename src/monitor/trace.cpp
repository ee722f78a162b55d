#include "monitor/trace.h"

#include "text/code_page.h"
#include "text/printf_forms.h"
#include "monitor/table_rows.h"
#include "resources/monitor_strings.h"

namespace orv {

std::string TraceCaption(const Label8& paramLabel, uint16_t channel) {
    return Cp1251(text::kTraceCaptionLabel) + PaddedLabel(paramLabel) + Cp1251(text::kTraceCaptionChannel) +
           FormatDec(channel);
}

std::vector<int> TraceSlots(const AcquisitionState& acquisition, int channelIndex) {
    std::vector<int> slots;
    if (channelIndex < 0 || channelIndex >= kInputChannels) return slots;
    const auto ch = std::size_t(channelIndex);
    int next = acquisition.TraceIndex[ch].load();
    if (next >= kTraceSlots || next < 0) next = 0;
    const auto n = std::size_t(next);
    const bool full = acquisition.TraceValues[ch][n].load() != 0 || acquisition.TraceTimes[ch][n].load() != 0;
    if (full) {
        for (int k = 0; k < kTraceSlots; ++k) slots.push_back((next + k) % kTraceSlots);
    } else {
        for (int k = 0; k < next; ++k) slots.push_back(k);
    }
    return slots;
}

std::string TraceLine(int slot, ArincWord word, const DecimalFormat& format, int32_t intervalMs) {
    std::string line;
    line.reserve(kTraceLineWidth);
    line += FormatDec(slot, 3, true);
    line += "   ";
    line += RenderHex(word);
    line += "   ";
    line += RenderOctal(word);
    line += "   ";
    line += RenderM(word);
    line += ' ';
    line += RenderDecimal(word, format).substr(0, kDecimalWidth);  // the interval covers the rest
    line += ' ';
    line += FormatDec(intervalMs, 10);
    return line;
}

std::vector<std::string> TraceLines(const AcquisitionState& acquisition, int channelIndex, const DecimalFormat& format) {
    std::vector<std::string> lines;
    const std::vector<int> slots = TraceSlots(acquisition, channelIndex);
    if (slots.empty()) return lines;
    const auto ch = std::size_t(channelIndex);
    // One snapshot of each slot: the acquisition thread may go on appending meanwhile.
    uint32_t previous = 0;
    for (std::size_t k = 0; k < slots.size(); ++k) {
        const auto s = std::size_t(slots[k]);
        const uint32_t word = acquisition.TraceValues[ch][s].load();
        const uint32_t time = acquisition.TraceTimes[ch][s].load();
        const int32_t interval = k == 0 ? 0 : int32_t(time - previous);
        lines.push_back(TraceLine(slots[k], word, format, interval));
        previous = time;
    }
    return lines;
}

}  // namespace orv
