#pragma once
// A manual-reset event that a driver can signal, built on an eventfd: it stays signalled until
// reset, and waiting does not consume the signal. The eventfd's descriptor is the 4-byte handle
// value handed to the driver with request 0x222070; a driver keeps its own duplicate of it.

#include <string>

namespace orv {

class SignalEvent {
public:
    explicit SignalEvent(std::string name);
    ~SignalEvent();
    SignalEvent(const SignalEvent&) = delete;
    SignalEvent& operator=(const SignalEvent&) = delete;

    const std::string& Name() const { return name_; }
    // The value passed to the driver; -1 if the event could not be created.
    int Handle() const { return fd_; }

    void Set();
    void Reset();
    // Waits until the event is signalled (does not reset it).
    void Wait() const;
    // Waits at most `timeoutMs`; true when the event is signalled.
    bool WaitFor(int timeoutMs) const;
    bool IsSet() const { return WaitFor(0); }

    // Signals the event behind a handle value received from the program (driver side).
    static void SignalHandle(int handle);

private:
    std::string name_;
    int fd_ = -1;
};

}  // namespace orv
