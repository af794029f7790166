// Every syllable of the shipped dictionary, typed the way a typist presses the
// keys in each shipped typing method, must compose to exactly that syllable.
//
// Two key orders: marks right after their letter with the tone key at the end
// of the syllable (tieengs, nguowif, tie6ng1), and the tone key right after the
// toned vowel (tieesng). Each in lower case, capitalised and in capitals.
// Where the two tone styles place the tone differently (hòa / hoà), both
// settings are typed and checked.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "CoverageKeys.h"
#include "TypeKeys.h"
#include "common/AppDirectory.h"
#include "common/Letters.h"
#include "common/TextFile.h"
#include "common/Utf8.h"
#include "service/CTypingContext.h"
#include "tables/CKieuGo.h"

namespace tavirel {
namespace {

using coverage::KeyOrder;
using coverage::LetterCase;

// Types keys as a fresh word; the result is what the screen shows, and it
// must also be what the context believes is there.
std::u16string Type(test::TypingHarness& h, std::u16string_view keys) {
  h.Context.Reset();
  h.Service.Screen.clear();
  h.Type(keys);
  if (!h.ScreenMatches() || h.Text() != h.Screen()) return u"<screen " + h.Screen() + u" context " + h.Text() + u">";
  return h.Screen();
}

std::u16string U(const char* s) { return Utf8ToUtf16(s); }
std::string N(std::u16string_view s) { return Utf16ToUtf8(s); }

struct Tally {
  int total = 0;
  int passed = 0;
  std::vector<std::string> failures;
};

class Coverage : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    for (const auto& line : ReadTextLines(ResourcePath(u"TuDien.txt")))
      if (!line.empty()) syllables_.push_back(line);
  }
  static std::vector<std::u16string> syllables_;
};
std::vector<std::u16string> Coverage::syllables_;

// The methods and the way each one spells marks and tones.
const std::vector<std::u16string>& MethodNames() {
  static const std::vector<std::u16string> names{u"Telex 2", u"Telex", u"VNI", u"VIQR"};
  return names;
}

TEST_F(Coverage, EverySyllableComposesInEveryMethod) {
  ASSERT_GT(syllables_.size(), 5000u);
  test::TypingHarness h;
  CTypingContext& ctx = h.Context;
  std::map<std::string, Tally> tallies;
  for (const auto& name : MethodNames()) {
    const CKieuGo method = LoadBuiltInKieuGo(name);
    ASSERT_FALSE(method.empty()) << N(name);
    const coverage::Spelling* spelling = coverage::SpellingOf(name);
    ASSERT_NE(spelling, nullptr);
    ctx.SetBindings(method);
    for (KeyOrder order : {KeyOrder::ToneAtEnd, KeyOrder::ToneAfterVowel}) {
      Tally& t = tallies[N(name) + (order == KeyOrder::ToneAtEnd ? ", tone at the end" : ", tone after the vowel")];
      for (const auto& syllable : syllables_) {
        for (const auto& [style, form] : coverage::ExpectedForms(syllable)) {
          ctx.BoDauThanhKieu2 = style;
          for (LetterCase lc : {LetterCase::Lower, LetterCase::Title, LetterCase::Upper}) {
            const std::u16string want = coverage::WithCase(form, lc);
            // ươ: the method's usual spelling and the other one (uow / uwow).
            const bool pair = coverage::HasHornPair(form);
            for (int variant = 0; variant < (pair ? 2 : 1); ++variant) {
              coverage::Spelling sp = *spelling;
              if (variant) sp.hornOnEachLetter = !sp.hornOnEachLetter;
              const std::u16string keys = coverage::Keys(sp, form, order, lc);
              const std::u16string got = Type(h, keys);
              ++t.total;
              if (got == want) {
                ++t.passed;
              } else {
                t.failures.push_back(N(keys) + " -> " + N(got) + " (want " + N(want) +
                                     (style ? ", new tone style)" : ")"));
              }
            }
          }
        }
      }
    }
  }
  for (const auto& [label, t] : tallies) {
    std::printf("coverage %-32s %6d / %6d  %.2f%%\n", label.c_str(), t.passed, t.total,
                t.total ? 100.0 * t.passed / t.total : 0.0);
    for (size_t i = 0; i < t.failures.size() && i < 40; ++i) std::printf("    %s\n", t.failures[i].c_str());
    EXPECT_TRUE(t.failures.empty()) << label << ": " << t.failures.size() << " failures";
  }
}

