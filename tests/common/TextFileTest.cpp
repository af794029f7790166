// Reading text files whole whatever their encoding, and replacing them
// atomically.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#if !defined(_WIN32)
#include <csignal>
#include <sys/resource.h>
#endif

#include "common/AppDirectory.h"
#include "common/CodePage.h"
#include "common/Ini.h"
#include "common/Letters.h"
#include "common/TextFile.h"
#include "common/Utf8.h"
#include "tables/CBangMa.h"

namespace tavirel {
namespace {

using Lines = std::vector<std::u16string>;

class TextFileDir : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("tavirel_textfile_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  std::u16string Path(const char* name) const { return (dir_ / name).u16string(); }
  static void Write(const std::u16string& path, const std::string& bytes) {
    std::ofstream(ToFsPath(path), std::ios::binary) << bytes;
  }
  size_t FilesInDir() const {
    return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(dir_), {}));
  }

  std::filesystem::path dir_;
};

// The bytes of text in code page 1258, written with the shipped table of that
// code page (made from another source than the reader's table), which writes
// toned vowels decomposed as the code page requires.
std::string Cp1258Bytes(const std::u16string& text) {
  static const CBangMa table = LoadBangMa(u"Vietnamese locale CP 1258");
  std::string bytes;
  for (const char16_t u : Encode(table, text)) {
    if (u > 0xFF) ADD_FAILURE() << "not a byte: " << static_cast<int>(u);
    bytes.push_back(static_cast<char>(u));
  }
  return bytes;
}

TEST(TextFileDecode, EveryVietnameseLetterReadsBackFromCodePage1258) {
  ASSERT_FALSE(LoadBangMa(u"Vietnamese locale CP 1258").Empty());
  const std::u16string all = std::u16string(letters::CaseLower) + std::u16string(letters::CaseUpper);
  std::u16string ascii;
  for (char16_t c = 0x20; c < 0x7F; ++c) ascii.push_back(c);
  // Random lines of letters, ASCII and the code page's other characters.
  const std::u16string pool = all + ascii + u"€‘’“”–—…©°±";
  std::mt19937 rng(1258);
  std::u16string text = all + u"\n" + ascii + u"\r\n";
  Lines expected{all, ascii};
  for (int line = 0; line < 300; ++line) {
    std::u16string l;
    for (int n = static_cast<int>(rng() % 40); n > 0; --n) {
      const char16_t c = pool[rng() % pool.size()];
      if (c != u'\n' && c != u'\r') l.push_back(c);
    }
    text += l + (line % 2 ? u"\r\n" : u"\n");
    expected.push_back(l);
  }
  const std::string bytes = Cp1258Bytes(text);
  ASSERT_FALSE(IsValidUtf8(bytes));
  EXPECT_EQ(SplitTextLines(bytes), expected);
}

TEST_F(TextFileDir, AnsiSettingsFileIsReadWholeNotCutAtTheFirstAccent) {
  // A shorthand file saved in the ANSI code page by a plain text editor.
  const std::u16string path = Path("GoTat.ini");
  Write(path, Cp1258Bytes(u"[GoTat]\nvn=Việt Nam\nko=không\nđc=được\nz=cuối\n"));
  IniSections sections;
  ASSERT_EQ(ReadIniFile(StandardIniSyntax(), path, sections), TextFileStatus::Read);
  const IniKeys expected{{u"vn", u"Việt Nam"}, {u"ko", u"không"}, {u"đc", u"được"}, {u"z", u"cuối"}};
  EXPECT_EQ(sections[u"GoTat"], expected);
  // Written back, the file is UTF-8 and reads the same.
  ASSERT_TRUE(WriteIniFile(StandardIniSyntax(), path, sections));
  EXPECT_EQ(ReadIniFile(StandardIniSyntax(), path), sections);
}

