#pragma once
// An optional capability of a device: the words each running input's line carries, with their bus
// times, as they arrive. The board's device-control requests have no such stream, so a device
// offers it beside them (Device::Stream()); the virtual board does, and a real driver may. Without
// it the program's recording commands say so and stay disabled.

#include <cstdint>

namespace orv {

// One word as the line of an input carried it.
struct LineWord {
    uint64_t arrivalUs = 0;   // bus time of the word's last bit: microseconds since power-up
    uint32_t word = 0;        // as sent on the line, bit 32 the transmitted parity bit
    double bitRate = 0.0;     // bit/s of the transmitter that sent it
    uint8_t input = 1;        // 1..8
    bool parityError = false; // the input dropped it: its parity was even
    bool formatError = false; // the input did not hear it: another rate class than its own
};

class WordSink {
public:
    virtual ~WordSink() = default;
    // Called for every word, in order of arrival on each input, on whatever thread plays the bus
    // and with the board's lock held: it must be quick and must not call the device. A device may
    // hand over one input's words up to a time before another input's earlier words (the virtual
    // board plays one input after another), but when WordStream::NowUs() returns a time, every
    // word that arrived by then has been handed over.
    virtual void OnWord(const LineWord& word) = 0;
};

class WordStream {
public:
    virtual ~WordStream() = default;
    // From now on every word of every running input goes to `sink` too (a recorder and a script's
    // waits may listen at once). RemoveSink: when it returns, `sink` is called no more.
    virtual void AddSink(WordSink* sink) = 0;
    virtual void RemoveSink(WordSink* sink) = 0;
    // Someone waits for the words of `label` (0..255) on `input` (1..8): hand those over as they
    // arrive, not in a batch later. A device whose words always come at once ignores it. Each
    // Listen is matched by an Unlisten.
    virtual void Listen(unsigned /*input*/, unsigned /*label*/) {}
    virtual void Unlisten(unsigned /*input*/, unsigned /*label*/) {}
    // Board time now, in the microseconds of LineWord::arrivalUs.
    virtual uint64_t NowUs() const = 0;
    // Bit rate of what the line of `input` carries now (its transmitter's), 0 when nothing does.
    virtual double LineBitRate(unsigned input) const = 0;
};

}  // namespace orv
