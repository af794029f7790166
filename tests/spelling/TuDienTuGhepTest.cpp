// The compound-word dictionary: the counted file format, the first-letter
// ranges and lookup by hash.
#include <gtest/gtest.h>

#include <string>

#include "common/AppDirectory.h"
#include "common/TextFile.h"
#include "common/Utf8.h"
#include "spelling/CTuDienTuGhep.h"

namespace tavirel {
namespace {

struct Range {
  bool found = false;
  int first = -1;
  int last = -1;
  bool operator==(const Range&) const = default;
};

Range RangeOf(const CTuDienTuGhep& d, char16_t ch) {
  Range r;
  r.found = d.LetterRange(ch, r.first, r.last);
  return r;
}

void PrintTo(const Range& r, std::ostream* os) {
  *os << (r.found ? "" : "none ") << r.first << ".." << r.last;
}

const char* const kSample =
    "9\n"
    "anh em\n"      // 0
    "ăn ở\n"        // 1  ă folds to a
    "dạy dỗ\n"      // 2
    "đi học\n"      // 3  đ shares the range of d
    "đường đi\n"    // 4
    "em út\n"       // 5  no word starts with f: e must still end here
    "ghi nhớ\n"     // 6
    "giữ gìn\n"     // 7
    "ông bà\n";     // 8

TEST(TuDienTuGhep, HashIsTheGivenFunction) {
  EXPECT_EQ(CTuDienTuGhep::Hash(u""), 0x811C9DC5u);
  EXPECT_EQ(CTuDienTuGhep::Hash(u"a"), 0x811d69050c5d7eu);
  EXPECT_EQ(CTuDienTuGhep::Hash(u"chương trình"), 0xae5cd0182719d060u);
}

TEST(TuDienTuGhep, RangesFollowTheBaseLetterInFileOrder) {
  CTuDienTuGhep d;
  d.LoadBytes(kSample);
  ASSERT_EQ(d.Size(), 9u);
  EXPECT_EQ(RangeOf(d, u'a'), (Range{true, 0, 1}));
  EXPECT_EQ(RangeOf(d, u'ă'), (Range{true, 0, 1}));
  EXPECT_EQ(RangeOf(d, u'd'), (Range{true, 2, 4}));
  EXPECT_EQ(RangeOf(d, u'đ'), RangeOf(d, u'd'));
  EXPECT_EQ(RangeOf(d, u'Đ'), RangeOf(d, u'd'));
  EXPECT_EQ(RangeOf(d, u'e'), (Range{true, 5, 5}));
  EXPECT_EQ(RangeOf(d, u'g'), (Range{true, 6, 7}));
  EXPECT_EQ(RangeOf(d, u'ô'), (Range{true, 8, 8}));
  EXPECT_FALSE(RangeOf(d, u'b').found);
  EXPECT_FALSE(RangeOf(d, u'f').found);
  EXPECT_FALSE(RangeOf(d, u' ').found);
}

TEST(TuDienTuGhep, FindsEveryEntryWithinItsRangeOnly) {
  CTuDienTuGhep d;
  d.LoadBytes(kSample);
  EXPECT_FALSE(d.HasHashes());
  for (int i = 0; i < static_cast<int>(d.Size()); ++i) EXPECT_EQ(d.Find(d.Entry(i)), i) << i;
  EXPECT_TRUE(d.HasHashes());
  EXPECT_EQ(d.Find(u"đi học"), 3);
  EXPECT_EQ(d.Find(u"Đi học"), -1);  // the capital is part of the hash
  EXPECT_EQ(d.Find(u"đi"), -1);
  EXPECT_EQ(d.Find(u"đi học "), -1);
  EXPECT_EQ(d.Find(u"bà con"), -1);  // no range for b
  EXPECT_EQ(d.Find(u""), -1);

  // A file out of order: the second "an ninh" lies in the range of b, where
  // a lookup starting with a never looks; "bà con" is found at its first place.
  CTuDienTuGhep unsorted;
  unsorted.LoadBytes("4\nanh em\nbà con\nan ninh\nbà con\n");
  EXPECT_EQ(RangeOf(unsorted, u'a'), (Range{true, 0, 0}));
  EXPECT_EQ(unsorted.Find(u"an ninh"), -1);
  EXPECT_EQ(unsorted.Find(u"bà con"), 1);
  EXPECT_EQ(unsorted.Find(u"anh em"), 0);
}

TEST(TuDienTuGhep, EqualHashesAreNotToldApart) {
  // Two different texts with the same 64-bit hash, both starting with a.
  const std::u16string a{u'a', 0x2d54, 0x40, 0x167e, 0x20, 0x3260, 0x20, 0x3260, 0x40};
  const std::u16string b{u'a', 0x2d5a, 0x20, 0x2e58, 0xcd, 0x5655, 0xa9, 0x4d9f, 0x7e};
  ASSERT_NE(a, b);
  ASSERT_EQ(CTuDienTuGhep::Hash(a), CTuDienTuGhep::Hash(b));
  CTuDienTuGhep d;
  d.LoadBytes("3\nanh em\n" + Utf16ToUtf8(a) + "\n" + Utf16ToUtf8(b) + "\n");
  ASSERT_EQ(d.Entry(2), b);
  EXPECT_EQ(d.Find(a), 1);
  EXPECT_EQ(d.Find(b), 1);  // the first in the range wins
}

TEST(TuDienTuGhep, CountDecidesHowManyLinesAreRead) {
  CTuDienTuGhep d;
  d.LoadBytes("3\nanh em\năn ở\nđi học\nem út\nông bà\n");
  EXPECT_EQ(d.Size(), 3u);
  EXPECT_EQ(d.Find(u"em út"), -1);
  EXPECT_FALSE(RangeOf(d, u'e').found);

  // Missing lines are empty entries; the lines present still work.
  d.Clear();
  d.LoadBytes("5\nanh em\nđi học");
  ASSERT_EQ(d.Size(), 5u);
  EXPECT_EQ(d.Entry(4), u"");
  EXPECT_EQ(d.Find(u"đi học"), 1);
  EXPECT_EQ(RangeOf(d, u'd'), (Range{true, 1, 4}));
}

TEST(TuDienTuGhep, BadCountGivesAnEmptyDictionary) {
  for (const char* bytes : {"", "\n", "anh em\nđi học\n", "-2\nanh em\n", "0\nanh em\n", "x3\nanh em\n"}) {
    CTuDienTuGhep d;
    d.LoadBytes(bytes);
    EXPECT_TRUE(d.Empty()) << bytes;
    EXPECT_EQ(d.Find(u"anh em"), -1);
    EXPECT_FALSE(RangeOf(d, u'a').found);
  }
  // A count no file of this size could hold does not allocate billions of entries.
  CTuDienTuGhep d;
  d.LoadBytes("2147483647\nanh em\n");
  EXPECT_LE(d.Size(), 10u);
  EXPECT_EQ(d.Find(u"anh em"), 0);
  d.Clear();
  d.LoadBytes("99999999999999999999\n");
  EXPECT_LE(d.Size(), 2u);
}

TEST(TuDienTuGhep, ToleratesWindowsLineEndsByteOrderMarkAndBadBytes) {
  CTuDienTuGhep d;
  d.LoadBytes("\xEF\xBB\xBF" "4\r\nanh em\r\nđi\xFF học\r\n\xC3\r\nem út\r\n");
  ASSERT_EQ(d.Size(), 4u);
  EXPECT_EQ(d.Find(u"anh em"), 0);   // no CR kept in the entry
  EXPECT_EQ(d.Entry(1), u"đi");      // decoding stops at the bad byte
  EXPECT_EQ(d.Entry(2), u"");
  EXPECT_EQ(d.Find(u"em út"), 3);
  EXPECT_EQ(RangeOf(d, u'd'), (Range{true, 1, 2}));
}

TEST(TuDienTuGhep, LoadsOnceUntilCleared) {
  CTuDienTuGhep d;
  d.LoadBytes("1\nanh em\n");
  EXPECT_EQ(d.Find(u"anh em"), 0);
  d.LoadBytes("1\nđi học\n");  // ignored: already loaded
  EXPECT_EQ(d.Find(u"đi học"), -1);
  d.Clear();
  EXPECT_TRUE(d.Empty());
  EXPECT_TRUE(d.Index().empty());
  EXPECT_EQ(d.Find(u"anh em"), -1);
  d.LoadBytes("1\nđi học\n");
  EXPECT_EQ(d.Find(u"đi học"), 0);  // the hashes were rebuilt for the new entries

  CTuDienTuGhep fresh;
  EXPECT_FALSE(fresh.Load(ResourcePath(u"KhongCo.txt")));
  EXPECT_TRUE(fresh.Empty());
}

TEST(TuDienTuGhep, ShippedFileEveryEntryIsFound) {
  const std::u16string path = ResourcePath(u"TuDienTuGhep.txt");
  std::string bytes;
  ASSERT_TRUE(ReadFileBytes(path, bytes));
  ASSERT_FALSE(bytes.starts_with("\xEF\xBB\xBF"));
  ASSERT_EQ(bytes.find('\r'), std::string::npos);
  CTuDienTuGhep d;
  ASSERT_TRUE(d.Load(path));
  ASSERT_GT(d.Size(), 20000u);
  const auto lines = SplitTextLines(bytes);
  ASSERT_EQ(lines.size(), d.Size() + 1);  // the count line, then exactly N lines
  for (int i = 0; i < static_cast<int>(d.Size()); ++i) {
    const std::u16string& e = d.Entry(i);
    ASSERT_NE(e.find(u' '), std::u16string::npos) << i;
    ASSERT_EQ(d.Find(e), i) << Utf16ToUtf8(e);
  }
  EXPECT_GE(d.Find(u"chương trình"), 0);
  EXPECT_GE(d.Find(u"đất nước"), 0);
}

}  // namespace
}  // namespace tavirel
