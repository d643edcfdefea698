// Interrupts a user or the system sends a run: SIGINT, SIGTERM and SIGHUP on
// POSIX, Ctrl-C and Ctrl-Break on Windows. Once the host's are watched, an
// interrupt only marks itself; the run asks at the points where it can stop
// without leaving anything half done.
#pragma once

#include <memory>

namespace quillora {

// While one lives, interrupts wait; one that came meanwhile counts once it goes.
class InterruptHold {
public:
    virtual ~InterruptHold() = default;
};

class Interrupts {
public:
    virtual ~Interrupts() = default;
    // The exit status the first interrupt asks for, as a shell gives it for
    // the signal (128 + its number: SIGINT and Ctrl-C 130, SIGTERM and
    // Ctrl-Break 143, SIGHUP 129); 0 while none has come.
    virtual int pendingStatus() const = 0;
    // For a step that must not stop halfway.
    virtual std::unique_ptr<InterruptHold> hold() = 0;
};

// Interrupts that never come: a platform that has none to watch.
Interrupts& noInterrupts();

// From here on, for the rest of the process, the host's interrupts only mark
// themselves for the host platform's interrupts() to report. One the process
// was started with set to be ignored (nohup, a background job) stays ignored.
void watchHostInterrupts();

} // namespace quillora
