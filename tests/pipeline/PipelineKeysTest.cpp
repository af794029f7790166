// Key handling of the pipeline: modifiers, hotkeys, word ends, clicks and
// focus changes, typed as key events into SimDesktop.
#include "pipeline/PipelineFixture.h"

namespace tavirel {
namespace {

// A user hotkey that counts its runs and answers a fixed result.
class CountingAction : public CHotKeyActionBase {
 public:
  CountingAction(CInputMethodService* s, KeyCombo key, bool result) : CHotKeyActionBase(s, key), result_(result) {}
  bool Execute() override {
    ++runs;
    return result_;
  }
  int runs = 0;

 private:
  bool result_;
};

TEST_F(PipelineTest, CtrlChordResetsTheWordButShiftDoesNot) {
  Type(u"vie");
  Chord({vk::kLControl}, 'C');
  EXPECT_EQ(Type(u"ej"), "vieẹ");  // a new word started after Ctrl+C

  Clear();  // also forget the word
  EXPECT_EQ(Type(u"VIEETJ"), "VIỆT");
  Clear();
  Type(u"vieet");
  Chord({vk::kLShift}, 'J');
  EXPECT_EQ(Field(), "việt");
}

TEST_F(PipelineTest, CtrlAloneClearsOnlyWhenNothingElseWasPressed) {
  Type(u"vie");
  Chord({vk::kLControl}, 0);
  EXPECT_EQ(Type(u"ej"), "vieẹ");

  Clear();
  Chord({vk::kRControl}, 0);
  Type(u"vie");
  // Ctrl held over another key is a chord, not the clear hotkey.
  desk.KeyDown(vk::kLControl);
  desk.Press(vk::kLeft);
  desk.KeyUp(vk::kLControl);
  desk.Press(vk::kEnd);
  EXPECT_EQ(Type(u"ej"), "vieẹ");  // the chord itself reset the word
}

TEST_F(PipelineTest, CtrlShiftSwitchesOnceWhicheverKeyIsReleasedFirst) {
  int changes = 0;
  service.ModeChanged.AddFn([&](CInputMethodService*) { ++changes; });
  desk.KeyDown(vk::kLControl);
  desk.KeyDown(vk::kLShift);
  desk.KeyUp(vk::kLShift);
  desk.KeyUp(vk::kLControl);
  EXPECT_FALSE(service.IsVietnamese());
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(Type(u"vieetj "), "vieetj ");

  desk.KeyDown(vk::kLShift);
  desk.KeyDown(vk::kRControl);
  desk.KeyUp(vk::kLShift);  // Shift first this time
  desk.KeyUp(vk::kRControl);
  EXPECT_TRUE(service.IsVietnamese());
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(Type(u"vieetj"), "vieetj việt");
}

TEST_F(PipelineTest, AltHotKeyPassesTheEventWithKeyZero) {
  auto action = std::make_unique<CountingAction>(&service, KeyCombo(modbits::kAlt, 'Z'), true);
  CountingAction* a = action.get();
  service.UserHotKeys().push_back(std::move(action));
  int executed = 0;
  service.ActionExecuted.AddFn([&](CHotKeyActionBase*) { ++executed; });

  desk.AppKeys.clear();
  Chord({vk::kLMenu}, 'Z');
  EXPECT_EQ(a->runs, 1);
  EXPECT_EQ(executed, 1);
  // The application saw Alt, a key-down with code 0 in place of Z, Z up.
  ASSERT_EQ(desk.AppKeys.size(), 4u);
  EXPECT_EQ(desk.AppKeys[1], (SimDesktop::AppKeyEvent{0, false, 0}));
  EXPECT_EQ(desk.AppKeys[2], (SimDesktop::AppKeyEvent{'Z', true, 0}));
}

// A user hotkey that opens a window: it lets go of the held modifiers first,
// as the window actions do, and takes the key.
class ReleasingAction : public CHotKeyActionBase {
 public:
  using CHotKeyActionBase::CHotKeyActionBase;
  bool Execute() override {
    Service->ReleaseModifierKeys();
    return true;
  }
};

// Whether the application saw Alt or Win pressed and released with no other
// key event between: a tap, which opens its menu bar (or the Start menu) and
// sends the keys that follow there.
bool SawLoneMenuKeyTap(const std::vector<SimDesktop::AppKeyEvent>& keys) {
  const auto family = [](uint16_t v) {
    if (v == vk::kLMenu || v == vk::kRMenu || v == vk::kMenu) return 1;
    if (v == vk::kLWin || v == vk::kRWin) return 2;
    return 0;
  };
  int armed = 0;  // the family of the menu key pressed last, nothing after it
  for (const SimDesktop::AppKeyEvent& e : keys) {
    const int f = family(e.Vk);
    if (f != 0 && e.Up && armed == f) return true;
    armed = (f != 0 && !e.Up) ? f : 0;
  }
  return false;
}

TEST_F(PipelineTest, HotKeysThatReleaseModifiersNeverLeaveAMenuKeyTap) {
  const std::vector<std::pair<std::vector<uint16_t>, int32_t>> chords = {
      {{vk::kLMenu}, modbits::kAlt},
      {{vk::kRMenu}, modbits::kAlt},
      {{vk::kLWin}, modbits::kWin},
      {{vk::kLControl, vk::kLMenu}, modbits::kCtrl | modbits::kAlt},
      {{vk::kLShift, vk::kLWin}, modbits::kShift | modbits::kWin},
  };
  for (const auto& [modifiers, bits] : chords) {
    service.UserHotKeys().clear();
    service.UserHotKeys().push_back(std::make_unique<ReleasingAction>(&service, KeyCombo(bits, 'G')));
    Clear();
    desk.AppKeys.clear();
    for (uint16_t m : modifiers) desk.KeyDown(m);
    desk.Press('G');
    for (auto it = modifiers.rbegin(); it != modifiers.rend(); ++it) desk.KeyUp(*it);
    EXPECT_FALSE(SawLoneMenuKeyTap(desk.AppKeys)) << "modifiers " << bits;
    // Nothing stays held: typing goes on as before.
    EXPECT_EQ(Type(u"vieetj "), "việt ") << "modifiers " << bits;
  }
  // The restore hotkey (Ctrl+Alt) lets go of both before it types.
  Clear();
  Type(u"vieetj");
  desk.AppKeys.clear();
  Chord({vk::kLControl, vk::kLMenu}, 0);
  EXPECT_FALSE(SawLoneMenuKeyTap(desk.AppKeys));
  EXPECT_EQ(Field(), "vieetj");
}

TEST_F(PipelineTest, HotKeyListsMatchInOrder) {
  // Two user actions on one key both run; a built-in that answers false lets
  // the next built-in with the same key run too.
  auto first = std::make_unique<CountingAction>(&service, KeyCombo(modbits::kCtrl, 'Q'), false);
  auto second = std::make_unique<CountingAction>(&service, KeyCombo(modbits::kCtrl, 'Q'), true);
  CountingAction* a = first.get();
  CountingAction* b = second.get();
  service.UserHotKeys().push_back(std::move(first));
  service.UserHotKeys().push_back(std::move(second));
  service.SetPhimClear(KeyCombo(modbits::kCtrl, 'Q'));
  service.SetPhimChuyen(KeyCombo(modbits::kCtrl, 'Q'));
  Chord({vk::kLControl}, 'Q');
  EXPECT_EQ(a->runs, 1);
  EXPECT_EQ(b->runs, 1);
  EXPECT_FALSE(service.IsVietnamese());  // switch ran after clear answered false
  // The chord never ran the modifier-only Ctrl hotkey.
  EXPECT_EQ(service.PhimClear(), KeyCombo(modbits::kCtrl, 'Q'));
}

TEST_F(PipelineTest, KeysReboundThroughTheActionsTakeEffectAtOnce) {
  // The switch action (fifth built-in) moved to F9 alone, then back.
  CHotKeyActionBase* chuyen = service.BuiltInHotKeys()[4];
  chuyen->Key = KeyCombo(0, vk::kF9);
  desk.AppKeys.clear();
  desk.Press(vk::kF9);
  EXPECT_FALSE(service.IsVietnamese());
  ASSERT_EQ(desk.AppKeys.size(), 1u);  // the key-down was swallowed
  EXPECT_EQ(desk.AppKeys[0], (SimDesktop::AppKeyEvent{vk::kF9, true, 0}));
  chuyen->Key = CInputMethodService::kDefaultPhimChuyen;
  desk.Press(vk::kF9);
  EXPECT_FALSE(service.IsVietnamese());
  Chord({vk::kLControl, vk::kLShift}, 0);
  EXPECT_TRUE(service.IsVietnamese());
  // A user action re-bound after it was added.
  auto action = std::make_unique<CountingAction>(&service, KeyCombo(modbits::kCtrl, 'Q'), true);
  CountingAction* a = action.get();
  service.UserHotKeys().push_back(std::move(action));
  a->Key = KeyCombo(modbits::kCtrl, 'W');
  Chord({vk::kLControl}, 'Q');
  EXPECT_EQ(a->runs, 0);
  Chord({vk::kLControl}, 'W');
  EXPECT_EQ(a->runs, 1);
}

TEST_F(PipelineTest, CodeConversionHotKeyIsSwallowed) {
  int requests = 0;
  service.CodeConversionRequested.AddFn([&](CInputMethodService*) { ++requests; });
  desk.AppKeys.clear();
  Chord({vk::kLControl, vk::kLShift}, vk::kF9);
  EXPECT_EQ(requests, 1);
  for (const auto& e : desk.AppKeys) EXPECT_FALSE(e.Vk == vk::kF9 && !e.Up);
  EXPECT_TRUE(service.IsVietnamese());  // Ctrl+Shift was not a switch here
}

TEST_F(PipelineTest, SuggestionKeysPassWhileNoWindowShows) {
  EXPECT_EQ(Type(u"a\tb"), "a\tb");
  desk.Press(vk::kEscape);
  EXPECT_EQ(Type(u"c"), "a\tbc");
}

TEST_F(PipelineTest, EscapeKeyOfTheTypingMethod) {
  // Once: swallowed, the next bound key is a plain letter.
  EXPECT_EQ(Type(u"vie\\e"), "viee");
  // Twice: the escape key itself is typed.
  Clear();
  EXPECT_EQ(Type(u"a\\\\"), "a\\");
}

TEST_F(PipelineTest, FunctionKeyAfterANonVietnameseWordIsALetter) {
  EXPECT_EQ(Type(u"xyzs"), "xyzs");
}

TEST_F(PipelineTest, BackspaceAfterSpaceReactivatesThePreviousWord) {
  Type(u"vieet ");
  desk.Press(vk::kBack);
  EXPECT_EQ(Type(u"j"), "việt");
  EXPECT_EQ(Type(u" nam"), "việt nam");
}

TEST_F(PipelineTest, NumpadDigitsAreNeverFunctions) {
  service.SetTypingMethod(u"VNI");
  desk.Press(vk::kNumpad0 + 0);  // not a word start either
  Type(u"a");
  desk.Press(vk::kNumpad0 + 1);
  EXPECT_EQ(Field(), "0a1");
  EXPECT_EQ(Type(u" a1"), "0a1 á");
}

TEST_F(PipelineTest, SlowModeReinjectsThePassedKeyAfterTheReplacement) {
  service.CPUCao = true;
  desk.AppKeys.clear();
  EXPECT_EQ(Type(u"tieengs vieetj"), "tiếng việt");
  // Each T reached the application once, re-injected after the text.
  int tDowns = 0;
  for (const auto& e : desk.AppKeys) tDowns += (e.Vk == 'T' && !e.Up) ? 1 : 0;
  EXPECT_EQ(tDowns, 2);
}

TEST_F(PipelineTest, ClicksEndTheWordWithTheMouseHook) {
  Type(u"vie");
  desk.Click();
  EXPECT_EQ(Type(u"ej"), "vieẹ");
}

TEST_F(PipelineTest, EnterEscAndArrowsEndTheWord) {
  EXPECT_EQ(Type(u"vie\nej"), "vie\nẹ");
  Clear();
  Type(u"vie");
  desk.Press(vk::kEscape);
  EXPECT_EQ(Type(u"ej"), "vieẹ");
  Clear();
  Type(u"vie");
  desk.Press(vk::kRight);
  EXPECT_EQ(Type(u"ej"), "vieẹ");
}

TEST_F(PipelineTest, RestoreHotKeyGivesBackTheRawKeys) {
  Type(u"vieetj");
  desk.KeyDown(vk::kLControl);
  desk.KeyDown(vk::kLMenu);
  desk.KeyUp(vk::kLMenu);
  desk.KeyUp(vk::kLControl);
  EXPECT_EQ(Field(), "vieetj");
}

TEST_F(PipelineTest, ErrorsInAHotKeyAreReportedAndTheWordForgotten) {
  class Throwing : public CHotKeyActionBase {
   public:
    using CHotKeyActionBase::CHotKeyActionBase;
    bool Execute() override { throw std::runtime_error("boom"); }
  };
  service.UserHotKeys().push_back(std::make_unique<Throwing>(&service, KeyCombo(modbits::kAlt, 'Q')));
  std::string error;
  service.Error.AddFn([&](const std::exception& e) { error = e.what(); });
  Type(u"vie");
  Chord({vk::kLMenu}, 'Q');
  EXPECT_EQ(error, "boom");
  EXPECT_EQ(Type(u"ej"), "vieẹ");
}

class PipelineNoMouseHookTest : public ::testing::Test {
 protected:
  PipelineNoMouseHookTest() {
    service.EnableMouseHook = false;
    desk.InstallHooks(&service);
  }
  SimDesktop desk;
  CInputMethodService service{&desk};
};

TEST_F(PipelineNoMouseHookTest, FocusChangeEndsTheWordAndClicksDoNot) {
  desk.TypeText(u"vie");
  desk.Click();
  desk.TypeText(u"ej");
  EXPECT_EQ(Utf16ToUtf8(desk.Text()), "việ");

  const WindowHandle other = desk.AddWindow(u"Edit");
  desk.TypeText(u"  vie");
  desk.SetFocus(other);
  desk.TypeText(u"ej");
  EXPECT_EQ(Utf16ToUtf8(desk.Text()), "ẹ");
}

}  // namespace
}  // namespace tavirel
