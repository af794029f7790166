// The run keeps its newest words, oldest first, however many went through
// it; Backspace takes them back in order and they compose again.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "TypeKeys.h"
#include "common/Utf8.h"

namespace tavirel::test {
namespace {

TEST(RunWords, NewestWordsKeptInOrderAndBackspaceReachesThem) {
  TypingHarness h;
  const std::u16string words[] = {u"mootj", u"hai", u"ba", u"boons", u"nawm"};
  const std::u16string shown[] = {u"một", u"hai", u"ba", u"bốn", u"năm"};
  const int total = 3 * static_cast<int>(CTypingContext::kMaxRunWords) + 7;
  for (int i = 0; i < total; ++i) h.Type(words[i % 5] + u" ");
  ASSERT_TRUE(h.Mismatch.empty());
  const size_t kept = h.Context.Words.size();
  ASSERT_GE(kept, CTypingContext::kMaxRunWords);
  ASSERT_LE(kept, CTypingContext::kMaxRunWords + CTypingContext::kRunSlack);
  // The recent text is cut with the dropped words: each kept word with the
  // space typed before it, then the last space.
  std::u16string recent;
  for (size_t k = 0; k < kept; ++k) {
    const size_t i = static_cast<size_t>(total) - kept + k;
    EXPECT_EQ(h.Context.Words[k].CacKT, shown[i % 5]) << k;
    recent += u" " + shown[i % 5];
  }
  EXPECT_EQ(h.Context.RecentText, recent + u" ");
  // Back over the space into the last word "ba", then through it and the
  // space before it into "hai", which takes a tone again.
  h.Type(u"\b\b");
  EXPECT_EQ(h.WordText(), u"b");
  h.Type(u"\b\b");
  EXPECT_EQ(h.WordText(), u"hai");
  h.Type(u"x");
  EXPECT_EQ(h.WordText(), u"hãi");
  EXPECT_TRUE(h.Mismatch.empty());
}

// At a word end the abbreviation is matched against the finished run and the
// word together: it may reach back over loose characters and earlier words.
TEST(RunWords, ShorthandReachesBeforeTheWord) {
  TypingHarness h;
  // The first listed abbreviation that matches wins.
  h.Context.SetShorthandTable({u"tp.hcm", u"hcm", u"a b"},
                              {u"Thành phố Hồ Chí Minh", u"Hồ Chí Minh", u"ab"});
  h.Type(u"tp.hcm ");
  EXPECT_EQ(h.Screen(), u"Thành phố Hồ Chí Minh ");
  h.Type(u"xhcm a b ");
  EXPECT_EQ(h.Screen(), u"Thành phố Hồ Chí Minh xhcm ab ");
  EXPECT_TRUE(h.Mismatch.empty());
}

// A new word starts from the word left behind by the last one: whatever ended
// it (a word end, Backspace through it, a shorthand, a restore, a word cut
// for its length), no word means an empty word.
TEST(RunWords, NoCurrentWordLeavesTheWordEmpty) {
  const std::u16string keys = u"aeiouydstrnghcmfjxwq[]AEOW07 .,\b\b\b\n";
  for (unsigned seed = 1; seed <= 12; ++seed) {
    TypingHarness h;
    h.Context.SetShorthandTable({u"ko", u"n/c"}, {u"không", u"nói chuyện"});
    h.Context.GoCacTuTVLienTuc = seed % 2 == 0;
    h.Context.SetFinalShorthand(seed % 3 == 0);
    h.Context.SuaLoiChinhTaTuDon = seed % 4 == 0;
    std::mt19937 rng(seed);
    std::uniform_int_distribution<size_t> pick(0, keys.size() - 1);
    for (int i = 0; i < 4000; ++i) {
      if (i % 89 == 0) {
        h.Restore();
      } else if (i % 997 == 0) {
        h.Type(std::u16string(40, u'n'));  // longer than any word
      } else {
        h.Key(keys[pick(rng)]);
      }
      if (h.Context.HasWord) continue;
      const CWord& w = h.Context.Word;
      ASSERT_TRUE(w.CacKT.empty() && w.CacKTThuong.empty() && w.Raw.empty() && w.WA == 0 &&
                  w.CDPAD == 0 && w.CDNA == 0 && w.CDPAC == 0 && w.CD0TV == 0 && w.DT == -1 &&
                  w.VTDT == -1 && w.VTDau == -1 && w.KTCoDT == 0)
          << "seed " << seed << " key " << i << "\n" << Utf16ToUtf8(w.Dump());
    }
    EXPECT_TRUE(h.Mismatch.empty()) << "seed " << seed;
  }
}

// The restore hotkey walks replacements back newest first; past the limit
// the oldest go, and the order of the rest is kept however often the list
// wrapped around.
TEST(RunWords, ReplacementListKeepsTheNewestInOrder) {
  CReplacementRing ring;
  auto text = [](int i) { return u"thay " + std::u16string(static_cast<size_t>(i % 9 + 1), u'a') + u"#" +
                                 std::u16string(1, static_cast<char16_t>(u'0' + i % 10)); };
  int pushed = 0;
  for (int round = 0; round < 3; ++round) {
    for (int k = 0; k < 150; ++k, ++pushed) ring.push_back(text(pushed), text(pushed + 1));
    ASSERT_EQ(ring.size(), CTypingContext::kMaxReplacements);
    for (size_t i = 0; i < ring.size(); ++i) {
      const int n = pushed - static_cast<int>(ring.size()) + static_cast<int>(i);
      EXPECT_EQ(ring[i].first, text(n)) << i;
      EXPECT_EQ(ring[i].second, text(n + 1)) << i;
    }
    // Walking back some, then adding again, continues from the newest left.
    for (int k = 0; k < 10; ++k, --pushed) {
      EXPECT_EQ(ring.back().first, text(pushed - 1));
      ring.pop_back();
    }
    EXPECT_EQ(ring.size(), CTypingContext::kMaxReplacements - 10);
  }
  while (!ring.empty()) ring.pop_back();
  ring.push_back(u"a", u"b");
  ASSERT_EQ(ring.size(), 1u);
  EXPECT_EQ(ring[0], std::make_pair(std::u16string(u"a"), std::u16string(u"b")));
}

}  // namespace
}  // namespace tavirel::test
