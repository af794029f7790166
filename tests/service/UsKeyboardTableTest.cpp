// The US layout tables against each other and against what reaches the field.
#include <gtest/gtest.h>

#include <string>

#include "service/CInputMethodService.h"
#include "sim/SimDesktop.h"
#include "sim/UsKeyboard.h"

namespace tavirel {
namespace {

// Every printable ASCII character has a key, and that key (with Shift when
// asked, with or without Caps Lock for non-letters) gives the character back.
TEST(UsKeyboardTableTest, EveryPrintableCharacterRoundTrips) {
  for (char16_t ch = 0x20; ch < 0x7F; ++ch) {
    const UsKeyStroke stroke = UsKeyboard::StrokeFor(ch);
    ASSERT_NE(stroke.Vk, 0) << static_cast<int>(ch);
    uint8_t state[256] = {};
    if (stroke.Shift) state[0xA1] = 0x80;  // right Shift alone is enough
    char16_t out[2] = {};
    ASSERT_EQ(UsKeyboard::Translate(stroke.Vk, state, out), 1) << static_cast<int>(ch);
    EXPECT_EQ(out[0], ch);
    state[0x14] = 0x01;  // Caps Lock flips letters only
    ASSERT_EQ(UsKeyboard::Translate(stroke.Vk, state, out), 1);
    const bool letter = (ch >= u'a' && ch <= u'z') || (ch >= u'A' && ch <= u'Z');
    EXPECT_EQ(out[0], letter ? static_cast<char16_t>(ch ^ 0x20) : ch) << static_cast<int>(ch);
  }
}

TEST(UsKeyboardTableTest, CtrlAltAndOutOfRangeKeys) {
  uint8_t state[256] = {};
  char16_t out[2] = {};
  state[0xA3] = 0x80;  // right Ctrl
  ASSERT_EQ(UsKeyboard::Translate('Z', state, out), 1);
  EXPECT_EQ(out[0], 26);
  EXPECT_EQ(UsKeyboard::Translate('5', state, out), 0);
  state[0xA5] = 0x80;  // with right Alt: nothing at all
  EXPECT_EQ(UsKeyboard::Translate('Z', state, out), 0);
  state[0xA3] = 0;  // Alt alone still types
  ASSERT_EQ(UsKeyboard::Translate('Z', state, out), 1);
  EXPECT_EQ(out[0], u'z');
  for (const uint16_t vk : {uint16_t{0}, uint16_t{0xFF}, uint16_t{0x100}, uint16_t{0xFFFF}}) {
    EXPECT_EQ(UsKeyboard::Translate(vk, state, out), 0) << vk;
  }
  EXPECT_EQ(UsKeyboard::StrokeFor(u'\u00E9').Vk, 0);
  EXPECT_EQ(UsKeyboard::StrokeFor(u'\r').Vk, 0x0D);
}

// Key codes past the 256-entry key state reach the hook and the field
// without touching either state table.
TEST(UsKeyboardTableTest, WideKeyCodesAreHarmless) {
  SimDesktop desk;
  CInputMethodService service(&desk);
  desk.InstallHooks(&service);
  desk.TypeText(u"ab");
  for (const uint16_t vk : {uint16_t{0x100}, uint16_t{0x1A0}, uint16_t{0xFFFF}}) desk.Press(vk);
  desk.TypeText(u"c ");
  EXPECT_EQ(desk.Text(), u"abc ");
  for (int i = 0; i < 256; ++i) {
    EXPECT_EQ(desk.SystemKeyState()[i] & 0x80, 0) << i;
  }
}

}  // namespace
}  // namespace tavirel
