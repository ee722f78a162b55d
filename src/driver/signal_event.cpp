#include "driver/signal_event.h"

#include <cerrno>
#include <cstdint>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace orv {

SignalEvent::SignalEvent(std::string name) : name_(std::move(name)) {
    fd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
}

SignalEvent::~SignalEvent() {
    if (fd_ >= 0) close(fd_);
}

void SignalEvent::Set() { SignalHandle(fd_); }

void SignalEvent::Reset() {
    if (fd_ < 0) return;
    uint64_t value = 0;
    // Non-blocking read: empties the counter, or fails with EAGAIN when it is already 0.
    while (read(fd_, &value, sizeof value) < 0 && errno == EINTR) {
    }
}

void SignalEvent::Wait() const {
    while (!WaitFor(-1)) {
    }
}

bool SignalEvent::WaitFor(int timeoutMs) const {
    if (fd_ < 0) return false;
    pollfd p{fd_, POLLIN, 0};
    for (;;) {
        const int r = poll(&p, 1, timeoutMs);
        if (r >= 0) return r > 0 && (p.revents & POLLIN);
        if (errno != EINTR) return false;
    }
}

void SignalEvent::SignalHandle(int handle) {
    if (handle < 0) return;
    const uint64_t one = 1;
    while (write(handle, &one, sizeof one) < 0 && errno == EINTR) {
    }
}

}  // namespace orv
