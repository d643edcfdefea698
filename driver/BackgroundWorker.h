// A second thread that runs the tasks a run hands it, one at a time, in the
// order they came. Without one (the system gave no thread), each task runs
// when it is handed over.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace quillora {

class BackgroundWorker {
public:
    BackgroundWorker();
    // Runs what is left, then ends the thread.
    ~BackgroundWorker();
    BackgroundWorker(const BackgroundWorker&) = delete;
    BackgroundWorker& operator=(const BackgroundWorker&) = delete;

    void post(std::function<void()> task);
    // Returns once every task handed over so far has run; what they wrote is
    // then seen by the caller.
    void finish();
    // Returns once fewer than count tasks are left to run.
    void waitForFewerThan(std::size_t count);

private:
    void work();

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::function<void()>> tasks_;
    bool busy_ = false;
    bool stopping_ = false;
    std::thread thread_; // last: it starts once the rest is made
};

} // namespace quillora
