// Typing methods: converting a KieuGo.ini section, the two-file registry and
// the user file writer.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <string>

#include "common/AppDirectory.h"
#include "common/Ini.h"
#include "common/TextFile.h"
#include "common/Utf8.h"
#include "tables/CKieuGo.h"

namespace tavirel {
namespace {

CKieuGo FromLines(const std::vector<std::u16string>& body) {
  std::vector<std::u16string> lines{u"[M]"};
  lines.insert(lines.end(), body.begin(), body.end());
  return CKieuGo::FromSection(IniSectionOf(lines, u"M"));
}

std::u16string Join(const std::vector<std::u16string>& pieces) {
  std::u16string all;
  for (const auto& p : pieces) all += p;
  return all;
}

int FunctionOf(const CKieuGo& m, char16_t typed) {
  const KeyBinding* b = m.FindTyped(typed);
  return b ? b->function : -100;
}

TEST(KieuGoNames, IniNamesAreDistinctAndDisplayTextsExact) {
  std::set<std::u16string_view> seen;
  for (int i = 0; i < kKieuGoFunctionCount; ++i) {
    EXPECT_TRUE(seen.insert(FunctionIniNames[i]).second) << i;
    EXPECT_EQ(FindFunctionIniName(FunctionIniNames[i]), i);
    EXPECT_FALSE(FunctionDisplayNames[i].empty());
  }
  EXPECT_EQ(FindFunctionIniName(u"dausac"), -1);
  EXPECT_EQ(FunctionDisplayNames[0], u"Phím thoát : Bỏ qua phím chức năng kế tiếp");
  EXPECT_EQ(FunctionDisplayNames[17], u"Dấu móc : UOA thành ƯƠĂ , hoặc tạo chữ Ư");
  EXPECT_EQ(FunctionIniNames[25], u"__ươ");
  EXPECT_EQ(FunctionIniNames[33], u"_ƯƠ");
  EXPECT_EQ(FunctionDisplayNames[33], u"Chữ ƯƠ");
  EXPECT_EQ(KeyBinding::Function(2).DisplayText(), u"Dấu sắc");
  EXPECT_EQ(KeyBinding::Text(u"ươi").DisplayText(), u"ươi");
}

TEST(KieuGoSection, LookupUsesTheLowerCaseKey) {
  // A key stored in upper case never matches; the lower-case key serves both.
  const CKieuGo upper = FromLines({u"S=DauSac"});
  EXPECT_EQ(upper.FindTyped(u's'), nullptr);
  EXPECT_EQ(upper.FindTyped(u'S'), nullptr);
  const CKieuGo lower = FromLines({u"s=DauSac", u"đ=D_Đ"});
  EXPECT_EQ(FunctionOf(lower, u's'), 2);
  EXPECT_EQ(FunctionOf(lower, u'S'), 2);
  EXPECT_EQ(FunctionOf(lower, u'Đ'), 7);
  EXPECT_EQ(CKieuGo::LookupKey(u'{'), u'{');
  EXPECT_EQ(CKieuGo::LookupKey(u'Ữ'), u'ữ');
}

TEST(KieuGoSection, ValuesThatAreNotIniNamesBecomeText) {
  const CKieuGo m = FromLines({
      u"s=DauSac ; a comment",  // trimmed first, then cut: one trailing space stays
      u"f=Dauhuyen",            // misspelt
      u"q=ươi",
      u"r=",
  });
  ASSERT_NE(m.Find(u's'), nullptr);
  EXPECT_EQ(*m.Find(u's'), KeyBinding::Text(u"DauSac "));
  EXPECT_EQ(*m.Find(u'f'), KeyBinding::Text(u"Dauhuyen"));
  EXPECT_EQ(*m.Find(u'q'), KeyBinding::Text(u"ươi"));
  EXPECT_EQ(*m.Find(u'r'), KeyBinding::Text(u""));
}

TEST(KieuGoSection, FirstBindingOfAKeyCharacterWins) {
  // Same key text twice: the first line; same first character: the key text
  // that sorts first ("s" before "sx").
  EXPECT_EQ(FunctionOf(FromLines({u"s=DauSac", u"s=DauNga"}), u's'), 2);
  EXPECT_EQ(FunctionOf(FromLines({u"sx=DauNga", u"s=DauSac"}), u's'), 2);
  EXPECT_EQ(FunctionOf(FromLines({u"sx=DauNga", u"sa=DauHoi"}), u's'), 4);
}

TEST(KieuGoSection, AwkwardKeyCharacters) {
  const CKieuGo m = FromLines({
      u"==DauSac",   // empty key (character 0), value "=DauSac"
      u";=DauHoi",   // comment
      u"   =DauNga",  // key trims to nothing, 0 already taken
      u"[=__ươ",     // no closing bracket: a binding, not a header
      u"{=_ƯƠ",
      u"[x]=DauNang",  // a header: the section ends here
      u"j=DauNang",
  });
  EXPECT_EQ(m.size(), 3u);
  ASSERT_NE(m.Find(0), nullptr);
  EXPECT_EQ(*m.Find(0), KeyBinding::Text(u"=DauSac"));
  EXPECT_EQ(FunctionOf(m, u';'), -100);
  EXPECT_EQ(FunctionOf(m, u'['), 25);
  EXPECT_EQ(FunctionOf(m, u'{'), 33);
  EXPECT_EQ(FunctionOf(m, u'j'), -100);
}

// A scratch program folder with a Resources sub-folder.
class KieuGoFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("tavirel_kieugo_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_ / "Resources");
    builtIn_ = Utf8ToUtf16((dir_ / "Resources" / "KieuGo.ini").string());
    user_ = Utf8ToUtf16((dir_ / "KieuGo.ini").string());
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  static void Write(const std::u16string& path, const std::string& bytes) {
    std::ofstream(ToFsPath(path), std::ios::binary) << bytes;
  }

  std::filesystem::path dir_;
  std::u16string builtIn_, user_;
};

TEST_F(KieuGoFiles, BuiltInAndUserMethods) {
  Write(builtIn_, "\xEF\xBB\xBF[Telex 2]\ns=DauSac\n\n[VNI]\n1=DauSac\n");
  Write(user_, "[Mine]\nq=__ươ\n[Telex 2]\ns=DauNga\n");
  const CKieuGoRegistry reg(builtIn_, user_);

  const std::vector<std::u16string> all{u"Telex 2", u"VNI", u"Mine", u"Telex 2"};
  EXPECT_EQ(reg.GetTypingMethodNames(), all);
  EXPECT_EQ(FunctionOf(reg.LoadKieuGo(u"Telex 2"), u's'), 2);  // the built-in one wins
  EXPECT_EQ(FunctionOf(reg.LoadKieuGo(u"Mine"), u'q'), 25);
  // Names compare exactly, although the section lookup ignores case.
  EXPECT_TRUE(reg.LoadKieuGo(u"telex 2").empty());
  EXPECT_TRUE(reg.LoadKieuGo(u"mine").empty());
  EXPECT_TRUE(reg.LoadKieuGo(u"Nothing").empty());
  EXPECT_EQ(FunctionOf(reg.LoadBuiltInKieuGo(u"telex 2"), u's'), 2);
  EXPECT_TRUE(reg.LoadBuiltInKieuGo(u"Mine").empty());

  // The user's names are read every time; the built-in ones once.
  Write(user_, "[Other]\n");
  Write(builtIn_, "[Changed]\n");
  const std::vector<std::u16string> now{u"Telex 2", u"VNI", u"Other"};
  EXPECT_EQ(reg.GetTypingMethodNames(), now);
}

TEST_F(KieuGoFiles, MissingOrMalformedFilesGiveNoMethods) {
  {
    const CKieuGoRegistry reg(builtIn_, user_);
    EXPECT_TRUE(reg.GetTypingMethodNames().empty());
    EXPECT_TRUE(reg.GetUserMethodNames().empty());
    EXPECT_TRUE(reg.LoadKieuGo(u"Telex 2").empty());
    EXPECT_TRUE(reg.LoadBuiltInKieuGo(u"Telex 2").empty());
  }
  // Garbage: no header, a broken UTF-8 sequence, NULs, a lone CR.
  {
    static const char kGarbage[] = "s=DauSac\n\xC3\x28[Bad]\n\0\0\r=x\n";
    Write(user_, std::string(kGarbage, sizeof kGarbage - 1));
  }
  Write(builtIn_, "\xFF\xFE[");
  const CKieuGoRegistry reg(builtIn_, user_);
  EXPECT_TRUE(reg.BuiltInMethodNames().empty());
  EXPECT_TRUE(reg.GetUserMethodNames().empty());
  EXPECT_TRUE(reg.LoadKieuGo(u"Bad").empty());
  // A folder where the file should be.
  std::filesystem::remove(ToFsPath(user_));
  std::filesystem::create_directory(ToFsPath(user_));
  EXPECT_TRUE(reg.GetUserMethodNames().empty());
  EXPECT_FALSE(reg.SaveUserMethods({{u"X", CKieuGo()}}));
}

TEST_F(KieuGoFiles, SavedUserMethodsReadBackTheSame) {
  CKieuGo a;
  a.Add(u's', KeyBinding::Function(2));
  a.Add(u'\\', KeyBinding::Function(0));
  a.Add(u'[', KeyBinding::Function(25));
  a.Add(u'q', KeyBinding::Text(u"ương"));
  a.Add(u'đ', KeyBinding::Function(7));
  CKieuGo b;
  b.Add(u'7', KeyBinding::Function(13));
  const KieuGoMethods methods{{u"Zeta", b}, {u"Alpha kiểu", a}, {u"Rỗng", CKieuGo()}};

  const CKieuGoRegistry reg(builtIn_, user_);
  ASSERT_TRUE(reg.SaveUserMethods(methods));
  const std::vector<std::u16string> names{u"Alpha kiểu", u"Rỗng", u"Zeta"};
  EXPECT_EQ(reg.GetUserMethodNames(), names);
  for (const auto& [name, method] : methods) EXPECT_EQ(reg.LoadKieuGo(name), method) << Utf16ToUtf8(name);

  std::string bytes;
  ASSERT_TRUE(ReadFileBytes(user_, bytes));
  EXPECT_EQ(bytes,
            "\xEF\xBB\xBF[Alpha kiểu]\n[=__ươ\n\\=Thoat\nq=ương\ns=DauSac\nđ=D_Đ\n\n"
            "[Rỗng]\n\n[Zeta]\n7=UO_ƯƠ\n\n");
}

TEST_F(KieuGoFiles, UserFileInTheAnsiCodePageSurvivesASave) {
  // Saved by an editor in code page 1258: "ơ" is one byte, "ử" is ư + a tone byte.
  Write(user_, "[Ki\xEA\xD2" "u t\xF4i]\nw=\xF5\nq=\xFD\xD2" "a\nz=DauSac\n");
  const CKieuGoRegistry reg(builtIn_, user_);
  CKieuGo expected;
  expected.Add(u'q', KeyBinding::Text(u"ửa"));
  expected.Add(u'w', KeyBinding::Text(u"ơ"));
  expected.Add(u'z', KeyBinding::Function(2));
  ASSERT_EQ(reg.LoadKieuGo(u"Kiểu tôi"), expected);
  ASSERT_TRUE(reg.SaveUserMethods({{u"Kiểu tôi", expected}}));
  EXPECT_EQ(reg.LoadKieuGo(u"Kiểu tôi"), expected);
}

TEST_F(KieuGoFiles, WhatIsSavedReadsBackTheSame) {
  // Keys and texts the INI syntax would otherwise change: a comment, a
  // trimmed space, an empty key, a header, half of a surrogate pair, a text
  // that spells a function's name or looks quoted.
  CKieuGo m;
  m.Add(u'=', KeyBinding::Function(2));
  m.Add(u';', KeyBinding::Text(u" a"));
  m.Add(u' ', KeyBinding::Text(u"a "));
  m.Add(u'[', KeyBinding::Text(u"x]"));
  m.Add(u'\xD83D', KeyBinding::Text(u"😀"));  // a key typed as a surrogate pair
  m.Add(u'a', KeyBinding::Text(u"a;b"));
  m.Add(u'b', KeyBinding::Text(u"DauSac"));
  m.Add(u'c', KeyBinding::Text(u"\"q\""));
  m.Add(u'd', KeyBinding::Text(u"\\u0041\\"));
  m.Add(u'e', KeyBinding::Text(u"l1\r\nl2\xDC00"));
  m.Add(u'f', KeyBinding::Function(17));
  m.Add(0, KeyBinding::Text(u""));
  CKieuGo upper;
  upper.Add(u's', KeyBinding::Function(2));
  const KieuGoMethods methods{{u"ABC", upper}, {u"abc", m}, {u" [x", CKieuGo()}};
  const CKieuGoRegistry reg(builtIn_, user_);
  ASSERT_TRUE(reg.SaveUserMethods(methods));
  for (const auto& [name, method] : methods) EXPECT_EQ(reg.LoadKieuGo(name), method) << Utf16ToUtf8(name);

  // A name a header cannot hold is refused, and the file stays as it was.
  std::string before, after;
  ASSERT_TRUE(ReadFileBytes(user_, before));
  EXPECT_FALSE(reg.SaveUserMethods({{u"Bad]name", m}}));
  EXPECT_FALSE(reg.SaveUserMethods({{u"Half\xD800", m}}));
  ASSERT_TRUE(ReadFileBytes(user_, after));
  EXPECT_EQ(before, after);
  EXPECT_TRUE(IsStorableMethodName(u"[Kiểu 😀 ;1"));
}

TEST(KieuGoSection, RandomMethodsSurviveTheFileForm) {
  // Written as the file would be and read back through the line reader.
  const std::u16string pool = u"=; [\"\\]\r\nasDauSc_uƯ0\xD83D\xDE00\xDC00\xFEFF\t";
  std::mt19937 rng(17);
  for (int round = 0; round < 400; ++round) {
    CKieuGo m;
    for (int n = static_cast<int>(rng() % 8); n > 0; --n) {
      const char16_t key = pool[rng() % pool.size()];
      if (rng() % 3 == 0) {
        m.Add(key, KeyBinding::Function(static_cast<int32_t>(rng() % kKieuGoFunctionCount)));
      } else {
        std::u16string text;
        for (int k = static_cast<int>(rng() % 7); k > 0; --k) text.push_back(pool[rng() % pool.size()]);
        if (rng() % 5 == 0) text = std::u16string(FunctionIniNames[rng() % kKieuGoFunctionCount]);
        m.Add(key, KeyBinding::Text(text));
      }
    }
    const std::string bytes = Utf16ToUtf8(Join(FormatIniPieces(StandardIniSyntax(), {{u"M", m.ToSection()}})));
    const IniSections back = ParseIniLines(StandardIniSyntax(), SplitTextLines(bytes));
    ASSERT_EQ(back.size(), 1u) << bytes;
    ASSERT_EQ(CKieuGo::FromSection(back.begin()->second), m) << bytes;
  }
}

TEST(KieuGoShipped, DefaultAndConventionalMethods) {
  const CKieuGoRegistry reg(ResourcePath(u"KieuGo.ini"), AppFilePath(u"no-such-KieuGo.ini"));
  const std::vector<std::u16string> names{u"Telex 2", u"Telex", u"VNI", u"VIQR"};
  EXPECT_EQ(reg.GetTypingMethodNames(), names);
  for (const auto& name : names) {
    const CKieuGo m = reg.LoadKieuGo(name);
    EXPECT_GE(m.size(), 10u);
    for (const auto& [key, b] : m) EXPECT_FALSE(b.isText) << Utf16ToUtf8(name) << " key " << int(key);
    EXPECT_EQ(FunctionOf(m, u'\\'), 0) << Utf16ToUtf8(name);
  }
  const CKieuGo telex2 = reg.LoadKieuGo(u"Telex 2"), telex = reg.LoadKieuGo(u"Telex");
  EXPECT_EQ(FunctionOf(telex2, u'S'), 2);
  EXPECT_EQ(FunctionOf(telex2, u'w'), 17);
  EXPECT_EQ(FunctionOf(telex2, u'{'), 31);
  EXPECT_EQ(FunctionOf(telex, u'['), -100);
  EXPECT_EQ(telex.size() + 4, telex2.size());
  EXPECT_EQ(FunctionOf(reg.LoadKieuGo(u"VNI"), u'9'), 7);
  EXPECT_EQ(FunctionOf(reg.LoadKieuGo(u"VIQR"), u'?'), 4);
}

}  // namespace
}  // namespace tavirel
