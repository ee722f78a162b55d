#pragma once
// The displayed parameters: one entry per row of the monitor table. Used entries form a prefix of
// the table; the first entry whose paramLabel starts with a zero byte ends it.

#include <array>
#include <cstdint>

#include "config/decimal_format.h"

namespace orv {

// The values of DisplayEntry::maskMode.
enum MaskModeValue : int32_t {
    kMaskOff = 0,
    kMaskOn = 1,  // the row carries its channel's mask
};

struct DisplayEntry {
    DecimalFormat format;        // copy of the parameter's format; blank label = no format
    uint16_t address = 0;        // label number 0..255
    uint16_t channel = 0;        // input channel 1..8
    uint16_t slot = 0;           // word address of the label slot's low half in BoardImage
    Label8 formatLabel;          // eight blanks for none
    Label8 paramLabel = Free();  // first byte 0: entry free
    int32_t receivedCycle = 0;   // CycleCounter of the last refresh that found the word received
    // The complete word that refresh took from the slot (high half not 0) and its TickCount time.
    // They belong to the current parameter only while receivedCycle is not 0: loading or editing
    // the entry sets receivedCycle to 0, and the row then shows 0 until the next reception.
    uint32_t receivedWord = 0;
    uint32_t receivedMs = 0;
    int32_t maskMode = kMaskOff;  // a MaskModeValue

    bool Used() const { return paramLabel.First() != '\0'; }
    friend bool operator==(const DisplayEntry&, const DisplayEntry&) = default;
    void MarkFree() { paramLabel.SetFirst('\0'); }
    static Label8 Free() {
        Label8 l;
        l.SetFirst('\0');
        return l;
    }
};

inline constexpr int kDisplayRows = 256;
using DisplayTable = std::array<DisplayEntry, kDisplayRows>;

// Number of used entries (the prefix up to the first free entry).
inline int UsedEntries(const DisplayTable& table) {
    int n = 0;
    while (n < kDisplayRows && table[std::size_t(n)].Used()) ++n;
    return n;
}

struct DisplayState {
    orv::DisplayTable DisplayTable{};
    std::array<uint16_t, kDisplayRows> SlotAddresses{};  // slot of each used entry, 0 for free ones
    int32_t DisplayListReady = 0;  // 0 while the table is being rewritten

    void Reset() {
        DisplayTable.fill(DisplayEntry{});
        SlotAddresses.fill(0);
        DisplayListReady = 0;
    }
};

}  // namespace orv
