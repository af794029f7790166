#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "common/AppDirectory.h"
#include "common/Letters.h"
#include "common/TextFile.h"
#include "common/Utf8.h"
#include "spelling/CGhepVan.h"

namespace tavirel {
namespace {

using Lines = std::vector<std::u16string>;

// A small table in the file's shape: initials b, c/k (shared on purpose),
// gi, g; nuclei a ă iê ê uơ ươ; finals c n ng.
Lines SmallTable() {
  return {
      u"; a comment",
      u"CacPAD.Count=4",
      u"CacPAD.0=b",
      u"CacPAD.1=c k",
      u"CacPAD.2=gi",
      u"CacPAD.3=g",
      u"CacNA.Count = 6",
      u"CacNA.0=a",
      u"CacNA.1=ă",
      u"CacNA.2=iê",
      u"CacNA.3=ê",
      u"CacNA.4=uơ",
      u"CacNA.5=ươ uo",
      u"CacPAC.Count=3",
      u"CacPAC.0=c",
      u"CacPAC.1=n",
      u"CacPAC.2=ng",
      u"PAD_NA.0=0 1 5",
      u"PAD_NA.1=0 1",
      u"PAD_NA.2=0 3",
      u"PAD_NA.3=0",
      u"NA_PAC.0=0 1 2",
      u"NA_PAC.1=0 1 2",
      u"NA_PAC.2=1 2",
      u"NA_PAC.3=",
      u"NA_PAC.4=",
      u"NA_PAC.5=0 1 2",
  };
}

TEST(GhepVan, LoadsEntriesAndPairTables) {
  const CGhepVan g(SmallTable());
  EXPECT_EQ(g.FindInitial(u"b"), 0);
  EXPECT_EQ(g.FindInitial(u"k"), 1);
  EXPECT_EQ(g.FindInitial(u"q"), -1);
  EXPECT_EQ(g.FindNucleus(u"uo"), 5);
  EXPECT_EQ(g.FindFinal(u"ng"), 2);
  EXPECT_EQ(g.FindFinal(u"N"), -1);  // case-sensitive
  EXPECT_TRUE(g.InitialAllowsNucleus(u"k", u"ă"));
  EXPECT_FALSE(g.InitialAllowsNucleus(u"k", u"ươ"));
  EXPECT_FALSE(g.InitialAllowsNucleus(u"x", u"a"));
  EXPECT_FALSE(g.InitialAllowsNucleus(u"b", u"o"));
  EXPECT_TRUE(g.NucleusAllowsFinal(u"ươ", u"ng"));
  EXPECT_FALSE(g.NucleusAllowsFinal(u"iê", u"c"));
  EXPECT_FALSE(g.NucleusAllowsFinal(u"a", u"t"));
  // An empty NA_PAC value gives an empty list.
  EXPECT_TRUE(g.NucleusFinals()[3].empty());
  EXPECT_FALSE(g.NucleusAllowsFinal(u"ê", u"n"));
}

TEST(GhepVan, BareNucleiAndPrefixes) {
  const CGhepVan g(SmallTable());
  // The bare forms of an entry are distinct, in the order first met.
  EXPECT_EQ(g.BareNuclei()[5], (CGhepVan::Entry{u"uo"}));
  EXPECT_TRUE(g.IsBareNucleus(u"uo"));
  EXPECT_TRUE(g.IsBareNucleus(u"ie"));
  EXPECT_TRUE(g.IsBareNucleus(u"y"));  // any plain vowel alone
  EXPECT_FALSE(g.IsBareNucleus(u"ă"));
  EXPECT_FALSE(g.IsBareNucleus(u"uoi"));
  EXPECT_FALSE(g.IsBareNucleus(u"uooo"));
  EXPECT_TRUE(g.IsNucleus(u"ươ"));
  EXPECT_FALSE(g.IsNucleus(u"ươi"));
  EXPECT_TRUE(g.InitialAllowsBareNucleus(u"b", u"uo"));
  EXPECT_FALSE(g.InitialAllowsBareNucleus(u"c", u"uo"));
  EXPECT_FALSE(g.InitialAllowsBareNucleus(u"z", u"a"));
  // "uo" is the bare form of uơ (no finals) and of ươ (c n ng).
  EXPECT_TRUE(g.BareNucleusAllowsFinal(u"uo", u"ng"));
  EXPECT_TRUE(g.BareNucleusAllowsFinal(u"a", u"c"));
  EXPECT_FALSE(g.BareNucleusAllowsFinal(u"e", u"n"));
  EXPECT_TRUE(g.NucleusAllowsFinalPrefix(u"a", u"n"));
  EXPECT_TRUE(g.NucleusAllowsFinalPrefix(u"a", u""));
  EXPECT_FALSE(g.NucleusAllowsFinalPrefix(u"a", u"ngh"));
  EXPECT_FALSE(g.NucleusAllowsFinalPrefix(u"ê", u""));
  EXPECT_FALSE(g.NucleusAllowsFinalPrefix(u"o", u"n"));
}

TEST(GhepVan, GiPlusEMeansIE) {
  const CGhepVan g(SmallTable());
  EXPECT_TRUE(g.RhymeAllowsFinal(u"gi", u"ê", u"ng"));   // giêng
  EXPECT_FALSE(g.RhymeAllowsFinal(u"g", u"ê", u"ng"));   // ê itself takes nothing
  EXPECT_TRUE(g.RhymeAllowsFinalPrefix(u"gi", u"ê", u"n"));
  EXPECT_FALSE(g.RhymeAllowsFinalPrefix(u"b", u"ê", u"n"));
  EXPECT_FALSE(g.RhymeAllowsFinal(u"gi", u"a", u"x"));
  // An alias of gi gets the rule too; aliases of other initials do not.
  CGhepVan h(SmallTable());
  EXPECT_FALSE(h.RhymeAllowsFinal(u"j", u"ê", u"n"));
  h.SetFreeInitials(true);
  EXPECT_TRUE(h.RhymeAllowsFinal(u"j", u"ê", u"n"));
  h.AddInitialAlias(u"bb", u"b");
  EXPECT_FALSE(h.RhymeAllowsFinal(u"bb", u"ê", u"n"));
}

TEST(GhepVan, SpacesInListsAndNumbers) {
  const CGhepVan g(Lines{
      u"CacPAD.Count=3",
      u"CacPAD.0=c  k",      // c, the empty text, k
      u"CacPAD.1=c k ",      // trailing space: no piece
      u"CacPAD.2=a b ; note",
      u"CacNA.Count=1",
      u"CacNA.0=a",
      u"PAD_NA.0=0 x  0abc -3",  // not numbers are skipped; 0abc reads as 0
      u"PAD_NA.1=",
  });
  EXPECT_EQ(g.Initials()[0], (CGhepVan::Entry{u"c", u"", u"k"}));
  EXPECT_EQ(g.Initials()[1], (CGhepVan::Entry{u"c", u"k"}));
  EXPECT_EQ(g.Initials()[2], (CGhepVan::Entry{u"a", u"b"}));
  EXPECT_EQ(g.FindInitial(u"k"), 0);  // first entry wins
  EXPECT_EQ(g.InitialNuclei()[0], (std::vector<int32_t>{0, 0, -3}));
  EXPECT_TRUE(g.InitialNuclei()[1].empty());
  EXPECT_TRUE(g.InitialNuclei()[2].empty());  // missing key: empty
  // No finals at all: nothing can follow, nothing crashes.
  EXPECT_FALSE(g.NucleusAllowsFinal(u"a", u"c"));
  EXPECT_FALSE(g.NucleusAllowsFinalPrefix(u"a", u""));
}

TEST(GhepVan, CountsAndBrokenFiles) {
  const CGhepVan zero(Lines{u"CacPAD.Count=0", u"CacPAD.0=b", u"CacNA.Count=1", u"CacNA.0=a"});
  EXPECT_EQ(zero.FindInitial(u"b"), -1);
  EXPECT_TRUE(zero.IsNucleus(u"a"));
  EXPECT_FALSE(zero.InitialAllowsNucleus(u"b", u"a"));

  // Negative, huge, missing and truncated counts and keys give empty lists.
  const CGhepVan odd(Lines{u"CacPAD.Count=-4", u"CacNA.Count=2000000000", u"CacNA.1=o",
                           u"CacPAC.Count= 2x", u"CacPAC.1=n", u"[Other]", u"CacPAC.0=c"});
  EXPECT_TRUE(odd.Initials().empty());
  EXPECT_EQ(odd.Nuclei().size(), 2u);
  EXPECT_EQ(odd.FindNucleus(u"o"), 1);
  EXPECT_EQ(odd.FindFinal(u"n"), 1);
  EXPECT_EQ(odd.FindFinal(u"c"), -1);  // after the section line: ignored
  EXPECT_EQ(odd.NucleusFinals().size(), 2u);
  EXPECT_FALSE(odd.NucleusAllowsFinal(u"o", u"n"));

  // A far-away key in a damaged file does not make millions of entries.
  const CGhepVan sparse(Lines{u"CacNA.Count=2000000000", u"CacNA.99999999=o", u"CacNA.0=a"});
  EXPECT_LE(sparse.Nuclei().size(), 4096u);
  EXPECT_EQ(sparse.FindNucleus(u"a"), 0);

  CGhepVan missing(SmallTable());
  EXPECT_FALSE(missing.LoadFile(u"/nonexistent/GhepVan.ini"));
  EXPECT_EQ(missing.FindInitial(u"b"), -1);
  missing.SetUoWithFinals(true);
  missing.SetFreeInitials(true);
  EXPECT_FALSE(missing.RhymeAllowsFinal(u"j", u"ê", u"n"));

  // A file cut in the middle of a line.
  const std::string text = "CacPAD.Count=2\nCacPAD.0=b\nCacPAD.1=c\nPAD_NA.0=0 1\nPAD_N";
  for (size_t len = 0; len <= text.size(); ++len) {
    const CGhepVan g(SplitTextLines(text.substr(0, len)));
    EXPECT_FALSE(g.InitialAllowsNucleus(u"b", u"a"));
  }
}

TEST(GhepVan, RandomBytesNeverCrash) {
  std::mt19937 rng(7);
  const std::string alphabet = "CacPADNAC_.=0123456789 ;[]\r\n-\xC3\xA2\xE1\xBA\xBF\xFF";
  for (int round = 0; round < 300; ++round) {
    std::string bytes;
    const int len = static_cast<int>(rng() % 400);
    for (int i = 0; i < len; ++i) bytes += alphabet[rng() % alphabet.size()];
    CGhepVan g(SplitTextLines(bytes));
    g.SetSpecialWords(u"ah uh");
    g.SetFreeInitials(true);
    g.SetUoWithFinals(true);
    for (const char16_t* s : {u"", u"a", u"b", u"c", u"0", u"uo", u"ươ", u"ng"}) {
      g.FindInitial(s);
      g.IsBareNucleus(s);
      g.InitialAllowsBareNucleus(s, s);
      g.NucleusAllowsFinalPrefix(s, s);
      g.BareNucleusAllowsFinal(s, s);
      g.RhymeAllowsFinal(s, u"ê", s);
    }
  }
}

TEST(GhepVan, FreeInitialsOnOffTwice) {
  CGhepVan g(SmallTable());
  const size_t bSize = g.Initials()[0].size();
  g.SetFreeInitials(false);  // already off: nothing
  EXPECT_EQ(g.FindInitial(u"j"), -1);
  g.SetFreeInitials(true);
  g.SetFreeInitials(true);
  EXPECT_EQ(g.FindInitial(u"j"), 2);
  EXPECT_EQ(std::count(g.Initials()[2].begin(), g.Initials()[2].end(), u"j"), 1);
  // d, ph and qu are not in this table, so their free initials stay out.
  EXPECT_EQ(g.FindInitial(u"z"), -1);
  EXPECT_EQ(g.FindInitial(u"f"), -1);
  EXPECT_TRUE(g.InitialAllowsNucleus(u"j", u"ê"));
  EXPECT_EQ(g.InitialAliases().size(), 1u);
  g.SetFreeInitials(false);
  g.SetFreeInitials(false);
  EXPECT_EQ(g.FindInitial(u"j"), -1);
  EXPECT_EQ(g.Initials()[2], (CGhepVan::Entry{u"gi"}));
  EXPECT_TRUE(g.InitialAliases().empty());
  EXPECT_EQ(g.Initials()[0].size(), bSize);
}

TEST(GhepVan, AliasesRules) {
  CGhepVan g(SmallTable());
  g.AddInitialAlias(u"k", u"b");  // already an initial
  EXPECT_EQ(g.FindInitial(u"k"), 1);
  g.AddInitialAlias(u"v", u"x");  // existing one unknown
  EXPECT_EQ(g.FindInitial(u"v"), -1);
  g.RemoveInitialAlias(u"k");
  EXPECT_EQ(g.FindInitial(u"k"), -1);
  EXPECT_EQ(g.FindInitial(u"c"), 1);

  g.AddFinalAlias(u"g", u"ng");
  EXPECT_EQ(g.FindFinal(u"g"), 2);
  EXPECT_TRUE(g.NucleusAllowsFinal(u"a", u"g"));
  g.AddFinalAlias(u"g", u"c");  // already listed
  EXPECT_EQ(g.FindFinal(u"g"), 2);
  g.RemoveFinalAlias(u"g");
  g.RemoveFinalAlias(u"g");
  EXPECT_EQ(g.FindFinal(u"g"), -1);
  EXPECT_EQ(g.Finals()[2], (CGhepVan::Entry{u"ng"}));
  // A final used by an allowed word cannot become an alias.
  g.SetSpecialWords(u"ah");
  g.AddFinalAlias(u"h", u"n");
  EXPECT_EQ(g.FindFinal(u"h"), -1);
}

// The alias to take away may be named by the tables' own text, which the
// removal moves: the right alias still goes, and only it.
TEST(GhepVan, AliasNamedByTheTablesOwnText) {
  CGhepVan g(SmallTable());
  g.AddInitialAlias(u"bb", u"b");
  g.AddInitialAlias(u"bv", u"b");
  const int b = g.FindInitial(u"b");
  ASSERT_GE(b, 0);
  const size_t n = g.Initials()[b].size();
  ASSERT_EQ(g.Initials()[b][n - 2], u"bb");
  g.RemoveInitialAlias(g.Initials()[b][n - 2]);
  EXPECT_EQ(g.FindInitial(u"bb"), -1);
  EXPECT_EQ(g.FindInitial(u"bv"), b);
  EXPECT_EQ(g.InitialAliases().count(u"bb"), 0u);
  EXPECT_EQ(g.InitialAliases().count(u"bv"), 1u);
}

TEST(GhepVan, SpecialWords) {
  CGhepVan g(SmallTable());
  g.SetSpecialWords(u"ah uh ưh");
  EXPECT_EQ(g.SpecialWords(),
            (CGhepVan::TextMap{{u"a", u"h"}, {u"u", u"h"}, {u"ư", u"h"}}));
  EXPECT_TRUE(g.IsSpecialFinal(u"h"));
  EXPECT_TRUE(g.NucleusAllowsFinal(u"ư", u"h"));   // ư is not even a nucleus here
  EXPECT_TRUE(g.NucleusAllowsFinalPrefix(u"u", u"h"));
  EXPECT_TRUE(g.BareNucleusAllowsFinal(u"a", u"h"));
  EXPECT_TRUE(g.RhymeAllowsFinal(u"b", u"a", u"h"));
  EXPECT_FALSE(g.NucleusAllowsFinal(u"ư", u"n"));

  g.SetSpecialWords(u"ah ac x  ê");  // later word with the same nucleus ignored; short pieces too
  EXPECT_EQ(g.SpecialWords(), (CGhepVan::TextMap{{u"a", u"h"}}));
  EXPECT_TRUE(g.NucleusAllowsFinal(u"a", u"c"));  // still from the table
  g.SetSpecialWords(u"AH");
  EXPECT_EQ(g.SpecialWords(), (CGhepVan::TextMap{{u"A", u"H"}}));
  EXPECT_FALSE(g.NucleusAllowsFinal(u"a", u"h"));
  g.SetSpecialWords(u"");
  EXPECT_TRUE(g.SpecialWords().empty());
  EXPECT_FALSE(g.IsSpecialFinal(u"H"));
}

TEST(GhepVan, UoWidening) {
  CGhepVan g(SmallTable());
  EXPECT_FALSE(g.NucleusAllowsFinal(u"uơ", u"n"));
  g.SetUoWithFinals(true);
  g.SetUoWithFinals(true);
  EXPECT_TRUE(g.UODiKemPAC);
  EXPECT_EQ(g.NucleusFinals()[4], (std::vector<int32_t>{1, 2}));
  EXPECT_TRUE(g.NucleusAllowsFinal(u"uơ", u"ng"));
  EXPECT_FALSE(g.NucleusAllowsFinal(u"uơ", u"c"));
  g.SetUoWithFinals(false);
  EXPECT_FALSE(g.UODiKemPAC);
  EXPECT_FALSE(g.NucleusAllowsFinal(u"uơ", u"n"));
  // A table that lists the finals already keeps them when switched off.
  Lines lines = SmallTable();
  for (auto& l : lines) {
    if (l == u"NA_PAC.4=") l = u"NA_PAC.4=1";
  }
  CGhepVan h(lines);
  h.SetUoWithFinals(true);
  h.SetUoWithFinals(false);
  EXPECT_EQ(h.NucleusFinals()[4], (std::vector<int32_t>{1}));
}

// ----------------------------------------------------------- shipped data

class ShippedTables : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { tables_ = new CGhepVan(); }
  static void TearDownTestSuite() { delete tables_; }
  static CGhepVan* tables_;
};
CGhepVan* ShippedTables::tables_ = nullptr;

struct Split {
  std::u16string initial, nucleus, final;
  int tone = 0;
};

// Independent splitter: qu and gi (before another vowel) are initials; the
// nucleus is the vowel run with its tone removed.
Split SplitSyllable(const std::u16string& w) {
  Split s;
  size_t i = 0;
  if (w.rfind(u"qu", 0) == 0) {
    i = 2;
  } else {
    while (i < w.size() && letters::IsConsonant(w[i])) ++i;
  }
  s.initial = w.substr(0, i);
  size_t j = i;
  while (j < w.size() && !letters::IsConsonant(w[j])) ++j;
  s.nucleus = w.substr(i, j - i);
  s.final = w.substr(j);
  if (s.initial == u"g" && s.nucleus.size() > 1 && s.nucleus[0] == u'i') {
    s.initial = u"gi";
    s.nucleus.erase(0, 1);
  }
  for (char16_t& c : s.nucleus) {
    const int t = letters::ToneOf(c);
    if (t > 0) s.tone = t;
    c = letters::StripTone(c);
  }
  return s;
}

bool Accepts(const CGhepVan& g, const std::u16string& word) {
  const Split s = SplitSyllable(word);
  if (s.nucleus.empty()) return false;
  if (!s.initial.empty() &&
      (g.FindInitial(s.initial) < 0 || !g.InitialAllowsNucleus(s.initial, s.nucleus))) {
    return false;
  }
  if (s.initial.empty() && !g.IsNucleus(s.nucleus)) return false;
  if (!s.final.empty() && !g.RhymeAllowsFinal(s.initial, s.nucleus, s.final)) return false;
  return true;
}

TEST_F(ShippedTables, IndexConventions) {
  const CGhepVan& g = *tables_;
  ASSERT_GT(g.Nuclei().size(), 4u);
  EXPECT_EQ(g.Nuclei()[4][0], u"uơ");
  EXPECT_EQ(g.FindFinal(u"n"), 1);
  EXPECT_EQ(g.FindFinal(u"ng"), 2);
  for (const char16_t* p : {u"b", u"c", u"ch", u"d", u"đ", u"g", u"gh", u"gi", u"h", u"k", u"kh",
                            u"l", u"m", u"n", u"ng", u"ngh", u"nh", u"p", u"ph", u"qu", u"r", u"s",
                            u"t", u"th", u"tr", u"v", u"x"}) {
    EXPECT_GE(g.FindInitial(p), 0) << "initial";
  }
  EXPECT_EQ(g.FindInitial(u"q"), -1);  // q only as qu
  for (const char16_t* c : {u"c", u"ch", u"m", u"n", u"ng", u"nh", u"p", u"t"}) {
    EXPECT_GE(g.FindFinal(c), 0);
  }
}

TEST_F(ShippedTables, EverySyllableOfTheDictionaryIsAccepted) {
  const Lines words = ReadTextLines(ResourcePath(u"TuDien.txt"));
  ASSERT_GT(words.size(), 6000u);
  int refused = 0;
  for (const std::u16string& w : words) {
    if (!Accepts(*tables_, w)) {
      if (++refused < 20) ADD_FAILURE() << "refused: " << Utf16ToUtf8(w);
    }
  }
  EXPECT_EQ(refused, 0);
  for (const char16_t* w : {u"hòa", u"hoà", u"thủy", u"thuỷ", u"quyên", u"giêng", u"giữa", u"gì",
                            u"khuỷu", u"người", u"nghiêng", u"thuở"}) {
    EXPECT_TRUE(std::binary_search(words.begin(), words.end(), std::u16string(w)));
  }
}

TEST_F(ShippedTables, SpellingRules) {
  const CGhepVan& g = *tables_;
  for (const char16_t* w : {u"quy", u"quyết", u"quốc", u"gia", u"giêng", u"giết", u"gìn", u"kiếm",
                            u"ghế", u"nghỉ", u"khuya", u"ngoằn", u"xoong", u"huých", u"chuyện",
                            u"yêu", u"ươn", u"oanh", u"tuần", u"khuâng"}) {
    EXPECT_TRUE(Accepts(g, w)) << Utf16ToUtf8(w);
  }
  for (const char16_t* w : {u"ko", u"kan", u"ci", u"ghan", u"gen", u"nge", u"nghu", u"qa", u"coa",
                            u"cuy", u"gịa", u"anh2", u"ưch", u"ơc", u"oac2",
                            u"xuyêc"}) {
    EXPECT_FALSE(Accepts(g, w)) << Utf16ToUtf8(w);
  }
  // Typing without marks: the bare forms must lead to the marked ones.
  EXPECT_TRUE(g.IsBareNucleus(u"uye"));
  EXPECT_TRUE(g.IsBareNucleus(u"uou"));
  EXPECT_TRUE(g.BareNucleusAllowsFinal(u"uo", u"ng"));
  EXPECT_TRUE(g.InitialAllowsBareNucleus(u"ng", u"uye"));
  EXPECT_FALSE(g.InitialAllowsBareNucleus(u"k", u"a"));
  EXPECT_TRUE(g.RhymeAllowsFinalPrefix(u"ngh", u"iê", u"n"));
}

}  // namespace
}  // namespace tavirel
