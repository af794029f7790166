// Spelling correction at word end: compound pairs against the compound
// dictionary, single words against the single-word dictionary, the order of
// the families, the restore of a correction, and real misspellings.
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
#include "spelling/CTuDien.h"
#include "spelling/CTuDienTuGhep.h"

namespace tavirel {
namespace {

using test::TypingHarness;

#define EXPECT_IN_STEP(h) EXPECT_TRUE((h).Mismatch.empty()) << Utf16ToUtf8((h).Mismatch)

// A compound dictionary holding the entries, grouped by base first letter.
CTuDienTuGhep Compounds(std::vector<std::u16string> entries) {
  std::stable_sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) {
    return letters::Bare(a.front()) < letters::Bare(b.front());
  });
  std::string bytes = std::to_string(entries.size()) + "\n";
  for (const auto& e : entries) bytes += Utf16ToUtf8(e) + "\n";
  CTuDienTuGhep dict;
  dict.LoadBytes(bytes);
  return dict;
}

CTuDien Singles(std::vector<std::u16string> words) {
  CTuDien dict;
  dict.LoadLines(std::move(words));
  return dict;
}

struct Corrector {
  Corrector(std::vector<std::u16string> compounds, std::vector<std::u16string> singles)
      : compound(Compounds(std::move(compounds))), single(Singles(std::move(singles))) {
    h.Context.TuDienTuGhep = &compound;
    h.Context.TuDien = &single;
    h.Context.SuaLoiChinhTaTuDon = true;
    h.Context.SetSuaLoiChinhTaTuGhep(true);
  }
  std::u16string Type(std::u16string_view keys) {
    h.Type(keys);
    return h.Screen();
  }
  CTuDienTuGhep compound;
  CTuDien single;
  TypingHarness h;
};

TEST(CorrectionCompound, FixesThePreviousWord) {
  Corrector c({u"chương trình"}, {});
  EXPECT_EQ(c.Type(u"truwowng trinhf "), u"chương trình ");
  EXPECT_EQ(c.h.Context.Words[0].CacKT, u"chương");
  EXPECT_IN_STEP(c.h);
  // Recorded by the correction and again by the output step.
  ASSERT_EQ(c.h.Context.Replacements.size(), 2u);
  EXPECT_EQ(c.h.Context.Replacements[0], c.h.Context.Replacements[1]);
}

TEST(CorrectionCompound, FirstRestoreUndoesItSecondDropsTheDuplicate) {
  Corrector c({u"chương trình"}, {});
  c.h.Context.SetShorthandTable({u"ct"}, {u"công ty"});
  c.Type(u"truwowng trinhf ");
  c.h.Restore();
  EXPECT_EQ(c.h.Screen(), u"trương trình ");
  EXPECT_EQ(c.h.Context.Replacements.size(), 1u);
  // The duplicate's text is gone from the end: it is dropped. The words put
  // back are what they show, so nothing else changes.
  c.h.Restore();
  EXPECT_TRUE(c.h.Context.Replacements.empty());
  EXPECT_EQ(c.h.Screen(), u"trương trình ");
  EXPECT_IN_STEP(c.h);
}

TEST(CorrectionCompound, CapitalisedPreviousWordMatchesOnlyThroughItsLowerCaseParts) {
  Corrector c({u"chương trình"}, {});
  EXPECT_EQ(c.Type(u"Truwowng trinhf "), u"Chương trình ");
  Corrector d({u"sản xuất"}, {});
  // The current word's initial row uses the previous word as typed.
  EXPECT_EQ(d.Type(u"Sanr suaats "), u"Sản suất ");
}

TEST(CorrectionCompound, PreferenceOrderOfRowsAndFamilies) {
  struct Case {
    std::vector<std::u16string> dict;
    const char16_t* keys;
    const char16_t* screen;
  } cases[] = {
      // Current word's initial before the previous word's.
      {{u"xản xuất", u"sản suất"}, u"xanr suaats ", u"xản xuất "},
      {{u"sản suất"}, u"xanr suaats ", u"sản suất "},
      {{u"sản xuất"}, u"xanr suaats ", u"sản xuất "},
      // Initials before finals before tones.
      {{u"chung tâm", u"trun tâm"}, u"trung taam ", u"chung tâm "},
      {{u"trun tâm"}, u"trung taam ", u"trun tâm "},
      {{u"sẳn sàng", u"sẵn sàn"}, u"sawnr sanf ", u"sẳn sàng "},
      {{u"sẵn sàn"}, u"sawnr sanf ", u"sẵn sàn "},
      {{u"bắt buộc"}, u"bawsc buoocj ", u"bắt buộc "},
      {{u"dễ dãi"}, u"deex dair ", u"dễ dãi "},
      {{u"đổi thay"}, u"ddooix thay ", u"đổi thay "},
  };
  for (const Case& k : cases) {
    Corrector c(k.dict, {});
    EXPECT_EQ(c.Type(k.keys), k.screen) << Utf16ToUtf8(k.keys);
    EXPECT_IN_STEP(c.h);
  }
}

