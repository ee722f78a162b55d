#include "driver/event_worker.h"

#include <cerrno>
#include <ctime>
#include <poll.h>

namespace orv {
namespace {
// Waits until `event` or `stop` is signalled; true when it was the event (and no stop).
bool WaitEventOrStop(const SignalEvent& event, const SignalEvent& stop) {
    pollfd fds[2] = {{event.Handle(), POLLIN, 0}, {stop.Handle(), POLLIN, 0}};
    for (;;) {
        const int r = poll(fds, 2, -1);
        if (r < 0 && errno == EINTR) continue;
        if (r < 0) return false;
        if (fds[1].revents) return false;
        if (fds[0].revents & POLLIN) return true;
        if (fds[0].revents) return false;  // error on the event: nothing more to serve
    }
}
}  // namespace

void EventWorker::Start(SignalEvent& event, std::function<void()> onSignal) {
    Stop();
    stopEvent_.Reset();
    stop_.store(false, std::memory_order_release);
    thread_ = std::thread([this, &event, handler = std::move(onSignal)] {
        while (WaitEventOrStop(event, stopEvent_)) {
            serving_.store(true);
            handler();
            serving_.store(false);
        }
    });
}

bool EventWorker::RestUnlessStopped(std::chrono::nanoseconds time) const {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point end = Clock::now() + time;
    pollfd fd{stopEvent_.Handle(), POLLIN, 0};
    for (;;) {
        if (StopRequested()) return false;
        const auto left = std::chrono::duration_cast<std::chrono::nanoseconds>(end - Clock::now());
        if (left.count() <= 0) return true;
        const timespec wait{time_t(left.count() / 1000000000), long(left.count() % 1000000000)};
        const int r = ppoll(&fd, 1, &wait, nullptr);
        if (r > 0) return false;  // the stop event
        if (r < 0 && errno != EINTR) return true;
    }
}

void EventWorker::Stop() {
    if (!thread_.joinable()) return;
    stop_.store(true, std::memory_order_release);
    stopEvent_.Set();
    thread_.join();
}

}  // namespace orv
