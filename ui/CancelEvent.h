// The cancel event: an auto-reset event that the main frame signals after a
// progress step when the user has cancelled. A long operation may observe it;
// none in the kit does.
#pragma once

#include <atomic>

class CCancelEvent {
public:
    void Set() { signalled_ = true; }
    // Returns whether it was signalled and makes it unsignalled again.
    bool TryWait() { return signalled_.exchange(false); }

private:
    std::atomic<bool> signalled_{false};
};

// Made once at start-up, unsignalled, and kept until the process ends; null
// before.
CCancelEvent* CancelEventHandle();
CCancelEvent* CreateCancelEvent();
