#pragma once
// The US keyboard layout: what a key gives for a keyboard state, and which
// key (with or without Shift) types a character. Both lookups sit on every
// simulated key, so they are inline table reads.
#include <array>
#include <cstdint>

namespace tavirel {

struct UsKeyStroke {
  uint16_t Vk = 0;     // 0: no key of the layout types the character
  bool Shift = false;
};

namespace uskeyboard_detail {

struct OemKey {
  uint16_t vk;
  char16_t plain;
  char16_t shifted;
};

inline constexpr OemKey kOemKeys[] = {
    {0xBA, u';', u':'}, {0xBB, u'=', u'+'}, {0xBC, u',', u'<'}, {0xBD, u'-', u'_'},
    {0xBE, u'.', u'>'}, {0xBF, u'/', u'?'}, {0xC0, u'`', u'~'}, {0xDB, u'[', u'{'},
    {0xDC, u'\\', u'|'}, {0xDD, u']', u'}'}, {0xDE, u'\'', u'"'},
};

inline constexpr char16_t kShiftedDigits[] = u")!@#$%^&*(";

// What each key gives without and with Shift; letters also follow Caps Lock
// and give control characters with Ctrl.
struct KeyChars {
  char16_t Plain = 0;
  char16_t Shifted = 0;
  bool Letter = false;
};

constexpr std::array<KeyChars, 256> BuildKeyTable() {
  std::array<KeyChars, 256> t{};
  for (uint16_t vk = 'A'; vk <= 'Z'; ++vk) {
    t[vk] = {static_cast<char16_t>(vk + 32), static_cast<char16_t>(vk), true};
  }
  for (uint16_t d = 0; d < 10; ++d) {
    t['0' + d] = {static_cast<char16_t>(u'0' + d), kShiftedDigits[d], false};
    t[0x60 + d] = {static_cast<char16_t>(u'0' + d), static_cast<char16_t>(u'0' + d), false};
  }
  const auto same = [&t](uint16_t vk, char16_t c) { t[vk] = {c, c, false}; };
  same(0x08, 0x08);
  same(0x09, 0x09);
  same(0x0D, 0x0D);
  same(0x1B, 0x1B);
  same(0x20, u' ');
  same(0x6A, u'*');
  same(0x6B, u'+');
  same(0x6D, u'-');
  same(0x6E, u'.');
  same(0x6F, u'/');
  for (const OemKey& k : kOemKeys) t[k.vk] = {k.plain, k.shifted, false};
  return t;
}

inline constexpr std::array<KeyChars, 256> kKeyTable = BuildKeyTable();

constexpr std::array<UsKeyStroke, 128> BuildStrokeTable() {
  std::array<UsKeyStroke, 128> t{};
  // Later entries do not override earlier ones: the first key found wins.
  const auto put = [&t](char16_t ch, uint16_t vk, bool shift) {
    if (ch < 128 && t[ch].Vk == 0) t[ch] = UsKeyStroke{vk, shift};
  };
  for (char16_t c = u'a'; c <= u'z'; ++c) put(c, static_cast<uint16_t>(c - 32), false);
  for (char16_t c = u'A'; c <= u'Z'; ++c) put(c, static_cast<uint16_t>(c), true);
  for (char16_t c = u'0'; c <= u'9'; ++c) put(c, static_cast<uint16_t>(c), false);
  for (uint16_t d = 0; d < 10; ++d) put(kShiftedDigits[d], static_cast<uint16_t>('0' + d), true);
  put(u' ', 0x20, false);
  put(u'\n', 0x0D, false);
  put(u'\r', 0x0D, false);
  put(u'\b', 0x08, false);
  put(u'\t', 0x09, false);
  put(0x1B, 0x1B, false);
  for (const OemKey& k : kOemKeys) {
    put(k.plain, k.vk, false);
    put(k.shifted, k.vk, true);
  }
  return t;
}

inline constexpr std::array<UsKeyStroke, 128> kStrokeTable = BuildStrokeTable();

}  // namespace uskeyboard_detail

class UsKeyboard {
 public:
  // As ToAscii: the number of characters written to out (0 or 1).
  static int Translate(uint16_t vk, const uint8_t state[256], char16_t out[2]) {
    if (vk > 0xFF) return 0;
    const uskeyboard_detail::KeyChars& k = uskeyboard_detail::kKeyTable[vk];
    if (k.Plain == 0) return 0;
    // A generic modifier or either sided one held; the bytes are OR-ed rather
    // than tested one by one.
    if (((state[0x11] | state[0xA2] | state[0xA3]) & 0x80) != 0) {
      const bool alt = ((state[0x12] | state[0xA4] | state[0xA5]) & 0x80) != 0;
      if (alt || !k.Letter) return 0;
      out[0] = static_cast<char16_t>(vk - 'A' + 1);
      return 1;
    }
    bool shift = ((state[0x10] | state[0xA0] | state[0xA1]) & 0x80) != 0;
    if (k.Letter && (state[0x14] & 0x01) != 0) shift = !shift;
    out[0] = shift ? k.Shifted : k.Plain;
    return 1;
  }
  // The key for a character; '\n' is Enter, '\b' Backspace, '\t' Tab.
  static UsKeyStroke StrokeFor(char16_t ch) {
    return ch < uskeyboard_detail::kStrokeTable.size() ? uskeyboard_detail::kStrokeTable[ch] : UsKeyStroke{};
  }
};

}  // namespace tavirel
