#pragma once
// The two activities that bring received data in from a started board: the refresh tick on the
// user-interface thread and the acquisition thread's service of one event signal.
//
// Both send their requests through BoardLink, whose lock keeps each fill-then-send sequence whole,
// and share only atomic values (BoardImage words, the mask and trace tables).

#include <chrono>

#include "state/program_state.h"

namespace orv {

// One refresh tick (the timer callback; the window repaints itself afterwards). Without a board it
// does nothing. In parameter reception it counts the cycle and, for every used displayed entry
// without a mask, reads its label slot and, when the slot holds a received word (high half not
// 0), stores the cycle, the word and the tick time (BoardState::TickCount) in the entry and
// releases the slot. In file reception it reads the capture channel's 512-word block.
void RefreshTick(ProgramState& state);

// The acquisition thread's work for one signal of `event`: reset the event, read the channel
// events until they read 0, serving each signalled channel with an active mask in channel order
// (slot read, trace ring append with the tick time, pattern match count), then end the handling
// of the signal. Bits of channels without a mask are read past: the board reports a label only
// while its table word asks for it, so they clear by themselves (a mask reset drops the label's
// waiting words; a mask being set is served as soon as it is active).
//
// The board keeps a queue behind each reported slot and reports the channel's bit while words
// wait, and each slot read takes one word off the queue: every arrival is served exactly once,
// in arrival order. Its trace time is the clock when the thread serves it, so words that waited
// while the thread was late share one time. Returns early, without ending the handling, once the thread is asked to stop.
void ServeAcquisitionSignal(ProgramState& state, SignalEvent& event);

// Event reads of one signal's service, at most: after them the service sets the event again and
// ends, so that the rest is served after the thread has passed its wait once more.
inline constexpr int kEventReadsPerSignal = 4096;
// After a service that reached that limit (a board that reports without end) the thread rests
// before its next read: at least kEndlessEventsRest, and kEndlessEventsRestFactor times as long
// as the service took, so that such a board gets at most a quarter of a core from the thread.
// A stop ends the rest at once.
inline constexpr std::chrono::milliseconds kEndlessEventsRest{1};
inline constexpr int kEndlessEventsRestFactor = 3;

// True when the acquisition thread has served every signal of its event so far: the event reads
// reset and the thread is not in its handler (checked in that order), or there is no thread. With
// a board that raises no new signal meanwhile (a manual clock that is not being advanced), every
// word the board reported has then been traced and counted.
bool AcquisitionIdle(const BoardState& board);

// Serves input channel index `i` (0..7) once: what the signal service does per channel.
void ServeMaskedChannel(ProgramState& state, int i);

}  // namespace orv
