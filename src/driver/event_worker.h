#pragma once
// A thread that waits on a SignalEvent and runs a handler each time the event is signalled, until
// it is stopped. Stop() wakes the thread through a stop event of its own (so a handler that resets
// the served event can never swallow the stop) and joins it: the thread never outlives the event
// or the board it serves. The handler owns the event protocol (it resets
// the event, reads the board, ...).

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

#include "driver/signal_event.h"

namespace orv {

class EventWorker {
public:
    EventWorker() = default;
    ~EventWorker() { Stop(); }
    EventWorker(const EventWorker&) = delete;
    EventWorker& operator=(const EventWorker&) = delete;

    // Starts the thread on `event` (which must outlive Stop()). A running worker is stopped first.
    void Start(SignalEvent& event, std::function<void()> onSignal);
    // Ends the thread and joins it; the handler is never running afterwards. Idempotent.
    void Stop();
    bool Running() const { return thread_.joinable(); }
    // True inside the handler once Stop() was asked for: long handlers may return early.
    bool StopRequested() const { return stop_.load(std::memory_order_acquire); }
    // True from the thread's wake on the event until its handler has returned. Set before the
    // handler runs (and so before a handler can reset the event): a caller that first sees the
    // event reset and then this false knows that every signal so far has been served.
    bool Serving() const { return serving_.load(); }
    // Sleeps `time` unless Stop() is asked for first (or was already): a handler that must not
    // keep a core busy rests here without holding up the stop. False when the stop ended it.
    bool RestUnlessStopped(std::chrono::nanoseconds time) const;

private:
    SignalEvent stopEvent_{"EventWorkerStop"};
    std::atomic<bool> stop_{false};
    std::atomic<bool> serving_{false};
    std::thread thread_;
};

}  // namespace orv
