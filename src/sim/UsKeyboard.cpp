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

}  // namespace tavirel
