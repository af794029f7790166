#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/AppDirectory.h"
#include "common/Ini.h"
#include "common/TextFile.h"
#include "common/Utf8.h"

namespace tavirel {
namespace {

using Lines = std::vector<std::u16string>;

std::u16string TempPath(const char* name) {
  return (std::filesystem::temp_directory_path() / name).u16string();
}

void WriteBytes(const std::u16string& path, const std::string& bytes) {
  std::ofstream out(ToFsPath(path), std::ios::binary | std::ios::trunc);
  ASSERT_TRUE(out.good());
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// ------------------------------------------------------------ text lines

TEST(TextLines, BomLineEndsAndLastLine) {
  EXPECT_EQ(SplitTextLines("\xEF\xBB\xBF" "a\r\nb\n\nc"), (Lines{u"a", u"b", u"", u"c"}));
  EXPECT_EQ(SplitTextLines("a\r\r\nb\r"), (Lines{u"a\r", u"b"}));  // only one CR is removed
  EXPECT_EQ(SplitTextLines("a\n"), (Lines{u"a"}));
  EXPECT_EQ(SplitTextLines(""), Lines{});
  EXPECT_EQ(SplitTextLines("\xEF\xBB\xBF"), Lines{});
  EXPECT_EQ(SplitTextLines("\xEF\xBB" "a"), (Lines{u"ï»a"}));  // half a BOM: not UTF-8, so code page 1258
  // A BOM is only skipped at the very start.
  EXPECT_EQ(SplitTextLines("x\n\xEF\xBB\xBFy")[1], u"\uFEFFy");
}

TEST(TextLines, StoppingDecoderStopsAtTheFirstMalformedSequence) {
  EXPECT_EQ(Utf8ToUtf16("a\xC0\xAF" "b"), u"a");         // overlong
  EXPECT_EQ(Utf8ToUtf16("a\xED\xA0\x80" "b"), u"a");     // surrogate
  EXPECT_EQ(Utf8ToUtf16("a\xF4\x90\x80\x80"), u"a");     // above U+10FFFF
  EXPECT_EQ(Utf8ToUtf16("\x80" "a"), u"");               // stray continuation
  EXPECT_EQ(Utf8ToUtf16("\xF0\x9F\x98\x80"), u"\U0001F600");
  EXPECT_EQ(Utf16ToUtf8(u"\xD800x"), "\xEF\xBF\xBDx");   // lone surrogate written as U+FFFD
}

TEST(TextLines, WriteThenReadBack) {
  const std::u16string path = TempPath("tavirel_textlines_test.txt");
  ASSERT_TRUE(WriteTextLines(path, {u"một\n", u"hai", u" ba\n", u"\n"}));
  std::string bytes;
  ASSERT_TRUE(ReadFileBytes(path, bytes));
  EXPECT_EQ(bytes, "\xEF\xBB\xBFm\xE1\xBB\x99t\nhai ba\n\n");
  EXPECT_EQ(ReadTextLines(path), (Lines{u"một", u"hai ba", u""}));
  std::filesystem::remove(ToFsPath(path));
  EXPECT_EQ(ReadTextLines(path), Lines{});
  EXPECT_FALSE(WriteTextLines(TempPath("no_such_dir_tavirel/x.txt"), {u"a"}));
}

// ------------------------------------------------------------ body rules

TEST(IniBody, TrimCutAndSkip) {
  const IniKeys keys = ReadIniFlat(StandardIniSyntax(), {
      u"  Key  =  value with spaces  ",
      u"Cut= word ;comment",
      u"Semi=;",
      u"; Comment=1",
      u"  ;NotComment=2",
      u"no separator",
      u"",
      u"Eq=a=b",
      u"=empty key",
      u"Tab\t=\tx\t",
      u"Dup=first",
      u"Dup=second",
  });
  EXPECT_EQ(keys, (IniKeys{{u"Key", u"value with spaces"},
                           {u"Cut", u"word "},  // trimmed first, then cut
                           {u"Semi", u""},
                           {u";NotComment", u"2"},
                           {u"Eq", u"a=b"},
                           {u"", u"empty key"},
                           {u"Tab\t", u"\tx\t"},  // only U+0020 is trimmed
                           {u"Dup", u"first"}}));
}

TEST(IniFlat, HeaderEndsTheFile) {
  const IniKeys keys = ReadIniFlat(StandardIniSyntax(), {u"a=1", u" [x]=2", u"[no close", u"[S]",
                                                         u"b=3"});
  // " [x]=2" does not begin with "[": an ordinary line.
  EXPECT_EQ(keys, (IniKeys{{u"a", u"1"}, {u"[x]", u"2"}}));
}

TEST(IniInt, StreamSemantics) {
  const IniKeys keys{{u"a", u"  42abc"}, {u"b", u"-7"}, {u"c", u"x1"}, {u"d", u"99999999999"},
                     {u"e", u"+3"},       {u"f", u""},   {u"g", u"\t\n 5"}, {u"h", u"- 1"},
                     {u"i", u"-99999999999"}};
  EXPECT_EQ(GetInt(keys, u"a", 9), 42);
  EXPECT_EQ(GetInt(keys, u"b", 9), -7);
  EXPECT_EQ(GetInt(keys, u"c", 9), 0);
  EXPECT_EQ(GetInt(keys, u"d", 9), 2147483647);
  EXPECT_EQ(GetInt(keys, u"e", 9), 3);
  EXPECT_EQ(GetInt(keys, u"f", 9), 0);
  EXPECT_EQ(GetInt(keys, u"g", 9), 5);
  EXPECT_EQ(GetInt(keys, u"h", 9), 0);
  EXPECT_EQ(GetInt(keys, u"i", 9), -2147483647 - 1);
  EXPECT_EQ(GetInt(keys, u"missing", 9), 9);
  EXPECT_TRUE(GetBool(keys, u"a", false));
  EXPECT_FALSE(GetBool(keys, u"c", true));
  EXPECT_EQ(GetString(keys, u"missing", u"d"), u"d");
  EXPECT_EQ(FormatDouble(0.7), u"0.7");
  EXPECT_EQ(FormatDouble(1234567.0), u"1.23457e+06");
  EXPECT_EQ(FormatInt(-12), u"-12");
  EXPECT_EQ(FormatBool(true), u"1");
}

// ------------------------------------------------------------ sections

TEST(IniSections, HeadersAndDuplicates) {
  const Lines lines{
      u"ignored=before any header",
      u"  [First]  ",        // spaces in front: still a header
      u"a=1",
      u"  [NotHeader]=x",    // in a body: an ordinary line
      u"a=2",
      u"[Second] trailing",
      u"b=1",
      u"[First]",            // repeated: its body is dropped
      u"a=3",
      u"c=3",
      u"[]",
      u"e=5",
  };
  const IniSections s = ParseIniLines(StandardIniSyntax(), lines);
  EXPECT_EQ(s, (IniSections{{u"First", {{u"a", u"1"}, {u"[NotHeader]", u"x"}}},
                            {u"Second", {{u"b", u"1"}}},
                            {u"", {{u"e", u"5"}}}}));
  EXPECT_EQ(IniSectionNamesOf(lines),
            (Lines{u"First", u"NotHeader", u"Second", u"First", u""}));
  // Lookup ignores the case of A-Z only, and reads the first body.
  EXPECT_EQ(IniSectionOf(lines, u"FIRST"), (IniKeys{{u"a", u"1"}, {u"[NotHeader]", u"x"}}));
  EXPECT_TRUE(IniSectionOf(lines, u"Missing").empty());
  const Lines viet{u"[Kiểu]", u"a=1"};
  EXPECT_EQ(IniSectionOf(viet, u"kiểu").size(), 1u);
  EXPECT_TRUE(IniSectionOf(viet, u"KIỂU").empty());
}

TEST(IniFiles, RoundTripAndForeignFile) {
  const std::u16string path = TempPath("tavirel_ini_test.ini");
  const IniSections written{{u"LuaChon", {{u"Double", FormatDouble(0.7)}, {u"Ten", u"Tiếng Việt"}}},
                            {u"ChuyenMa", {{u"10", u"x"}, {u"2", u""}}}};
  ASSERT_TRUE(WriteIniFile(StandardIniSyntax(), path, written));
  std::string bytes;
  ASSERT_TRUE(ReadFileBytes(path, bytes));
  EXPECT_EQ(bytes.rfind("\xEF\xBB\xBF[ChuyenMa]\n10=x\n2=\n\n[LuaChon]\n", 0), 0u);
  EXPECT_EQ(ReadIniFile(StandardIniSyntax(), path), written);
  EXPECT_EQ(ReadIniSectionNames(path), (Lines{u"ChuyenMa", u"LuaChon"}));
  EXPECT_EQ(GetDouble(ReadIniSection(path, u"luachon"), u"Double", 0), 0.7);

  // The same content without BOM, with CRLF, spaces and comments reads the same.
  WriteBytes(path,
             "; settings\r\n[LuaChon]\r\nTen = Ti\xE1\xBA\xBFng Vi\xE1\xBB\x87t\r\n"
             "Double=0.7;note\r\n\r\n[ChuyenMa]\r\n 10 = x \r\n2=\r\n");
  EXPECT_EQ(ReadIniFile(StandardIniSyntax(), path), written);
  std::filesystem::remove(ToFsPath(path));
  EXPECT_TRUE(ReadIniFile(StandardIniSyntax(), path).empty());
  EXPECT_TRUE(ReadIniSection(path, u"LuaChon").empty());
}

}  // namespace
}  // namespace tavirel
