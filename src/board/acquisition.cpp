#include "board/acquisition.h"

namespace orv {

void RefreshTick(ProgramState& state) {
    if (state.Shell.DeviceState == -1) return;
    AcquisitionState& acq = state.Acquisition;
    BoardLink& link = state.Board.Link;

    if (acq.AcquisitionMode == 1) {
        ++acq.CycleCounter;
        const uint32_t now = state.Board.TickCount();
        const DisplayTable& table = state.Display.DisplayTable;
        for (std::size_t e = 0; e < table.size() && table[e].Used(); ++e) {
            const DisplayEntry& entry = table[e];
            if (entry.maskMode != 0) continue;  // the acquisition thread reads this one
            if (entry.channel < 1 || entry.channel > kInputChannels || entry.address > 0xFF)
                continue;  // no slot of its own: reading it would hit another channel's words
            const uint16_t slot = LabelSlotAddress(entry.channel, entry.address);
            const uint32_t word = link.ReadSlot(entry.channel, slot);
            if ((word >> 16) != 0) {
                // The word is kept before the release: the release clears the slot's high half,
                // and the next read of an unreceived slot brings that half-cleared word in.
                DisplayEntry& received = state.Display.DisplayTable[e];
                received.receivedCycle = acq.CycleCounter;
                received.receivedWord = word;
                received.receivedMs = now;
                link.ReleaseSlot(slot);
            }
        }
    } else if (acq.AcquisitionMode == 2) {
        link.ReadBlock(state.Capture.StreamAddress, 512);
    }
}

void ServeMaskedChannel(ProgramState& state, int i) {
    AcquisitionState& acq = state.Acquisition;
    const auto ch = std::size_t(i);
    const uint16_t label = uint16_t(acq.MaskLabel[ch].load() & 0xFF);
    const uint32_t word =
        state.Board.Link.ReadSlot(uint16_t(i + 1), LabelSlotAddress(unsigned(i + 1), label));

    uint16_t index = acq.TraceIndex[ch].load();
    if (index >= kTraceSlots) index = 0;
    acq.TraceValues[ch][index].store(word);
    acq.TraceTimes[ch][index].store(state.Board.TickCount());
    acq.TraceIndex[ch].store(uint16_t(index + 1));

    if ((word | acq.MaskOrPattern[ch].load()) == acq.MaskMatchValue[ch].load())
        acq.MaskMatchCount[ch].fetch_add(1);
}

void ServeAcquisitionSignal(ProgramState& state, SignalEvent& event) {
    BoardState& board = state.Board;
    event.Reset();
    for (int reads = 0;; ++reads) {
        if (board.AcquisitionThread.StopRequested()) return;
        if (reads == kEventReadsPerSignal) {
            // A board that reports words without end: end this handling and come back through
            // the event, so that the thread passes its wait (and its stop) now and then.
            event.Set();
            break;
        }
        const uint16_t bits = board.Link.ReadEvents();
        if (bits == 0) break;
        bool served = false;
        for (int i = 0; i < kInputChannels; ++i) {
            if (((bits >> i) & 1) == 0) continue;
            // Serving is announced before MaskActive is read (both sequentially consistent), and
            // a reset clears MaskActive before it waits for Serving to drop: either this pass sees
            // the reset, or the reset waits until this word is counted.
            AcquisitionState& acq = state.Acquisition;
            acq.MaskServing[std::size_t(i)].store(1);
            if (acq.MaskActive[std::size_t(i)].load() == 1) {
                ServeMaskedChannel(state, i);
                served = true;
            }
            acq.MaskServing[std::size_t(i)].store(0);
        }
        // Bits of channels without a mask only: a board that keeps reporting them (words waiting
        // behind a slot nobody serves) would otherwise keep this loop reading events forever.
        if (!served) break;
    }
    board.Link.EndEventHandling();
}

}  // namespace orv