TEST_F(Coverage, KeyGenerationSpellsTheConventionalSequences) {
  const auto* telex = coverage::SpellingOf(u"Telex 2");
  const auto* vni = coverage::SpellingOf(u"VNI");
  const auto* viqr = coverage::SpellingOf(u"VIQR");
  ASSERT_TRUE(telex && vni && viqr);
  const auto end = KeyOrder::ToneAtEnd, after = KeyOrder::ToneAfterVowel;
  const auto low = LetterCase::Lower;
  EXPECT_EQ(coverage::Keys(*telex, U("tiếng"), end, low), u"tieengs");
  EXPECT_EQ(coverage::Keys(*telex, U("tiếng"), after, low), u"tieesng");
  EXPECT_EQ(coverage::Keys(*telex, U("người"), end, low), u"nguowif");
  EXPECT_EQ(coverage::Keys(*telex, U("đường"), after, low), u"dduowfng");
  EXPECT_EQ(coverage::Keys(*telex, U("boong"), end, low), u"booong");
  EXPECT_EQ(coverage::Keys(*telex, U("Tiếng"), end, LetterCase::Title), u"Tieengs");
  EXPECT_EQ(coverage::Keys(*telex, U("TIẾNG"), end, LetterCase::Upper), u"TIEENGS");
  EXPECT_EQ(coverage::Keys(*vni, U("tiếng"), end, low), u"tie6ng1");
  EXPECT_EQ(coverage::Keys(*vni, U("người"), end, low), u"nguo7i2");
  EXPECT_EQ(coverage::Keys(*vni, U("đặc"), after, low), u"d9a85c");
  EXPECT_EQ(coverage::Keys(*viqr, U("người"), end, low), u"ngu+o+i`");
  EXPECT_EQ(coverage::Keys(*viqr, U("đẹp"), after, low), u"dde.p");
}

TEST_F(Coverage, LiteralsAndTheEscapeKey) {
  test::TypingHarness h;
  struct Case {
    const char* method;
    const char* keys;
    const char* want;
  } cases[] = {
      {"Telex 2", "xooong", "xoong"},  // a third o undoes the circumflex and types o
      {"Telex 2", "aaa", "aa"},
      {"Telex 2", "ass", "as"},        // a tone pressed twice types the key
      {"Telex 2", "[", "ơ"},           // bracket keys create letters, even first
      {"Telex 2", "t]", "tư"},
      {"Telex 2", "{", "Ơ"},
      {"Telex 2", "w", "ư"},
      {"Telex", "[", "["},
      {"Telex 2", "tha\\s", "thas"},   // escape: the next bound key is a letter
      {"Telex 2", "tha\\\\", "tha\\"},  // escape twice types it once
      {"VNI", "a\\1", "a1"},
      {"VIQR", "hoc\\.", "hoc."},
      {"VIQR", "ddi", "đi"},
      {"VNI", "Vie6t5 Nam", "Việt Nam"},
  };
  for (const auto& c : cases) {
    h.Context.SetBindings(LoadBuiltInKieuGo(U(c.method)));
    EXPECT_EQ(N(Type(h, U(c.keys))), c.want) << c.method << ": " << c.keys;
  }
  // Keypad digits never act as VNI functions.
  EXPECT_EQ(N(test::TypeKeys(u"tie6ng1", u"VNI", true)), "tie6ng1");
  EXPECT_EQ(N(test::TypeKeys(u"tie6ng1", u"VNI", false)), "tiếng");
}

TEST_F(Coverage, TelexTwoWIsAVowelOrAHorn) {
  // w first tries to add ư to the word, then puts a horn or breve on the
  // nucleus; a word that cannot take ư must still get the horn.
  test::TypingHarness h;
  h.Context.SetBindings(LoadBuiltInKieuGo(u"Telex 2"));
  const struct {
    const char* keys;
    const char* want;
  } cases[] = {
      {"tw", "tư"},       {"ngw", "ngư"},     {"giw", "giư"},     {"Giw", "Giư"},
      {"GIW", "GIƯ"},     {"giwf", "giừ"},    {"gifw", "gìw"},    {"tww", "tw"},
      {"huwww", "huww"},  {"tuw", "tư"},      {"uaw", "ưa"},      {"tuaw", "tưa"},
      {"nguwow", "ngươ"}, {"uow", "uơ"},      {"thuow", "thuơ"},  {"ow", "ơ"},
      {"oaw", "oă"},      {"quaw", "quă"},    {"quw", "quw"},     {"khuyw", "khuyw"},
      {"anw", "ăn"},      {"tranw", "trăn"},
  };
  for (const auto& c : cases) EXPECT_EQ(N(Type(h, U(c.keys))), c.want) << c.keys;
}

}  // namespace
}  // namespace tavirel
