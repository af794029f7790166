// SimDesktop on its own: the US layout, the field, the clipboard, the clock.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "service/CInputMethodService.h"
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

TEST(SimDesktopTest, EditingKeysActUnderAnyModifierAndAtAnyCaret) {
  SimDesktop desk;
  desk.SetText(u"abcd");
  desk.Press(vk::kBack);  // at the end
  EXPECT_EQ(desk.Text(), u"abc");
  desk.KeyDown(vk::kLControl);
  desk.Press(vk::kBack);  // Ctrl does not change what Backspace does here
  desk.KeyUp(vk::kLControl);
  EXPECT_EQ(desk.Text(), u"ab");
  desk.Press(vk::kHome);
  desk.Press(vk::kBack);  // at the start: nothing to delete
  EXPECT_EQ(desk.Text(), u"ab");
  EXPECT_EQ(desk.Caret(), 0u);
  desk.Press(vk::kRight);
  desk.Press(vk::kBack);  // inside the text
  EXPECT_EQ(desk.Text(), u"b");
  EXPECT_EQ(desk.Caret(), 0u);
  desk.TypeText(u"xy");  // inserted before the caret, not appended
  EXPECT_EQ(desk.Text(), u"xyb");
  desk.KeyDown(vk::kLMenu);
  desk.Press(vk::kEnd);
  desk.KeyUp(vk::kLMenu);
  EXPECT_EQ(desk.Caret(), 3u);
  for (int i = 0; i < 5; ++i) desk.Press(vk::kBack);  // past the start
  EXPECT_EQ(desk.Text(), u"");
  EXPECT_EQ(desk.Caret(), 0u);
  // A long run grows the field's storage many times.
  std::u16string expected;
  for (int i = 0; i < 500; ++i) {
    desk.TypeChar(u'a' + i % 26);
    expected.push_back(static_cast<char16_t>(u'a' + i % 26));
  }
  EXPECT_EQ(desk.Text(), expected);
  EXPECT_EQ(desk.Caret(), 500u);
}

TEST(SimDesktopTest, ReplacementIsDeletesThenBackspacesThenPacketsInOneGo) {
  using AppKey = SimDesktop::AppKeyEvent;
  constexpr uint16_t kPacket = SimDesktop::kVkPacket;
  const std::vector<AppKey> expected = {
      {vk::kDelete, false, 0}, {vk::kDelete, true, 0}, {vk::kBack, false, 0},   {vk::kBack, true, 0},
      {vk::kBack, false, 0},   {vk::kBack, true, 0},   {kPacket, false, u'ệ'}, {kPacket, true, u'ệ'},
      {kPacket, false, u't'},  {kPacket, true, u't'}};
  // The sim's own injection and IDesktop's default (one call per record)
  // must look the same to the application.
  for (const bool batched : {true, false}) {
    SCOPED_TRACE(batched ? "batched" : "single calls");
    SimDesktop desk;
    desk.SetText(u"abcXYZ");
    desk.Click(3);
    const auto send = [&](int deletes, int backspaces, std::u16string_view text) {
      if (batched) {
        desk.SendReplacement(deletes, backspaces, text);
      } else {
        desk.IDesktop::SendReplacement(deletes, backspaces, text);
      }
    };
    send(1, 2, u"ệt");
    EXPECT_EQ(desk.Text(), u"aệtYZ");
    EXPECT_EQ(desk.Caret(), 3u);
    EXPECT_EQ(desk.AppKeys, expected);
    EXPECT_EQ(desk.UnicodeInjections, 1);
    // Nothing to do, or counts below zero: no event at all.
    desk.AppKeys.clear();
    send(0, 0, u"");
    send(-1, -3, u"");
    EXPECT_TRUE(desk.AppKeys.empty());
    EXPECT_EQ(desk.UnicodeInjections, 1);
    EXPECT_EQ(desk.Text(), u"aệtYZ");
    // More Backspaces than the text before the caret holds.
    send(0, 9, u"");
    EXPECT_EQ(desk.Text(), u"YZ");
    EXPECT_EQ(desk.Caret(), 0u);
  }
}

// Long runs switch off the record of application keys, and the desktop then
// applies typed keys, Backspaces and packets straight to the field. Random
// Telex streams with Backspaces, caret moves, capitals, held modifiers, Caps
// Lock and characters no key gives, typed into two services on two desktops,
// one recording, in every kind of window and with a lagging application:
// the fields, carets and key states never differ.
TEST(SimDesktopTest, FieldIsTheSameWithOrWithoutTheKeyRecord) {
  enum Kind { kUnicode, kAnsi1258, kAnsi1252, kConsole, kCompleting, kLagging, kGerman, kKinds };
  std::mt19937 rng(17);
  const std::u16string keys = u"aaeeoowwdsfrxjz uqnghtic\bD[]1,.\n";
  const uint16_t modifiers[] = {vk::kLShift, vk::kRShift, vk::kShift, vk::kLControl, vk::kRMenu, vk::kCapital};
  for (int round = 0; round < 70; ++round) {
    const int kind = round % kKinds;
    SCOPED_TRACE(testing::Message() << "round " << round << " kind " << kind);
    SimDesktop recorded;
    SimDesktop plain;
    plain.RecordAppKeys = false;
    CInputMethodService a(&recorded);
    CInputMethodService b(&plain);
    for (SimDesktop* d : {&recorded, &plain}) {
      if (kind == kAnsi1258 || kind == kAnsi1252) {
        d->SetFocus(d->AddWindow(u"Edit", false));
        d->SetCodePage(d->Focused(), kind == kAnsi1258 ? 1258 : 1252);
      } else if (kind == kConsole) {
        d->SetFocus(d->AddWindow(u"ConsoleWindowClass"));
        d->SetConsole(d->Focused());
      } else if (kind == kCompleting) {
        d->SetCompletions(d->Focused(), {u"vi\u1EC7t nam", u"ti\u1EBFng"});
      }
      d->AppLags = kind == kLagging;
      d->UseGermanLayout(kind == kGerman);
    }
    recorded.InstallHooks(&a);
    plain.InstallHooks(&b);
    for (int step = 0; step < 300; ++step) {
      const unsigned r = rng() % 100;
      const uint16_t modifier = modifiers[rng() % std::size(modifiers)];
      for (SimDesktop* d : {&recorded, &plain}) {
        if (r < 80) {
          d->TypeChar(keys[r % keys.size()]);
        } else if (r < 84) {
          d->Press(vk::kLeft);
        } else if (r < 86) {
          d->Press(vk::kHome);
        } else if (r < 89) {
          d->Click(static_cast<int>(r));
        } else if (r < 92) {
          d->TypeChar(u'ệ');
        } else if (r < 93) {
          d->Press(vk::kDelete);
        } else if (r < 96) {
          d->KeyDown(modifier);  // held over the next keys
        } else if (r < 99) {
          d->KeyUp(modifier);
        } else {
          d->Press(modifier);
        }
        if (kind == kLagging && r % 7 == 0) d->AppCatchUp(r % 3);
      }
      ASSERT_EQ(plain.Text(), recorded.Text()) << "step " << step;
      ASSERT_EQ(plain.Caret(), recorded.Caret());
      ASSERT_TRUE(std::equal(plain.SystemKeyState(), plain.SystemKeyState() + 256, recorded.SystemKeyState()));
    }
    for (SimDesktop* d : {&recorded, &plain}) d->AppCatchUp();
    EXPECT_EQ(plain.Text(), recorded.Text());
    EXPECT_TRUE(plain.AppKeys.empty());
  }
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
