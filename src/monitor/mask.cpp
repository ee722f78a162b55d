#include "monitor/mask.h"

#include <atomic>
#include <thread>

#include "display/table_ops.h"

namespace orv {
namespace {

const DisplayEntry* UsedRow(const DisplayState& display, int row) {
    if (row < 0 || row >= kDisplayRows) return nullptr;
    const DisplayEntry& entry = display.DisplayTable[std::size_t(row)];
    if (!entry.Used()) return nullptr;
    // Only a row with a label slot of its own may touch the label tables.
    if (!ValidSlot(entry.channel, entry.address)) return nullptr;
    return &entry;
}

void WriteTableWord(BoardLink& link, unsigned channel, unsigned label, bool reporting) {
    const uint16_t address = MaskTableAddress(channel, label);
    link.Image().Set(address, MaskTableWord(channel, label, reporting));
    link.WriteRange(address, 1);
}

}  // namespace

std::string MaskEditText(std::string_view text) {
    if (text == "1" || text == "0" || text == "x" || text == "X") return std::string(text);
    return "x";
}

MaskPattern EncodeMask(std::string_view bits) {
    MaskPattern p{0xFFu, 0xFFu};
    for (int k = 0; k < kMaskBits; ++k) {
        const char c = std::size_t(k) < bits.size() ? bits[std::size_t(k)] : 'x';
        const uint32_t bit = 1u << (MaskEditBit(k) - 1);
        if (c != '0' && c != '1') p.orPattern |= bit;
        if (c != '0') p.matchValue |= bit;
    }
    return p;
}

MaskCheck CheckSetMask(const DisplayState& display, const AcquisitionState& acquisition, int row) {
    const DisplayEntry* entry = UsedRow(display, row);
    if (!entry) return MaskCheck::NoSlot;
    if (acquisition.MaskActive[std::size_t(entry->channel - 1)].load() == 1) return MaskCheck::AlreadySet;
    return MaskCheck::Allowed;
}

void StoreMaskPattern(AcquisitionState& acquisition, int channelIndex, const MaskPattern& pattern) {
    if (channelIndex < 0 || channelIndex >= kInputChannels) return;
    const auto ch = std::size_t(channelIndex);
    acquisition.MaskOrPattern[ch].store(pattern.orPattern);
    acquisition.MaskMatchValue[ch].store(pattern.matchValue);
    acquisition.TraceIndex[ch].store(0);
    // The times go too: a slot counts as recorded when its word or its time is not 0, so times
    // left over from an earlier mask would make the new ring look full.
    for (int k = 0; k < kTraceSlots; ++k) {
        acquisition.TraceValues[ch][std::size_t(k)].store(0);
        acquisition.TraceTimes[ch][std::size_t(k)].store(0);
    }
}

bool SetMask(DisplayState& display, AcquisitionState& acquisition, BoardLink& link, int row) {
    if (CheckSetMask(display, acquisition, row) != MaskCheck::Allowed) return false;
    DisplayEntry& entry = display.DisplayTable[std::size_t(row)];
    const auto ch = std::size_t(entry.channel - 1);
    WriteTableWord(link, entry.channel, entry.address, true);
    entry.maskMode = kMaskOn;
    acquisition.MaskLabel[ch].store(entry.address, std::memory_order_relaxed);
    acquisition.MaskActive[ch].store(1, std::memory_order_release);
    return true;
}

bool ResetMask(DisplayState& display, AcquisitionState& acquisition, BoardLink& link, int row) {
    const DisplayEntry* used = UsedRow(display, row);
    if (!used || used->maskMode != kMaskOn) return false;
    DisplayEntry& entry = display.DisplayTable[std::size_t(row)];
    const auto ch = std::size_t(entry.channel - 1);
    entry.maskMode = kMaskOff;
    WriteTableWord(link, entry.channel, entry.address, false);
    acquisition.MaskActive[ch].store(0);
    // A word the acquisition thread is serving for this mask right now is counted before the
    // count is cleared (one slot read at most), never after it.
    while (acquisition.MaskServing[ch].load() != 0) std::this_thread::yield();
    acquisition.MaskMatchCount[ch].store(0);
    return true;
}

}  // namespace orv
