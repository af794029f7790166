// The service's own state: key state and toggles, hook verdicts, settings,
// the clipboard restore at shutdown.
#include <gtest/gtest.h>

#include "common/Utf8.h"
#include "service/CInputMethodService.h"
#include "service/CTypingContext.h"
#include "service/HookLogic.h"
#include "sim/SimDesktop.h"

namespace tavirel {
namespace {

TEST(ServiceKeyComboTest, StoredFormRoundTrips) {
  EXPECT_EQ(KeyCombo(6, 0).ToInt(), 393216);
  EXPECT_EQ(KeyCombo::FromInt(196608), KeyCombo(3, 0));
  EXPECT_EQ(KeyCombo::FromInt(9), KeyCombo(0, 9));
  // Bits 16..31 are a signed 16-bit modifier word.
  EXPECT_EQ(KeyCombo::FromInt(static_cast<int32_t>(0xFFFF0041u)), KeyCombo(-1, 0x41));
}

TEST(ServiceStateTest, DefaultsAndTheProcessWidePointer) {
  SimDesktop desk;
  {
    CInputMethodService service(&desk);
    EXPECT_EQ(CInputMethodService::Instance(), &service);
    EXPECT_TRUE(service.IsVietnamese());
    EXPECT_EQ(service.TypingMethod(), u"Telex 2");
    EXPECT_EQ(service.CodeTable(), u"Unicode");
    EXPECT_EQ(service.PhimChuyen().ToInt(), 393216);
    EXPECT_EQ(service.PhimClear().ToInt(), 131072);
    EXPECT_EQ(service.PhimKhoiPhuc().ToInt(), 196608);
    EXPECT_EQ(service.PhimGoiY().ToInt(), 9);
    EXPECT_TRUE(service.RestoreClipboard);
    EXPECT_FALSE(service.Clipboard);
    EXPECT_EQ(service.BuiltInHotKeys().size(), 6u);
  }
  EXPECT_EQ(CInputMethodService::Instance(), nullptr);
}

TEST(ServiceStateTest, CapsLockTracksTheToggleAtKeyUp) {
  SimDesktop desk;
  CInputMethodService service(&desk);
  desk.InstallHooks(&service);
  EXPECT_FALSE(service.IsCapsLockOn());
  desk.KeyDown(vk::kCapital);
  EXPECT_FALSE(service.IsCapsLockOn());
  desk.KeyUp(vk::kCapital);
  EXPECT_TRUE(service.IsCapsLockOn());
  desk.TypeText(u"vieetj");
  EXPECT_EQ(Utf16ToUtf8(desk.Text()), "VIỆT");
  // A resync reads the toggle from the system: on, not pressed.
  service.SyncKeyboardState();
  EXPECT_TRUE(service.IsCapsLockOn());
}

TEST(ServiceStateTest, SetVietnameseRaisesOnlyOnChangeAndForgetsModifiers) {
  SimDesktop desk;
  CInputMethodService service(&desk);
  desk.InstallHooks(&service);
  int changes = 0;
  service.ModeChanged.AddFn([&](CInputMethodService*) { ++changes; });
  service.SetVietnamese(true);
  EXPECT_EQ(changes, 0);
  desk.KeyDown(vk::kLControl);
  EXPECT_EQ(service.Modifiers(), modbits::kCtrl);
  service.SetVietnamese(false);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(service.Modifiers(), 0);
  desk.KeyUp(vk::kLControl);  // no clear hotkey, no switch back
  EXPECT_FALSE(service.IsVietnamese());
}

TEST(ServiceStateTest, HookVerdicts) {
  SimDesktop desk;
  CInputMethodService service(&desk);
  desk.InstallHooks(&service);
  EXPECT_EQ(CHookLogic::OnKeyEvent(service, 'A', true), HookVerdict::Pass);
  EXPECT_EQ(CHookLogic::OnKeyEvent(service, 'A', false), HookVerdict::Pass);
  EXPECT_EQ(CHookLogic::OnKeyEvent(service, 'A', true), HookVerdict::Swallow);  // "aa" -> "â"
  EXPECT_EQ(CHookLogic::OnKeyEvent(service, 'A', false), HookVerdict::Pass);    // ups never swallowed
  // Master switch off: everything passes, nothing is composed.
  service.MasterSwitch = false;
  EXPECT_EQ(CHookLogic::OnKeyEvent(service, 'A', true), HookVerdict::Pass);
}

TEST(ServiceStateTest, DebugTextIsRaisedOnlyWithListeners) {
  SimDesktop desk;
  CInputMethodService service(&desk);
  desk.InstallHooks(&service);
  int raised = 0;
  service.DebugText.AddFn([&](const std::u16string&) { ++raised; });
  desk.Press('A');
  EXPECT_EQ(raised, 1);
}

TEST(ServiceStateTest, ShutdownPutsBackAPendingClipboard) {
  SimDesktop desk;
  desk.SetFocus(desk.AddWindow(u"gdkWindowToplevel"));
  desk.SetClipboardText(u"user text");
  {
    CInputMethodService service(&desk);
    desk.InstallHooks(&service);
    desk.TypeText(u"ddaa");
    EXPECT_TRUE(service.RestorePending());
    EXPECT_NE(desk.ClipboardText(), u"user text");
    desk.RemoveHooks();
  }
  EXPECT_EQ(desk.ClipboardText(), u"user text");
  EXPECT_FALSE(desk.TimerRunning());
}

TEST(ServiceStateTest, PasteFallsBackToKeyPacketsWhenTheClipboardIsBusy) {
  SimDesktop desk;
  CInputMethodService service(&desk);
  desk.InstallHooks(&service);
  service.RestoreClipboard = false;
  desk.ClipboardLocked = true;
  service.Paste(u"xin");
  // Held by another program: tried again within a bounded wait.
  desk.Advance(1990);
  EXPECT_EQ(desk.Text(), u"");
  desk.Advance(10);
  EXPECT_EQ(desk.Text(), u"xin");
  EXPECT_EQ(desk.UnicodeInjections, 1);
  EXPECT_FALSE(desk.PasteTimerRunning());
}

// The restore of an earlier paste that comes while a paste waits for a
// clipboard another program holds, and finds the user's own copy there,
// leaves that wait running: the text and the keys held behind it go in once
// the clipboard is free, instead of waiting for ever.
TEST(ServiceStateTest, RestoreDuringAWaitForTheClipboardLeavesTheWaitRunning) {
  SimDesktop desk;
  CInputMethodService service(&desk);
  desk.InstallHooks(&service);
  service.Clipboard = true;
  desk.SetClipboardText(u"user text");
  desk.TypeText(u"vieet");
  ASSERT_EQ(desk.Text(), u"viêt");
  ASSERT_TRUE(service.RestorePending());
  desk.SetClipboardText(u"copied");
  desk.ClipboardLocked = true;
  desk.TypeText(u"j");
  desk.Advance(1000);
  desk.ClipboardLocked = false;
  desk.Advance(100);
  desk.TypeText(u" ok");
  desk.Advance(3000);
  EXPECT_EQ(desk.Text(), u"việt ok");
  EXPECT_FALSE(service.Deferring());
  EXPECT_EQ(desk.ClipboardText(), u"copied");
}

}  // namespace
}  // namespace tavirel
