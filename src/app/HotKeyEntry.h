#pragma once
// What a hotkey entry holds: four modifier boxes (Ctrl, Shift, Alt, Win) and
// the key captured by its key box. The Win32 control (win/CHotKeyControl)
// only copies between its check boxes and edit and this class.
//
// The key box captures the last key pressed in it. The modifiers, the lock
// keys and Delete capture "no key" and empty the box, so Delete clears it.
// A key the keyboard layout has no name for is shown by its number ("#255"),
// so that a stored hotkey never comes back without its key.
#include <cstdint>
#include <string>

#include "app/FormatKeyCombo.h"
#include "service/KeyCombo.h"

namespace tavirel {

class CHotKeyEntry {
 public:
  CHotKeyEntry() = default;
  explicit CHotKeyEntry(KeyNamer namer) : namer_(std::move(namer)) {}

  // A key went down in the key box.
  void CaptureKey(uint16_t vk);
  // The modifier boxes and the key from a stored hotkey.
  void SetKeyCombo(KeyCombo combo);
  // The boxes' modifiers and the captured key (0 when the box is empty).
  KeyCombo GetKeyCombo() const;

  // Modifier bits of the four boxes (1 Alt, 2 Ctrl, 4 Shift, 8 Win).
  int32_t Modifiers() const { return modifiers_; }
  void SetModifier(int32_t bit, bool on);
  bool HasModifier(int32_t bit) const { return (modifiers_ & bit) != 0; }

  uint16_t Key() const { return key_; }
  // The text of the key box.
  const std::u16string& KeyText() const { return text_; }

  // The name the key box shows for a key: "" for the keys that capture
  // nothing, the layout's name, or "#" and the key's number.
  std::u16string KeyName(uint16_t vk) const;

 private:
  KeyNamer namer_;
  int32_t modifiers_ = 0;
  uint16_t key_ = 0;
  std::u16string text_;
};

}  // namespace tavirel
