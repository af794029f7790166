// Word end typed as key strings: shorthand, consonant shorthand, automatic
// sắc, raw-key restore and the restore hotkey. The screen is checked after
// every key and every restore.
#include <gtest/gtest.h>

#include <random>

#include "TypeKeys.h"
#include "common/AppDirectory.h"
#include "common/TextFile.h"
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

TEST(WordEndConsonants, FreeInitialsAndInitialShorthandCommute) {
  // Any order of switching the two options leaves the aliases the final
  // state needs: f j w while either is on, dz and z only with free initials.
  std::mt19937 rng(11);
  for (int run = 0; run < 200; ++run) {
    TypingHarness h;
    CGhepVan& g = h.Context.GhepVanTables();
    bool shorthand = false;
    bool free = false;
    for (int step = 0; step < 8; ++step) {
      const bool on = rng() % 2 != 0;
      if (rng() % 2 != 0) {
        h.Context.SetInitialShorthand(on);
        shorthand = on;
      } else {
        g.SetFreeInitials(on);
        free = on;
      }
      for (std::u16string_view f : {u"f", u"j", u"w"}) {
        ASSERT_EQ(g.FindInitial(f) >= 0, shorthand || free) << run << ' ' << step;
      }
      for (std::u16string_view f : {u"z", u"dz"}) ASSERT_EQ(g.FindInitial(f) >= 0, free) << run;
      ASSERT_EQ(g.InitialAliases().size(), free ? 5u : shorthand ? 3u : 0u);
    }
  }
  TypingHarness h;
  h.Context.SetInitialShorthand(true);
  h.Context.GhepVanTables().SetFreeInitials(true);
  h.Context.GhepVanTables().SetFreeInitials(false);
  h.Type(u"fieenf zaf ");
  EXPECT_EQ(h.Screen(), u"phiền zaf ");
  EXPECT_IN_STEP(h);
}

TEST(WordEndConsonants, AllowedWordsKeepTheirFinal) {
  for (bool wordsFirst : {true, false}) {
    TypingHarness h;
    if (wordsFirst) h.Context.GhepVanTables().SetSpecialWords(u"ah uh");
    h.Context.SetFinalShorthand(true);
    if (!wordsFirst) h.Context.GhepVanTables().SetSpecialWords(u"ah uh");
    // The listed word stands; with an initial the final is still shorthand.
    h.Type(u"ah Uh bah tieeg ");
    EXPECT_EQ(h.Screen(), u"ah Uh banh tiêng ") << wordsFirst;
    EXPECT_IN_STEP(h);
  }
}

// Whether a word can end is worked out once per syllable; a change of the
// rhyme tables between two words with the same syllable must be seen.
TEST(WordEndRestore, FollowsTheTablesAsTheyChange) {
  TypingHarness h;
  h.Type(u"tics ");
  EXPECT_EQ(h.Screen(), u"tics ");
  h.Context.GhepVanTables().SetSpecialWords(u"ic");
  h.Type(u"tics ");
  EXPECT_EQ(h.Screen(), u"tics tíc ");
  h.Context.GhepVanTables().SetSpecialWords(u"");
  h.Type(u"tics ");
  EXPECT_EQ(h.Screen(), u"tics tíc tics ");
  EXPECT_IN_STEP(h);
}

TEST(WordEndUoWidening, OnlyTheWidenedFinalsKeepUo) {
  // Every dictionary word with ươ and a final, typed "uow" as most typists
  // do: with the widening on, uơ stays only where the tables let it take the
  // final (n, ng); được, nước, mượt, bướm stay as typed without the option.
  const std::vector<std::u16string> words = ReadTextLines(ResourcePath(u"TuDien.txt"));
  TypingHarness on;
  on.Context.GhepVanTables().SetUoWithFinals(true);
  const CGhepVan& g = on.Context.GhepVanTables();
  int kept = 0;
  int horned = 0;
  for (const std::u16string& w : words) {
    const size_t at = w.find(u'ư');
    if (at == std::u16string::npos || at + 2 >= w.size() || letters::StripTone(w[at + 1]) != u'ơ' ||
        !letters::IsConsonant(w[at + 2])) {
      continue;
    }
    std::u16string keys = test::TelexKeys(w);
    keys.replace(keys.find(u"uwow"), 4, u"uow");
    const std::u16string initial = w.substr(0, at);
    const std::u16string final = w.substr(at + 2);
    const bool uo = g.RhymeAllowsFinal(initial, u"uơ", final) &&
                    (initial.empty() ? g.IsNucleus(u"uơ") : g.InitialAllowsNucleus(initial, u"uơ"));
    std::u16string expected = w;
    if (uo) {
      expected[at] = u'u';
      ++kept;
    } else {
      ++horned;
    }
    on.Type(keys + u" ");
    ASSERT_TRUE(on.Screen().ends_with(expected + u" ")) << Utf16ToUtf8(keys);
    TypingHarness off;
    off.Type(keys + u" ");
    EXPECT_EQ(off.Screen(), w + u" ");
  }
  EXPECT_IN_STEP(on);
  EXPECT_GT(kept, 50);
  EXPECT_GT(horned, 50);
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
