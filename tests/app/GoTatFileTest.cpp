#include <gtest/gtest.h>

#include <random>

#include "AppTestUtil.h"
#include "app/GoTatFile.h"
#include "common/TextFile.h"
#include "service/CInputMethodService.h"
#include "service/CTypingContext.h"
#include "service/ShorthandLimits.h"
#include "sim/SimDesktop.h"

namespace tavirel {
namespace {

using test::TempFolder;
using Lines = std::vector<std::u16string>;

std::string Header() { return Utf16ToUtf8(std::u16string(kGoTatHeader)); }

TEST(GoTatFile, LinesSplitAtTheFirstTab) {
  const ShorthandTable t = ParseShorthands(
      {std::u16string(kGoTatHeader), u"ko\tkhông", u"no tab here", u" vn \t Việt\tNam ", u"ko\tcó", u"\trỗng"});
  EXPECT_EQ(t.Keys, (Lines{u"ko", u" vn ", u"ko", u""}));
  EXPECT_EQ(t.Values, (Lines{u"không", u" Việt\tNam ", u"có", u"rỗng"}));
}

// The first line is the header only when it holds no TAB: a hand-made file
// that starts with a shorthand keeps it.
TEST(GoTatFile, FirstLineWithATabIsAShorthand) {
  EXPECT_EQ(ParseShorthands({u"ko\tkhông", u"vn\tViệt Nam"}).Keys, (Lines{u"ko", u"vn"}));
  EXPECT_EQ(ParseShorthands({u"anything", u"vn\tViệt Nam"}).Keys, (Lines{u"vn"}));
  EXPECT_TRUE(ParseShorthands({}).Keys.empty());
}

TEST(GoTatFile, PlainTableIsWrittenAsBefore) {
  TempFolder dir;
  CTypingContext context;
  context.SetShorthandTable({u"ko", u"a\\n"}, {u"không", u"tab\there \\n stays"});
  ASSERT_TRUE(SaveShorthands(dir.File("GoTat.ini"), context));
  EXPECT_EQ(dir.Read("GoTat.ini"),
            "\xEF\xBB\xBF" + Header() + "\nko\tkh\xC3\xB4ng\na\\n\ttab\there \\n stays\n");
  CTypingContext again;
  ASSERT_EQ(LoadShorthands(dir.File("GoTat.ini"), again), SettingsFileStatus::Read);
  EXPECT_EQ(again.ShorthandKeys, context.ShorthandKeys);
  EXPECT_EQ(again.ShorthandValues, context.ShorthandValues);
}

// Random tables, with line breaks, TABs and backslashes anywhere, read back
// exactly through the file's bytes.
TEST(GoTatFile, AnyTableRoundTrips) {
  const std::u16string alphabet = u"ab\\nrt \t\r\nđươ;=[]";
  std::mt19937 rng(7);
  auto text = [&](size_t maxLen) {
    std::u16string s;
    for (size_t n = rng() % (maxLen + 1); n > 0; --n) s += alphabet[rng() % alphabet.size()];
    return s;
  };
  for (int round = 0; round < 500; ++round) {
    ShorthandTable table;
    for (size_t n = rng() % 6; n > 0; --n) {
      table.Keys.push_back(text(4));
      table.Values.push_back(text(12));
    }
    std::u16string joined;
    for (const auto& piece : FormatShorthands(table)) joined += piece;
    const ShorthandTable back = ParseShorthands(SplitTextLines("\xEF\xBB\xBF" + Utf16ToUtf8(joined)));
    ASSERT_EQ(back.Keys, table.Keys) << "round " << round;
    ASSERT_EQ(back.Values, table.Values) << "round " << round;
  }
}

TEST(GoTatFile, MultiLineExpansionUsesTheEscapedForm) {
  TempFolder dir;
  CTypingContext context;
  context.SetShorthandTable({u"dc", u"ko"}, {u"Số 1 Phố Huế\r\nHà Nội\n", u"C:\\không"});
  ASSERT_TRUE(SaveShorthands(dir.File("GoTat.ini"), context));
  EXPECT_EQ(dir.Read("GoTat.ini"), "\xEF\xBB\xBF" + Header() + Utf16ToUtf8(std::u16string(kGoTatEscapeNote)) +
                                       "\ndc\tS\xE1\xBB\x91 1 Ph\xE1\xBB\x91 Hu\xE1\xBA\xBF\\r\\nH\xC3\xA0 "
                                       "N\xE1\xBB\x99i\\n\nko\tC:\\\\kh\xC3\xB4ng\n");
  CTypingContext again;
  again.SetShorthandTable({u"old"}, {u"gone"});
  ASSERT_EQ(LoadShorthands(dir.File("GoTat.ini"), again), SettingsFileStatus::Read);
  EXPECT_EQ(again.ShorthandKeys, context.ShorthandKeys);
  EXPECT_EQ(again.ShorthandValues, context.ShorthandValues);
}

TEST(GoTatFile, MissingFileKeepsTheLists) {
  TempFolder dir;
  CTypingContext context;
  context.SetShorthandTable({u"ko"}, {u"không"});
  EXPECT_EQ(LoadShorthands(dir.File("GoTat.ini"), context), SettingsFileStatus::Missing);
  EXPECT_EQ(context.ShorthandKeys, (Lines{u"ko"}));
  // CRLF and no byte-order mark, as an editor may save it.
  dir.Write("GoTat.ini", "header\r\nvn\tVi\xE1\xBB\x87t Nam\r\n");
  EXPECT_EQ(LoadShorthands(dir.File("GoTat.ini"), context), SettingsFileStatus::Read);
  EXPECT_EQ(context.ShorthandValues, (Lines{u"Việt Nam"}));
}

// A hand-edited file may hold an expansion far longer than the editors
// accept: it stays in the table (the editor shows it, a save keeps it), the
// user is told which, and typing its abbreviation sends nothing but what
// was typed, instead of one huge burst from inside the keyboard hook.
TEST(GoTatFile, OverlongExpansionFromTheFileIsKeptButNeverTyped) {
  TempFolder dir;
  const std::string huge(kMaxShorthandExpansion + 1, 'x');
  const std::string limit(kMaxShorthandExpansion, 'y');
  dir.Write("GoTat.ini", Header() + "\nbig\t" + huge + "\nok\tfine\nlim\t" + limit + "\nbig2\t" + huge + "z\n");
  SimDesktop desk;
  CInputMethodService service(&desk);
  desk.InstallHooks(&service);
  std::vector<std::u16string> overlong{u"stale"};
  ASSERT_EQ(LoadShorthands(dir.File("GoTat.ini"), service.Context(), &overlong), SettingsFileStatus::Read);
  EXPECT_EQ(overlong, (Lines{u"big", u"big2"}));
  EXPECT_EQ(service.Context().ShorthandKeys, (Lines{u"big", u"ok", u"lim", u"big2"}));
  desk.TypeText(u"big ok big2 ");
  EXPECT_EQ(desk.Text(), u"big fine big2 ");
  desk.TypeText(u"lim ");
  EXPECT_EQ(desk.Text().size(), std::u16string(u"big fine big2 ").size() + kMaxShorthandExpansion + 1);

  const std::u16string told = OverlongShorthandsMessage(overlong);
  EXPECT_NE(told.find(u"\"big\", \"big2\""), std::u16string::npos);
  EXPECT_EQ(OverlongShorthandsMessage({}), u"");
  // Many, long or odd names: a balloon holds at most 255 characters.
  const Lines many(40, std::u16string(300, u'\n'));
  EXPECT_LE(OverlongShorthandsMessage(many).size(), 255u);
  EXPECT_EQ(OverlongShorthandsMessage(many).find(u'\n'), std::u16string::npos);

  // Saved as it was read.
  ASSERT_TRUE(SaveShorthands(dir.File("again.ini"), service.Context()));
  EXPECT_EQ(dir.Read("again.ini"), "\xEF\xBB\xBF" + dir.Read("GoTat.ini"));
}

}  // namespace
}  // namespace tavirel
