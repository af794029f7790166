#include "sim/UsKeyboard.h"

namespace tavirel {

namespace {

struct OemKey {
  uint16_t vk;
  char16_t plain;
  char16_t shifted;
};

constexpr OemKey kOemKeys[] = {
    {0xBA, u';', u':'}, {0xBB, u'=', u'+'}, {0xBC, u',', u'<'}, {0xBD, u'-', u'_'},
    {0xBE, u'.', u'>'}, {0xBF, u'/', u'?'}, {0xC0, u'`', u'~'}, {0xDB, u'[', u'{'},
    {0xDC, u'\\', u'|'}, {0xDD, u']', u'}'}, {0xDE, u'\'', u'"'},
};

constexpr char16_t kShiftedDigits[] = u")!@#$%^&*(";

bool Down(const uint8_t state[256], uint16_t vk) { return (state[vk] & 0x80) != 0; }

}  // namespace

int UsKeyboard::Translate(uint16_t vk, const uint8_t state[256], char16_t out[2]) {
  const bool shift = Down(state, 0x10) || Down(state, 0xA0) || Down(state, 0xA1);
  const bool ctrl = Down(state, 0x11) || Down(state, 0xA2) || Down(state, 0xA3);
  const bool alt = Down(state, 0x12) || Down(state, 0xA4) || Down(state, 0xA5);
  const bool caps = (state[0x14] & 0x01) != 0;
  char16_t c = 0;
  if (ctrl && alt) return 0;
  if (vk >= 'A' && vk <= 'Z') {
    if (ctrl) {
      c = static_cast<char16_t>(vk - 'A' + 1);
    } else {
      c = static_cast<char16_t>((shift != caps) ? vk : vk + 32);
    }
  } else if (ctrl) {
    return 0;
  } else if (vk >= '0' && vk <= '9') {
    c = shift ? kShiftedDigits[vk - '0'] : static_cast<char16_t>(vk);
  } else if (vk >= 0x60 && vk <= 0x69) {
    c = static_cast<char16_t>(u'0' + (vk - 0x60));
  } else {
    switch (vk) {
      case 0x08: c = 0x08; break;
      case 0x09: c = 0x09; break;
      case 0x0D: c = 0x0D; break;
      case 0x1B: c = 0x1B; break;
      case 0x20: c = u' '; break;
      case 0x6A: c = u'*'; break;
      case 0x6B: c = u'+'; break;
      case 0x6D: c = u'-'; break;
      case 0x6E: c = u'.'; break;
      case 0x6F: c = u'/'; break;
      default:
        for (const OemKey& k : kOemKeys) {
          if (k.vk == vk) c = shift ? k.shifted : k.plain;
        }
    }
  }
  if (c == 0) return 0;
  out[0] = c;
  return 1;
}

UsKeyStroke UsKeyboard::StrokeFor(char16_t ch) {
  if (ch >= u'a' && ch <= u'z') return {static_cast<uint16_t>(ch - 32), false};
  if (ch >= u'A' && ch <= u'Z') return {static_cast<uint16_t>(ch), true};
  if (ch >= u'0' && ch <= u'9') return {static_cast<uint16_t>(ch), false};
  for (int d = 0; d < 10; ++d) {
    if (kShiftedDigits[d] == ch) return {static_cast<uint16_t>('0' + d), true};
  }
  switch (ch) {
    case u' ': return {0x20, false};
    case u'\n': return {0x0D, false};
    case u'\r': return {0x0D, false};
    case u'\b': return {0x08, false};
    case u'\t': return {0x09, false};
    case 0x1B: return {0x1B, false};
    default: break;
  }
  for (const OemKey& k : kOemKeys) {
    if (k.plain == ch) return {k.vk, false};
    if (k.shifted == ch) return {k.vk, true};
  }
  return {};
}

}  // namespace tavirel
