// The single-word dictionary: loading and exact, ordinal lookup.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "common/AppDirectory.h"
#include "common/TextFile.h"
#include "spelling/CTuDien.h"

namespace tavirel {
namespace {

CTuDien FromBytes(std::string_view bytes) {
  CTuDien d;
  d.LoadBytes(bytes);
  return d;
}

TEST(TuDien, FindsExactEntriesOfAnUnsortedFile) {
  // Entries above U+7FFF (ử U+1EED) sort after ASCII, so a signed comparison
  // would break the binary search.
  const CTuDien d = FromBytes("tiếng\nviệt\nzô\nử\nanh\nư\nbà\n");
  for (const char16_t* w : {u"tiếng", u"việt", u"zô", u"ử", u"anh", u"ư", u"bà"}) {
    EXPECT_TRUE(d.Contains(w)) << static_cast<int>(w[0]);
  }
  EXPECT_TRUE(std::is_sorted(d.Entries().begin(), d.Entries().end()));
  // Near misses: a prefix, a longer word, another tone, no word at all.
  for (const char16_t* w : {u"tiến", u"tiếngg", u"tiềng", u"a", u"zz", u""}) {
    EXPECT_FALSE(d.Contains(w));
  }
}

TEST(TuDien, MatchesOnlyTheComposedLowerCaseForm) {
  const CTuDien d = FromBytes("tiếng\nĐà\n");
  EXPECT_FALSE(d.Contains(u"Tiếng"));
  EXPECT_FALSE(d.Contains(u"TIẾNG"));
  EXPECT_FALSE(d.Contains(u"tie\u0302\u0301ng"));  // decomposed marks
  EXPECT_FALSE(d.Contains(u"tiếng "));
  // An entry written with a capital is kept as written and never matches
  // the lower-case composed word.
  EXPECT_FALSE(d.Contains(u"đà"));
  EXPECT_TRUE(d.Contains(u"Đà"));
}

TEST(TuDien, LinesAreEntriesAsRead) {
  const CTuDien plain = FromBytes("xin\r\nchào\nchào\n\nbạn");
  const CTuDien bom = FromBytes("\xEF\xBB\xBFxin\r\nchào\nchào\n\nbạn");
  EXPECT_EQ(plain.Entries(), bom.Entries());
  EXPECT_TRUE(bom.Contains(u"xin"));  // the BOM is not part of the first word
  EXPECT_TRUE(plain.Contains(u"bạn"));  // last line without LF
  EXPECT_TRUE(plain.Contains(u""));     // an empty line is an entry
  EXPECT_EQ(plain.Size(), 5u);          // duplicates stay
}

TEST(TuDien, BadBytesNeverCrash) {
  // Not UTF-8: the whole file is read in code page 1258, no line cut short.
  const CTuDien d = FromBytes("ab\xFF" "cd\nxe\n\xC3\nđi\xE1\xBA");
  EXPECT_TRUE(d.Contains(u"abÿcd"));
  EXPECT_FALSE(d.Contains(u"ab"));
  EXPECT_TRUE(d.Contains(u"xe"));
  EXPECT_TRUE(d.Contains(u"Ă"));
  EXPECT_EQ(d.Size(), 4u);
  EXPECT_TRUE(FromBytes("").Empty());
}

TEST(TuDien, MissingFileGivesAnEmptyDictionary) {
  CTuDien d;
  d.LoadBytes("old\n");
  EXPECT_FALSE(d.LoadFile(ResourcePath(u"KhongCo.txt")));
  EXPECT_TRUE(d.Empty());
  EXPECT_FALSE(d.Contains(u"old"));
}

TEST(TuDien, ShippedFileEveryLineIsFound) {
  CTuDien::Load();
  const CTuDien& d = CTuDien::Instance();
  EXPECT_EQ(d.Path(), ResourcePath(u"TuDien.txt"));
  const auto lines = ReadTextLines(d.Path());
  ASSERT_GT(lines.size(), 1000u);
  for (const auto& line : lines) ASSERT_TRUE(d.Contains(line));
  EXPECT_TRUE(d.Contains(u"tiếng"));
  EXPECT_TRUE(d.Contains(u"việt"));
  EXPECT_FALSE(d.Contains(u"Việt"));
}

}  // namespace
}  // namespace tavirel
