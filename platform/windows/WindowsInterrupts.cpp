#include "platform/windows/WindowsPlatform.h"

#include <atomic>
#include <windows.h>

namespace quillora {

namespace {

// The status the first Ctrl-C or Ctrl-Break asks for. The console calls the
// handler on a thread of its own, which can reach nothing but a flag like
// this one: the one state the process holds outside the run.
std::atomic<int> firstInterrupt{0};

BOOL WINAPI markControl(DWORD event) {
    int status = 0;
    if (event == CTRL_C_EVENT) {
        status = 130; // as for SIGINT
    } else if (event == CTRL_BREAK_EVENT) {
        status = 143; // as for SIGTERM: the harder request to stop
    } else {
        return FALSE; // closing the console or logging off: the system's own way
    }
    int none = 0;
    firstInterrupt.compare_exchange_strong(none, status);
    return TRUE;
}

// The handler never ends the process, and the run asks only between steps:
// nothing more is needed to let a step finish.
class WindowsInterrupts : public Interrupts {
public:
    int pendingStatus() const override { return firstInterrupt.load(); }
    std::unique_ptr<InterruptHold> hold() override { return std::make_unique<InterruptHold>(); }
};

} // namespace

Interrupts& WindowsPlatform::interrupts() {
    static WindowsInterrupts host; // reads the flag, holds nothing of its own
    return host;
}

// A console that ignores Ctrl-C (a process started in a group of its own)
// goes on ignoring it: the system does not call the handler for it then.
void watchHostInterrupts() {
    SetConsoleCtrlHandler(markControl, TRUE);
}

} // namespace quillora
