#pragma once
// A hotkey bound to an action on the input service. Execute answers whether
// the key that triggered the action is consumed.
#include "service/KeyCombo.h"

namespace tavirel {

class CInputMethodService;

class CHotKeyActionBase {
 public:
  CHotKeyActionBase() = default;
  CHotKeyActionBase(CInputMethodService* service, KeyCombo key) : Key(key), Service(service) {}
  virtual ~CHotKeyActionBase() = default;

  CHotKeyActionBase(const CHotKeyActionBase&) = delete;
  CHotKeyActionBase& operator=(const CHotKeyActionBase&) = delete;

  virtual bool Execute() = 0;

  KeyCombo Key;
  CInputMethodService* Service = nullptr;  // not owned
};

}  // namespace tavirel
