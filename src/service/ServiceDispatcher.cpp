#include "service/ServiceDispatcher.h"

#include <stdexcept>

#include "service/CInputMethodService.h"

namespace tavirel {

namespace {

// A change must not take the hook thread down.
void RunGuarded(CInputMethodService& service, const CServiceDispatcher::Change& change) {
  try {
    change(service);
  } catch (const std::exception& e) {
    service.Error.Raise(e);
  } catch (...) {
    service.Error.Raise(std::runtime_error("unknown error in a posted change"));
  }
}

}  // namespace

bool CServiceDispatcher::Post(Change change) {
  if (!change) return false;
  {
    std::unique_lock lock(m_);
    if (thread_ != std::thread::id() && thread_ != std::this_thread::get_id()) {
      queue_.push_back(std::move(change));
      // One wake per batch: the thread takes everything queued when it runs.
      if (!woken_ && wake_) woken_ = wake_();
      return true;
    }
  }
  RunGuarded(service_, change);
  return true;
}

void CServiceDispatcher::Attach(Wake wake) {
  {
    std::lock_guard lock(m_);
    wake_ = std::move(wake);
    thread_ = std::this_thread::get_id();
    woken_ = false;
  }
  RunPending();
}

void CServiceDispatcher::Detach() {
  for (;;) {
    std::deque<Change> batch;
    {
      std::lock_guard lock(m_);
      if (thread_ != std::this_thread::get_id()) return;
      if (queue_.empty()) {
        wake_ = nullptr;
        thread_ = std::thread::id();
        woken_ = false;
        return;
      }
      batch.swap(queue_);
    }
    for (const Change& change : batch) RunGuarded(service_, change);
  }
}

bool CServiceDispatcher::OnServiceThread() const {
  std::lock_guard lock(m_);
  return thread_ == std::this_thread::get_id();
}

bool CServiceDispatcher::Attached() const {
  std::lock_guard lock(m_);
  return thread_ != std::thread::id();
}

size_t CServiceDispatcher::RunPending() {
  std::deque<Change> batch;
  {
    std::lock_guard lock(m_);
    if (thread_ != std::this_thread::get_id()) return 0;
    batch.swap(queue_);
    woken_ = false;
  }
  for (const Change& change : batch) RunGuarded(service_, change);
  return batch.size();
}

bool CServiceDispatcher::HasPending() const {
  std::lock_guard lock(m_);
  return !queue_.empty();
}

}  // namespace tavirel
