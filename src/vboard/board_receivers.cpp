// The receivers of the virtual board: the receive queues behind the label slots, what the label
// tables report, and the channel events. The word path itself (ReceiveLocked, StoreLocked) is in
// virtual_board.cpp, beside the transmitters that feed it.
#include "vboard/virtual_board.h"

namespace orv {

bool VirtualBoard::QueueWordLocked(unsigned index, unsigned label, uint32_t word) {
    Receiver& r = rx_[index];
    auto& queue = r.queues[label];
    if (!queue) queue = std::make_unique<SlotQueue>();
    if (!queue->Push(word)) return false;
    ++r.queued;
    // The slot shows the oldest waiting word, the one the next read takes.
    if (queue->count == 1) StoreSlotLocked(LabelSlotAddress(index + 1, label), word);
    return true;
}

// A read of a slot with waiting words replies the oldest and takes it off the queue; the slot
// then shows the next one, or keeps the word just read when none waits.
bool VirtualBoard::PopSlotLocked(uint32_t address, uint32_t& word) {
    if (!IsReceiveSlotAddress(address)) return false;
    const unsigned index = ReceiveSlotChannel(address) - 1;
    if (index >= rx_.size()) return false;
    Receiver& r = rx_[index];
    SlotQueue* queue = r.queues[ReceiveSlotLabel(address)].get();
    if (!queue || queue->count == 0) return false;
    word = queue->Pop();
    --r.queued;
    StoreSlotLocked(address, queue->count > 0 ? queue->Front() : word);
    return true;
}

bool VirtualBoard::ReportedLocked(unsigned index, unsigned label) const {
    return (memory_[LabelTableAddress(index + 1, label)] & kLabelEvent) != 0;
}

// After a change of the label tables: counts each input's reported labels, and forgets what the
// labels that are no longer reported left behind (their waiting words, which will never be read,
// and their arrivals since the last event read). A channel stays reported only for the labels
// its table still reports.
void VirtualBoard::SyncEventLabelsLocked() {
    for (unsigned i = 0; i < rx_.size(); ++i) {
        Receiver& r = rx_[i];
        uint16_t labels = 0;
        for (unsigned label = 0; label < 256; ++label) {
            if (ReportedLocked(i, label)) {
                ++labels;
                continue;
            }
            r.arrived.reset(label);
            if (SlotQueue* queue = r.queues[label].get(); queue && queue->count > 0) {
                r.queued -= uint32_t(queue->count);
                queue->count = 0;
            }
        }
        r.eventLabels = labels;
        if (r.arrived.none() && r.queued == 0) events_ = uint16_t(events_ & ~(1u << i));
    }
}

uint16_t VirtualBoard::PendingBitsLocked() const {
    uint16_t bits = events_;
    for (unsigned i = 0; i < rx_.size(); ++i)
        if (rx_[i].queued > 0) bits = uint16_t(bits | (1u << i));
    return bits;
}

}  // namespace orv
