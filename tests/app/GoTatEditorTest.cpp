#include <gtest/gtest.h>

#include <random>

#include "AppTestUtil.h"
#include "app/GoTatEditor.h"
#include "app/TaoTuGoTat.h"
#include "service/CInputMethodService.h"
#include "service/CTypingContext.h"
#include "sim/SimDesktop.h"

namespace tavirel {
namespace {

using test::TempFolder;
using Lines = std::vector<std::u16string>;

// The editor as the dialog drives it: the abbreviation typed one letter at a
// time (each letter is a change of the edit).
void TypeAbbreviation(CGoTatEditor& e, std::u16string_view text) {
  std::u16string now;
  e.SetAbbreviation(now);
  for (const char16_t c : text) e.SetAbbreviation(now += c);
}

struct Buttons {
  bool Add, Replace, Delete;
  bool operator==(const Buttons&) const = default;
};
Buttons ButtonsOf(const CGoTatEditor& e) { return {e.CanAdd(), e.CanReplace(), e.CanDelete()}; }

TEST(GoTatEditor, AbbreviationSelectsItsEntryAndEnterFollows) {
  CGoTatEditor e({{u"ko", u"vn", u"ko"}, {u"không", u"Việt Nam", u"có"}});
  EXPECT_EQ(ButtonsOf(e), (Buttons{false, false, false}));

  // "k" matches nothing; "ko" selects the first of the two "ko" entries and
  // turns Add into Replace as soon as the expansion is filled.
  TypeAbbreviation(e, u"k");
  EXPECT_FALSE(e.AnySelected());
  TypeAbbreviation(e, u"ko");
  EXPECT_EQ(e.FirstSelected(), 0);
  EXPECT_FALSE(e.IsSelected(2));
  EXPECT_EQ(e.Expansion(), u"");  // selecting from the edit does not overwrite the edits
  EXPECT_EQ(ButtonsOf(e), (Buttons{false, false, true}));
  e.SetExpansion(u"không có");
  EXPECT_EQ(ButtonsOf(e), (Buttons{false, true, true}));
  EXPECT_EQ(e.Enter(), CGoTatEditor::EnterResult::Replaced);
  EXPECT_EQ(e.Entries()[0], (CGoTatEditor::Entry{u"ko", u"không có"}));

  // A new abbreviation deselects; Enter adds it at the end and selects it
  // alone, also with an empty expansion (Enter does not look at the buttons).
  TypeAbbreviation(e, u"kod");
  EXPECT_FALSE(e.AnySelected());
  e.SetExpansion(u"");
  EXPECT_EQ(ButtonsOf(e), (Buttons{false, false, false}));
  EXPECT_EQ(e.Enter(), CGoTatEditor::EnterResult::Added);
  ASSERT_EQ(e.Entries().size(), 4u);
  EXPECT_EQ(e.Entries()[3], (CGoTatEditor::Entry{u"kod", u""}));
  EXPECT_EQ(e.FirstSelected(), 3);

  // Picking the second "ko" in the list fills the edits from it (not from
  // the first "ko"); Delete takes every selected entry.
  e.SetSelection({2});
  EXPECT_EQ(e.Abbreviation(), u"ko");
  EXPECT_EQ(e.Expansion(), u"có");
  e.SetSelection({1, 3, 99});
  EXPECT_EQ(e.Expansion(), u"Việt Nam");
  e.Delete();
  EXPECT_EQ(e.Table().Keys, (Lines{u"ko", u"ko"}));
  EXPECT_EQ(e.Table().Values, (Lines{u"không có", u"có"}));
  EXPECT_EQ(ButtonsOf(e), (Buttons{true, false, false}));

  // Enter with no abbreviation is refused and changes nothing.
  e.SetAbbreviation(u"");
  e.SetExpansion(u"x");
  ShorthandCheck why = ShorthandCheck::Ok;
  EXPECT_EQ(e.Enter(&why), CGoTatEditor::EnterResult::Refused);
  EXPECT_EQ(why, ShorthandCheck::EmptyAbbreviation);
  EXPECT_EQ(e.Entries().size(), 2u);
}

TEST(GoTatEditor, ExpansionsPastTheCapAreRefused) {
  CGoTatEditor e({});
  e.SetAbbreviation(u"dai");
  e.SetExpansion(std::u16string(kMaxShorthandExpansion + 1, u'ơ'));
  EXPECT_EQ(e.Add(), ShorthandCheck::ExpansionTooLong);
  EXPECT_TRUE(e.Entries().empty());
  EXPECT_FALSE(ShorthandCheckMessage(ShorthandCheck::ExpansionTooLong).empty());
  e.SetExpansion(std::u16string(kMaxShorthandExpansion, u'ơ'));
  EXPECT_EQ(e.Add(), ShorthandCheck::Ok);
  // Replacing with a text past the cap keeps the entry as it was.
  e.SetExpansion(std::u16string(kMaxShorthandExpansion + 1, u'a'));
  EXPECT_EQ(e.Enter(), CGoTatEditor::EnterResult::Refused);
  EXPECT_EQ(e.Entries()[0].Expansion.size(), kMaxShorthandExpansion);
  EXPECT_EQ(e.Entries()[0].Expansion[0], u'ơ');
  e.SetAbbreviation(std::u16string(kMaxShorthandAbbreviation + 1, u'a'));
  EXPECT_EQ(e.Add(), ShorthandCheck::AbbreviationTooLong);
}

// Random edits: the buttons never offer Add and Replace at once, Delete
// follows the selection, and the list only ever holds entries the editor
// accepts, as a parallel table.
TEST(GoTatEditor, RandomEditsKeepTheRules) {
  std::mt19937 rng(16);
  const std::u16string pool[] = {u"", u"a", u"ko", u"vn", u"ko ", std::u16string(kMaxShorthandExpansion + 1, u'x')};
  for (int round = 0; round < 200; ++round) {
    CGoTatEditor e({{u"ko", u"a"}, {u"x", u"y"}});
    for (int step = 0; step < 40; ++step) {
      switch (rng() % 7) {
        case 0: e.SetAbbreviation(pool[rng() % 5]); break;
        case 1: e.SetExpansion(pool[rng() % 6]); break;
        case 2: e.SetSelection({rng() % (e.Entries().size() + 2), rng() % (e.Entries().size() + 2)}); break;
        case 3: e.Add(); break;
        case 4: e.Replace(); break;
        case 5: e.Enter(); break;
        case 6: if (rng() % 3 == 0) e.Delete(); break;
      }
      ASSERT_FALSE(e.CanAdd() && e.CanReplace());
      ASSERT_EQ(e.CanDelete(), e.AnySelected());
      const ShorthandTable t = e.Table();
      ASSERT_EQ(t.Keys.size(), t.Values.size());
      for (size_t i = 0; i < t.Keys.size(); ++i) ASSERT_EQ(CheckShorthand(t.Keys[i], t.Values[i]), ShorthandCheck::Ok);
    }
  }
}

// Apply hands the service the list in list order: the first of two equal
// abbreviations expands, and a shorthand added in the editor types.
TEST(GoTatEditor, ApplyRefillsTheServiceInOrder) {
  SimDesktop desk;
  CInputMethodService service(&desk);
  desk.InstallHooks(&service);
  service.Context().SetShorthandTable({u"old"}, {u"cũ"});
  CGoTatEditor e({service.Context().ShorthandKeys, service.Context().ShorthandValues});
  e.SetSelection({0});
  e.Delete();
  for (auto [k, v] : {std::pair{u"vn", u"Việt Nam"}, {u"ko", u"không"}, {u"vn", u"Vân"}}) {
    e.SetAbbreviation(k);
    e.SetExpansion(v);
    e.SetSelection({});
    ASSERT_EQ(e.Add(), ShorthandCheck::Ok);
  }
  EXPECT_EQ(service.Context().ShorthandKeys, (Lines{u"old"}));  // nothing before Apply
  e.Apply(service);
  EXPECT_EQ(service.Context().ShorthandKeys, (Lines{u"vn", u"ko", u"vn"}));
  desk.TypeText(u"vn ko old ");
  EXPECT_EQ(desk.Text(), u"Việt Nam không old ");
}

// The clipboard dialog: text up to the NUL, line breaks and TABs kept
// through GoTat.ini and back, an over-long text not offered.
TEST(TaoTuGoTat, ClipboardTextSurvivesSaveAndReload) {
  const char16_t block[] = u"Kính gửi:\r\n\tÔng A\nB\rC\0garbage";
  EXPECT_EQ(ClipboardTextOf(block, std::size(block)), u"Kính gửi:\r\n\tÔng A\nB\rC");
  EXPECT_EQ(ClipboardTextOf(block, 4), u"Kính");  // no NUL within the block
  EXPECT_EQ(ClipboardTextOf(nullptr, 10), u"");

  EXPECT_EQ(StartFromClipboard(std::nullopt).Expansion, u"");
  const TaoTuGoTatStart huge = StartFromClipboard(std::u16string(kMaxShorthandExpansion + 1, u'a'));
  EXPECT_EQ(huge.Expansion, u"");
  EXPECT_NE(huge.Message, u"");
  const TaoTuGoTatStart start = StartFromClipboard(ClipboardTextOf(block, std::size(block)));
  EXPECT_EQ(start.Message, u"");

  EXPECT_EQ(CheckNewShorthand(u"kg", u""), ShorthandCheck::EmptyAbbreviation);
  EXPECT_EQ(CheckNewShorthand(u"", start.Expansion), ShorthandCheck::EmptyAbbreviation);
  ASSERT_EQ(CheckNewShorthand(u"kg", start.Expansion), ShorthandCheck::Ok);

  TempFolder dir;
  CTypingContext context;
  context.SetShorthandTable({u"a\\n"}, {u"tab\there"});
  const ShorthandTable table = AppendShorthand(context, u"kg", start.Expansion);
  EXPECT_EQ(table.Keys, (Lines{u"a\\n", u"kg"}));
  ASSERT_TRUE(SaveShorthands(dir.File("GoTat.ini"), context));
  CTypingContext again;
  ASSERT_EQ(LoadShorthands(dir.File("GoTat.ini"), again), SettingsFileStatus::Read);
  EXPECT_EQ(again.ShorthandKeys, table.Keys);
  EXPECT_EQ(again.ShorthandValues, table.Values);
}

}  // namespace
}  // namespace tavirel
