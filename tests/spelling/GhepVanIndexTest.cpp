// The rhyme-table lookups against a plain search of the entries, on tables
// with many spellings (so the index has to probe past collisions), spellings
// longer than the packed ones, and aliases added and taken away.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "spelling/CGhepVan.h"

namespace tavirel {
namespace {

using Lines = std::vector<std::u16string>;

int Search(const CGhepVan::Entries& entries, std::u16string_view s) {
  for (size_t i = 0; i < entries.size(); ++i) {
    for (const std::u16string& e : entries[i]) {
      if (e == s) return static_cast<int>(i);
    }
  }
  return -1;
}

// Nuclei built from the given units: entry i lists spellings of lengths 1 to
// maxLength that start at unit i, so that short and long ones mix and many
// share their first units.
Lines SpellingsOf(const std::u16string& units, int count, size_t maxLength = 4) {
  Lines lines{u"CacPAD.Count=1", u"CacPAD.0=b"};
  std::u16string n = u"CacNA.Count=";
  for (char c : std::to_string(count)) n.push_back(static_cast<char16_t>(c));
  lines.push_back(n);
  for (int i = 0; i < count; ++i) {
    std::u16string line = u"CacNA.";
    for (char c : std::to_string(i)) line.push_back(static_cast<char16_t>(c));
    line += u"=";
    std::u16string spelling;
    for (size_t len = 1; len <= maxLength; ++len) {
      spelling.push_back(units[(static_cast<size_t>(i) * 5 + len * len) % units.size()]);
      if (len > 1) line += u" ";
      line += spelling;
    }
    lines.push_back(line);
  }
  return lines;
}

Lines ManySpellings(int count) { return SpellingsOf(u"abcdefghijklmnopqrstuvwxyz", count, 5); }

TEST(GhepVanIndex, AgreesWithTheEntries) {
  const CGhepVan g(ManySpellings(300));
  ASSERT_EQ(g.Nuclei().size(), 300u);
  for (const auto& entry : g.Nuclei()) {
    for (const std::u16string& s : entry) {
      EXPECT_EQ(g.FindNucleus(s), Search(g.Nuclei(), s)) << s.size();
      // A prefix or an extension of a listed spelling is found only when listed.
      const std::u16string longer = s + u"q";
      EXPECT_EQ(g.FindNucleus(longer), Search(g.Nuclei(), longer));
      EXPECT_EQ(g.FindNucleus(s.substr(0, s.size() - 1)), Search(g.Nuclei(), s.substr(0, s.size() - 1)));
    }
  }
  // Units that differ only above the low byte.
  EXPECT_EQ(g.FindNucleus(u"\u0161"), -1);
  EXPECT_EQ(g.FindInitial(u""), -1);
  EXPECT_EQ(g.FindFinal(u"b"), -1);
}

TEST(GhepVanIndex, AliasesOfEveryLength) {
  CGhepVan g(ManySpellings(4));
  for (const std::u16string alias : {u"x", u"xyzzy", u"xyz"}) {
    g.AddInitialAlias(alias, u"b");
    EXPECT_EQ(g.FindInitial(alias), 0);
    EXPECT_EQ(g.FindInitial(u"b"), 0);
    g.RemoveInitialAlias(alias);
    EXPECT_EQ(g.FindInitial(alias), -1);
  }
  // An empty table answers nothing.
  const CGhepVan empty(Lines{});
  EXPECT_EQ(empty.FindNucleus(u"a"), -1);
  EXPECT_FALSE(empty.IsBareNucleus(u"ai"));
}

void ExpectNucleiAgree(const CGhepVan& g, const std::u16string& units) {
  for (const auto& entry : g.Nuclei()) {
    for (const std::u16string& s : entry) {
      EXPECT_EQ(g.FindNucleus(s), Search(g.Nuclei(), s));
      for (char16_t u : units.substr(0, 8)) {
        const std::u16string longer = s + u;
        EXPECT_EQ(g.FindNucleus(longer), Search(g.Nuclei(), longer));
      }
      const std::u16string shorter = s.substr(0, s.size() - 1);
      EXPECT_EQ(g.FindNucleus(shorter), Search(g.Nuclei(), shorter));
    }
  }
}

// Toned letters, letters of other scripts and units just past Latin
// Extended-B mixed with plain ones; a table large enough (five hundred
// spellings of about 270 different units) that only the map holds it.
TEST(GhepVanIndex, UnitsOfEveryRangeAndOversizedTables) {
  const std::u16string mixed = u"a\u0111\u01B0\u01FF\u0200\u1EA1\u4E00\uFFFF";
  const CGhepVan small(SpellingsOf(mixed, 40));
  ASSERT_EQ(small.Nuclei().size(), 40u);
  ExpectNucleiAgree(small, mixed);
  EXPECT_EQ(small.FindNucleus(u"\u1EA1"), Search(small.Nuclei(), u"\u1EA1"));
  EXPECT_EQ(small.FindNucleus(u"b"), -1);

  std::u16string many;
  for (char16_t u = 0x100; u < 0x200; ++u) many.push_back(u);
  many += u"aeiou\u1EA1\u4E00";
  const CGhepVan large(SpellingsOf(many, 500));
  ASSERT_EQ(large.Nuclei().size(), 500u);
  ExpectNucleiAgree(large, many);
}

// Plain search: some final allowed after the nucleus has a spelling that
// begins with the prefix (the user's allowed words are left out here).
bool SearchFinalPrefix(const CGhepVan& g, std::u16string_view nucleus, std::u16string_view prefix) {
  const int n = Search(g.Nuclei(), nucleus);
  if (n < 0) return false;
  for (int32_t f : g.NucleusFinals()[static_cast<size_t>(n)]) {
    if (f < 0 || static_cast<size_t>(f) >= g.Finals().size()) continue;
    for (const std::u16string& spelling : g.Finals()[static_cast<size_t>(f)]) {
      if (spelling.substr(0, prefix.size()) == prefix) return true;
    }
  }
  return false;
}

void ExpectFinalPrefixesAgree(const CGhepVan& g, const char* when) {
  std::vector<std::u16string> prefixes{u"", u"x", u"nn", u"chh", u"ngh"};
  for (const auto& entry : g.Finals()) {
    for (const std::u16string& spelling : entry) {
      for (size_t k = 1; k <= spelling.size(); ++k) prefixes.push_back(spelling.substr(0, k));
    }
  }
  int checked = 0;
  for (const auto& entry : g.Nuclei()) {
    for (const std::u16string& nucleus : entry) {
      for (const std::u16string& prefix : prefixes) {
        EXPECT_EQ(g.NucleusAllowsFinalPrefix(nucleus, prefix), SearchFinalPrefix(g, nucleus, prefix))
            << when << ": " << nucleus.size() << " " << prefix.size();
        ++checked;
      }
    }
  }
  EXPECT_GT(checked, 500) << when;
}

TEST(GhepVanIndex, FinalPrefixesAgreeWithTheEntries) {
  CGhepVan g;  // the shipped tables
  ASSERT_FALSE(g.Finals().empty());
  ExpectFinalPrefixesAgree(g, "as shipped");
  g.SetUoWithFinals(true);
  ExpectFinalPrefixesAgree(g, "uo with finals");
  g.AddFinalAlias(u"g", u"ng");
  g.AddFinalAlias(u"kh", u"ch");
  ExpectFinalPrefixesAgree(g, "aliases");
  EXPECT_TRUE(g.NucleusAllowsFinalPrefix(u"a", u"k"));
  g.RemoveFinalAlias(u"kh");
  g.SetUoWithFinals(false);
  ExpectFinalPrefixesAgree(g, "taken back");
  EXPECT_FALSE(g.NucleusAllowsFinalPrefix(u"a", u"k"));
}

bool SearchFinal(const CGhepVan& g, std::u16string_view nucleus, std::u16string_view final) {
  const int n = Search(g.Nuclei(), nucleus);
  const int f = Search(g.Finals(), final);
  if (n < 0 || f < 0) return false;
  for (int32_t allowed : g.NucleusFinals()[static_cast<size_t>(n)]) {
    if (allowed == f) return true;
  }
  return false;
}

// Aliases added and taken away in batches, with the widening of "uơ"
// switched between them, leave the same tables as one at a time, and after
// every step the lookups answer exactly what a search of the entries finds,
// also for a spelling listed twice (taken from one entry, it is still found
// in the other) and for a state the tables were in before.
TEST(GhepVanIndex, BatchedFinalAliasesMatchOneAtATime) {
  const std::u16string_view spellings[] = {u"g", u"k", u"h", u"kh", u"ngh", u"xyzzy", u"c", u"ng", u"b", u""};
  const std::u16string_view existing[] = {u"ng", u"ch", u"nh", u"c", u"n", u"t", u"zz", u"g"};
  uint32_t seed = 12345;
  const auto next = [&seed](uint32_t n) {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 16) % n;
  };
  // Final "c" listed twice.
  const Lines small{u"CacPAD.Count=1", u"CacPAD.0=b", u"CacNA.Count=2", u"CacNA.0=a", u"CacNA.1=o",
                    u"CacPAC.Count=4", u"CacPAC.0=c", u"CacPAC.1=ch ng", u"CacPAC.2=c nh", u"CacPAC.3=n t",
                    u"NA_PAC.0=0 1 2", u"NA_PAC.1=1 3"};
  for (int round = 0; round < 40; ++round) {
    const bool shipped = round % 2 == 0;
    CGhepVan one = shipped ? CGhepVan() : CGhepVan(small);
    CGhepVan batched = shipped ? CGhepVan() : CGhepVan(small);
    for (int step = 0; step < 12; ++step) {
      std::vector<CGhepVan::Alias> aliases(1 + next(4));
      for (CGhepVan::Alias& a : aliases) {
        a.Spelling = spellings[next(std::size(spellings))];
        a.Existing = existing[next(std::size(existing))];
      }
      const bool add = next(3) != 0;
      for (const CGhepVan::Alias& a : aliases) {
        if (add) {
          one.AddFinalAlias(std::u16string(a.Spelling), std::u16string(a.Existing));
        } else {
          one.RemoveFinalAlias(std::u16string(a.Spelling));
        }
      }
      if (add) {
        batched.AddFinalAliases(aliases);
      } else {
        batched.RemoveFinalAliases(aliases);
      }
      if (next(3) == 0) {
        const bool uo = next(2) != 0;
        one.SetUoWithFinals(uo);
        batched.SetUoWithFinals(uo);
      }
      ASSERT_EQ(batched.Finals(), one.Finals()) << round << " " << step;
      ASSERT_EQ(batched.NucleusFinals(), one.NucleusFinals()) << round << " " << step;
      for (const std::u16string_view s : spellings) {
        ASSERT_EQ(batched.FindFinal(s), Search(batched.Finals(), s)) << round << " " << step << " " << s.size();
        for (const std::u16string_view nucleus : {u"a", u"o", u"uơ", u"iê"}) {
          ASSERT_EQ(batched.NucleusAllowsFinal(nucleus, s), SearchFinal(batched, nucleus, s))
              << round << " " << step << " " << s.size();
          for (size_t k = 0; k <= s.size(); ++k) {
            ASSERT_EQ(batched.NucleusAllowsFinalPrefix(nucleus, s.substr(0, k)),
                      SearchFinalPrefix(batched, nucleus, s.substr(0, k)))
                << round << " " << step << " " << s.size() << " " << k;
          }
        }
      }
    }
    if (shipped) ExpectFinalPrefixesAgree(batched, "batched");
  }
}

}  // namespace
}  // namespace tavirel
