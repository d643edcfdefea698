#include "platform/posix/PosixPlatform.h"

#include <csignal>
#include <pthread.h>

namespace quillora {

namespace {

constexpr int kWatched[] = {SIGINT, SIGTERM, SIGHUP};

// The first signal that came. A handler can reach nothing but a flag like
// this one: the one state the process holds outside the run.
volatile std::sig_atomic_t firstSignal = 0;

extern "C" void markSignal(int number) {
    if (firstSignal == 0) {
        firstSignal = number;
    }
}

sigset_t watchedSet() {
    sigset_t set;
    sigemptyset(&set);
    for (int number : kWatched) {
        sigaddset(&set, number);
    }
    return set;
}

class BlockedSignals : public InterruptHold {
public:
    BlockedSignals() {
        const sigset_t set = watchedSet();
        pthread_sigmask(SIG_BLOCK, &set, &saved_);
    }
    ~BlockedSignals() override { pthread_sigmask(SIG_SETMASK, &saved_, nullptr); }
    BlockedSignals(const BlockedSignals&) = delete;
    BlockedSignals& operator=(const BlockedSignals&) = delete;

private:
    sigset_t saved_{};
};

class PosixInterrupts : public Interrupts {
public:
    int pendingStatus() const override { return firstSignal == 0 ? 0 : 128 + firstSignal; }
    std::unique_ptr<InterruptHold> hold() override { return std::make_unique<BlockedSignals>(); }
};

} // namespace

Interrupts& PosixPlatform::interrupts() {
    static PosixInterrupts host; // reads the flag, holds nothing of its own
    return host;
}

void watchHostInterrupts() {
    struct sigaction action {};
    action.sa_handler = markSignal;
    action.sa_mask = watchedSet();
    // The run goes on after a signal: a call it made goes on too.
    action.sa_flags = SA_RESTART;
    for (int number : kWatched) {
        struct sigaction old {};
        if (sigaction(number, nullptr, &old) == 0 && old.sa_handler != SIG_IGN) {
            sigaction(number, &action, nullptr);
        }
    }
}

} // namespace quillora