TEST(CorrectionCompound, KnownCompoundWithTheWordBeforeIsLeftAlone) {
  Corrector alone({u"sản xuất", u"xuất xắc"}, {});
  EXPECT_EQ(alone.Type(u"xuaats sawcs "), u"xuất xắc ");
  Corrector c({u"sản xuất", u"xuất xắc"}, {});
  EXPECT_EQ(c.Type(u"sanr xuaats sawcs "), u"sản xuất sắc ");
}

// Correct words side by side that make a compound once a letter or tone is
// swapped stay as typed: a pair seen in real prose, or a common previous word
// that would become a rarer one. A rare previous word, and the current word,
// are still corrected on the dictionary's word.
TEST(CorrectionCompound, CorrectWordsThatAlmostMakeACompoundStay) {
  struct Case {
    std::vector<std::u16string> dict;
    const char16_t* keys;
    const char16_t* screen;
  } cases[] = {
      {{u"bảng ghi"}, u"banr ghi ", u"bản ghi "},            // seen side by side
      {{u"có tiếng"}, u"cos tieens ", u"có tiến "},          // seen, current word
      {{u"mộc bản"}, u"mootj banr ", u"một bản "},           // một is common, mộc is not
      {{u"cát thành"}, u"cacs thanhf ", u"các thành "},
      {{u"Đặc quyền"}, u"DDawtj quyeenf ", u"Đặt quyền "},
      {{u"đặc quyền"}, u"ddawtj quyeenf ", u"đặt quyền "},
      {{u"cải lương"}, u"caix luwowng ", u"cải lương "},     // cãi is rare
      {{u"sản xuất"}, u"sanr suaats ", u"sản xuất "},        // the current word
      {{u"mộc sản", u"một sẵn"}, u"mootj sanr ", u"một sản "},   // the first row found decides
  };
  for (const Case& k : cases) {
    Corrector c(k.dict, {});
    EXPECT_EQ(c.Type(k.keys), k.screen) << Utf16ToUtf8(k.keys);
    EXPECT_IN_STEP(c.h);
  }
  // Refused, the pair goes on to the single-word correction.
  Corrector single({u"mộc bản"}, {u"bản"});
  EXPECT_EQ(single.Type(u"mootj banx "), u"một bản ");
  EXPECT_IN_STEP(single.h);
}

TEST(CorrectionCompound, OnlyOneSpaceBetweenTheWords) {
  Corrector two({u"sản xuất"}, {});
  EXPECT_EQ(two.Type(u"sanr  suaats "), u"sản  suất ");
  Corrector comma({u"sản xuất"}, {});
  EXPECT_EQ(comma.Type(u"sanr, suaats "), u"sản, suất ");
  // The single-word correction still runs after two spaces.
  Corrector single({u"sản xuất"}, {u"xuất"});
  EXPECT_EQ(single.Type(u"sanr  suaats "), u"sản  xuất ");
  EXPECT_IN_STEP(single.h);
}

TEST(CorrectionCompound, SwitchingOnNeedsTheDictionaryFile) {
  TypingHarness h;
  h.Service.LoadDictionariesResult = false;
  EXPECT_FALSE(h.Context.SetSuaLoiChinhTaTuGhep(true));
  EXPECT_FALSE(h.Context.SuaLoiChinhTaTuGhep);
  h.Service.LoadDictionariesResult = true;
  EXPECT_TRUE(h.Context.SetSuaLoiChinhTaTuGhep(true));
  h.Context.SetSuaLoiChinhTaTuGhep(false);
  EXPECT_EQ(h.Service.ReleaseCalls, 1);
}

