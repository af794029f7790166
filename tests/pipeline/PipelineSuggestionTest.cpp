// Suggestions through the whole key pipeline on SimDesktop: typing opens the
// list, Tab, F-keys, Shift+F-keys and Up/Down pick from it, Esc closes it, a
// pick keeps the typed text's case, can be taken back with Backspace or the
// restore hotkey, and teaches the engine (the file is rewritten at once).
#include <algorithm>
#include <cstdio>

#include "PipelineFixture.h"
#include "common/AppDirectory.h"
#include "service/CSuggestionList.h"
#include "spelling/CSuggestionEngine.h"
#include "spelling/CTuDienTuGhep.h"

namespace tavirel {
namespace {

constexpr uint16_t F(int n) { return static_cast<uint16_t>(vk::kF1 + n - 1); }

class SuggestionTest : public PipelineTest {
 protected:
  SuggestionTest() {
    path = Utf8ToUtf16(testing::TempDir()) + u"suggest_pipeline_used.dat";
    std::remove(Utf16ToUtf8(path).c_str());
    service.UsedKeywordsPath = path;
    service.EnableSuggestions(true);
  }
  ~SuggestionTest() override { std::remove(Utf16ToUtf8(path).c_str()); }

  std::vector<std::string> Shown() {
    std::vector<std::string> rows;
    if (!service.SuggestionWindowVisible()) return rows;
    for (size_t i = 0; i < service.SuggestionEngine()->Results().size(); ++i) {
      rows.push_back(Utf16ToUtf8(service.SuggestionText(static_cast<int>(i))));
    }
    return rows;
  }
  CSuggestionList& List() { return static_cast<CSuggestionList&>(*service.SuggestionWindow()); }

