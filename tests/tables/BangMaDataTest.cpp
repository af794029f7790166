// The shipped code tables in Resources/BangMa.ini: every letter of every table
// encodes and decodes back, and the tables that glibc also knows give the
// same bytes as iconv.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "common/Letters.h"
#include "common/Utf8.h"
#include "tables/CBangMa.h"

#ifndef _WIN32
#include <iconv.h>
#endif

namespace tavirel {
namespace {

const std::u16string kTcvn3 = u"TCVN3 (ABC)";
const std::u16string kVni = u"VNI Windows";
const std::u16string kViscii = u"VISCII";
const std::u16string kVps = u"VPS";
const std::u16string kCombining = u"Unicode tổ hợp";
const std::u16string kCp1258 = u"Vietnamese locale CP 1258";
const std::u16string kViqr = u"VIQR";

std::u16string AllLetters() {
  return std::u16string(letters::CaseLower) + std::u16string(letters::CaseUpper);
}

const std::u16string kProse =
    u"Tiếng Việt có sáu thanh: ngang, huyền, sắc, hỏi, ngã, nặng. "
    u"Đường đi khó, không khó vì ngăn sông cách núi, mà khó vì lòng người ngại núi e sông! "
    u"(Năm 2024: 100% “ổn”; giá 5.000₫.)";

TEST(BangMaData, RegistryListsUnicodeThenTheSectionsInDetectionOrder) {
  const std::vector<std::u16string> want{u"Unicode", kTcvn3, kVni, kViscii, kVps, kCombining, kCp1258, kViqr};
  EXPECT_EQ(GetCodeTableNames(), want);
  EXPECT_EQ(&CodeTableNames(), &CodeTableNames());
  EXPECT_TRUE(LoadBangMa(u"Unicode").Empty());
  EXPECT_TRUE(LoadBangMa(u"vni windows").Empty());  // names are exact
  EXPECT_TRUE(LoadBangMa(u"").Empty());
}

TEST(BangMaData, EveryTableHasAllLettersAndTheRightWidth) {
  for (const auto& name : CodeTableNames()) {
    if (name == u"Unicode") continue;
    SCOPED_TRACE(Utf16ToUtf8(name));
    const CBangMa t = LoadBangMa(name);
    for (const char16_t c : AllLetters()) EXPECT_TRUE(t.Has(c)) << Utf16ToUtf8(std::u16string(1, c));
    EXPECT_EQ(IsWide(t), name == kCombining);
    // Characters the tables do not hold go through as they are.
    EXPECT_EQ(Encode(t, u"Hello, world 123 @#"), u"Hello, world 123 @#");
  }
}

// Letters that share their encoded form with another letter of the table.
std::map<std::u16string, std::u16string> Sharers(const CBangMa& t) {
  std::map<std::u16string, std::u16string> by;
  for (const auto& [c, form] : t.Map()) by[form] += c;
  return by;
}

TEST(BangMaData, EveryLetterRoundTrips) {
  for (const auto& name : CodeTableNames()) {
    if (name == u"Unicode") continue;
    SCOPED_TRACE(Utf16ToUtf8(name));
    const CBangMa t = LoadBangMa(name);
    const auto sharers = Sharers(t);
    const CDecodeMap lower = BuildDecodeMap(t, true);
    const CDecodeMap upper = BuildDecodeMap(t, false);
    for (const char16_t c : AllLetters()) {
      const std::u16string form(t.Find(c));
      const std::u16string& group = sharers.at(form);
      if (group.size() == 1) {
        EXPECT_EQ(DecodeLongestMatch(form, lower), std::u16string(1, c));
        EXPECT_EQ(DecodeLongestMatch(form, upper), std::u16string(1, c));
      } else {
        // Only a capital and its own lower case share a form.
        ASSERT_EQ(group.size(), 2u);
        EXPECT_EQ(letters::ToLower(group[0]), group[1]);
        EXPECT_EQ(DecodeLongestMatch(form, lower), std::u16string(1, group[1]));
        EXPECT_EQ(DecodeLongestMatch(form, upper), std::u16string(1, group[0]));
      }
    }
    // Letters written back to back still decode one by one.
    const std::u16string all = AllLetters();
    const std::u16string decoded = DecodeLongestMatch(Encode(t, all), upper);
    if (name == kTcvn3) {
      EXPECT_EQ(letters::ToLower(DecodeLongestMatch(Encode(t, all), lower)), letters::ToLower(all));
    } else {
      EXPECT_EQ(decoded, all);
      EXPECT_EQ(DecodeLongestMatch(Encode(t, kProse), lower), kProse);
    }
  }
}

TEST(BangMaData, Tcvn3SharesOnlyTheTonedCapitals) {
  const CBangMa t = LoadBangMa(kTcvn3);
  size_t shared = 0;
  for (const auto& [form, group] : Sharers(t)) shared += group.size() > 1;
  EXPECT_EQ(shared, 60u);
  EXPECT_EQ(t.Find(u'Á'), t.Find(u'á'));
  EXPECT_NE(t.Find(u'Â'), t.Find(u'â'));
  EXPECT_NE(t.Find(u'Đ'), t.Find(u'đ'));
  // Lower-case prose survives whole; capitals with a tone come back lower case.
  const std::u16string lowerProse = letters::ToLower(kProse);
  EXPECT_EQ(DecodeLongestMatch(Encode(t, lowerProse), BuildDecodeMap(t, true)), lowerProse);
  EXPECT_EQ(DecodeLongestMatch(Encode(t, u"ĐẤT Đá"), BuildDecodeMap(t, true)), u"ĐấT Đá");
}

TEST(BangMaData, HandCheckedFormsAndDirectTranscoding) {
  // Forms where the generator overrides recode with the published layouts.
  EXPECT_EQ(LoadBangMa(kVni).Find(u'Ắ'), u"A\u00C9");
  EXPECT_EQ(LoadBangMa(kVni).Find(u'Ằ'), u"A\u00C8");
  EXPECT_EQ(LoadBangMa(kVps).Find(u'Ỗ'), u"\u0099");
  // Letters CP 1258 lacks are the toneless letter and a combining byte.
  EXPECT_EQ(LoadBangMa(kCp1258).Find(u'ấ'), u"\u00E2\u00EC");

  // Transcoding VNI to TCVN3 directly agrees with going through Unicode.
  const CBangMa vni = LoadBangMa(kVni), tcvn = LoadBangMa(kTcvn3);
  const std::u16string lowerProse = letters::ToLower(kProse);
  EXPECT_EQ(DecodeLongestMatch(Encode(vni, lowerProse), BuildTranscodeMap(vni, tcvn, true)),
            Encode(tcvn, lowerProse));
}

#ifndef _WIN32
// Converts bytes with glibc iconv; empty on any failure.
std::string Iconv(const char* from, const char* to, const std::string& in) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return {};
  std::string out(in.size() * 4 + 16, '\0');
  char* src = const_cast<char*>(in.data());
  size_t srcLeft = in.size();
  char* dst = out.data();
  size_t dstLeft = out.size();
  const size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
  const size_t flushed = r == static_cast<size_t>(-1) ? r : iconv(cd, nullptr, nullptr, &dst, &dstLeft);
  iconv_close(cd);
  if (r == static_cast<size_t>(-1) || flushed == static_cast<size_t>(-1)) return {};
  out.resize(out.size() - dstLeft);
  return out;
}

std::string UnitsToBytes(const std::u16string& units) {
  std::string bytes;
  for (const char16_t u : units) {
    EXPECT_LE(u, 0xFF);
    bytes.push_back(static_cast<char>(u));
  }
  return bytes;
}

std::u16string BytesToUnits(const std::string& bytes) {
  std::u16string units;
  for (const char b : bytes) units.push_back(static_cast<unsigned char>(b));
  return units;
}

void CrossCheck(const std::u16string& table, const char* charset, const std::u16string& text) {
  SCOPED_TRACE(charset);
  const CBangMa t = LoadBangMa(table);
  const std::string theirs = Iconv("UTF-8", charset, Utf16ToUtf8(text));
  ASSERT_FALSE(theirs.empty());
  EXPECT_EQ(UnitsToBytes(Encode(t, text)), theirs);
  EXPECT_EQ(DecodeLongestMatch(BytesToUnits(theirs), BuildDecodeMap(t, true)), text);
  EXPECT_EQ(Iconv(charset, "UTF-8", UnitsToBytes(Encode(t, text))), Utf16ToUtf8(text));
}

TEST(BangMaIconv, VisciiMatchesGlibc) {
  std::u16string prose = kProse;
  // VISCII has neither the typographic quotes nor the dong sign.
  for (char16_t& c : prose) {
    if (c == u'“' || c == u'”') c = u'"';
    if (c == u'₫') c = u'd';
  }
  CrossCheck(kViscii, "VISCII", AllLetters() + u" " + prose);
}

TEST(BangMaIconv, Tcvn3MatchesTcvn5712ForTheLettersItHas) {
  std::u16string shared = std::u16string(letters::CaseLower) + u"ĂÂÊÔƠƯĐ";
  std::u16string prose = letters::ToLower(kProse);
  for (char16_t& c : prose) {
    if (c == u'“' || c == u'”') c = u'"';
    if (c == u'₫') c = u'd';
  }
  CrossCheck(kTcvn3, "TCVN5712-1", shared + u" " + prose);
}

TEST(BangMaIconv, Cp1258MatchesGlibcIncludingDecomposedLetters) {
  // glibc writes a letter the code page lacks as base plus combining byte and
  // composes it again when reading; so do the table and its decode map.
  CrossCheck(kCp1258, "CP1258", AllLetters() + u" " + kProse + u" €…–—");
}
#endif

}  // namespace
}  // namespace tavirel
