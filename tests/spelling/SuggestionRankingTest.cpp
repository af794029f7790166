// How well the suggestion list serves real prose. For every compound word of
// the dictionary met in the held-out half of the prose corpus (the lines at
// odd positions; the order of use in Resources/TuGhepThongDung.txt was
// counted on the other half), its Telex keys are typed one by one after the
// word before it, and after its first 2, 3 and 4 keys (and after its
// initials typed alone) the list the service would show is searched: is the
// word first, is it among the first 5, and how many keys would picking it
// save (its keys and the space, less the keys typed and the pick key; a word
// not among the 24 shown saves nothing). Both orders are measured, the
// dictionary order and the order of use; the shipped one keeps a floor.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "TypeKeys.h"
#include "common/AppDirectory.h"
#include "common/Letters.h"
#include "common/TextFile.h"
#include "common/Utf8.h"
#include "service/CTypingContext.h"
#include "spelling/CSuggestionEngine.h"
#include "spelling/CTuDienTuGhep.h"
#include "spelling/SuggestionRanking.h"
#include "tables/CKieuGo.h"

namespace tavirel {
namespace {

std::u16string CorpusPath() {
  std::u16string here = Utf8ToUtf16(__FILE__);
  here = here.substr(0, here.rfind(u'/')) + u"/data/ProseCorpus.txt";
  return here.starts_with(u"/") ? here : AppDirectory() + u"/../" + here;
}

struct Case {
  std::u16string before;  // the word typed before the compound, or empty
  std::u16string compound;
};

struct Score {
  size_t cases = 0, first = 0, top5 = 0;
  size_t keys = 0, saved = 0;
  double Rate(size_t n) const { return cases == 0 ? 0 : 100.0 * static_cast<double>(n) / static_cast<double>(cases); }
};

// The compound words of the held-out lines, longest first at each place.
std::vector<Case> HeldOutCompounds(const CTuDienTuGhep& d) {
  std::vector<Case> cases;
  size_t index = 0;
  for (const auto& line : ReadTextLines(CorpusPath())) {
    if (line.empty() || line[0] == u'#') continue;
    if (index++ % 2 == 0) continue;
    std::vector<std::u16string> words;
    std::u16string word;
    for (const char16_t c : line + u" ") {
      if (letters::IsLower(c) || letters::IsUpper(c)) {
        word.push_back(letters::ToLower(c));
      } else {
        if (!word.empty()) words.push_back(word);
        word.clear();
      }
    }
    for (size_t i = 0; i < words.size();) {
      size_t taken = 1;
      for (size_t n = std::min<size_t>(4, words.size() - i); n >= 2; --n) {
        std::u16string c = words[i];
        for (size_t k = 1; k < n; ++k) c += u" " + words[i + k];
        const int e = d.Find(c);
        if (e >= 0 && d.Entry(e) == c) {
          cases.push_back({i > 0 ? words[i - 1] : u"", c});
          taken = n;
          break;
        }
      }
      i += taken;
    }
  }
  return cases;
}

Score Measure(const CTuDienTuGhep& d, const std::vector<Case>& cases, const std::vector<uint32_t>& rank) {
  CSuggestionEngine engine(24);
  engine.Attach(d);
  engine.SetRanking(rank);
  CTypingContext c(nullptr);
  c.SetBindings(LoadBuiltInKieuGo(u"Telex 2"));
  Score s;
  std::vector<std::u16string> queries;
  const auto look = [&](const std::u16string& target, size_t typed, size_t full) {
    engine.SetQueries(queries);
    engine.Search();
    const auto& r = engine.Results();
    size_t p = 0;
    while (p < r.size() && engine.ResultText(r[p]) != target) ++p;
    ++s.cases;
    s.keys += full;
    if (p == 0) ++s.first;
    if (p < 5) ++s.top5;
    if (p < r.size() && full > typed + 1) s.saved += full - typed - 1;
  };
  for (const auto& kase : cases) {
    const std::u16string keys = test::TelexKeys(kase.compound);
    const size_t full = keys.size() + 1;
    for (const size_t k : {2u, 3u, 4u}) {
      if (k >= keys.size()) continue;
      c.Reset();
      if (!kase.before.empty()) {
        for (const char16_t ch : test::TelexKeys(kase.before)) c.ProcessChar(ch);
        c.EndWord(u' ');
      }
      for (size_t i = 0; i < k; ++i) {
        if (keys[i] == u' ') {
          c.EndWord(u' ');
        } else {
          c.ProcessChar(keys[i]);
        }
      }
      c.SuggestionCandidates(queries);
      look(kase.compound, k, full);
    }
    // The initials alone, at the start of a line.
    std::u16string initials;
    for (size_t i = 0; i < kase.compound.size(); ++i) {
      if (i == 0 || kase.compound[i - 1] == u' ') initials.push_back(letters::Bare(kase.compound[i]));
    }
    queries = {initials};
    look(kase.compound, initials.size(), full);
  }
  return s;
}

void Print(const char* name, const Score& s) {
  std::printf("  %-18s %6zu cases  first %5.1f%%  top 5 %5.1f%%  keys saved %5.1f%%\n", name, s.cases, s.Rate(s.first),
              s.Rate(s.top5), s.keys == 0 ? 0.0 : 100.0 * static_cast<double>(s.saved) / static_cast<double>(s.keys));
}

TEST(SuggestionRanking, OrderOfUseBeatsDictionaryOrderOnHeldOutProse) {
  CTuDienTuGhep d;
  ASSERT_TRUE(d.Load(ResourcePath(u"TuDienTuGhep.txt")));
  d.BuildHashes();
  const std::vector<Case> cases = HeldOutCompounds(d);
  ASSERT_GT(cases.size(), 3000u);
  const std::vector<uint32_t> rank = LoadSuggestionRanking(d, ResourcePath(u"TuGhepThongDung.txt"));
  ASSERT_GT(std::count_if(rank.begin(), rank.end(), [](uint32_t r) { return r != UINT32_MAX; }), 500);
  const Score dictionaryOrder = Measure(d, cases, {});
  const Score useOrder = Measure(d, cases, rank);
  Print("dictionary order", dictionaryOrder);
  Print("order of use", useOrder);
  EXPECT_GT(useOrder.first, dictionaryOrder.first);
  EXPECT_GT(useOrder.top5, dictionaryOrder.top5);
  EXPECT_GE(useOrder.saved, dictionaryOrder.saved);
  // Floors of the shipped order.
  EXPECT_GE(useOrder.Rate(useOrder.first), 35.0);
  EXPECT_GE(useOrder.Rate(useOrder.top5), 58.0);
}

}  // namespace
}  // namespace tavirel
