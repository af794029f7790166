// The service against a desktop that does not always cooperate: focus that
// moves by itself, a clipboard other programs change, injection the system
// refuses, work that must stay out of the hook callback, and modifiers used
// with the mouse or as AltGr.
#include <random>
#include <vector>

#include "pipeline/PipelineFixture.h"

namespace tavirel {
namespace {

std::vector<uint8_t> Bytes(std::initializer_list<uint8_t> b) { return b; }

class PipelineDesktopTest : public PipelineTest {
 protected:
  void FocusNew(std::u16string className) {
    desk.SetFocus(desk.AddWindow(std::move(className)));
    desk.Click();
  }
};

TEST_F(PipelineDesktopTest, AFocusChangeWithoutAClickEndsTheWord) {
  ASSERT_TRUE(service.MouseHookInstalled);
  const WindowHandle first = desk.Focused();
  Type(u"vieet");
  // A dialog takes the focus by itself; its field already holds text.
  const WindowHandle dialog = desk.AddWindow(u"Edit");
  desk.SetFocus(dialog);
  desk.SetText(u"Hello");
  Type(u"j");
  EXPECT_EQ(Utf16ToUtf8(desk.TextOf(dialog)), "Helloj");
  EXPECT_EQ(Utf16ToUtf8(desk.TextOf(first)), "viêt");
  // Back in the first window the old word is gone too.
  desk.SetFocus(first);
  Type(u"s");
  EXPECT_EQ(Field(), "viêts");
}

TEST_F(PipelineDesktopTest, TheRestoreKeepsWhatTheUserCopiedMeanwhile) {
  FocusNew(u"gdkWindowToplevel");
  desk.SetClipboardText(u"user text");
  Type(u"vieetj");
  desk.Advance(300);
  desk.SetClipboardText(u"copied meanwhile");
  desk.Advance(1000);
  EXPECT_FALSE(desk.TimerRunning());
  EXPECT_EQ(desk.ClipboardText(), u"copied meanwhile");

  // A copy in the middle of a burst of pastes is what comes back after it.
  desk.SetClipboardText(u"first copy");
  Type(u" ddepj");
  desk.Advance(300);
  desk.SetClipboardText(u"second copy");
  Type(u" quas");
  EXPECT_EQ(desk.ClipboardText(), u"á");
  desk.Advance(1000);
  EXPECT_EQ(desk.ClipboardText(), u"second copy");
  EXPECT_EQ(Field(), "việt đẹp quá");
}

TEST_F(PipelineDesktopTest, ThePasteOfTheRestoreHotkeyIsPutBackToo) {
  FocusNew(u"gdkWindowToplevel");
  desk.SetClipboardText(u"user text");
  Type(u"vieetj");
  desk.Advance(1000);
  ASSERT_EQ(desk.ClipboardText(), u"user text");
  Chord({vk::kLControl, vk::kLMenu}, 0);  // fires on the release
  EXPECT_EQ(Field(), "vieetj");
  EXPECT_TRUE(desk.TimerRunning());
  desk.Advance(1000);
  EXPECT_EQ(desk.ClipboardText(), u"user text");
}

TEST_F(PipelineDesktopTest, PastedTextIsMarkedAndFormatsThatCannotComeBackAreLeftAlone) {
  FocusNew(u"gdkWindowToplevel");
  desk.SetClipboardText(u"user text");
  Type(u"ddaay");
  ASSERT_EQ(desk.ClipboardText(), u"â");
  for (const char16_t* name : {u"ExcludeClipboardContentFromMonitorProcessing",
                               u"CanIncludeInClipboardHistory", u"CanUploadToCloudClipboard"}) {
    const uint32_t format = desk.RegisterClipboardFormat(name);
    EXPECT_EQ(desk.ClipboardFormatBytes(format), Bytes({0, 0, 0, 0})) << Utf16ToUtf8(name);
  }
  desk.Advance(1000);
  EXPECT_EQ(desk.ClipboardFormats(), std::vector<uint32_t>{clipfmt::kUnicodeText});

  // A picture kept only as a handle this desktop cannot copy: the text is
  // typed and the clipboard is never emptied.
  desk.PutClipboardFormat(clipfmt::kEnhMetafile, Bytes({1, 2, 3}));
  const int opens = desk.ClipboardOpens;
  desk.UnicodeInjections = 0;
  Type(u" vieetj");
  EXPECT_EQ(Field(), "đây việt");
  EXPECT_GT(desk.UnicodeInjections, 0);
  EXPECT_GT(desk.ClipboardOpens, opens);  // looked, then left it
  EXPECT_EQ(desk.ClipboardText(), u"user text");
  EXPECT_EQ(desk.ClipboardFormatBytes(clipfmt::kEnhMetafile), Bytes({1, 2, 3}));
  EXPECT_FALSE(desk.TimerRunning());

  // A bitmap beside its device-independent copy comes back from that copy.
  desk.SetClipboardText(u"user text");
  desk.PutClipboardFormat(clipfmt::kBitmap, Bytes({4}));
  desk.PutClipboardFormat(8 /* DIB */, Bytes({5, 6}));
  desk.UnicodeInjections = 0;
  Type(u" ddaa");
  EXPECT_EQ(desk.UnicodeInjections, 0);
  desk.Advance(1000);
  EXPECT_EQ(desk.ClipboardFormatBytes(8), Bytes({5, 6}));
}

TEST_F(PipelineDesktopTest, TheClipboardIsNeverTouchedInsideTheHookCallback) {
  FocusNew(u"gdkWindowToplevel");
  desk.SetClipboardText(u"user text");
  Type(u"Vieejt Nam ddepj ");
  Chord({vk::kLControl, vk::kLMenu}, 0);
  EXPECT_GT(desk.ClipboardOpens, 0);
  EXPECT_EQ(desk.ClipboardOpensInHook, 0);
  desk.Advance(1000);
  EXPECT_EQ(desk.ClipboardOpensInHook, 0);

  // Until the deferred paste has run, the keys typed after it wait, and
  // arrive after it in order.
  Clear();
  desk.HoldDeferredWork = true;
  Type(u"quas tuyeetj");
  EXPECT_TRUE(desk.DeferredWorkPosted());
  EXPECT_EQ(Field(), "qua");
  desk.HoldDeferredWork = false;
  desk.RunDeferredWork();
  EXPECT_EQ(Field(), "quá tuyệt");
  EXPECT_EQ(desk.ClipboardOpensInHook, 0);
}

TEST_F(PipelineDesktopTest, KeysTypedWhileTheClipboardOwnerRendersWaitTheirTurn) {
  FocusNew(u"gdkWindowToplevel");
  desk.SetClipboardText(u"user text");
  // The save of the first paste waits for the owner; the user goes on.
  desk.WhileRendering = [this] { desk.TypeText(u"tj Nam"); };
  Type(u"viee");
  EXPECT_EQ(Field(), "việt Nam");
  desk.Advance(1000);
  EXPECT_EQ(desk.ClipboardText(), u"user text");
}

TEST_F(PipelineDesktopTest, KeysTypedWhileTheServiceInjectsWaitTheirTurn) {
  for (const char16_t* cls : {u"Edit", u"gdkWindowToplevel"}) {
    FocusNew(cls);
    Type(u"vie");
    desk.WhileInjecting = [this] { desk.TypeText(u"tj Nam"); };
    Type(u"e");
    EXPECT_EQ(Field(), "việt Nam") << Utf16ToUtf8(cls);
    // The space ends "đâ" by giving back its keys and goes through itself,
    // before what was typed during that injection.
    Clear();
    Type(u"ddaa");
    desk.WhileInjecting = [this] { desk.TypeText(u"xy"); };
    Type(u" ");
    EXPECT_EQ(Field(), "ddaa xy") << Utf16ToUtf8(cls);
  }
}

// The same keys give the same text whether they go out as key packets or
// by pasting, however long the pastes wait for the message loop.
TEST(PipelineDesktopProperty, HeldPastesKeepEveryKeyInOrder) {
  const std::u16string words[] = {u"vieetj", u"Nam", u"ddepj", u"quas", u"tuyeetj", u"\b",
                                  u"\b\b", u"nguwowif", u"hoaf", u"xyz", u",", u"TIEENGS"};
  std::mt19937 rng(11);
  for (int round = 0; round < 40; ++round) {
    SimDesktop plain;
    CInputMethodService plainService(&plain);
    plain.InstallHooks(&plainService);
    SimDesktop pasted;
    pasted.SetFocus(pasted.AddWindow(u"gdkWindowToplevel"));
    CInputMethodService pastedService(&pasted);
    pasted.InstallHooks(&pastedService);
    pasted.SetClipboardText(u"user text");
    for (int w = 0; w < 12; ++w) {
      std::u16string keys = words[rng() % std::size(words)];
      if (rng() % 2 != 0) keys += u' ';
      plain.TypeText(keys);
      for (const char16_t c : keys) {
        pasted.HoldDeferredWork = rng() % 3 != 0;
        pasted.TypeChar(c);
      }
      if (rng() % 4 == 0) {
        pasted.HoldDeferredWork = false;
        pasted.RunDeferredWork();
      }
    }
    pasted.HoldDeferredWork = false;
    pasted.RunDeferredWork();
    ASSERT_EQ(Utf16ToUtf8(pasted.Text()), Utf16ToUtf8(plain.Text())) << "round " << round;
    EXPECT_EQ(pasted.ClipboardOpensInHook, 0);
    pasted.Advance(1000);
    EXPECT_EQ(pasted.ClipboardText(), u"user text");
  }
}

// A paste-only window whose program gets to its input late: it reads the
// clipboard when it reaches our Ctrl+V, long after the next keys were typed.
// Whatever the schedule, it receives the text typed into a plain edit, all
// of it pasted, and the user's clipboard comes back afterwards.
TEST(PipelineDesktopProperty, PastesReachAProgramThatReadsLateIntactAndInOrder) {
  const std::u16string words[] = {u"Vieejt", u"Nam", u"ddepj", u"quas", u"tuyeetj", u"\b",
                                  u"nguwowif", u"hoaf", u"xyz", u",", u"TIEENGS", u"ddaay"};
  std::mt19937 rng(29);
  for (int round = 0; round < 40; ++round) {
    SimDesktop plain;
    CInputMethodService plainService(&plain);
    plain.InstallHooks(&plainService);
    SimDesktop slow;
    slow.SetFocus(slow.AddWindow(u"gdkWindowToplevel"));
    CInputMethodService slowService(&slow);
    slow.InstallHooks(&slowService);
    slow.SetClipboardText(u"user text");
    slow.AppLags = true;
    for (int w = 0; w < 12; ++w) {
      std::u16string keys = words[rng() % std::size(words)];
      if (rng() % 2 != 0) keys += u' ';
      plain.TypeText(keys);
      for (const char16_t c : keys) {
        slow.TypeChar(c);
        if (rng() % 3 == 0) slow.AppCatchUp(rng() % 6);
      }
    }
    slow.AppCatchUp();
    ASSERT_EQ(Utf16ToUtf8(slow.Text()), Utf16ToUtf8(plain.Text())) << "round " << round;
    EXPECT_EQ(slow.UnicodeInjections, 0);  // no wait ran out
    EXPECT_EQ(slow.ClipboardOpensInHook, 0);
    slow.Advance(1000);
    EXPECT_EQ(slow.ClipboardText(), u"user text");
  }
}

TEST_F(PipelineDesktopTest, ABusyApplicationIsWaitedForLongerThanOneThatAnswers) {
  // The application's thread does not get to its messages for a while (it
  // reads our first paste 2.7 s after its Ctrl+V): the pastes after it wait
  // instead of going out as key packets, which this window ignores.
  FocusNew(u"gdkWindowToplevel");
  desk.SetClipboardText(u"user text");
  desk.AppLags = true;
  Type(u"vieetj Nam ddepj");
  desk.Advance(2700);
  EXPECT_EQ(desk.UnicodeInjections, 0);
  EXPECT_TRUE(desk.PasteTimerRunning());
  desk.AppCatchUp();
  desk.Advance(100);
  desk.AppCatchUp();
  EXPECT_EQ(Field(), "việt Nam đẹp");
  EXPECT_EQ(desk.UnicodeInjections, 0);
  desk.Advance(1000);
  EXPECT_EQ(desk.ClipboardText(), u"user text");
  // Busy for good: after the long bound the rest is typed all the same.
  Type(u" quas ddi");
  desk.Advance(CPasteWait::kBusyMs - 1);
  EXPECT_EQ(desk.UnicodeInjections, 0);
  desk.Advance(1);
  EXPECT_GT(desk.UnicodeInjections, 0);
  desk.AppCatchUp();
  desk.Advance(1000);
  EXPECT_EQ(desk.ClipboardText(), u"user text");
}

TEST_F(PipelineDesktopTest, APasteNobodyReadsHoldsTheNextOnesOnlyForAWhile) {
  FocusNew(u"gdkWindowToplevel");
  desk.SetClipboardText(u"user text");
  desk.AppLags = true;
  desk.AppAnswersWhileLagging = true;  // it gets to its messages, not to the paste
  Type(u"vieetj Nam");
  // "viê" is out and its paste unread; the next paste and " Nam" wait.
  EXPECT_TRUE(desk.PasteTimerRunning());
  desk.Advance(2299);
  EXPECT_EQ(desk.UnicodeInjections, 0);
  // It answered three questions in a row after two seconds without reading:
  // the wait is over, the rest goes as key packets and the clipboard, which
  // the program may still read, stays as it is.
  desk.Advance(1);
  EXPECT_GT(desk.UnicodeInjections, 0);
  EXPECT_NE(desk.ClipboardText(), u"user text");
  desk.AppCatchUp();
  EXPECT_EQ(Field(), "việt Nam");
  desk.Advance(1000);
  EXPECT_EQ(desk.ClipboardText(), u"user text");
  // Once it has read, pasting goes on as before.
  desk.UnicodeInjections = 0;
  Type(u" ddaa");
  desk.AppCatchUp();
  EXPECT_EQ(Field(), "việt Nam đâ");
  EXPECT_EQ(desk.UnicodeInjections, 0);
  // A paste never read: the user's clipboard comes back a second after the
  // wait, and our text, gone with it, is no longer waited for or rendered.
  Type(u"a");
  EXPECT_TRUE(service.PasteUnread());
  desk.Advance(3299);
  EXPECT_NE(desk.ClipboardText(), u"user text");
  desk.Advance(1);
  EXPECT_EQ(desk.ClipboardText(), u"user text");
  EXPECT_FALSE(service.PasteUnread());
  EXPECT_FALSE(desk.PasteTimerRunning());
  // Never read, and the user copies before the clipboard comes back: the
  // copy stays, and our text, gone with the old content, is not waited for
  // either, so the next word is pasted again instead of typed as keys.
  Type(u" ee");
  ASSERT_TRUE(service.PasteUnread());
  desk.Advance(2500);
  desk.SetClipboardText(u"copied meanwhile");
  desk.Advance(800);
  EXPECT_EQ(desk.ClipboardText(), u"copied meanwhile");
  EXPECT_FALSE(service.PasteUnread());
  desk.AppCatchUp();
  desk.AppLags = false;
  const std::string before = Field();
  desk.UnicodeInjections = 0;
  Type(u" ddi");
  EXPECT_EQ(desk.UnicodeInjections, 0);
  EXPECT_EQ(Field(), before + " đi");
}

TEST_F(PipelineDesktopTest, RefusedInjectionResetsTheWordAndIsReportedOnce) {
  int errors = 0;
  service.Error.AddFn([&](const std::exception&) { ++errors; });
  Type(u"vieet");
  desk.InjectionBlocked = true;
  Type(u"j");  // the tone cannot go out: the screen keeps "viêt"
  EXPECT_EQ(Field(), "viêt");
  Type(u"ee");
  EXPECT_EQ(Field(), "viête");
  EXPECT_EQ(errors, 1);
  desk.InjectionBlocked = false;
  // The context starts again from what is really on screen.
  Type(u"aa");
  EXPECT_EQ(Field(), "viêteâ");
  desk.InjectionBlocked = true;
  Type(u" aa");
  EXPECT_EQ(errors, 2);
}

TEST_F(PipelineDesktopTest, KeysForAWindowOfHigherIntegrityPassUntouched) {
  const WindowHandle admin = desk.AddWindow(u"Edit");
  desk.SetHigherIntegrity(admin);
  desk.SetFocus(admin);
  EXPECT_EQ(Type(u"vieetj ddaay"), "vieetj ddaay");
  // Hotkeys that inject nothing still work there.
  Chord({vk::kLControl, vk::kLShift}, 0);
  EXPECT_FALSE(service.IsVietnamese());
  Chord({vk::kLControl, vk::kLShift}, 0);
  // A window of the same level is typed into as usual.
  desk.SetFocus(desk.AddWindow(u"Edit"));
  EXPECT_EQ(Type(u"vieetj"), "việt");
}

TEST_F(PipelineDesktopTest, APasswordGoesThroughAsTypedAndNothingOfItIsKept) {
  service.Clipboard = true;  // everything else would be pasted
  service.Context().GoTatKhiTatTavirel = true;
  desk.SetClipboardText(u"user text");
  const WindowHandle notes = desk.Focused();
  Type(u"ddaay laf ");
  const int opens = desk.ClipboardOpens;
  const WindowHandle password = desk.AddWindow(u"Edit");
  desk.SetPassword(password);
  desk.SetFocus(password);
  EXPECT_EQ(Type(u"Matkhaaus1 ddaay"), "Matkhaaus1 ddaay");
  Chord({vk::kLControl, vk::kLShift}, 0);  // off: shorthand would still run
  EXPECT_EQ(Type(u" vieetj"), "Matkhaaus1 ddaay vieetj");
  Chord({vk::kLControl, vk::kLShift}, 0);
  Chord({vk::kLControl, vk::kLMenu}, 0);  // restore: there is nothing to give back
  EXPECT_EQ(Field(), "Matkhaaus1 ddaay vieetj");
  EXPECT_FALSE(service.Context().Active);
  EXPECT_TRUE(service.Context().RecentText.empty());
  EXPECT_EQ(desk.ClipboardOpens, opens);
  desk.Advance(1000);
  EXPECT_EQ(desk.ClipboardText(), u"user text");
  // Back in the notes, a restore reveals nothing typed in between.
  desk.SetFocus(notes);
  Chord({vk::kLControl, vk::kLMenu}, 0);
  Type(u"vieetj");
  EXPECT_EQ(Field(), "đây là việt");
}

TEST_F(PipelineDesktopTest, PerProgramRulesApplyAsTheFocusMoves) {
  CAppRules rules;
  rules.Set({u"NOTEPAD.EXE", AppVietnamese::On, AppDelivery::Default});
  rules.Set({u"putty.exe", AppVietnamese::Off, AppDelivery::Default});
  rules.Set({u"winword.exe", AppVietnamese::Remember, AppDelivery::Default});
  rules.Set({u"gimp.exe", AppVietnamese::Keep, AppDelivery::KeyPackets});
  rules.Set({u"excel.exe", AppVietnamese::Keep, AppDelivery::AutoComplete});
  service.SetAppRules(rules);
  int modeChanges = 0;
  service.ModeChanged.AddFn([&modeChanges](CInputMethodService*) { ++modeChanges; });
  const auto open = [this](const char16_t* program, const char16_t* cls = u"Edit") {
    const WindowHandle w = desk.AddWindow(cls);
    desk.SetProgram(w, program);
    return w;
  };
  const WindowHandle notepad = open(u"notepad.exe"), putty = open(u"putty.exe"), word = open(u"WinWord.exe");
  const WindowHandle other = open(u"other.exe");
  const auto typeIn = [this](WindowHandle w, std::u16string_view keys) {
    desk.SetFocus(w);
    desk.ClearText();
    return Type(keys);
  };
  EXPECT_EQ(typeIn(putty, u"ls vieetj"), "ls vieetj");
  EXPECT_EQ(service.RuledProgram(), u"putty.exe");
  EXPECT_EQ(typeIn(other, u"vieetj"), "vieetj");  // no rule: stays off
  EXPECT_TRUE(service.RuledProgram().empty());
  EXPECT_EQ(typeIn(notepad, u"vieetj"), "việt");
  // The remembered state starts as the state it finds, then is its own.
  EXPECT_EQ(typeIn(word, u"vieetj "), "việt ");
  Chord({vk::kLControl, vk::kLShift}, 0);
  EXPECT_EQ(Type(u"vieetj"), "việt vieetj");
  EXPECT_EQ(typeIn(notepad, u"ddaay"), "đây");
  EXPECT_EQ(typeIn(word, u"ddaay"), "ddaay");
  EXPECT_GE(modeChanges, 6);  // each switch and each ruled program, for the tooltip

  // Delivery: key packets where the class alone would paste; a Delete first.
  service.SetVietnamese(true);
  desk.SetClipboardText(u"user text");
  EXPECT_EQ(typeIn(open(u"gimp.exe", u"gdkWindowToplevel"), u"vieetj"), "việt");
  EXPECT_EQ(desk.ClipboardOpens, 0);
  const WindowHandle excel = open(u"EXCEL.exe");
  desk.SetFocus(excel);
  Type(u"vie");
  desk.AppKeys.clear();
  Type(u"e");
  ASSERT_FALSE(desk.AppKeys.empty());
  EXPECT_EQ(desk.AppKeys[0], (SimDesktop::AppKeyEvent{vk::kDelete, false, 0}));
}

TEST_F(PipelineDesktopTest, ModifiersUsedWithTheMouseRunNoModifierOnlyHotkey) {
  ASSERT_TRUE(service.IsVietnamese());
  for (const bool english : {false, true}) {
    service.SetVietnamese(!english);
    desk.KeyDown(vk::kLControl);
    desk.KeyDown(vk::kLShift);
    desk.Click();  // Ctrl+Shift+click selects text in many programs
    desk.KeyUp(vk::kLShift);
    desk.KeyUp(vk::kLControl);
    EXPECT_EQ(service.IsVietnamese(), !english);
  }
  Chord({vk::kLControl, vk::kLShift}, 0);
  EXPECT_TRUE(service.IsVietnamese());
}

TEST_F(PipelineDesktopTest, AltGrTappedAloneIsNoRestore) {
  Type(u"vieetj");
  Chord({vk::kLControl, vk::kRMenu}, 0);
  EXPECT_EQ(Field(), "việt");
  Chord({vk::kLControl, vk::kLMenu}, 0);
  EXPECT_EQ(Field(), "vieetj");
}

}  // namespace
}  // namespace tavirel
