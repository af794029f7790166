#include <gtest/gtest.h>

#include "AppTestUtil.h"
#include "app/MacroImport.h"
#include "common/Utf8.h"

namespace tavirel {
namespace {

using test::TempFolder;
using Entries = std::vector<CGoTatEditor::Entry>;

// The same text in every encoding an import must read.
std::vector<std::pair<const char*, std::string>> Encodings(const std::u16string& text) {
  std::string le = "\xFF\xFE", be = "\xFE\xFF";
  for (const char16_t c : text) {
    le += static_cast<char>(c & 0xFF);
    le += static_cast<char>(c >> 8);
    be += static_cast<char>(c >> 8);
    be += static_cast<char>(c & 0xFF);
  }
  return {{"UTF-8", Utf16ToUtf8(text)},
          {"UTF-8 with BOM", "\xEF\xBB\xBF" + Utf16ToUtf8(text)},
          {"UTF-16LE", le},
          {"UTF-16BE", be}};
}

TEST(MacroImport, ColonLinesInEveryEncoding) {
  const std::u16string file =
      u"vn:Việt Nam\r\n"          // a first line that is an entry is kept
      u"ko:không\r\n"
      u"\r\n"                     // blank: neither entry nor skipped
      u"just words\r\n"           // no colon: skipped
      u"tg:thời gian: 10:30\n"    // split at the first colon only
      u":no abbreviation\n"       // skipped
      u" sp : space kept \n"
      u"last:no line end";
  const Entries expected = {{u"vn", u"Việt Nam"},       {u"ko", u"không"}, {u"tg", u"thời gian: 10:30"},
                            {u" sp ", u" space kept "}, {u"last", u"no line end"}};
  for (const auto& [name, bytes] : Encodings(file)) {
    const MacroImport got = ReadColonMacros(bytes);
    EXPECT_EQ(got.Entries, expected) << name;
    EXPECT_EQ(got.Skipped, 2u) << name;
  }
  // The ANSI code page of Vietnamese Windows (1258), with a combining tone
  // mark after "e", is read whole, not cut at the first byte above 127.
  const MacroImport ansi = ReadColonMacros("Heading line, no entry\r\nvn:Vi\xEA\xF2t Nam\r\nd:\xF0\xE3 \xDD\r\nok:fine\r\n");
  EXPECT_EQ(ansi.Entries, (Entries{{u"vn", u"Việt Nam"}, {u"d", u"đă Ư"}, {u"ok", u"fine"}}));
  EXPECT_EQ(ansi.Skipped, 0u);
}

TEST(MacroImport, ColonFirstLineIsAHeadingUnlessItReadsAsAnEntry) {
  EXPECT_EQ(ReadColonMacros("Macro file: do not edit\nvn:VN\n").Entries, (Entries{{u"vn", u"VN"}}));
  EXPECT_EQ(ReadColonMacros("heading\nvn:VN\n").Entries, (Entries{{u"vn", u"VN"}}));
  EXPECT_EQ(ReadColonMacros(":\nvn:VN\n").Entries, (Entries{{u"vn", u"VN"}}));
  EXPECT_EQ(ReadColonMacros("a:b").Entries, (Entries{{u"a", u"b"}}));
  EXPECT_TRUE(ReadColonMacros("").Entries.empty());
}

TEST(MacroImport, IniSectionInEveryEncoding) {
  const std::u16string file =
      u"; exported macros\r\n"
      u"[Options]\r\nzz=not a macro\r\n"
      u"[Macro Definitions]\r\n"
      u"vn = Việt Nam\r\n"
      u"; a comment line\r\n"
      u"ko=không\r\n"
      u"ko=second value is skipped\r\n"
      u"no separator\r\n"
      u"=no key\r\n"
      u"\r\n"
      u"eq=a=b\r\n"
      u"tks = cảm ơn; hẹn gặp lại ;-) \r\n"
      u"[Other]\r\nxx=yy\r\n"
      u"[Macro Definitions]\r\nlater=ignored like the INI reader does\r\n";
  // In the code-unit order of the abbreviations; a ";" inside a value is
  // text, only one at the start of a line makes a comment.
  const Entries expected = {{u"eq", u"a=b"}, {u"ko", u"không"}, {u"tks", u"cảm ơn; hẹn gặp lại ;-)"}, {u"vn", u"Việt Nam"}};
  for (const auto& [name, bytes] : Encodings(file)) {
    const MacroImport got = ReadIniMacros(bytes);
    EXPECT_EQ(got.Entries, expected) << name;
    EXPECT_EQ(got.Skipped, 3u) << name;
  }
  EXPECT_TRUE(ReadIniMacros("[Macros]\nvn=VN\n").Entries.empty());
  EXPECT_TRUE(ReadIniMacros("vn=VN\n").Entries.empty());
}

TEST(MacroImport, TooLongEntriesAreSkippedAndFilesCounted) {
  const std::string longText(kMaxShorthandExpansion + 1, 'x');
  const MacroImport colon = ReadColonMacros("h\nlong:" + longText + "\nok:fine\n");
  EXPECT_EQ(colon.Entries, (Entries{{u"ok", u"fine"}}));
  EXPECT_EQ(colon.Skipped, 1u);
  const MacroImport ini = ReadIniMacros("[Macro Definitions]\nlong=" + longText + "\nok=fine\n");
  EXPECT_EQ(ini.Entries, (Entries{{u"ok", u"fine"}}));
  EXPECT_EQ(ini.Skipped, 1u);

  // Half a surrogate pair in a UTF-16 file is shown as it will be saved.
  const std::u16string lone{u'h', u'\n', u'a', u':', char16_t(0xD83D), u'x'};
  EXPECT_EQ(ReadColonMacros(Encodings(lone)[2].second).Entries, (Entries{{u"a", u"\uFFFDx"}}));

  TempFolder dir;
  dir.Write("m.txt", "\xEF\xBB\xBF[Macro Definitions]\nvn=VN\n");
  EXPECT_EQ(ImportMacroFile(MacroFormat::Ini, dir.File("m.txt")).Entries, (Entries{{u"vn", u"VN"}}));
  const MacroImport missing = ImportMacroFile(MacroFormat::ColonLines, dir.File("none.txt"));
  EXPECT_FALSE(missing.Read);
  EXPECT_EQ(MacroImportSummary(3, 0, {}), u"Đã thêm 3 từ gõ tắt.");
  EXPECT_EQ(MacroImportSummary(1, 2, {u"x.txt"}), u"Đã thêm 1 từ gõ tắt, bỏ qua 2 dòng.\nKhông đọc được:\nx.txt");
}

}  // namespace
}  // namespace tavirel
