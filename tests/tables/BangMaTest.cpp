// Code tables: encoding, the decode and transcode maps, longest-match
// decoding, and loading tables from a file, on small hand-made tables.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "common/Ini.h"
#include "tables/CBangMa.h"

namespace tavirel {
namespace {

CBangMa Table(std::initializer_list<std::pair<char16_t, std::u16string>> entries) {
  CBangMa t;
  for (const auto& [c, form] : entries) t.Insert(c, form);
  return t;
}

TEST(BangMa, InsertKeepsFirstFormAndRefusesEmptyForms) {
  CBangMa t;
  EXPECT_TRUE(t.Insert(u'á', u"a1"));
  EXPECT_FALSE(t.Insert(u'á', u"a2"));
  EXPECT_FALSE(t.Insert(u'à', u""));
  EXPECT_EQ(t.Find(u'á'), u"a1");
  EXPECT_FALSE(t.Has(u'à'));
  EXPECT_EQ(t.Size(), 1u);
  // Characters far apart land in different pages of the index.
  EXPECT_TRUE(t.Insert(u'\uFFFF', u"x"));
  EXPECT_TRUE(t.Insert(u'\0', u"y"));
  EXPECT_EQ(t.Find(u'\uFFFF'), u"x");
  EXPECT_EQ(t.Find(u'\0'), u"y");
  EXPECT_TRUE(t.Find(u'\uFFFE').empty());
}

TEST(BangMa, EncodeReplacesMappedCharactersAndCopiesTheRest) {
  const CBangMa t = Table({{u'á', u"a\u00F9"}, {u'đ', u"\u00F1"}});
  EXPECT_EQ(Encode(t, u"đá bóng!"), u"\u00F1a\u00F9 bóng!");
  EXPECT_EQ(Encode(t, u""), u"");
  EXPECT_EQ(Encode(t, u"xyz 123 \u20AC"), u"xyz 123 \u20AC");
  EXPECT_EQ(Encode(CBangMa(), u"đá"), u"đá");

  std::u16string out = u">";
  EncodeTo(t, u"áá", out);
  EXPECT_EQ(out, u">a\u00F9a\u00F9");
}

TEST(BangMa, EncodedLengthCountsFormUnits) {
  const CBangMa t = Table({{u'á', u"a\u00F9"}, {u'đ', u"\u00F1"}, {u'ấ', u"a^'"}});
  EXPECT_EQ(EncodedLength(t, u"đáx"), 4u);  // three characters, one two-unit form
  EXPECT_EQ(EncodedLength(t, u'á'), 2u);
  EXPECT_EQ(EncodedLength(t, u'ấ'), 3u);
  EXPECT_EQ(EncodedLength(t, u'x'), 1u);
  EXPECT_EQ(EncodedLength(t, u""), 0u);
  EXPECT_EQ(EncodedLength(CBangMa(), u"đáx"), 3u);
  // Always the length of what Encode writes.
  const std::u16string text = u"ấy đá x";
  EXPECT_EQ(EncodedLength(t, text), Encode(t, text).size());
}

TEST(BangMa, LongFormsAndOutputThatOutgrowsTheInput) {
  // Forms longer than three units are kept apart from the inline ones.
  const CBangMa longForms = Table({{u'x', u"<xxxx>"}, {u'y', u"yy"}, {u'z', u"\u00FA"}});
  const std::u16string text(1000, u'x');
  EXPECT_EQ(EncodedLength(longForms, text), 6000u);
  EXPECT_EQ(EncodedLength(longForms, u'x'), 6u);
  const std::u16string encoded = Encode(longForms, text + u"yz!");
  EXPECT_EQ(encoded.size(), 6004u);
  EXPECT_EQ(encoded.substr(5994), u"<xxxx>yy\u00FA!");
  EXPECT_EQ(DecodeLongestMatch(encoded, BuildDecodeMap(longForms, true)), text + u"yz!");

  // Transcoding a one-unit table into long forms makes the output several
  // times longer than the input.
  const CBangMa bytes = Table({{u'x', u"\u00F8"}, {u'y', u"\u00F9"}});
  const CTranscodeMap grow = BuildTranscodeMap(bytes, longForms, true);
  const std::u16string in = std::u16string(3000, u'\u00F8') + u"\u00F9.";
  const std::u16string out = DecodeLongestMatch(in, grow);
  EXPECT_EQ(out.size(), 18003u);
  EXPECT_EQ(out.substr(17994), u"<xxxx>yy.");

  // Appending keeps what was there, for one-unit and mixed tables alike.
  std::u16string sink = u"ab";
  EncodeTo(bytes, u"xyq", sink);
  EncodeTo(longForms, u"zy", sink);
  EXPECT_EQ(sink, u"ab\u00F8\u00F9q\u00FAyy");
}

TEST(BangMa, IsWideForUnicodeAndForFormsAboveByteRange) {
  EXPECT_TRUE(IsWide(CBangMa()));
  CBangMa t = Table({{u'á', u"\u00E1"}, {u'ạ', u"a\u00F2"}});
  EXPECT_FALSE(IsWide(t));
  t.Insert(u'ả', u"a\u0309");
  EXPECT_TRUE(IsWide(t));
}

TEST(BangMa, SharedFormDecodesByPreferLower) {
  const CBangMa t = Table({{u'Á', u"\u00B8"}, {u'á', u"\u00B8"}, {u'Â', u"\u00A2"}, {u'â', u"\u00A9"}});
  const CDecodeMap lower = BuildDecodeMap(t, true);
  const CDecodeMap upper = BuildDecodeMap(t, false);
  EXPECT_EQ(DecodeLongestMatch(u"\u00B8\u00A2\u00A9", lower), u"áÂâ");
  EXPECT_EQ(DecodeLongestMatch(u"\u00B8\u00A2\u00A9", upper), u"ÁÂâ");
  EXPECT_EQ(lower.Size(), 3u);

  // Without a lower-case letter among the sharers the smaller code wins.
  const CBangMa symbols = Table({{u'!', u"#"}, {u'?', u"#"}});
  EXPECT_EQ(DecodeLongestMatch(u"#", BuildDecodeMap(symbols, true)), u"!");
  // A lower-case ASCII letter counts too.
  const CBangMa ascii = Table({{u'D', u"\u00D0"}, {u'd', u"\u00D0"}});
  EXPECT_EQ(DecodeLongestMatch(u"\u00D0", BuildDecodeMap(ascii, true)), u"d");
  EXPECT_EQ(DecodeLongestMatch(u"\u00D0", BuildDecodeMap(ascii, false)), u"D");
}

TEST(BangMa, LongestMatchPrefersTheLongerForm) {
  // "a" plus a mark byte against single bytes that are letters of their own.
  const CBangMa t = Table({{u'á', u"a\u00F9"}, {u'ù', u"\u00F9"}, {u'ấ', u"a\u00E1"}, {u'â', u"a\u00E2"}});
  const CDecodeMap m = BuildDecodeMap(t, true);
  EXPECT_EQ(DecodeLongestMatch(u"ca\u00F9 \u00F9 a\u00F9\u00F9 ta\u00E2n a", m), u"cá ù áù tân a");

  // A deeper trie path that does not end in a key falls back to the longest key seen.
  const CDecodeMap deep(CDecodeMap::Entries{{u"ab", u"X"}, {u"abcd", u"Y"}, {u"c", u"Z"}});
  EXPECT_EQ(deep.MinKeyLength(), 1u);
  EXPECT_EQ(deep.MaxKeyLength(), 4u);
  EXPECT_EQ(DecodeLongestMatch(u"abc", deep), u"XZ");
  EXPECT_EQ(DecodeLongestMatch(u"abcdabcab", deep), u"YXZX");
  EXPECT_EQ(DecodeLongestMatch(u"aab", deep), u"aX");
}

TEST(BangMa, DecodeOfShortTextsAndEmptyMaps) {
  const CDecodeMap twoUnits(CDecodeMap::Entries{{u"a'", u"á"}, {u"dd", u"đ"}});
  EXPECT_EQ(DecodeLongestMatch(u"a", twoUnits), u"a");  // shorter than the shortest key
  EXPECT_EQ(DecodeLongestMatch(u"", twoUnits), u"");
  EXPECT_EQ(DecodeLongestMatch(u"ddd'a'", twoUnits), u"đd'á");
  EXPECT_EQ(DecodeLongestMatch(u"xa'", twoUnits), u"xá");
  EXPECT_EQ(DecodeLongestMatch(u"xa", twoUnits), u"xa");

  const CDecodeMap empty = BuildDecodeMap(CBangMa(), true);
  EXPECT_TRUE(empty.Empty());
  EXPECT_EQ(DecodeLongestMatch(u"đá bóng", empty), u"đá bóng");
  EXPECT_EQ(DecodeLongestMatch(u"", CDecodeMap()), u"");

  // An empty key would match without consuming anything; it is dropped.
  const CDecodeMap withEmpty(CDecodeMap::Entries{{u"", u"!"}, {u"b", u"B"}});
  EXPECT_EQ(withEmpty.Size(), 1u);
  EXPECT_EQ(DecodeLongestMatch(u"abc", withEmpty), u"aBc");
}

TEST(BangMa, TranscodeConvertsDirectlyAndKeepsWhatTheTargetLacks) {
  // Source: one byte per letter, capitals sharing the lower-case code.
  const CBangMa source = Table({{u'Á', u"\u00B8"}, {u'á', u"\u00B8"}, {u'đ', u"\u00AE"}, {u'ỹ', u"\u00FC"}});
  // Target: letter plus mark byte; no entry for ỹ.
  const CBangMa target = Table({{u'Á', u"A\u00D9"}, {u'á', u"a\u00F9"}, {u'đ', u"\u00F1"}});

  const CTranscodeMap lower = BuildTranscodeMap(source, target, true);
  EXPECT_EQ(DecodeLongestMatch(u"\u00AE\u00B8 \u00FC!", lower), u"\u00F1a\u00F9 \u00FC!");
  const CTranscodeMap upper = BuildTranscodeMap(source, target, false);
  EXPECT_EQ(DecodeLongestMatch(u"\u00AE\u00B8", upper), u"\u00F1A\u00D9");
  EXPECT_EQ(lower.Size(), 2u);  // ỹ has no target form, so no key

  // The reverse direction uses the longest match on the two-unit forms.
  const CTranscodeMap back = BuildTranscodeMap(target, source, true);
  EXPECT_EQ(DecodeLongestMatch(u"\u00F1a\u00F9 A\u00D9 a", back), u"\u00AE\u00B8 \u00B8 a");

  // A form whose first sharer is missing from the target is taken by a later one.
  const CBangMa s2 = Table({{u'A', u"#"}, {u'B', u"#"}});
  const CBangMa t2 = Table({{u'B', u"b!"}});
  EXPECT_EQ(DecodeLongestMatch(u"#", BuildTranscodeMap(s2, t2, true)), u"b!");
  EXPECT_TRUE(BuildTranscodeMap(s2, CBangMa(), true).Empty());
}

class BangMaFile : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = std::filesystem::temp_directory_path() /
            ("tavirel_bangma_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".ini");
  }
  void TearDown() override {
    std::error_code ec;
    std::filesystem::remove(path_, ec);
  }
  std::u16string Write(const std::string& bytes) {
    std::ofstream(path_, std::ios::binary) << bytes;
    return path_.u16string();
  }
  static std::vector<std::u16string> NamesOf(const std::u16string& path) {
    std::vector<std::u16string> names{u"Unicode"};
    for (auto& n : ReadIniSectionNames(path)) names.push_back(n);
    return names;
  }
  std::filesystem::path path_;
};

TEST_F(BangMaFile, NamesAndSectionsResolveAsListed) {
  const std::u16string path = Write(
      "\xEF\xBB\xBF[Mot]\n\xC3\xA1=1\n[Hai]\r\n\xC3\xA1=2\r\n[hai]\n\xC3\xA1=3\n[Unicode]\n\xC3\xA1=4\n");
  const auto names = NamesOf(path);
  ASSERT_EQ(names, (std::vector<std::u16string>{u"Unicode", u"Mot", u"Hai", u"hai", u"Unicode"}));
  EXPECT_EQ(LoadBangMa(names, path, u"Mot").Find(u'á'), u"1");
  EXPECT_EQ(LoadBangMa(names, path, u"Hai").Find(u'á'), u"2");
  // The section lookup ignores ASCII case, so the first of the two wins.
  EXPECT_EQ(LoadBangMa(names, path, u"hai").Find(u'á'), u"2");
  // Names are matched exactly against the list.
  EXPECT_TRUE(LoadBangMa(names, path, u"MOT").Empty());
  EXPECT_TRUE(LoadBangMa(names, path, u"Ba").Empty());
  // Unicode stays the identity even when the file has such a section.
  EXPECT_TRUE(LoadBangMa(names, path, u"Unicode").Empty());
  // A listed name whose section is gone, or a missing file.
  EXPECT_TRUE(LoadBangMa({u"Unicode", u"Bon"}, path, u"Bon").Empty());
  EXPECT_TRUE(LoadBangMa({u"Unicode", u"Mot"}, path + u".missing", u"Mot").Empty());
}

TEST_F(BangMaFile, BadLinesLoadWithoutHarm) {
  const std::u16string path = Write(
      "\xEF\xBB\xBF[T]\n"
      "no separator here\n"
      "=orphan value\n"
      "\xC3\xA0=\n"                 // à with an empty value: no entry
      "\xC3\xA0" "b=  x;comment\n"   // long key: its first unit, à
      "\xC3\xA1= y\n"
      "\xC3\xA1=z\n"                // duplicate key: first wins
      ";\xC3\xA2=commented\n"
      "   \n"
      "\xE1\xBA\xA1=\xFF\xFE" " bad utf8\n"  // not UTF-8: read in code page 1258, key á (taken)
      "\xE1\xBA\xA3=;\n"            // only a comment: empty
      "d=\x01\x02\n"
      "[unterminated\n"
      "e=E\n");
  const auto names = NamesOf(path);
  const CBangMa t = LoadBangMa(names, path, u"T");
  EXPECT_EQ(t.Find(u'à'), u"x");
  EXPECT_EQ(t.Find(u'á'), u"y");
  EXPECT_FALSE(t.Has(u'â'));
  EXPECT_FALSE(t.Has(u'ạ'));
  EXPECT_FALSE(t.Has(u'ả'));
  EXPECT_EQ(t.Find(u'd'), u"\x01\x02");
  EXPECT_EQ(t.Find(u'e'), u"E");  // "[unterminated" is no header
  EXPECT_FALSE(t.Has(u'n'));      // the line without "=" is skipped
  EXPECT_EQ(t.Size(), 4u);
}

}  // namespace
}  // namespace tavirel
