#include "driver/BackgroundWorker.h"

#include <system_error>
#include <utility>

namespace quillora {

BackgroundWorker::BackgroundWorker() {
    try {
        thread_ = std::thread([this] { work(); });
    } catch (const std::system_error&) {
        // The tasks run in the caller's thread instead.
    }
}

BackgroundWorker::~BackgroundWorker() {
    if (!thread_.joinable()) {
        return;
    }
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void BackgroundWorker::post(std::function<void()> task) {
    if (!thread_.joinable()) {
        task();
        return;
    }
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        tasks_.push_back(std::move(task));
    }
    changed_.notify_all();
}

void BackgroundWorker::finish() {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return tasks_.empty() && !busy_; });
}

void BackgroundWorker::waitForFewerThan(std::size_t count) {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this, count] { return tasks_.size() + (busy_ ? 1 : 0) < count; });
}

void BackgroundWorker::work() {
    std::unique_lock<std::mutex> lock(mutex_);
    while (true) {
        changed_.wait(lock, [this] { return stopping_ || !tasks_.empty(); });
        if (tasks_.empty()) {
            return; // stopping, with nothing left
        }
        std::function<void()> task = std::move(tasks_.front());
        tasks_.pop_front();
        busy_ = true;
        lock.unlock();
        task();
        lock.lock();
        busy_ = false;
        changed_.notify_all();
    }
}

} // namespace quillora
