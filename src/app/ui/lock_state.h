#pragma once
// The lock keys' states for the status bar's CAP, NUM and SCRL indicators. Read from the X server's
// keyboard indicators where the program runs on X11; elsewhere (or when the server cannot tell)
// a state is unknown, and its indicator stays blank rather than claim a lock that may be off.

#include <QString>
#include <optional>

namespace orv::ui {

struct LockState {
    std::optional<bool> caps;
    std::optional<bool> num;
    std::optional<bool> scroll;
    friend bool operator==(const LockState&, const LockState&) = default;
};

// The current states, one server round trip per lock on X11; all unknown on other platforms.
LockState ReadLockState();

// What an indicator shows: its name while the lock is on, nothing while it is off or unknown.
inline QString IndicatorText(std::optional<bool> on, const char* name) {
    return on.value_or(false) ? QString::fromLatin1(name) : QString();
}

}  // namespace orv::ui
