#pragma once
// Key events that arrive while the service's output waits to run outside
// the hook callback (a paste, whose clipboard backup may have to wait for
// other programs). They are held in arrival order and handled after that
// output, so that the application sees everything in the order it was typed.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace tavirel {

struct DeferredKey {
  uint16_t Vk = 0;
  bool Down = false;
  // The service has already handled the event and let it through: it only
  // has to reach the application, after the output that came before it.
  bool Handled = false;
};

class CDeferredKeys {
 public:
  CDeferredKeys() { keys_.reserve(64); }

  bool Empty() const { return head_ == keys_.size(); }
  size_t Size() const { return keys_.size() - head_; }
  void Push(DeferredKey key) { keys_.push_back(key); }
  // Before every held event (one that came earlier than all of them).
  void PushFront(DeferredKey key) {
    if (head_ > 0) {
      keys_[--head_] = key;
    } else {
      keys_.insert(keys_.begin(), key);
    }
  }
  // The oldest event; false when there is none. The storage is kept.
  bool Pop(DeferredKey& key) {
    if (Empty()) {
      keys_.clear();
      head_ = 0;
      return false;
    }
    key = keys_[head_++];
    return true;
  }

 private:
  std::vector<DeferredKey> keys_;
  size_t head_ = 0;
};

}  // namespace tavirel