TEST(TextFileDecode, ByteOrderMarksChooseTheEncoding) {
  // UTF-16 both ways, with a character outside the BMP and CRLF.
  const std::u16string text = u"[A]\r\nk=tiếng 😀\nx";
  std::string le = "\xFF\xFE", be = "\xFE\xFF";
  for (const char16_t u : text) {
    le += {static_cast<char>(u & 0xFF), static_cast<char>(u >> 8)};
    be += {static_cast<char>(u >> 8), static_cast<char>(u & 0xFF)};
  }
  const Lines expected{u"[A]", u"k=tiếng 😀", u"x"};
  EXPECT_EQ(SplitTextLines(le), expected);
  EXPECT_EQ(SplitTextLines(be), expected);
  EXPECT_EQ(SplitTextLines(le + "y"), (Lines{u"[A]", u"k=tiếng 😀", u"x\uFFFD"}));  // odd last byte

  // A UTF-8 file into which one line was pasted in the ANSI code page.
  EXPECT_EQ(SplitTextLines("\xEF\xBB\xBFti\xE1\xBA\xBFng\nVi\xEA\xF2t\n\xC3\x28"),
            (Lines{u"tiếng", u"Việt", u"Ă("}));
  // Valid UTF-8 is UTF-8, decomposed marks included (the combining code
  // table is written that way).
  EXPECT_EQ(SplitTextLines("a\xCC\x81\n\xC3\xA9"), (Lines{u"a\u0301", u"é"}));
}

TEST(TextFileDecode, OnlyUntonedVowelsTakeATone) {
  std::u16string t = u"Ê\u0323 \u0301a n\u0303 Á\u0309 y\u0300\u0300 ơ\u0309";
  ComposeVietnameseTones(t);
  EXPECT_EQ(t, u"Ệ \u0301a n\u0303 Á\u0309 ỳ\u0300 ở");
  // Undefined bytes keep their value instead of vanishing.
  EXPECT_EQ(Cp1258ToUtf16("\x81\x8A\x90\x9E"), u"\u0081\u008A\u0090\u009E");
}

TEST_F(TextFileDir, ReadStatusTellsMissingFromUnreadable) {
  Lines lines{u"stale"};
  EXPECT_EQ(ReadTextFile(Path("none.ini"), lines), TextFileStatus::Missing);
  EXPECT_TRUE(lines.empty());
  std::filesystem::create_directory(dir_ / "folder.ini");
  EXPECT_EQ(ReadTextFile(Path("folder.ini"), lines), TextFileStatus::Unreadable);
  Write(Path("empty.ini"), "");
  EXPECT_EQ(ReadTextFile(Path("empty.ini"), lines), TextFileStatus::Read);
  EXPECT_TRUE(lines.empty());
}

TEST_F(TextFileDir, ReplacingIsAtomic) {
  const std::u16string path = Path("LuaChon.ini");
  ASSERT_TRUE(WriteTextLines(path, {u"old\n"}));
  ASSERT_TRUE(WriteTextLines(path, {u"new\n"}));
  EXPECT_EQ(ReadTextLines(path), Lines{u"new"});
  EXPECT_EQ(FilesInDir(), 1u);  // no temporary file left beside it

  // The target cannot be replaced (a folder): the write fails and leaves nothing.
  std::filesystem::create_directory(dir_ / "folder.ini");
  EXPECT_FALSE(WriteTextLines(Path("folder.ini"), {u"x\n"}));
  EXPECT_EQ(FilesInDir(), 2u);
  EXPECT_FALSE(WriteTextLines(Path("no_such_folder/x.ini"), {u"x\n"}));

#if !defined(_WIN32)
  // The disk fills up half-way through: the old file stays whole.
  struct rlimit old {};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = old;
  small.rlim_cur = 4096;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const bool written = WriteTextLines(path, {std::u16string(100000, u'x')});
  setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_FALSE(written);
  EXPECT_EQ(ReadTextLines(path), Lines{u"new"});
  EXPECT_EQ(FilesInDir(), 2u);
#endif
}

}  // namespace
}  // namespace tavirel
