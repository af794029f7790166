// The suggestion engine on the shipped compound dictionary: the matching
// steps by example, an independent full-range scan as the reference for
// queries cut from real prose, the limit, the groups, learning, the
// remembered empty queries; and the used-keywords file against damaged,
// hostile and stale files.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "common/AppDirectory.h"
#include "common/Letters.h"
#include "common/TextFile.h"
#include "common/Utf8.h"
#include "spelling/CSuggestionEngine.h"
#include "spelling/CTuDienTuGhep.h"
#include "spelling/UsedKeywordsFile.h"

namespace tavirel {
namespace {

const CTuDienTuGhep& Dictionary() {
  static const CTuDienTuGhep d = [] {
    CTuDienTuGhep x;
    x.Load(ResourcePath(u"TuDienTuGhep.txt"));
    return x;
  }();
  return d;
}

std::vector<std::u16string> Search(CSuggestionEngine& engine, std::vector<std::u16string> queries) {
  engine.SetQueries(queries);
  engine.Search();
  std::vector<std::u16string> out;
  for (const int32_t e : engine.Results()) out.push_back(engine.ResultText(e));
  return out;
}

size_t IndexOf(const std::vector<std::u16string>& list, std::u16string_view text) {
  return static_cast<size_t>(std::find(list.begin(), list.end(), text) - list.begin());
}

// The prose corpus beside this file (a relative __FILE__ is relative to the
// build folder, the parent of the binaries' folder).
std::u16string CorpusPath() {
  std::u16string here = Utf8ToUtf16(__FILE__);
  here = here.substr(0, here.rfind(u'/')) + u"/data/ProseCorpus.txt";
  return here.starts_with(u"/") ? here : AppDirectory() + u"/../" + here;
}

// ---- the reference: every step as written, scanning the whole letter range
// in entry order with taken marks, no index ----

struct Reference {
  const CTuDienTuGhep& d;
  const CSuggestionEngine::UsedKeywords& used;
  int32_t limit;
  std::vector<int32_t> out;
  std::vector<bool> taken;
  std::vector<std::u16string> bases, keys;

  Reference(const CTuDienTuGhep& dictionary, const CSuggestionEngine::UsedKeywords& u, int32_t l)
      : d(dictionary), used(u), limit(l) {
    for (const auto& t : d.Entries()) {
      bases.push_back(Base(t));
      keys.push_back(CSuggestionEngine::InitialsKey(t));
    }
  }