  std::u16string path;
};

TEST_F(SuggestionTest, TypingShowsTheListAndKeysPickFromIt) {
  ASSERT_TRUE(service.SuggestionsActive());
  Type(u"c");
  EXPECT_TRUE(Shown().empty()) << "one letter shows nothing";
  Type(u"huwowng tr");
  const auto rows = Shown();
  ASSERT_GE(rows.size(), 2u);
  EXPECT_EQ(rows[0], "chương trình");
  EXPECT_EQ(rows[1], "chương trình nghị sự");
  // Tab takes the selected (first) row, with one space after it.
  desk.Press(vk::kTab);
  EXPECT_EQ(Field(), "chương trình ");

  Clear();
  Type(u"chuwowng tr");
  desk.Press(F(2));
  EXPECT_EQ(Field(), "chương trình nghị sự ");

  // Esc closes the list and is swallowed; typing goes on in the word.
  Clear();
  Type(u"chuwowng tr");
  desk.Press(vk::kEscape);
  EXPECT_FALSE(service.SuggestionWindowVisible());
  EXPECT_EQ(Type(u"ifnh"), "chương trình");
  // F-keys with no list end the word and reach the application.
  Clear();
  Type(u"xyz");
  desk.Press(F(2));
  EXPECT_EQ(Field(), "xyz");
}

TEST_F(SuggestionTest, ShiftFKeysCountFromTheThirteenthRowAndRowsBeyondAreIgnored) {
  Type(u"ch");
  const auto rows = Shown();
  ASSERT_GE(rows.size(), 14u);
  Chord({vk::kLShift}, F(2));
  EXPECT_EQ(Field(), rows[13] + " ");
  // A key beyond the last candidate does nothing and is swallowed.
  Clear();
  Type(u"ctrinh");
  const auto few = Shown();
  ASSERT_FALSE(few.empty());
  ASSERT_LT(few.size(), 12u);
  desk.Press(F(static_cast<int>(few.size()) + 1));
  EXPECT_EQ(Field(), "ctrinh");
  EXPECT_TRUE(service.SuggestionWindowVisible());
}

TEST_F(SuggestionTest, UpAndDownMoveTheSelectionOnlyWhenTheOptionSaysSo) {
  Type(u"chuwowng tr");
  desk.Press(vk::kDown);  // reaches the application and ends the word
  EXPECT_FALSE(service.SuggestionWindowVisible());
  service.SuggestionUIHookUpDownKey = true;
  Clear();
  Type(u"chuwowng tr");
  desk.Press(vk::kDown);
  desk.Press(vk::kDown);
  desk.Press(vk::kUp);
  EXPECT_EQ(List().SelectedRow(), 1);
  desk.Press(vk::kTab);
  EXPECT_EQ(Field(), "chương trình nghị sự ");
}

TEST_F(SuggestionTest, PickTakesTheCaseOfTheTypedText) {
  Type(u"Chuwowng tr");
  desk.Press(vk::kTab);
  EXPECT_EQ(Field(), "Chương trình ");
  Clear();
  Type(u"CHUWOWNG TR");
  desk.Press(vk::kTab);
  EXPECT_EQ(Field(), "CHƯƠNG TRÌNH ");
  // Initials typed with a capital: only the first letter follows it.
  Clear();
  Type(u"Ct");
  desk.Press(vk::kTab);
  const std::string field = Field();
  EXPECT_TRUE(field.starts_with("C") && field.ends_with(" ")) << field;
  EXPECT_NE(field.substr(1, 1), " ");
}

TEST_F(SuggestionTest, TheUsersTonePlacementIsKeptInThePickedWords) {
  // The dictionary writes "hoà bình"; a pick writes hoa with the tone where
  // typing puts it under each placement option.
  for (const bool oldStyle : {false, true}) {
    service.Context().BoDauThanhKieu2 = oldStyle;
    Clear();
    const std::string typed = Type(u"hoaf");
    Type(u" b");
    const auto rows = Shown();
    const auto it = std::find(rows.begin(), rows.end(), "hoà bình");
    ASSERT_NE(it, rows.end());
    desk.Press(F(1 + static_cast<int>(it - rows.begin())));
    EXPECT_EQ(Field(), typed + " bình ") << oldStyle;
  }
}

TEST_F(SuggestionTest, APickIsTakenBackByBackspaceOrRestore) {
  Type(u"chuwowng tr");
  desk.Press(vk::kTab);
  ASSERT_EQ(Field(), "chương trình ");
  desk.Press(vk::kBack);
  EXPECT_EQ(Field(), "chương trình");
  // The word is open again: its tone can still be changed.
  EXPECT_EQ(Type(u"s"), "chương trính");
  Clear();
  Type(u"chuwowng tr");
  desk.Press(vk::kTab);
  // Ctrl+Alt: the typed text comes back.
  Chord({vk::kLControl, vk::kLMenu}, 0);
  EXPECT_EQ(Field(), "chương tr");
}

TEST_F(SuggestionTest, LearningPutsThePickFirstRewritesTheFileAndSurvivesOffAndOn) {
  Type(u"ct");
  const auto before = Shown();
  ASSERT_GE(before.size(), 3u);
  desk.Press(F(3));
  EXPECT_EQ(Field(), before[2] + " ");
  service.FinishBackgroundWork();
  ASSERT_TRUE(FileExists(path)) << "saved at once";
  Clear();
  Type(u"ct");
  EXPECT_EQ(Shown()[0], before[2]);
  EXPECT_EQ(Shown()[1], before[0]);
  // Picking the first teaches nothing new.
  desk.Press(vk::kF1);
  // Off saves and forgets; on reads the file again.
  service.EnableSuggestions(false);
  EXPECT_FALSE(service.SuggestionsActive());
  EXPECT_FALSE(service.SuggestionWindowVisible());
  Clear();
  Type(u"ct");
  EXPECT_TRUE(Shown().empty());
  service.EnableSuggestions(true);
  service.FinishBackgroundWork();
  Clear();
  Type(u"ct");
  ASSERT_FALSE(Shown().empty());
  EXPECT_EQ(Shown()[0], before[2]);
}

TEST_F(SuggestionTest, LimitAndSuspension) {
  service.SoLuongTuGoiY = 12;
  Type(u"ch");
  EXPECT_EQ(Shown().size(), 12u);
  service.SoLuongTuGoiY = 0;
  Type(u"\b");
  Type(u"h");
  EXPECT_GT(Shown().size(), 100u);
  service.SuggestionsSuspended = true;
  Clear();
  Type(u"ch");
  EXPECT_TRUE(Shown().empty());
}

TEST_F(SuggestionTest, AfterAWordTheNextWordIsSuggested) {
  Type(u"chuwowng ");
  const auto rows = Shown();
  ASSERT_FALSE(rows.empty());
  for (const auto& r : rows) EXPECT_TRUE(r.starts_with("chương ")) << r;
  // Two spaces: nothing.
  Type(u" ");
  EXPECT_TRUE(Shown().empty());
}

}  // namespace
}  // namespace tavirel
