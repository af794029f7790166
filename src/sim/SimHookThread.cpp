#include "sim/SimHookThread.h"

#include <utility>

#include "service/CInputMethodService.h"
#include "sim/SimDesktop.h"

namespace tavirel {

SimHookThread::SimHookThread(SimDesktop& desktop, CInputMethodService& service)
    : desktop_(desktop), service_(service) {
  thread_ = std::thread([this] { Run(); });
  std::unique_lock lock(m_);
  cv_.wait(lock, [this] { return started_; });
}

SimHookThread::~SimHookThread() { Stop(); }

void SimHookThread::Input(std::function<void()> event) {
  std::unique_lock lock(m_);
  cv_.wait(lock, [this] { return input_.size() < kMaxQueuedInput || stop_; });
  if (stop_) return;
  input_.push_back(std::move(event));
  cv_.notify_all();
}

void SimHookThread::Flush() {
  std::unique_lock lock(m_);
  cv_.wait(lock, [this] { return (input_.empty() && running_ == 0) || stop_; });
}

void SimHookThread::Stop() {
  {
    std::lock_guard lock(m_);
    stop_ = true;
    cv_.notify_all();
  }
  if (thread_.joinable()) thread_.join();
}

void SimHookThread::Run() {
  desktop_.InstallHooks(&service_);
  // The wake runs on the posting thread under the dispatcher's lock: it only
  // flags and notifies.
  service_.Dispatcher().Attach([this] {
    std::lock_guard lock(m_);
    changesPosted_ = true;
    cv_.notify_all();
    return true;
  });
  {
    std::lock_guard lock(m_);
    started_ = true;
    cv_.notify_all();
  }
  for (;;) {
    std::function<void()> event;
    bool changes = false;
    {
      std::unique_lock lock(m_);
      cv_.wait(lock, [this] { return stop_ || changesPosted_ || !input_.empty(); });
      if (changesPosted_) {
        changes = true;
        changesPosted_ = false;
      } else if (!input_.empty()) {
        event = std::move(input_.front());
        input_.pop_front();
        ++running_;
        cv_.notify_all();  // room for Input
      } else {
        break;  // stopping, nothing left
      }
    }
    if (changes) {
      service_.Dispatcher().RunPending();
      continue;
    }
    event();
    std::lock_guard lock(m_);
    --running_;
    cv_.notify_all();
  }
  service_.Dispatcher().Detach();
  desktop_.RemoveHooks();
}

}  // namespace tavirel
