#include "service/AutoCompleteDetector.h"

#include <gtest/gtest.h>

namespace tavirel {
namespace {

constexpr FieldSelection kTail{3, 8, 8};  // "vie[tnam]"

TEST(AutoCompleteDetectorTest, OnlyASelectedTailAfterTypedTextIsASign) {
  struct Case {
    FieldSelection s;
    bool sign;
  } cases[] = {
      {{3, 8, 8}, true},     // typed "vie", "tnam" suggested
      {{1, 2, 2}, true},     // one character typed, one suggested
      {{0, 8, 8}, false},    // everything selected (a field that selects all on focus)
      {{2, 5, 8}, false},    // a selection inside the text: the user's
      {{8, 8, 8}, false},    // no selection
      {{3, 8, 9}, false},    // not at the end
      {{-1, -1, -1}, false}  // the field did not answer
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CAutoCompleteDetector::IsSuggestedTail(c.s), c.sign) << c.s.Start << "," << c.s.End << "," << c.s.Length;
    CAutoCompleteDetector d;
    d.FocusChanged(7, u"Edit");
    ASSERT_TRUE(d.AfterTypedKey());
    EXPECT_EQ(d.OnReading(d.Serial(), c.s), c.sign);
    EXPECT_EQ(d.Detected(), c.sign);
  }
}

TEST(AutoCompleteDetectorTest, OneReadingAtATimeAndNoneOnceKnown) {
  CAutoCompleteDetector d;
  EXPECT_FALSE(d.AfterTypedKey());  // no focus window
  d.FocusChanged(7, u"Edit");
  ASSERT_TRUE(d.AfterTypedKey());
  const uint32_t serial = d.Serial();
  EXPECT_FALSE(d.AfterTypedKey());  // still out
  EXPECT_FALSE(d.OnReading(serial, {8, 8, 8}));
  ASSERT_TRUE(d.AfterTypedKey());  // answered: the next key asks again
  d.ReadingNotAsked();
  ASSERT_TRUE(d.AfterTypedKey());
  EXPECT_TRUE(d.OnReading(d.Serial(), kTail));
  EXPECT_FALSE(d.AfterTypedKey());
  EXPECT_FALSE(d.OnReading(d.Serial(), kTail));  // already known: not news
  EXPECT_TRUE(d.Detected());
}

TEST(AutoCompleteDetectorTest, ReadingsAskedBeforeOtherInputOrAnotherFocusProveNothing) {
  CAutoCompleteDetector d;
  d.FocusChanged(7, u"Edit");
  // The user selected the end of the text (Shift+End, a drag) after typing.
  ASSERT_TRUE(d.AfterTypedKey());
  uint32_t serial = d.Serial();
  d.AfterOtherInput();
  EXPECT_FALSE(d.OnReading(serial, kTail));
  EXPECT_FALSE(d.Detected());
  // The stale answer does not keep later keys from asking.
  ASSERT_TRUE(d.AfterTypedKey());
  serial = d.Serial();
  // The focus moved on before the answer came: it was another field's.
  d.FocusChanged(9, u"Edit");
  EXPECT_FALSE(d.OnReading(serial, kTail));
  EXPECT_FALSE(d.Detected());
  ASSERT_TRUE(d.AfterTypedKey());
  EXPECT_TRUE(d.OnReading(d.Serial(), kTail));
}

TEST(AutoCompleteDetectorTest, CompletingWindowsAreKnownAgainByHandleAndClass) {
  CAutoCompleteDetector d;
  const auto detect = [&d](WindowHandle w) {
    d.FocusChanged(w, u"Edit");
    ASSERT_TRUE(d.AfterTypedKey());
    ASSERT_TRUE(d.OnReading(d.Serial(), kTail));
  };
  detect(1);
  EXPECT_FALSE(d.FocusChanged(2, u"Edit"));
  EXPECT_TRUE(d.FocusChanged(1, u"Edit"));
  EXPECT_TRUE(d.Detected());
  // The handle now names a window of another kind.
  EXPECT_FALSE(d.FocusChanged(1, u"RichEdit20W"));
  EXPECT_FALSE(d.FocusChanged(0, u""));
  // The oldest is forgotten beyond the limit.
  const WindowHandle last = 100 + CAutoCompleteDetector::kRemembered - 1;
  for (WindowHandle w = 100; w <= last; ++w) detect(w);
  EXPECT_FALSE(d.FocusChanged(1, u"Edit"));
  EXPECT_TRUE(d.FocusChanged(100, u"Edit"));
  EXPECT_TRUE(d.FocusChanged(last, u"Edit"));
}

}  // namespace
}  // namespace tavirel
