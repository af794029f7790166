// The layout tables are built at compile time in UsKeyboard.h; a few checks
// that they came out as the layout prints them.
#include "sim/UsKeyboard.h"

namespace tavirel {

namespace {

using uskeyboard_detail::kKeyTable;
using uskeyboard_detail::kStrokeTable;

static_assert(kKeyTable['A'].Plain == u'a' && kKeyTable['A'].Shifted == u'A' && kKeyTable['A'].Letter);
static_assert(kKeyTable['2'].Shifted == u'@' && kKeyTable[0xDE].Shifted == u'"');
static_assert(kKeyTable[0x70].Plain == 0);  // F1 types nothing
static_assert(kStrokeTable[u'%'].Vk == '5' && kStrokeTable[u'%'].Shift);
static_assert(kStrokeTable[u'\n'].Vk == 0x0D && kStrokeTable[u'\r'].Vk == 0x0D);

}  // namespace

namespace uskeyboard_detail {

int TranslateModified(uint32_t key, uint16_t vk, const uint8_t state[256], char16_t out[2]) {
  const uint32_t generic = GenericModifiers(state);
  const uint64_t sided = SidedModifiers(state);
  const bool letter = (key >> 31) != 0;
  const bool ctrl = (generic & 0x8000) != 0 || (sided & 0x80800000) != 0;
  if (ctrl) {
    const bool alt = (generic & 0x800000) != 0 || (sided & 0x808000000000) != 0;
    if (alt || !letter) return 0;
    out[0] = static_cast<char16_t>(vk - 'A' + 1);
    return 1;
  }
  // Shift or Alt, or both, or Caps Lock alone: Alt alone types as without it.
  bool shift = (generic & 0x80) != 0 || (sided & 0x8080) != 0;
  if (letter && (state[0x14] & 0x01) != 0) shift = !shift;
  out[0] = static_cast<char16_t>(shift ? (key >> 16) & 0x7FFF : key & 0xFFFF);
  return 1;
}

}  // namespace uskeyboard_detail

}  // namespace tavirel
