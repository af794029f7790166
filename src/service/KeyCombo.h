#pragma once
// A hotkey value: the modifier bits (1 Alt, 2 Ctrl, 4 Shift, 8 Win) and a
// virtual-key code, 0 meaning the modifiers alone. In the settings files it
// is one decimal integer: (modifiers << 16) | key.
#include <cstdint>

namespace tavirel {

namespace modbits {
constexpr int32_t kAlt = 1;
constexpr int32_t kCtrl = 2;
constexpr int32_t kShift = 4;
constexpr int32_t kWin = 8;
}  // namespace modbits

struct KeyCombo {
  int32_t Modifiers = 0;
  uint16_t Key = 0;

  constexpr KeyCombo() = default;
  constexpr KeyCombo(int32_t modifiers, uint16_t key) : Modifiers(modifiers), Key(key) {}

  // The stored form: key in the low 16 bits, modifiers above.
  constexpr int32_t ToInt() const {
    return static_cast<int32_t>((static_cast<uint32_t>(Modifiers) << 16) | Key);
  }
  // The key is the low 16 bits; the modifiers are bits 16..31 as a signed
  // 16-bit number.
  static constexpr KeyCombo FromInt(int32_t value) {
    const auto u = static_cast<uint32_t>(value);
    return KeyCombo(static_cast<int16_t>(u >> 16), static_cast<uint16_t>(u & 0xFFFFu));
  }

  constexpr bool operator==(const KeyCombo&) const = default;
};

}  // namespace tavirel
