#include "common/BackgroundQueue.h"

namespace tavirel {

CBackgroundQueue::~CBackgroundQueue() {
  {
    std::lock_guard lock(m_);
    stop_ = true;
  }
  cv_.notify_all();
  if (thread_.joinable()) thread_.join();
}

void CBackgroundQueue::Post(std::function<void()> job) {
  if (!job) return;
  {
    std::lock_guard lock(m_);
    jobs_.push_back(std::move(job));
    if (!thread_.joinable()) thread_ = std::thread([this] { Run(); });
  }
  cv_.notify_all();
}

void CBackgroundQueue::Flush() {
  std::unique_lock lock(m_);
  cv_.wait(lock, [this] { return jobs_.empty() && !running_; });
}

void CBackgroundQueue::Run() {
  std::unique_lock lock(m_);
  for (;;) {
    cv_.wait(lock, [this] { return stop_ || !jobs_.empty(); });
    if (jobs_.empty()) return;  // stopping, nothing left
    std::function<void()> job = std::move(jobs_.front());
    jobs_.pop_front();
    running_ = true;
    lock.unlock();
    try {
      job();
    } catch (...) {
      // A job reports its own failures; none may end the thread.
    }
    lock.lock();
    running_ = false;
    cv_.notify_all();
  }
}

}  // namespace tavirel