  std::u16string Base(std::u16string_view t) const {
    std::u16string b(t);
    for (auto& c : b) c = CSuggestionEngine::Fold(c);
    return b;
  }
  bool Full() const { return limit > 0 && static_cast<int32_t>(out.size()) >= limit; }
  bool Add(int e) {
    out.push_back(e);
    taken[static_cast<size_t>(e)] = true;
    return !Full();
  }
  // Scans the range; fits(entry, base, initials) decides.
  template <typename F>
  bool Scan(int first, int last, F fits) {
    for (int e = first; e <= last; ++e) {
      if (taken[static_cast<size_t>(e)]) continue;
      const std::u16string& t = d.Entry(e);
      if (fits(t, bases[static_cast<size_t>(e)], keys[static_cast<size_t>(e)]) && !Add(e)) return false;
    }
    return true;
  }
  std::vector<int32_t> Run(std::u16string q) {
    out.clear();
    for (auto& c : q) c = letters::ToLower(c);
    taken.assign(d.Size(), false);
    if (q.size() < 2) return out;
    if (auto it = used.find(q); it != used.end()) {
      for (int32_t e : it->second) {
        if (e >= 0 && static_cast<size_t>(e) < d.Size() && !taken[static_cast<size_t>(e)] && !Add(e)) return out;
      }
    }
    int first = 0, last = -1;
    if (!d.LetterRange(q[0], first, last)) return out;
    const size_t n = q.size();
    const std::u16string_view qv(q);
    const bool marked = std::any_of(q.begin(), q.end(), [](char16_t c) { return letters::HasDiacritic(c); });
    if (marked) {
      int s = 0, w = 0;
      for (char16_t c : q) {
        if (c == u' ') ++s;
        else if (letters::HasDiacritic(c)) w = s;
      }
      if (q.back() == u' ') --s;
      if (s == 0 || w == s) {
        Scan(first, last, [&](auto& t, auto&, auto&) { return CSuggestionEngine::BeginsWithSyllables(t, qv); });
        return out;
      }
      size_t p = 0;
      for (int seen = 0; p < n; ++p) {
        if (q[p] == u' ' && ++seen == w + 1) break;
      }
      const std::u16string head = q.substr(0, p) + u" ";
      const std::u16string tail = q.substr(p + 1);
      Scan(first, last, [&](auto& t, auto& b, auto&) {
        return t.size() >= head.size() && CSuggestionEngine::BeginsWithSyllables(t, head) &&
               std::u16string_view(b).substr(head.size()).starts_with(tail);
      });
      return out;
    }
    if (q.find(u' ') != std::u16string::npos) {
      Scan(first, last, [&](auto&, auto& b, auto&) { return b.starts_with(qv); });
      return out;
    }
    for (int e = first; e <= last; ++e) {
      if (d.Entry(e).size() <= n) taken[static_cast<size_t>(e)] = true;
    }
    const auto afterSpace = [](std::u16string_view b) {
      const size_t s = b.find(u' ');
      return s == std::u16string_view::npos ? std::u16string_view() : b.substr(s + 1);
    };
    if (n <= 4 && !Scan(first, last, [&](auto&, auto&, auto& k) { return k == q; })) return out;
    if (n > 2) {
      if (n < 8 && !Scan(first, last, [&](auto&, auto& b, auto&) {
            return b.find(u' ') == n && b.starts_with(qv);
          })) {
        return out;
      }
      if (!Scan(first, last, [&](auto&, auto& b, auto& k) {
            return !k.empty() && qv.starts_with(k) && b.ends_with(u" " + q.substr(k.size() - 1));
          })) {
        return out;
      }
      if (!Scan(first, last, [&](auto&, auto& b, auto& k) {
            return !k.empty() && qv.starts_with(k) && b.find(u' ') != std::u16string::npos &&
                   afterSpace(b).starts_with(qv.substr(k.size() - 1));
          })) {
        return out;
      }
      for (size_t j = 2; j <= std::min<size_t>(n - 1, 7); ++j) {
        if (!Scan(first, last, [&](auto&, auto& b, auto&) {
              return b.starts_with(qv.substr(0, j)) && b.find(u' ') != std::u16string::npos &&
                     afterSpace(b).starts_with(qv.substr(j));
            })) {
          return out;
        }
      }
      if (!Scan(first, last, [&](auto&, auto& b, auto&) { return b.starts_with(qv); })) return out;
    }
    if (n < 4) Scan(first, last, [&](auto&, auto&, auto& k) { return k.starts_with(qv); });
    return out;
  }
};

TEST(SuggestionEngine, ExamplesOfEachStep) {
  CSuggestionEngine engine(0);
  engine.Attach(Dictionary());
  // One letter: nothing.
  EXPECT_TRUE(Search(engine, {u"c"}).empty());
  // Initials.
  const auto ct = Search(engine, {u"ct"});
  EXPECT_LT(IndexOf(ct, u"chương trình"), ct.size());
  for (const auto& t : ct) EXPECT_EQ(CSuggestionEngine::InitialsKey(t).substr(0, 2), u"ct") << Utf16ToUtf8(t);
  // The first word in full without marks, the second begun.
  EXPECT_LT(IndexOf(Search(engine, {u"chuongtr"}), u"chương trình"), 100u);
  // Initials then the last word in full.
  const auto ctrinh = Search(engine, {u"ctrinh"});
  EXPECT_LT(IndexOf(ctrinh, u"chương trình"), ctrinh.size());
  // Marked first word, unmarked start of the second.
  const auto marked = Search(engine, {u"chương tr"});
  EXPECT_LT(IndexOf(marked, u"chương trình"), marked.size());
  EXPECT_LT(IndexOf(marked, u"chương trình nghị sự"), marked.size());
  for (const auto& t : marked) {
    EXPECT_TRUE(t.starts_with(u"chương ") && letters::Bare(t.substr(7)).starts_with(u"tr")) << Utf16ToUtf8(t);
  }
  // The tone of a syllable may sit on either vowel: the dictionary writes
  // "hoà bình", people type "hòa b" as often as "hoà b".
  EXPECT_EQ(Search(engine, {u"hòa b"}), Search(engine, {u"hoà b"}));
  EXPECT_LT(IndexOf(Search(engine, {u"hòa b"}), u"hoà bình"), 24u);
  // A syllable typed whole must have the entry's tone; the last may lack it yet.
  for (const auto& t : Search(engine, {u"chương trình"})) EXPECT_TRUE(t.starts_with(u"chương trình")) << Utf16ToUtf8(t);
  EXPECT_LT(IndexOf(Search(engine, {u"chương trinh"}), u"chương trình"), 24u);
  const auto otherTone = Search(engine, {u"hoá b"});
  EXPECT_EQ(IndexOf(otherTone, u"hoà bình"), otherTone.size());
  const auto lastTone = Search(engine, {u"hoà bính"});
  EXPECT_EQ(IndexOf(lastTone, u"hoà bình"), lastTone.size());
  // Typed upper case is searched in lower case.
  EXPECT_EQ(Search(engine, {u"CHƯƠNG TR"}), marked);
}

TEST(SuggestionEngine, LimitCutsTheSameListAndEndsTheSearch) {
  CSuggestionEngine all(0);
  all.Attach(Dictionary());
  const auto every = Search(all, {u"ch"});
  ASSERT_GT(every.size(), 30u);
  for (const int32_t limit : {1, 12, 24}) {
    CSuggestionEngine cut(limit);
    cut.Attach(Dictionary());
    const auto some = Search(cut, {u"ch", u"th"});
    ASSERT_EQ(some.size(), static_cast<size_t>(limit));
    EXPECT_TRUE(std::equal(some.begin(), some.end(), every.begin()));
    // The second text was never searched: no group starts for it.
    EXPECT_EQ(cut.GroupStarts(), (std::vector<int32_t>{0, limit}));
    EXPECT_EQ(cut.GroupOf(limit - 1), 0);
  }
}

TEST(SuggestionEngine, GroupsTellWhichTextFoundARow) {
  CSuggestionEngine engine(0);
  engine.Attach(Dictionary());
  const auto both = Search(engine, {u"chương tr", u"tr"});
  const auto& starts = engine.GroupStarts();
  ASSERT_EQ(starts.size(), 3u);
  EXPECT_EQ(starts[0], 0);
  EXPECT_EQ(static_cast<size_t>(starts[2]), both.size());
  EXPECT_EQ(static_cast<size_t>(starts[1]), Search(engine, {u"chương tr"}).size());
  Search(engine, {u"chương tr", u"tr"});
  for (int p = 0; p < starts[2]; ++p) EXPECT_EQ(engine.GroupOf(p), p < starts[1] ? 0 : 1);
  EXPECT_EQ(engine.GroupOf(-1), 0);
  EXPECT_EQ(engine.GroupOf(starts[2]), 0);
}

TEST(SuggestionEngine, LearnedChoiceComesFirstAndOnce) {
  CSuggestionEngine engine(24);
  engine.Attach(Dictionary());
  const auto before = Search(engine, {u"ct"});
  ASSERT_GE(before.size(), 3u);
  const int32_t third = engine.Results()[2];
  engine.Learn(u"ct", third);
  const auto after = Search(engine, {u"ct"});
  EXPECT_EQ(after[0], before[2]);
  EXPECT_EQ(std::count(after.begin(), after.end(), before[2]), 1);
  EXPECT_EQ(after[1], before[0]);
  // Learning again moves it to the front of the list, not twice into it.
  engine.Learn(u"ct", engine.Results()[5]);
  engine.Learn(u"ct", third);
  EXPECT_EQ(engine.Used().at(u"ct"), (std::vector<int32_t>{third, engine.Results()[5]}));
}

TEST(SuggestionEngine, EmptyQueriesAreRememberedSixAtMost) {
  CSuggestionEngine engine(0);
  engine.Attach(Dictionary());
  EXPECT_TRUE(Search(engine, {u"qzx"}).empty());
  EXPECT_EQ(engine.EmptyQueries(), (std::vector<std::u16string>{u"qzx"}));
  Search(engine, {u"qzxa"});  // skipped, so not remembered again
  EXPECT_EQ(engine.EmptyQueries().size(), 1u);
  for (const auto* q : {u"bzq1", u"bzq2", u"bzq3", u"bzq4", u"bzq5", u"bzq6"}) Search(engine, {q});
  EXPECT_EQ(engine.EmptyQueries(), (std::vector<std::u16string>{u"bzq3", u"bzq4", u"bzq5", u"bzq6"}));
  // Short texts are never remembered: a longer one may still match.
  Search(engine, {u"zz"});
  EXPECT_EQ(engine.EmptyQueries().size(), 4u);
}

// Queries the way people type them, cut from the prose corpus: with marks,
// without, initials, initials plus the last word, a marked word then a bare
// start; every one gives exactly the reference's list.
TEST(SuggestionEngine, MatchesTheFullScanOnQueriesFromProse) {
  std::vector<std::u16string> words;
  for (const auto& line : ReadTextLines(CorpusPath())) {
    if (line.empty() || line[0] == u'#') continue;
    size_t i = 0;
    while (i < line.size()) {
      const size_t j = std::min(line.find(u' ', i), line.size());
      if (j > i) words.push_back(letters::ToLower(line.substr(i, j - i)));
      i = j + 1;
    }
  }
  ASSERT_GT(words.size(), 1000u);
  std::mt19937 rng(13);
  CSuggestionEngine::UsedKeywords used{{u"ct", {5, 40000, 9000, -1, 70000}}, {u"kh", {99}}};
  for (const int32_t limit : {0, 24}) {
    CSuggestionEngine engine(limit);
    engine.Attach(Dictionary());
    engine.SetUsed(used);
    Reference ref(Dictionary(), used, limit);
    for (int round = 0; round < 1200; ++round) {
      const size_t i = rng() % (words.size() - 1);
      const std::u16string& a = words[i];
      const std::u16string& b = words[i + 1];
      std::u16string q;
      switch (rng() % 6) {
        case 0: q = a.substr(0, 1 + rng() % a.size()); break;
        case 1: q = letters::Bare(a + b).substr(0, 2 + rng() % (a.size() + b.size())); break;
        case 2: q = letters::Bare(a.substr(0, 1) + b.substr(0, 1)); break;
        case 3: q = letters::Bare(a.substr(0, 1)) + letters::Bare(b); break;
        case 4: q = a + u" " + letters::Bare(b).substr(0, 1 + rng() % b.size()); break;
        default: q = a + u" " + b.substr(0, rng() % (b.size() + 1)); break;
      }
      engine.SetQueries({q});
      engine.Search();
      ASSERT_EQ(engine.Results(), ref.Run(q)) << "query \"" << Utf16ToUtf8(q) << "\" limit " << limit;
    }
  }
}

// ---- Suggestion_UsedKeywords.dat ----

std::string U64(uint64_t v) {
  std::string s;
  for (int i = 0; i < 8; ++i) s.push_back(static_cast<char>(v >> (8 * i)));
  return s;
}
std::string I32(int32_t v) {
  std::string s;
  for (int i = 0; i < 4; ++i) s.push_back(static_cast<char>(static_cast<uint32_t>(v) >> (8 * i)));
  return s;
}

TEST(UsedKeywordsFile, PlainLayoutFirstThenTheStamp) {
  const DictionaryStamp stamp{0x1122334455667788u, 100};
  const CSuggestionEngine::UsedKeywords used{{u"ct", {7, 3}}, {u"chương tr", {42}}, {u"ab", {1}}};
  const std::string bytes = FormatUsedKeywords(used, stamp);
  // Keywords in ascending UTF-16 order, as a reader of the plain format expects.
  const std::string plain = U64(3) + U64(2) + "ab" + U64(1) + I32(1) + U64(11) + "chương tr" + U64(1) + I32(42) +
                            U64(2) + "ct" + U64(2) + I32(7) + I32(3);
  ASSERT_EQ(bytes.substr(0, plain.size()), plain);
  EXPECT_EQ(bytes.size(), plain.size() + 24);
  CSuggestionEngine::UsedKeywords back;
  EXPECT_EQ(ParseUsedKeywords(bytes, stamp, back), UsedKeywordsStatus::Read);
  EXPECT_EQ(back, used);
  // Written for another dictionary (or another size of it): ignored whole.
  EXPECT_EQ(ParseUsedKeywords(bytes, DictionaryStamp{stamp.Fingerprint + 1, 100}, back), UsedKeywordsStatus::Stale);
  EXPECT_TRUE(back.empty());
  EXPECT_EQ(ParseUsedKeywords(bytes, DictionaryStamp{stamp.Fingerprint, 101}, back), UsedKeywordsStatus::Stale);
  // Without the stamp (an older file): read, numbers outside the dictionary dropped.
  EXPECT_EQ(ParseUsedKeywords(plain, DictionaryStamp{0, 8}, back), UsedKeywordsStatus::Read);
  EXPECT_EQ(back, (CSuggestionEngine::UsedKeywords{{u"ab", {1}}, {u"ct", {7, 3}}}));
  // A keyword twice: both lists joined.
  const std::string twice = U64(2) + U64(2) + "ct" + U64(1) + I32(4) + U64(2) + "ct" + U64(2) + I32(5) + I32(-3);
  EXPECT_EQ(ParseUsedKeywords(twice, DictionaryStamp{0, 10}, back), UsedKeywordsStatus::Read);
  EXPECT_EQ(back, (CSuggestionEngine::UsedKeywords{{u"ct", {4, 5}}}));
}

TEST(UsedKeywordsFile, TruncatedAndHostileFilesKeepOnlyWholeKeywords) {
  const DictionaryStamp stamp{77, 1000};
  CSuggestionEngine::UsedKeywords used;
  for (int i = 0; i < 40; ++i) used[u"k" + std::u16string(1, static_cast<char16_t>(u'a' + i % 26)) + u"x"].push_back(i);
  const std::string bytes = FormatUsedKeywords(used, stamp);
  size_t lastKept = 0;
  for (size_t cut = 0; cut < bytes.size(); ++cut) {
    CSuggestionEngine::UsedKeywords back;
    const auto status = ParseUsedKeywords(std::string_view(bytes).substr(0, cut), stamp, back);
    // Every keyword kept is one that was written, with its whole list.
    for (const auto& [k, list] : back) ASSERT_EQ(list, used.at(k)) << cut;
    ASSERT_GE(back.size(), lastKept) << "a longer piece keeps at least as much, at " << cut;
    lastKept = back.size();
    if (cut > 0) {
      ASSERT_NE(status, UsedKeywordsStatus::Stale);
    }
  }
  // Counts and lengths far beyond the bytes: nothing is allocated for them.
  CSuggestionEngine::UsedKeywords back;
  EXPECT_EQ(ParseUsedKeywords(U64(~0ull) + U64(~0ull) + "ab", stamp, back), UsedKeywordsStatus::Truncated);
  EXPECT_EQ(ParseUsedKeywords(U64(1) + U64(2) + "ab" + U64(1ull << 61) + I32(1), stamp, back),
            UsedKeywordsStatus::Truncated);
  EXPECT_EQ(ParseUsedKeywords(U64(1ull << 62) + U64(2) + "ab" + U64(1) + I32(1), stamp, back),
            UsedKeywordsStatus::Truncated);
  EXPECT_EQ(back, (CSuggestionEngine::UsedKeywords{{u"ab", {1}}}));
}

TEST(UsedKeywordsFile, SavedFileIsReadBackAndTooLargeFilesAreNotRead) {
  const std::u16string path = Utf8ToUtf16(testing::TempDir()) + u"used_keywords_test.dat";
  const DictionaryStamp stamp = StampOf(Dictionary());
  const CSuggestionEngine::UsedKeywords used{{u"ct", {12234, 6626}}};
  ASSERT_TRUE(SaveUsedKeywordsFile(path, used, stamp));
  CSuggestionEngine::UsedKeywords back;
  EXPECT_EQ(LoadUsedKeywordsFile(path, stamp, back), UsedKeywordsStatus::Read);
  EXPECT_EQ(back, used);
  // An empty map leaves the file as it is.
  ASSERT_TRUE(SaveUsedKeywordsFile(path, {}, stamp));
  EXPECT_EQ(LoadUsedKeywordsFile(path, stamp, back), UsedKeywordsStatus::Read);
  EXPECT_EQ(back, used);
  std::string huge = U64(1) + U64(2) + "ct" + U64(1) + I32(1);
  huge.resize(kMaxUsedKeywordsFileSize + 1, '\0');
  ASSERT_TRUE(WriteFileAtomically(path, huge));
  EXPECT_EQ(LoadUsedKeywordsFile(path, stamp, back), UsedKeywordsStatus::Missing);
  EXPECT_TRUE(back.empty());
  std::remove(Utf16ToUtf8(path).c_str());
  EXPECT_EQ(LoadUsedKeywordsFile(path, stamp, back), UsedKeywordsStatus::Missing);
}

}  // namespace
}  // namespace tavirel
