// The receivers of the virtual board: what each running input makes of the words its line
// carries, its label slots and their receive queues, its stream block, and the events it raises.
#include "vboard/virtual_board.h"

namespace orv {

void VirtualBoard::ReceiveLocked(unsigned index, uint32_t wire, unsigned txRate, uint64_t atUs) {
    Receiver& r = rx_[index];
    if (!r.running) return;
    // Every word the line of a running input carries is judged here, once, at its bus time.
    if (r.Judge(settings_[InputChannelCode(index + 1)], txRate, wire) != LineWordFate::Accepted) return;
    r.counters.lastArrivalUs = atUs;
    StoreLocked(index, wire);
}

// An accepted word: into its label slot (or its label's queue when the label is reported) in
// parameter reception, into the next slot of the block in stream capture.
void VirtualBoard::StoreLocked(unsigned index, uint32_t wire) {
    Receiver& r = rx_[index];
    const unsigned channel = index + 1;
    const unsigned label = wire & 0xFF;
    const uint16_t control = memory_[LabelTableAddress(channel, label)];
    const bool reported = (control & kLabelEvent) != 0;
    if (!r.file) {
        if (!reported) {
            StoreSlotLocked(LabelSlotAddress(channel, label), wire);
        } else if (!QueueWordLocked(index, label, wire)) {
            ++r.counters.overflowed;  // the queue is full: the word is lost and not reported
            return;
        }
    } else if (!r.captureStopped) {
        StoreSlotLocked(ReceiveBlockAddress(channel) + 2 * r.position, wire);
        r.position = uint16_t((r.position + 1) & 0xFF);
        if (control & kLabelStopCapture) r.captureStopped = true;
    }
    if (reported) {
        r.arrived.set(label);
        events_ = uint16_t(events_ | (1u << index));
        raised_ = true;
    }
}

void VirtualBoard::StoreSlotLocked(uint32_t address, uint32_t word) {
    memory_[address] = uint16_t(word & 0xFFFF);
    memory_[address + 1] = uint16_t(word >> 16);
}

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
