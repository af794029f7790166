// Word end typed as key strings: shorthand, consonant shorthand, automatic
// sắc, raw-key restore and the restore hotkey. The screen is checked after
// every key and every restore.
#include <gtest/gtest.h>

#include "TypeKeys.h"
#include "common/Utf8.h"
#include "spelling/CTuDien.h"

namespace tavirel {
namespace {

using test::TypingHarness;

#define EXPECT_IN_STEP(h) EXPECT_TRUE((h).Mismatch.empty()) << Utf16ToUtf8((h).Mismatch)

TEST(WordEndRestore, WrongLookingWordComesBackAsTyped) {
  TypingHarness h;
  h.Type(u"down ");
  EXPECT_EQ(h.Screen(), u"dơn ");
  h.Restore();
  EXPECT_EQ(h.Screen(), u"down ");
  EXPECT_EQ(h.Text(), u"down ");
  // The run goes on normally after it.
  h.Type(u"vieetj");
  EXPECT_EQ(h.Screen(), u"down việt");
  EXPECT_IN_STEP(h);
}

TEST(WordEndRestore, CurrentWordTurnsBackIntoItsKeys) {
  TypingHarness h;
  h.Type(u"ddaay");
  h.Restore();
  EXPECT_EQ(h.Screen(), u"ddaay");
  EXPECT_EQ(h.WordText(), u"ddaay");
  EXPECT_IN_STEP(h);
}

TEST(WordEndRestore, AutomaticRestoreAndItsUndo) {
  TypingHarness h;
  h.Type(u"truowngfhjk ");
  EXPECT_EQ(h.Screen(), u"truowngfhjk ");
  h.Restore();
  // The Vietnamese part comes back as the current word, without the space.
  EXPECT_EQ(h.Screen(), u"trường");
  EXPECT_EQ(h.WordText(), u"trường");
  EXPECT_EQ(h.Context.Word.CD0TV, 0);
  h.Type(u" nhaf");
  EXPECT_EQ(h.Screen(), u"trường nhà");
  EXPECT_IN_STEP(h);
}

TEST(WordEndRestore, OptionOffKeepsWrongWords) {
  TypingHarness h;
  h.Context.KhoiPhucPhimVoiTuSai = false;
  h.Type(u"truowngfhjk ");
  EXPECT_EQ(h.Screen(), u"trườnghjk ");
  EXPECT_IN_STEP(h);
}

TEST(WordEndRestore, DictionaryCheckRestoresUnknownWords) {
  CTuDien dict;
  dict.LoadLines({u"việt"});
  TypingHarness h;
  h.Context.TuDien = &dict;
  h.Context.DungTuDienDeKTChinhTa = true;
  h.Type(u"vieetj dowf ");
  EXPECT_EQ(h.Screen(), u"việt dowf ");
  EXPECT_IN_STEP(h);
}

TEST(WordEndShorthand, CaseFollowsTheAbbreviation) {
  struct Case {
    const char16_t* keys;
    bool adapt;
    const char16_t* screen;
  } cases[] = {
      {u"ko ", true, u"không "},   {u"Ko ", true, u"Không "}, {u"KO ", true, u"KHÔNG "},
      {u"ko ", false, u"không "},  {u"Ko ", false, u"Ko "},   {u"KO ", false, u"KO "},
      {u"xko ", true, u"xko "},    {u"1ko ", true, u"1ko "},  {u"(ko) ", true, u"(không) "},
  };
  for (const Case& c : cases) {
    TypingHarness h;
    h.Context.SetShorthandTable({u"ko"}, {u"không"});
    h.Context.XuLyHoaThuongKhiGoTat = c.adapt;
    h.Type(c.keys);
    EXPECT_EQ(h.Screen(), c.screen) << Utf16ToUtf8(c.keys);
    EXPECT_IN_STEP(h);
  }
}

TEST(WordEndShorthand, PunctuationInsideAndRestore) {
  TypingHarness h;
  h.Context.SetShorthandTable({u"n/c", u"vn"}, {u"nói chuyện", u"Việt Nam"});
  h.Type(u"hay n/c ");
  EXPECT_EQ(h.Screen(), u"hay nói chuyện ");
  EXPECT_EQ(h.Context.Words.back().CacKT, u"chuyện");
  h.Restore();
  EXPECT_EQ(h.Screen(), u"hay n/c ");
  // The expansion's words are words of the run: Backspace edits them.
  h.Type(u"vn\b\b\b\b");
  EXPECT_EQ(h.Screen(), u"hay n/");
  EXPECT_IN_STEP(h);
}

TEST(WordEndShorthand, SwallowsTheSpaceButNotAComma) {
  TypingHarness h;
  h.Context.SetShorthandTable({u"ko"}, {u"không"});
  h.Context.ChanPhimKhiGoTat = true;
  EXPECT_TRUE(h.Type(u"ko").Key(u' '));
  EXPECT_EQ(h.Screen(), u"không");
  EXPECT_EQ(h.WordText(), u"không");
  EXPECT_FALSE(h.Type(u" ko").Key(u','));
  EXPECT_EQ(h.Screen(), u"không không,");
  EXPECT_IN_STEP(h);
}

TEST(WordEndShorthand, EmptyAbbreviationNeverMatches) {
  TypingHarness h;
  h.Context.SetShorthandTable({u"", u"ko"}, {u"boom", u"không"});
  h.Type(u"ba ko ");
  EXPECT_EQ(h.Screen(), u"ba không ");
  EXPECT_IN_STEP(h);
}

TEST(WordEndShorthand, ExpansionGetsTheUsersTonePlacement) {
  TypingHarness h;
  h.Context.SetShorthandTable({u"hx"}, {u"hòa xong"});
  h.Context.BoDauThanhKieu2 = true;
  h.Type(u"hx ");
  EXPECT_EQ(h.Screen(), u"hoà xong ");
  EXPECT_IN_STEP(h);
}

TEST(WordEndConsonants, InitialAndFinalShorthandAndAutoSac) {
  TypingHarness h;
  h.Context.SetInitialShorthand(true);
  h.Context.SetFinalShorthand(true);
  h.Context.TuThemDauSac = true;
  h.Type(u"Fieenf tieesg vieet vieem jaf ");
  EXPECT_EQ(h.Screen(), u"Phiền tiếng viết viêm già ");
  EXPECT_IN_STEP(h);
}

TEST(WordEndConsonants, OffByDefaultAndSwitchingBackRemovesAliases) {
  TypingHarness h;
  h.Type(u"vieet ");
  EXPECT_EQ(h.Screen(), u"viêt ");
  h.Context.SetFinalShorthand(true);
  h.Context.SetFinalShorthand(false);
  EXPECT_EQ(h.Context.GhepVanTables().FindFinal(u"g"), -1);
  h.Type(u"tieesg ");
  EXPECT_EQ(h.Screen(), u"viêt tieesg ");
  EXPECT_IN_STEP(h);
}

TEST(WordEndRestore, UndoesShorthandBeforeLaterWords) {
  TypingHarness h;
  h.Context.SetShorthandTable({u"ko"}, {u"không"});
  h.Type(u"ko ");
  h.Type(u"bieets");
  // The expansion is no longer at the end: the pair is dropped and the
  // current word is restored instead.
  h.Restore();
  EXPECT_EQ(h.Screen(), u"không bieets");
  EXPECT_TRUE(h.Context.Replacements.empty());
  EXPECT_IN_STEP(h);
}

}  // namespace
}  // namespace tavirel
