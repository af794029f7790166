// The shipped rhyme tables and dictionary against the words they were made
// from: every dictionary syllable typed in Telex survives the word end with
// raw-key restore and the dictionary check on, and the source words left out
// on purpose stay out where that matters (restore of foreign words, spelling
// correction, final-consonant shorthand).
#include <gtest/gtest.h>

#include <algorithm>

#include "TypeKeys.h"
#include "common/AppDirectory.h"
#include "common/TextFile.h"
#include "common/Utf8.h"
#include "spelling/CTuDien.h"

namespace tavirel {
namespace {

using test::TypingHarness;

class SourceSyllables : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dict_ = new CTuDien;
    ASSERT_TRUE(dict_->LoadFile(ResourcePath(u"TuDien.txt")));
  }
  static void TearDownTestSuite() {
    delete dict_;
    dict_ = nullptr;
  }

  // A harness with restore and the dictionary check on.
  static void Strict(TypingHarness& h) {
    h.Context.TuDien = dict_;
    h.Context.KhoiPhucPhimVoiTuSai = true;
    h.Context.DungTuDienDeKTChinhTa = true;
  }

  // Telex keys of a syllable: plain oo (boong, xoong) is typed ooo, since oo
  // alone makes ô.
  static std::u16string Keys(const std::u16string& syllable) {
    std::u16string keys = test::TelexKeys(syllable);
    const size_t oo = keys.find(u"oo");
    if (oo != std::u16string::npos && letters::Bare(syllable).find(u"oo") != std::u16string::npos &&
        syllable.find(u'ô') == std::u16string::npos) {
      keys.insert(oo, 1, u'o');
    }
    return keys;
  }

  // Types the syllable's Telex keys and a space into a fresh run; true when
  // the screen then shows the syllable, in either tone placement style.
  static bool TypesThrough(TypingHarness& h, const std::u16string& syllable) {
    const std::u16string keys = Keys(syllable) + u" ";
    for (bool modern : {false, true}) {
      h.Context.Reset();
      h.Service.Screen.clear();
      h.Context.BoDauThanhKieu2 = modern;
      h.Type(keys);
      if (h.Screen() == syllable + u" " && h.Mismatch.empty()) return true;
    }
    return false;
  }

  static CTuDien* dict_;
};

CTuDien* SourceSyllables::dict_ = nullptr;

TEST_F(SourceSyllables, EveryDictionarySyllableSurvivesRestoreAndDictionaryCheck) {
  const auto lines = ReadTextLines(ResourcePath(u"TuDien.txt"));
  ASSERT_GT(lines.size(), 7000u);
  TypingHarness h;
  Strict(h);
  int restored = 0;
  for (const std::u16string& syllable : lines) {
    if (!TypesThrough(h, syllable) && ++restored <= 20) {
      ADD_FAILURE() << Utf16ToUtf8(syllable) << " typed as " << Utf16ToUtf8(Keys(syllable))
                    << " gives " << Utf16ToUtf8(h.Screen());
    }
  }
  EXPECT_EQ(restored, 0);
}

// Colloquial and southern words of the sources that the rhyme model used to
// refuse: qu + o, oa, oă, ơi, iu, and oe + m.
TEST_F(SourceSyllables, ColloquialAndSouthernWordsAreNoLongerRestored) {
  const auto lines = ReadTextLines(ResourcePath(u"TuDien.txt"));
  TypingHarness h;
  Strict(h);
  for (const char16_t* word : {u"quọ", u"quoàng", u"quoạng", u"quoắt", u"quới", u"quíu", u"ngoém",
                               u"ngoẻm"}) {
    EXPECT_TRUE(std::binary_search(lines.begin(), lines.end(), std::u16string(word))) << Utf16ToUtf8(word);
    EXPECT_TRUE(TypesThrough(h, word)) << Utf16ToUtf8(word) << " gives " << Utf16ToUtf8(h.Screen());
  }
  // In a run, as the phrases they come from.
  TypingHarness run;
  Strict(run);
  run.Type(u"quaju quoj queefnh quoafng quay quoawst Bifnh Quowsi");
  EXPECT_EQ(run.Screen(), u"quạu quọ quềnh quoàng quay quoắt Bình Quới");
  EXPECT_TRUE(run.Mismatch.empty()) << Utf16ToUtf8(run.Mismatch);
}

// Words left out on purpose keep the behaviour that was the reason.
TEST_F(SourceSyllables, LeftOutWordsKeepTheirReason) {
  struct Case {
    const char16_t* keys;
    bool finalShorthand;
    bool correction;
    const char16_t* screen;
  } cases[] = {
      // Consonant clusters: English typed with tone keys is still restored.
      {u"plans cross drums ", false, false, u"plans cross drums "},
      {u"ploong kroong ", false, false, u"ploong kroong "},
      // k is no final: it stays the shorthand for ch.
      {u"thiks ", true, false, u"thích "},
      {u"ddawsk ", false, false, u"ddawsk "},
      // g/gh and ng/ngh typos are corrected, not taken as words.
      {u"ngejt gesm ", false, true, u"nghẹt ghém "},
      // k before a back vowel, a stop final without its tone, ê + ng.
      {u"kanj teet keeng ", false, false, u"kanj teet keeng "},
  };
  for (const Case& c : cases) {
    TypingHarness h;
    Strict(h);
    h.Context.SetFinalShorthand(c.finalShorthand);
    h.Context.SuaLoiChinhTaTuDon = c.correction;
    h.Type(c.keys);
    EXPECT_EQ(h.Screen(), c.screen) << Utf16ToUtf8(c.keys);
    EXPECT_TRUE(h.Mismatch.empty()) << Utf16ToUtf8(h.Mismatch);
  }
}

}  // namespace
}  // namespace tavirel
