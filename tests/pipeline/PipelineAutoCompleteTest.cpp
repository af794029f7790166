// Fields that complete what is typed (address bars, spreadsheet cells): after
// each character they append a suggested tail and select it, so a Backspace
// we send removes only the selection.
#include <algorithm>
#include <random>
#include <utility>
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

// The prose's Telex words and what they make, pair by pair.
std::vector<std::pair<std::u16string, std::u16string>> ProseWords() {
  std::vector<std::pair<std::u16string, std::u16string>> words;
  const std::u16string text = Utf8ToUtf16(kText);
  size_t k = 0, t = 0;
  while (k < kKeys.size() && t < text.size()) {
    const size_t kEnd = std::min(kKeys.find(u' ', k), kKeys.size());
    const size_t tEnd = std::min(text.find(u' ', t), text.size());
    words.emplace_back(std::u16string(kKeys.substr(k, kEnd - k)), text.substr(t, tEnd - t));
    k = kEnd + 1;
    t = tEnd + 1;
  }
  return words;
}

TEST_F(PipelineAutoCompleteTest, AnEditInsideTheTextKeepsWhatFollowsTheCaret) {
  // Marked by its program's rule, by its class, or found completing: in the
  // middle of the text no suggestion is selected, and a Delete would take
  // the character after the caret at every replacement.
  CAppRules rules;
  rules.Set({u"sheet.exe", AppVietnamese::Keep, AppDelivery::AutoComplete});
  service.SetAppRules(rules);
  for (const int mark : {0, 1, 2}) {
    SCOPED_TRACE(mark);
    service.DetectAutoCompleteWindows = mark != 0;
    WindowHandle w = 0;
    if (mark == 0) {
      w = OpenField(u"sheet.exe");
    } else if (mark == 1) {
      w = desk.AddWindow(u"Chrome_AutocompleteEditView");
      desk.SetCompletions(w, Completions());
      desk.SetFocus(w);
    } else {
      w = OpenField();
      TypeAtPace(u"Buooir sangs");
    }
    desk.ClearText();
    desk.Click();
    desk.TypeText(u"Buooir sangs owr");
    ASSERT_TRUE(service.AutoCompleteWindow());
    desk.Press(vk::kLeft);  // before "ở"
    desk.TypeText(u"langf ");
    EXPECT_EQ(Utf16ToUtf8(desk.TypedText()), "Buổi sáng làng ở");
    // Back at the end the suggestions are taken away again.
    desk.Press(vk::kEnd);
    desk.TypeText(u" ven soong thuwowngf");
    EXPECT_EQ(Utf16ToUtf8(desk.TypedText()), "Buổi sáng làng ở ven sông thường");
  }
}

TEST_F(PipelineAutoCompleteTest, FastTypingIsExactFromTheFirstKeyOfANewField) {
  // No reading can come back between keys; each replacement reads the
  // field just before it goes in, so even the first one is right.
  service.DetectAutoCompleteWindows = true;
  OpenField();
  desk.TypeText(kKeys);
  EXPECT_EQ(Utf16ToUtf8(desk.TypedText()), kText);
  EXPECT_GT(desk.FieldReplacements, 0);

  // The same in an ordinary field, edited in its middle.
  desk.SetFocus(desk.AddWindow(u"Edit"));
  desk.SetText(u" cuối");
  desk.Click(0);
  desk.TypeText(kKeys);
  EXPECT_EQ(Utf16ToUtf8(desk.Text()), std::string(kText) + " cuối");
}

TEST_F(PipelineAutoCompleteTest, SlowProgramsAndRandomEditsGiveTheExpectedText) {
  // A program that lags behind its input answers readings with the field as
  // it was a few events ago. Words go at the end or, after the caret was
  // moved back a few words, into the middle; a Delete must never take
  // text after the caret, and each suggestion must go.
  const auto words = ProseWords();
  service.DetectAutoCompleteWindows = true;
  for (uint32_t seed = 1; seed <= 30; ++seed) {
    SCOPED_TRACE(seed);
    std::mt19937 rng(seed);
    OpenField();
    desk.AppLags = true;
    std::u16string expected;
    size_t caret = 0;
    for (size_t i = 0; i < 24; ++i) {
      const auto& [keys, text] = words[rng() % words.size()];
      if (caret > 0 && rng() % 4 == 0) {
        // Back before an earlier space: the program handles the arrows
        // before the next word, as a person's pause gives it time to.
        const size_t back = 1 + rng() % 8;
        for (size_t b = 0; b < back && caret > 0; ++b, --caret) desk.Press(vk::kLeft);
        desk.AppCatchUp();
      } else if (caret < expected.size() && rng() % 2 == 0) {
        desk.Press(vk::kEnd);
        desk.AppCatchUp();
        caret = expected.size();
      }
      const std::u16string word = text + u' ';
      for (const char16_t c : keys + u' ') {
        desk.TypeChar(c);
        if (rng() % 3 == 0) desk.AppCatchUp(rng() % 5);
      }
      expected.insert(caret, word);
      caret += word.size();
    }
    desk.AppCatchUp();
    EXPECT_EQ(Utf16ToUtf8(desk.TypedText()), Utf16ToUtf8(expected));
    desk.AppLags = false;
  }
}

TEST_F(PipelineAutoCompleteTest, KeysWaitInOrderForTheFieldAndItsBoundedWait) {
  service.DetectAutoCompleteWindows = true;
  OpenField();
  desk.HoldFieldReplacements = true;
  // Everything typed while a replacement is out waits behind it.
  desk.TypeText(u"Buooir sangs");
  EXPECT_EQ(Utf16ToUtf8(desk.TypedText()), "Buo");
  for (int i = 0; i < 10; ++i) desk.FinishFieldReplacements();
  EXPECT_EQ(Utf16ToUtf8(desk.TypedText()), "Buổi sáng");
  // A desktop that never answers: after the wait the edit goes as a field
  // known to complete gets it, and what waited follows, in order.
  desk.TypeText(u" owr langf");
  for (int i = 0; i < 10; ++i) desk.Advance(2100);
  EXPECT_EQ(Utf16ToUtf8(desk.TypedText()), "Buổi sáng ở làng");
  desk.HoldFieldReplacements = false;
  desk.TypeText(u" ven");
  EXPECT_EQ(Utf16ToUtf8(desk.TypedText()), "Buổi sáng ở làng ven");
}

}  // namespace
}  // namespace tavirel
