#pragma once
// The US keyboard layout: what a key gives for a keyboard state, and which
// key (with or without Shift) types a character. Both lookups sit on every
// simulated key, so they are inline table reads.
#include <array>
#include <cstdint>
#include <cstring>

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

// The same, one word a key for the translation: the plain character in the
// low half, the shifted one in the high half, bit 31 for a letter.
constexpr std::array<uint32_t, 256> BuildPackedKeys() {
  std::array<uint32_t, 256> t{};
  for (size_t vk = 0; vk < 256; ++vk) {
    const KeyChars& k = kKeyTable[vk];
    if (k.Plain != 0) t[vk] = k.Plain | (uint32_t{k.Shifted} << 16) | (k.Letter ? 0x80000000u : 0);
  }
  return t;
}

inline constexpr std::array<uint32_t, 256> kPackedKeys = BuildPackedKeys();

// Bit 7 of the key-state bytes of Shift, Ctrl and Alt (0x10..0x12), and of
// their left and right keys (0xA0..0xA5), as read in one word each.
inline constexpr uint32_t kGenericDown = 0x808080;
inline constexpr uint64_t kSidedDown = 0x808080808080;

inline uint32_t GenericModifiers(const uint8_t* state) {
  uint32_t v;
  std::memcpy(&v, state + 0x10, sizeof v);
  return v & kGenericDown;
}

inline uint64_t SidedModifiers(const uint8_t* state) {
  uint64_t v;
  std::memcpy(&v, state + 0xA0, sizeof v);
  return v & kSidedDown;
}

// No Shift, Ctrl or Alt (generic or sided) is down and Caps Lock is off.
inline bool NoModifierNorCapsLock(const uint8_t* state) {
  uint64_t generic;  // Shift, Ctrl, Alt, Pause, Caps Lock, ...
  uint64_t sided;    // left and right Shift, Ctrl, Alt
  std::memcpy(&generic, state + 0x10, sizeof generic);
  std::memcpy(&sided, state + 0xA0, sizeof sided);
  return ((generic & 0x100808080u) | (sided & kSidedDown)) == 0;
}

// What each key types with no modifier and Caps Lock off (0: nothing).
constexpr std::array<char16_t, 256> BuildPlainUnits() {
  std::array<char16_t, 256> t{};
  for (size_t vk = 0; vk < 256; ++vk) t[vk] = kKeyTable[vk].Plain;
  return t;
}

inline constexpr std::array<char16_t, 256> kPlainUnits = BuildPlainUnits();

// Translation under Ctrl or Alt, with Shift held, or with Caps Lock on.
int TranslateModified(uint32_t key, uint16_t vk, const uint8_t state[256], char16_t out[2]);

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

// The key of each character typed without Shift, 0 for the others.
constexpr std::array<uint8_t, 128> BuildPlainKeys() {
  std::array<uint8_t, 128> t{};
  for (size_t ch = 0; ch < 128; ++ch) {
    if (!kStrokeTable[ch].Shift) t[ch] = static_cast<uint8_t>(kStrokeTable[ch].Vk);
  }
  return t;
}

inline constexpr std::array<uint8_t, 128> kPlainKeys = BuildPlainKeys();

}  // namespace uskeyboard_detail

class UsKeyboard {
 public:
  // As ToAscii: the number of characters written to out (0 or 1).
  static int Translate(uint16_t vk, const uint8_t state[256], char16_t out[2]) {
    using namespace uskeyboard_detail;
    if (vk > 0xFF) return 0;
    // No Shift, Ctrl or Alt on either side and Caps Lock off: the plain
    // character.
    if (NoModifierNorCapsLock(state)) [[likely]] {
      const char16_t plain = kPlainUnits[vk];
      if (plain == 0) return 0;
      out[0] = plain;
      return 1;
    }
    const uint32_t k = kPackedKeys[vk];
    if (k == 0) return 0;
    return TranslateModified(k, vk, state, out);
  }
  // The key that types the character without Shift; 0 when it needs Shift
  // or no key types it.
  static uint8_t PlainKeyFor(char16_t ch) { return ch < 128 ? uskeyboard_detail::kPlainKeys[ch] : 0; }
  // The key for a character; '\n' is Enter, '\b' Backspace, '\t' Tab.
  static UsKeyStroke StrokeFor(char16_t ch) {
    return ch < uskeyboard_detail::kStrokeTable.size() ? uskeyboard_detail::kStrokeTable[ch] : UsKeyStroke{};
  }
};

}  // namespace tavirel
