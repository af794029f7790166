// Fields that complete what is typed (address bars, spreadsheet cells): after
// each character they append a suggested tail and select it, so a Backspace
// we send removes only the selection.
#include <vector>

#include "PipelineFixture.h"

namespace tavirel {
namespace {

constexpr std::u16string_view kKeys =
    u"Buooir sangs owr langf ven soong thuwowngf bawts ddaauf raats sowms. Khi suwowng conf phur trawngs "
    u"mawtj nuwowcs, nhuwngx chieecs thuyeenf nhor ddax lawngj lex rowif beens.";
constexpr char kText[] =
    "Buổi sáng ở làng ven sông thường bắt đầu rất sớm. Khi sương còn phủ trắng mặt nước, những chiếc "
    "thuyền nhỏ đã lặng lẽ rời bến.";

// Words of the prose and the unmarked spellings met on the way to them, so
// that nearly every key leaves a suggestion selected.
std::vector<std::u16string> Completions() {
  return {u"Buổi", u"Buon", u"sáng", u"sang", u"ở", u"ow", u"làng", u"lang", u"ven", u"sông", u"song",
          u"thường", u"thuong", u"bắt", u"bat", u"đầu", u"dau", u"rất", u"rat", u"sớm", u"som", u"Khi",
          u"sương", u"suong", u"còn", u"con", u"phủ", u"phu", u"trắng", u"trang", u"mặt", u"mat",
          u"nước", u"nuoc", u"những", u"nhung", u"chiếc", u"chiec", u"thuyền", u"thuyen", u"nhỏ",
          u"nho", u"đã", u"da", u"lặng", u"lẽ", u"le", u"rời", u"roi", u"bến", u"ben"};
}

class PipelineAutoCompleteTest : public PipelineTest {
 protected:
  // A completing field of a program, with the focus; no class name gives it away.
  WindowHandle OpenField(const char16_t* program = u"browser.exe") {
    const WindowHandle w = desk.AddWindow(u"Edit");
    desk.SetProgram(w, program);
    desk.SetCompletions(w, Completions());
    desk.SetFocus(w);
    return w;
  }
  // At a human pace: the program shows its suggestion, and can be read,
  // before the next key.
  std::string TypeAtPace(std::u16string_view keys) {
    for (const char16_t c : keys) {
      desk.TypeChar(c);
      desk.Advance(40);
    }
    return Utf16ToUtf8(desk.TypedText());
  }
};

TEST_F(PipelineAutoCompleteTest, ProseArrivesExactWhenTheFieldIsFoundCompleting) {
  // Untreated, the field eats a Backspace at nearly every replacement.
  OpenField();
  EXPECT_NE(TypeAtPace(kKeys), kText);
  EXPECT_FALSE(service.AutoCompleteWindow());

  service.DetectAutoCompleteWindows = true;
  OpenField();
  EXPECT_EQ(TypeAtPace(kKeys), kText);
  EXPECT_TRUE(service.AutoCompleteWindow());
  // Known after the first suggestion: one reading was enough.
  EXPECT_EQ(desk.FieldReads, 1);

  // Back to it after another window, at full speed: known at once.
  const WindowHandle field = desk.Focused();
  desk.SetFocus(desk.AddWindow(u"Edit"));
  desk.TypeText(u"a");
  desk.SetFocus(field);
  desk.ClearText();
  desk.TypeText(kKeys);
  EXPECT_EQ(Utf16ToUtf8(desk.TypedText()), kText);
}

TEST_F(PipelineAutoCompleteTest, AProgramRuleNeedsNoDetection) {
  CAppRules rules;
  rules.Set({u"sheet.exe", AppVietnamese::Keep, AppDelivery::AutoComplete});
  service.SetAppRules(rules);
  OpenField(u"sheet.exe");
  desk.TypeText(kKeys);  // no time for any reading
  EXPECT_EQ(Utf16ToUtf8(desk.TypedText()), kText);
  EXPECT_EQ(desk.FieldReads, 0);
}

TEST_F(PipelineAutoCompleteTest, OtherFieldsAndTheUsersOwnSelectionsGetNoDelete) {
  service.DetectAutoCompleteWindows = true;
  // An ordinary field, edited in the middle: a Delete would take the
  // character after the caret. Readings find nothing there.
  desk.SetText(u" end");
  desk.Click(0);
  EXPECT_EQ(TypeAtPace(u"vieetj nam"), "việt nam end");
  EXPECT_FALSE(service.AutoCompleteWindow());
  EXPECT_GT(desk.FieldReads, 0);

  // A selection seen after a click is not taken for a suggestion: the click
  // came between the key and the reading.
  OpenField();
  desk.TypeChar(u'B');
  desk.Click();
  desk.Advance(40);
  EXPECT_GT(desk.Selected(), 0u);
  EXPECT_FALSE(service.AutoCompleteWindow());
  // Nor after a key with Ctrl, or Backspace.
  desk.Press(vk::kEnd);
  desk.TypeChar(u' ');
  desk.TypeChar(u'v');
  Chord({vk::kLControl}, 'A');
  desk.Advance(40);
  desk.TypeChar(u'B');
  desk.Press(vk::kBack);
  desk.Advance(40);
  EXPECT_FALSE(service.AutoCompleteWindow());
  // A program that does not answer is never taken for one.
  desk.AnswersFieldReads = false;
  desk.ClearText();
  TypeAtPace(u"Buooir");
  EXPECT_FALSE(service.AutoCompleteWindow());
}

}  // namespace
}  // namespace tavirel
