#include "app/HotKeyEntry.h"

#include "common/Utf8.h"

namespace tavirel {

std::u16string CHotKeyEntry::KeyName(uint16_t vk) const {
  if (vk == 0 || IsUnnamedHotkeyKey(vk)) return {};
  std::u16string name = namer_ ? namer_(vk) : FormatKeyCombo(KeyCombo(0, vk));
  if (name.empty()) name = u"#" + Utf8ToUtf16(std::to_string(vk));
  return name;
}

void CHotKeyEntry::CaptureKey(uint16_t vk) {
  if (IsUnnamedHotkeyKey(vk)) vk = 0;
  key_ = vk;
  text_ = KeyName(vk);
}

void CHotKeyEntry::SetKeyCombo(KeyCombo combo) {
  modifiers_ = combo.Modifiers & (modbits::kAlt | modbits::kCtrl | modbits::kShift | modbits::kWin);
  if (combo.Key != key_ || KeyName(combo.Key) != text_) CaptureKey(combo.Key);
}

KeyCombo CHotKeyEntry::GetKeyCombo() const { return KeyCombo(modifiers_, text_.empty() ? 0 : key_); }

void CHotKeyEntry::SetModifier(int32_t bit, bool on) {
  if (on) {
    modifiers_ |= bit;
  } else {
    modifiers_ &= ~bit;
  }
}

}  // namespace tavirel
