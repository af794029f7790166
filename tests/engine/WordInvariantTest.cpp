// Random key streams: whatever is typed, the word's views and counts agree.
#include <algorithm>
#include <iterator>
#include <random>

#include "WordTestUtil.h"
#include "service/CIncompleteMemo.h"

namespace tavirel::test {
namespace {

::testing::AssertionResult Consistent(const CWord& w) {
  auto fail = [&](const char* what) {
    return ::testing::AssertionFailure() << what << "\n" << U8(w.Dump());
  };
  if (w.CacKT.size() != w.CacKTThuong.size()) return fail("views differ in length");
  for (size_t i = 0; i < w.CacKT.size(); ++i) {
    if (letters::ToLower(w.CacKT[i]) != w.CacKTThuong[i]) return fail("views differ");
  }
  if (w.CDPAD < 0 || w.CDNA < 0 || w.CDPAC < 0 || w.CD0TV < 0) return fail("negative count");
  if (w.CDPAD + w.CDNA + w.CDPAC + w.CD0TV != w.Length()) return fail("counts do not add up");
  if (w.DT >= 0) {
    if (w.VTDT < w.CDPAD || w.VTDT >= w.CDPAD + w.CDNA) return fail("tone outside the nucleus");
    if (w.CacKTThuong[w.VTDT] != letters::AddTone(w.KTCoDT, w.DT)) return fail("toned letter");
  } else if (w.VTDT != -1 || w.KTCoDT != 0) {
    return fail("tone fields without a tone");
  }
  int tones = 0;
  for (int i = w.CDPAD; i < w.CDPAD + w.CDNA; ++i) tones += letters::ToneOf(w.CacKTThuong[i]) >= 0;
  if (tones > 1) return fail("two tones");
  if (w.VTDau >= w.Length()) return fail("mark outside the word");
  if (w.WA == 0 && (w.CDNA != 0 || w.CDPAC != 0)) return fail("WA 0 with a nucleus");
  if (w.WA == 2 && w.CDPAC == 0) return fail("WA 2 without a final");
  return ::testing::AssertionSuccess();
}

// Whether the word cannot end here, worked out from its parts with the
// general syllable check.
bool IncompleteByParts(const CWord& w, const CGhepVan& g) {
  static const std::u16string_view kNeedFinal[] = {u"â",  u"ă",  u"iê", u"oă",  u"oo",
                                                   u"uâ", u"uô", u"ươ", u"uyê", u"yê"};
  if (w.WA != 1 && w.WA != 2) return false;
  const std::u16string n = w.Nucleus();
  if (w.WA == 1) {
    if (std::find(std::begin(kNeedFinal), std::end(kNeedFinal), n) != std::end(kNeedFinal)) return true;
    return w.CDNA != 1 && !w.CheckSyllableExact(n);
  }
  const std::u16string f = w.Final();
  if (w.DT >= 1 && w.DT <= 3 && (f == u"c" || f == u"ch" || f == u"p" || f == u"t")) return true;
  return w.CDNA > 0 && !g.RhymeAllowsFinal(w.Initial(), n, f);
}

TEST_F(WordTest, RandomKeysKeepTheWordConsistent) {
  static constexpr std::u16string_view kKeys = u"aeiouydwsfrxjzqgnhtcmpbkAEOUWDSG1[]{";
  std::mt19937 rng(12345);
  CIncompleteMemo memo;
  for (int round = 0; round < 5000; ++round) {
    BoDauThanhKieu2 = round % 2;
    w.Reset();
    const int n = 1 + static_cast<int>(rng() % 12);
    for (int k = 0; k < n; ++k) {
      const unsigned pick = rng() % 20;
      if (pick == 0) {
        w.RemoveLast();
      } else if (pick == 1 && w.CD0TV == 0) {
        const char16_t key = kKeys[rng() % kKeys.size()];
        w.ThemPhim = false;
        w.SetKey(key, letters::ToLower(key));
        w.ApplyFunction(static_cast<int>(rng() % 34));
        if (w.ThemPhim) w.AddLetter();
      } else {
        Key(kKeys[rng() % kKeys.size()]);
      }
      ASSERT_TRUE(Consistent(w)) << "round " << round << " raw " << U8(w.Raw);
      ASSERT_EQ(w.IsIncomplete(), IncompleteByParts(w, *GhepVan)) << U8(w.Dump());
      // The word end remembers the answer per syllable: the same answer.
      ASSERT_EQ(memo.IsIncomplete(w), w.IsIncomplete()) << U8(w.Dump());
    }
    // Word-end operations on whatever was typed.
    CWord copy(this);
    w.CopyTo(copy);
    copy.RestoreRaw();
    ASSERT_TRUE(Consistent(copy)) << U8(w.Raw);
    ASSERT_EQ(copy.IsIncomplete(), IncompleteByParts(copy, *GhepVan)) << U8(copy.Dump());
    w.FromText(w.CacKT);
    ASSERT_TRUE(Consistent(w)) << U8(w.CacKT);
    ASSERT_EQ(w.IsIncomplete(), IncompleteByParts(w, *GhepVan)) << U8(w.Dump());
  }
  BoDauThanhKieu2 = false;
}

}  // namespace
}  // namespace tavirel::test
