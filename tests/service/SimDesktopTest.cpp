// SimDesktop on its own: the US layout, the field, the clipboard, the clock.
#include <gtest/gtest.h>

#include "sim/SimDesktop.h"
#include "sim/UsKeyboard.h"

namespace tavirel {
namespace {

TEST(SimKeyboardTest, UsLayoutWithShiftCapsAndCtrl) {
  uint8_t state[256] = {};
  char16_t out[2] = {};
  auto t = [&](uint16_t vk) { return UsKeyboard::Translate(vk, state, out) == 1 ? out[0] : char16_t{0}; };
  EXPECT_EQ(t('A'), u'a');
  EXPECT_EQ(t('1'), u'1');
  EXPECT_EQ(t(0xDB), u'[');
  EXPECT_EQ(t(0x63), u'3');  // keypad
  EXPECT_EQ(t(0x25), 0);     // Left gives no character
  state[0xA0] = 0x80;        // left Shift
  EXPECT_EQ(t('A'), u'A');
  EXPECT_EQ(t('1'), u'!');
  EXPECT_EQ(t(0xDE), u'"');
  state[0x14] = 0x01;  // Caps Lock with Shift: lower case letters
  EXPECT_EQ(t('A'), u'a');
  EXPECT_EQ(t('2'), u'@');
  state[0xA0] = 0;
  state[0x11] = 0x80;  // Ctrl
  EXPECT_EQ(t('C'), 0x03);
  EXPECT_EQ(t('1'), 0);
  // Every printable ASCII character has a key that gives it back.
  for (char16_t c = 0x20; c < 0x7F; ++c) {
    const UsKeyStroke s = UsKeyboard::StrokeFor(c);
    ASSERT_NE(s.Vk, 0) << static_cast<int>(c);
    uint8_t st[256] = {};
    if (s.Shift) st[0x10] = 0x80;
    ASSERT_EQ(UsKeyboard::Translate(s.Vk, st, out), 1);
    EXPECT_EQ(out[0], c);
  }
  EXPECT_EQ(UsKeyboard::StrokeFor(u'ê').Vk, 0);
}

TEST(SimDesktopTest, FieldEditingWithoutAService) {
  SimDesktop desk;
  desk.TypeText(u"Ab\tc\n");
  EXPECT_EQ(desk.Text(), u"Ab\tc\n");
  desk.Press(0x25);  // Left
  desk.Press(0x25);
  desk.Press(0x08);  // Backspace deletes the tab
  desk.Press(0x2E);  // Delete deletes the c
  EXPECT_EQ(desk.Text(), u"Ab\n");
  EXPECT_EQ(desk.Caret(), 2u);
  desk.TypeChar(u'ễ');  // no key for it: a Unicode packet
  EXPECT_EQ(desk.Text(), u"Abễ\n");
  desk.SetClipboardText(u"xy");
  desk.KeyDown(0xA2);
  desk.Press('V');
  desk.KeyUp(0xA2);
  EXPECT_EQ(desk.Text(), u"Abễxy\n");
  desk.SetFocus(0);
  desk.TypeText(u"lost");  // no focus window: nowhere to go
  EXPECT_EQ(desk.Text(), u"");
}

TEST(SimDesktopTest, ClipboardIsExclusiveAndFormatsKeepTheirOrder) {
  SimDesktop desk;
  ASSERT_TRUE(desk.OpenClipboard());
  EXPECT_FALSE(desk.OpenClipboard());
  desk.EmptyClipboard();
  const uint32_t html = desk.RegisterClipboardFormat(u"HTML Format");
  EXPECT_EQ(desk.RegisterClipboardFormat(u"HTML Format"), html);
  desk.SetClipboardBytes(html, {1});
  desk.SetClipboardUnicodeText(u"t");
  EXPECT_EQ(desk.EnumClipboardFormats(0), html);
  EXPECT_EQ(desk.EnumClipboardFormats(html), clipfmt::kUnicodeText);
  EXPECT_EQ(desk.EnumClipboardFormats(clipfmt::kUnicodeText), 0u);
  EXPECT_EQ(desk.ClipboardFormatName(html), u"HTML Format");
  desk.CloseClipboard();
  EXPECT_EQ(desk.EnumClipboardFormats(0), 0u);  // closed
  EXPECT_EQ(desk.ClipboardText(), u"t");
}

TEST(SimDesktopTest, RestoreTimerIsOneShotAndRestartable) {
  SimDesktop desk;
  desk.StartRestoreTimer(1000);
  desk.Advance(600);
  desk.StartRestoreTimer(1000);  // pushed back
  desk.Advance(999);
  EXPECT_TRUE(desk.TimerRunning());
  desk.Advance(1);
  EXPECT_FALSE(desk.TimerRunning());
  EXPECT_EQ(desk.Now(), 1600u);
}

}  // namespace
}  // namespace tavirel
