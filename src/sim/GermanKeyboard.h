#pragma once
// The German keyboard layout, for testing layouts other than US: Y and Z in
// their places, umlauts, AltGr characters (AltGr+Q = @, AltGr+E = €) and
// three dead keys (^, ´, `) that compose with the next key, as Windows'
// ToUnicode does with the system's dead-key state.
#include <cstdint>

namespace tavirel {

class GermanKeyboard {
 public:
  // As ToUnicode without its "keep the state" flag: the number of
  // characters written to out (0, 1 or 2), -1 for a dead key, which is then
  // kept in dead (its spacing character) until the next key uses it.
  static int Translate(uint16_t vk, const uint8_t state[256], char16_t& dead, char16_t out[2]);
  // Whether the key, with this key state, is a dead key.
  static bool IsDeadKey(uint16_t vk, const uint8_t state[256]);
};

}  // namespace tavirel
