// UngDung.ini: per-program rules as a user writes them by hand, and what the
// program writes back.
#include <gtest/gtest.h>

#include "app/AppTestUtil.h"
#include "app/UngDungFile.h"

namespace tavirel {
namespace {

using test::TempFolder;

TEST(UngDungFile, HandWrittenFileAndWhatIsWrittenBack) {
  TempFolder dir;
  dir.Write("UngDung.ini",
            "\xEF\xBB\xBF[notepad.exe]\r\nTiengViet = 1 ; always on\r\n"
            "[PuTTY.exe]\r\nTiengViet=0\r\nCachGui=1\r\n"
            "[WINWORD.EXE]\r\nTiengViet=2\r\n"
            "[chrome.exe]\r\nCachGui=3\r\nTiengViet=7\r\n"
            "[nothing.exe]\r\nTiengViet=x\r\nCachGui=9\r\n"
            "[c:\\tools\\a.exe]\r\nTiengViet=1\r\n"
            "[NOTEPAD.EXE]\r\nTiengViet=0\r\n");
  CAppRules rules;
  ASSERT_EQ(LoadAppRules(dir.File("UngDung.ini"), rules), SettingsFileStatus::Read);
  // A rule that changes nothing, a path and bad values are left out; of two
  // spellings of one program the later in code-unit order wins.
  ASSERT_EQ(rules.Rules().size(), 4u);
  EXPECT_EQ(rules.Find(u"notepad.exe")->Vietnamese, AppVietnamese::On);
  EXPECT_EQ(*rules.Find(u"putty.EXE"), (AppRule{u"PuTTY.exe", AppVietnamese::Off, AppDelivery::KeyPackets}));
  EXPECT_EQ(rules.Find(u"winword.exe")->Vietnamese, AppVietnamese::Remember);
  EXPECT_EQ(*rules.Find(u"chrome.exe"), (AppRule{u"chrome.exe", AppVietnamese::Keep, AppDelivery::AutoComplete}));
  EXPECT_EQ(rules.Find(u"nothing.exe"), nullptr);
  EXPECT_EQ(rules.Find(u"a.exe"), nullptr);

  ASSERT_TRUE(SaveAppRules(dir.File("again.ini"), rules));
  CAppRules again;
  ASSERT_EQ(LoadAppRules(dir.File("again.ini"), again), SettingsFileStatus::Read);
  for (const AppRule& rule : rules.Rules()) EXPECT_EQ(*again.Find(rule.Program), rule);
  EXPECT_EQ(again.Rules().size(), rules.Rules().size());

  EXPECT_EQ(LoadAppRules(dir.File("missing.ini"), rules), SettingsFileStatus::Missing);
  EXPECT_TRUE(rules.Empty());
}

TEST(UngDungFile, NamesThatCannotBeASectionOrAFileAreRefused) {
  CAppRules rules;
  for (const char16_t* bad : {u"", u"a]b.exe", u"x:y.exe", u"dir/a.exe", u"trailing.", u"tab\t.exe"}) {
    EXPECT_FALSE(rules.Set(AppRule{bad, AppVietnamese::On, AppDelivery::Default})) << Utf16ToUtf8(bad);
  }
  EXPECT_TRUE(rules.Empty());
  EXPECT_TRUE(rules.Set(AppRule{u"Zalo Setup (2).exe", AppVietnamese::On, AppDelivery::Default}));
  EXPECT_TRUE(CAppRules::SameProgram(u"ZALO SETUP (2).EXE", rules.Rules()[0].Program));
  // Non-ASCII letters are compared as written.
  EXPECT_FALSE(CAppRules::SameProgram(u"Đ.exe", u"đ.exe"));
}

}  // namespace
}  // namespace tavirel
