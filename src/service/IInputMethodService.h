#pragma once
// The input service as its typing context and the hook procedures see it.
// The order of the operations is fixed.
#include <string>

namespace tavirel {

class IInputMethodService {
 public:
  virtual ~IInputMethodService() = default;

  // Deletes that many characters before the caret and types text.
  virtual void SendText(int backspaces, const std::u16string& text) = 0;
  // The character being processed came from the numeric keypad.
  virtual bool IsNumpadKey() = 0;
  // The Caps Lock toggle in the service's key state is exactly 1.
  virtual bool IsCapsLockOn() = 0;
  virtual void SetVietnamese(bool on) = 0;
  virtual bool IsVietnamese() = 0;
  // False when the compound dictionary file does not exist; otherwise loads
  // it when empty (and its lookup hashes with withLookup) and returns true.
  virtual bool LoadDictionaries(bool withLookup) = 0;
  // Frees the compound dictionary when neither suggestions nor compound
  // correction need it.
  virtual void ReleaseDictionaries() = 0;
};

}  // namespace tavirel
