#pragma once
// A hotkey bound to an action on the input service. Execute answers whether
// the key that triggered the action is consumed.
#include <atomic>
#include <cstdint>

#include "service/KeyCombo.h"

namespace tavirel {

class CInputMethodService;

// The key of a hotkey action: a KeyCombo that counts every time one is made
// or assigned, in any action, on any thread. The service keeps what it
// derives from the keys of its actions (which keys no hotkey uses) until
// that count moves, so a key changed in whatever way, even through a
// pointer to the action kept for later, takes effect at the next key.
class HotKeyBinding : public KeyCombo {
 public:
  HotKeyBinding() = default;
  HotKeyBinding(KeyCombo key) : KeyCombo(key) { Changed(); }  // NOLINT: converts like a KeyCombo
  HotKeyBinding(const HotKeyBinding& other) : KeyCombo(other) { Changed(); }
  HotKeyBinding& operator=(KeyCombo key) {
    KeyCombo::operator=(key);
    Changed();
    return *this;
  }
  HotKeyBinding& operator=(const HotKeyBinding& other) { return *this = static_cast<const KeyCombo&>(other); }

  // Moves at each change of any action's key, and when the service hands
  // out its list of user actions for changing.
  static uint32_t Generation() { return generation_.load(std::memory_order_relaxed); }
  static void Changed() { generation_.fetch_add(1, std::memory_order_relaxed); }

 private:
  static inline std::atomic<uint32_t> generation_{0};
};

class CHotKeyActionBase {
 public:
  CHotKeyActionBase() = default;
  CHotKeyActionBase(CInputMethodService* service, KeyCombo key) : Key(key), Service(service) {}
  virtual ~CHotKeyActionBase() = default;

  CHotKeyActionBase(const CHotKeyActionBase&) = delete;
  CHotKeyActionBase& operator=(const CHotKeyActionBase&) = delete;

  virtual bool Execute() = 0;

  HotKeyBinding Key;
  CInputMethodService* Service = nullptr;  // not owned
};

}  // namespace tavirel
