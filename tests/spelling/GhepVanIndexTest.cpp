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

// Entry i lists "<letter><letter>..." spellings of lengths 1 to 5 built from
// i, so that short and long ones mix and many share their first units.
Lines ManySpellings(int count) {
  Lines lines{u"CacPAD.Count=1", u"CacPAD.0=b"};
  std::u16string n = u"CacNA.Count=";
  for (char c : std::to_string(count)) n.push_back(static_cast<char16_t>(c));
  lines.push_back(n);
  for (int i = 0; i < count; ++i) {
    std::u16string line = u"CacNA.";
    for (char c : std::to_string(i)) line.push_back(static_cast<char16_t>(c));
    line += u"=";
    std::u16string spelling;
    for (int len = 1; len <= 5; ++len) {
      spelling.push_back(static_cast<char16_t>(u'a' + (i * 7 + len * 3) % 26));
      if (len > 1) line += u" ";
      line += spelling;
    }
    lines.push_back(line);
  }
  return lines;
}

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

}  // namespace
}  // namespace tavirel
