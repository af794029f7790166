#pragma once
// The US keyboard layout: what a key gives for a keyboard state, and which
// key (with or without Shift) types a character.
#include <cstdint>

namespace tavirel {

struct UsKeyStroke {
  uint16_t Vk = 0;     // 0: no key of the layout types the character
  bool Shift = false;
};

class UsKeyboard {
 public:
  // As ToAscii: the number of characters written to out (0 or 1).
  static int Translate(uint16_t vk, const uint8_t state[256], char16_t out[2]);
  // The key for a character; '\n' is Enter, '\b' Backspace, '\t' Tab.
  static UsKeyStroke StrokeFor(char16_t ch);
};

}  // namespace tavirel
