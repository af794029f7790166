#include "sim/GermanKeyboard.h"

namespace tavirel {

namespace {

struct Key {
  uint16_t vk;
  char16_t plain;
  char16_t shifted;
  char16_t altGr;
  bool deadPlain;
  bool deadShifted;
};

// Keys other than the letters (whose AltGr characters follow).
constexpr Key kKeys[] = {
    {'1', u'1', u'!', 0, false, false},       {'2', u'2', u'"', u'²', false, false},
    {'3', u'3', u'§', u'³', false, false},    {'4', u'4', u'$', 0, false, false},
    {'5', u'5', u'%', 0, false, false},       {'6', u'6', u'&', 0, false, false},
    {'7', u'7', u'/', u'{', false, false},    {'8', u'8', u'(', u'[', false, false},
    {'9', u'9', u')', u']', false, false},    {'0', u'0', u'=', u'}', false, false},
    {0xDB, u'ß', u'?', u'\\', false, false},  {0xDD, u'´', u'`', 0, true, true},
    {0xDC, u'^', u'°', 0, true, false},       {0xBA, u'ü', u'Ü', 0, false, false},
    {0xC0, u'ö', u'Ö', 0, false, false},      {0xDE, u'ä', u'Ä', 0, false, false},
    {0xBB, u'+', u'*', u'~', false, false},   {0xBF, u'#', u'\'', 0, false, false},
    {0xBC, u',', u';', 0, false, false},      {0xBE, u'.', u':', 0, false, false},
    {0xBD, u'-', u'_', 0, false, false},      {0xE2, u'<', u'>', u'|', false, false},
    {0x20, u' ', u' ', 0, false, false},
};

struct Composition {
  char16_t dead;
  char16_t base;
  char16_t result;
};

constexpr Composition kCompositions[] = {
    {u'^', u'a', u'â'}, {u'^', u'e', u'ê'}, {u'^', u'i', u'î'}, {u'^', u'o', u'ô'}, {u'^', u'u', u'û'},
    {u'^', u'A', u'Â'}, {u'^', u'E', u'Ê'}, {u'^', u'I', u'Î'}, {u'^', u'O', u'Ô'}, {u'^', u'U', u'Û'},
    {u'´', u'a', u'á'}, {u'´', u'e', u'é'}, {u'´', u'i', u'í'}, {u'´', u'o', u'ó'}, {u'´', u'u', u'ú'},
    {u'´', u'y', u'ý'}, {u'´', u'A', u'Á'}, {u'´', u'E', u'É'}, {u'´', u'I', u'Í'}, {u'´', u'O', u'Ó'},
    {u'´', u'U', u'Ú'}, {u'´', u'Y', u'Ý'}, {u'`', u'a', u'à'}, {u'`', u'e', u'è'}, {u'`', u'i', u'ì'},
    {u'`', u'o', u'ò'}, {u'`', u'u', u'ù'}, {u'`', u'A', u'À'}, {u'`', u'E', u'È'}, {u'`', u'I', u'Ì'},
    {u'`', u'O', u'Ò'}, {u'`', u'U', u'Ù'},
};

bool Down(const uint8_t* state, uint16_t vk) { return (state[vk] & 0x80) != 0; }

// The character of the key under the modifiers, and whether it is dead.
char16_t CharOf(uint16_t vk, const uint8_t state[256], bool& dead) {
  dead = false;
  const bool ctrl = Down(state, 0x11);
  const bool alt = Down(state, 0x12);
  const bool altGr = ctrl && alt;
  bool shift = Down(state, 0x10);
  if (vk >= 'A' && vk <= 'Z') {
    if (altGr) return vk == 'Q' ? u'@' : vk == 'E' ? u'€' : vk == 'M' ? u'µ' : 0;
    if (ctrl || alt) return ctrl ? static_cast<char16_t>(vk - 'A' + 1) : 0;
    if ((state[0x14] & 0x01) != 0) shift = !shift;
    return static_cast<char16_t>(shift ? vk : vk + 32);
  }
  if (vk >= 0x60 && vk <= 0x69) return (ctrl || alt) ? 0 : static_cast<char16_t>(u'0' + vk - 0x60);
  for (const Key& k : kKeys) {
    if (k.vk != vk) continue;
    if (altGr) return k.altGr;
    if (ctrl || alt) return 0;
    dead = shift ? k.deadShifted : k.deadPlain;
    return shift ? k.shifted : k.plain;
  }
  return 0;
}

}  // namespace

bool GermanKeyboard::IsDeadKey(uint16_t vk, const uint8_t state[256]) {
  bool dead = false;
  CharOf(vk, state, dead);
  return dead;
}

int GermanKeyboard::Translate(uint16_t vk, const uint8_t state[256], char16_t& dead, char16_t out[2]) {
  bool isDead = false;
  const char16_t ch = vk <= 0xFF ? CharOf(vk, state, isDead) : 0;
  if (ch == 0) return 0;
  const char16_t pending = dead;
  if (isDead) {
    if (pending == 0) {
      dead = ch;
      out[0] = ch;
      return -1;
    }
    // Two dead keys: both as they are.
    dead = 0;
    out[0] = pending;
    out[1] = ch;
    return 2;
  }
  if (pending == 0) {
    out[0] = ch;
    return 1;
  }
  dead = 0;
  if (ch == u' ') {
    out[0] = pending;
    return 1;
  }
  for (const Composition& c : kCompositions) {
    if (c.dead == pending && c.base == ch) {
      out[0] = c.result;
      return 1;
    }
  }
  out[0] = pending;
  out[1] = ch;
  return 2;
}

}  // namespace tavirel