TEST(CorrectionSingle, FamiliesInOrderAndWhatIsLeftAlone) {
  struct Case {
    std::vector<std::u16string> dict;
    const char16_t* keys;
    const char16_t* screen;
  } cases[] = {
      {{u"xẳn", u"sẵn"}, u"sawnr ", u"xẳn "},    // initial first
      {{u"sẳng", u"sẵn"}, u"sawnr ", u"sẳng "},  // then final
      {{u"sẵn"}, u"sawnr ", u"sẵn "},            // then tone
      // ng/ngh and g/gh both ways.
      {{u"ngẻ"}, u"ngher ", u"ngẻ "},
      {{u"nghả"}, u"ngar ", u"nghả "},
      {{u"ghà"}, u"gaf ", u"ghà "},
      {{u"gẻ"}, u"gher ", u"gẻ "},
      {{u"sả", u"xả"}, u"sar ", u"sả "},         // known words stay
      {{u"xa"}, u"sa ", u"sa "},                 // no mark, no tone: untouched
      {{u"chân"}, u"traan ", u"chân "},          // a mark is enough
      {{u"bát"}, u"bacs ", u"bát "},
      {{}, u"sanr ", u"sản "},                   // empty dictionary: nothing
  };
  for (const Case& k : cases) {
    Corrector c({}, k.dict);
    EXPECT_EQ(c.Type(k.keys), k.screen) << Utf16ToUtf8(k.keys);
    EXPECT_IN_STEP(c.h);
  }
}

TEST(CorrectionSingle, RestoreUndoesIt) {
  Corrector c({}, {u"sẵn"});
  c.Type(u"sawnr ");
  EXPECT_EQ(c.h.Screen(), u"sẵn ");
  c.h.Restore();
  EXPECT_EQ(c.h.Screen(), u"sẳn ");
  EXPECT_IN_STEP(c.h);
}

// Real misspellings from an autocorrect list, typed in Telex with the shipped
// dictionaries.
TEST(CorrectionRealErrors, AutocorrectPairs) {
  const std::string here = __FILE__;
  const std::string dataPath = here.substr(0, here.rfind('/')) + "/data/AutocorrectPairs.txt";
  const auto lines = ReadTextLines(Utf8ToUtf16(dataPath));
  ASSERT_GT(lines.size(), 400u);

  CTuDien single;
  ASSERT_TRUE(single.LoadFile(ResourcePath(u"TuDien.txt")));
  CTuDienTuGhep compound;
  ASSERT_TRUE(compound.Load(ResourcePath(u"TuDienTuGhep.txt")));

  int total[2] = {0, 0}, fixed[2] = {0, 0}, broken[2] = {0, 0};
  for (const auto& line : lines) {
    const size_t t1 = line.find(u'\t');
    const size_t t2 = line.find(u'\t', t1 + 1);
    const size_t t3 = line.find(u'\t', t2 + 1);
    if (t1 == std::u16string::npos || t2 == std::u16string::npos || t3 == std::u16string::npos) continue;
    const std::u16string wrong = line.substr(0, t1);
    const std::u16string right = line.substr(t1 + 1, t2 - t1 - 1);
    const int scope = line.substr(t3 + 1) == u"compound" ? 1 : 0;
    TypingHarness h;
    h.Context.TuDien = &single;
    h.Context.TuDienTuGhep = &compound;
    h.Context.SuaLoiChinhTaTuDon = true;
    h.Context.SetSuaLoiChinhTaTuGhep(true);
    h.Type(test::TelexKeys(wrong) + u" ");
    EXPECT_IN_STEP(h);
    ++total[scope];
    if (h.Screen() == right + u" ") {
      ++fixed[scope];
    } else if (h.Screen() != wrong + u" ") {
      ++broken[scope];
      std::printf("  %s -> %s (expected %s)\n", Utf16ToUtf8(wrong).c_str(),
                  Utf16ToUtf8(h.Screen()).c_str(), Utf16ToUtf8(right).c_str());
    }
  }
  std::printf("autocorrect pairs: single %d/%d fixed (%d changed otherwise), "
              "compound %d/%d fixed (%d changed otherwise)\n",
              fixed[0], total[0], broken[0], fixed[1], total[1], broken[1]);
  // Measured when the data was added: 74 of 115 single words and 280 of 357
  // pairs (the rest are words the dictionaries lack or already hold). A
  // clear drop is a regression.
  EXPECT_GE(fixed[0], 70);
  EXPECT_GE(fixed[1], 270);
  EXPECT_LE(broken[0] + broken[1], 12);
}

}  // namespace
}  // namespace tavirel
