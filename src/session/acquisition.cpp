#include "session/acquisition.h"

#include <algorithm>

namespace orv {

void RefreshTick(ProgramState& state) {
    if (state.Shell.DeviceState == kNoDevice) return;
    AcquisitionState& acq = state.Acquisition;
    BoardLink& link = state.Board.Link;

    if (acq.AcquisitionMode == kParameterReception) {
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
    } else if (acq.AcquisitionMode == kFileReception) {
        link.ReadBlock(state.Capture.StreamAddress, 512);
    }
}

bool AcquisitionIdle(const BoardState& board) {
    if (!board.SignalEvent || !board.AcquisitionThread.Running()) return true;
    if (board.SignalEvent->IsSet()) return false;
    return !board.AcquisitionThread.Serving();
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
    const auto began = std::chrono::steady_clock::now();
    event.Reset();
    bool endless = false;
    for (int reads = 0;; ++reads) {
        if (board.AcquisitionThread.StopRequested()) return;
        if (reads == kEventReadsPerSignal) {
            // A board that reports words without end: end this handling and come back through
            // the event, so that the thread passes its wait (and its stop) now and then.
            event.Set();
            endless = true;
            break;
        }
        const uint16_t bits = board.Link.ReadEvents();
        if (bits == 0) break;
        for (int i = 0; i < kInputChannels; ++i) {
            if (((bits >> i) & 1) == 0) continue;
            // Serving is announced before MaskActive is read (both sequentially consistent), and
            // a reset clears MaskActive before it waits for Serving to drop: either this pass sees
            // the reset, or the reset waits until this word is counted.
            AcquisitionState& acq = state.Acquisition;
            acq.MaskServing[std::size_t(i)].store(1);
            if (acq.MaskActive[std::size_t(i)].load() == 1) ServeMaskedChannel(state, i);
            acq.MaskServing[std::size_t(i)].store(0);
        }
    }
    board.Link.EndEventHandling();
    if (endless) {
        // Without a rest such a board would keep the thread reading, a core busy for nothing.
        const auto spent = std::chrono::steady_clock::now() - began;
        board.AcquisitionThread.RestUnlessStopped(
            std::max<std::chrono::nanoseconds>(kEndlessEventsRest, kEndlessEventsRestFactor * spent));
    }
}

}  // namespace orv
