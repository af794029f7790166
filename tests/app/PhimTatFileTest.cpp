#include <gtest/gtest.h>

#include "AppTestUtil.h"
#include "app/HotKeyActions.h"
#include "app/PhimTatFile.h"
#include "service/CInputMethodService.h"
#include "sim/SimDesktop.h"

namespace tavirel {
namespace {

using test::TempFolder;

CHotKeyAction* At(CInputMethodService& s, size_t i) {
  return dynamic_cast<CHotKeyAction*>(s.UserHotKeys().at(i).get());
}

// Eleven hotkeys come back in the order they were saved ("10" after "9",
// not after "1").
TEST(PhimTatFile, ElevenHotkeysKeepTheirOrder) {
  TempFolder dir;
  SimDesktop desk;
  CInputMethodService service(&desk);
  for (int i = 0; i < 11; ++i) {
    auto a = CreateAction(u"ChuyenKieuGo", &service);
    a->SetParam(u"method " + FormatInt(i));
    a->Key = KeyCombo(modbits::kAlt, static_cast<uint16_t>('A' + i));
    service.UserHotKeys().push_back(std::move(a));
  }
  ASSERT_TRUE(SaveHotkeys(dir.File("PhimTat.ini"), service.UserHotKeys()));
  CInputMethodService again(&desk);
  ASSERT_EQ(LoadHotkeys(dir.File("PhimTat.ini"), again), SettingsFileStatus::Read);
  ASSERT_EQ(again.UserHotKeys().size(), 11u);
  for (size_t i = 0; i < 11; ++i) {
    EXPECT_EQ(At(again, i)->GetParam(), u"method " + FormatInt(static_cast<long long>(i)));
    EXPECT_EQ(again.UserHotKeys()[i]->Key, KeyCombo(modbits::kAlt, static_cast<uint16_t>('A' + i)));
    EXPECT_EQ(again.UserHotKeys()[i]->Service, &again);
  }
}

TEST(PhimTatFile, SectionOrderIsNumeric) {
  IniSections s;
  for (const char16_t* name : {u"10", u"2", u"x", u"0", u"007", u"7", u"", u"99999999999999999999", u"-1"}) {
    s[name];
  }
  EXPECT_EQ(HotkeySectionOrder(s), (std::vector<std::u16string>{u"0", u"2", u"007", u"7", u"10",
                                                                 u"99999999999999999999", u"", u"-1", u"x"}));
}

// Hand-written: comments, spaces, unknown or missing names, a missing key
// or parameter, and every kind by name.
TEST(PhimTatFile, HandWrittenFile) {
  TempFolder dir;
  dir.Write("PhimTat.ini",
            "[0]\r\nHotKey = 65622 ; Alt+V\r\nName = ChuyenKieuGo\r\nParam = VNI\r\n"
            "[1]\r\nName=chuyenkieugo\r\nHotKey=1\r\n"
            "[2]\r\nHotKey=3\r\n"
            "[3]\r\nName=BatTatLuaChon\r\nParam=GoTatNA\r\n"
            "[4]\r\nName=BatTatLuaChon\r\nParam=DetectAutoCompleteWindows\r\nHotKey=oops\r\n"
            "[5]\r\nName=BatTat\r\nParam=ignored\r\nHotKey=262225\r\n");
  SimDesktop desk;
  CInputMethodService service(&desk);
  service.UserHotKeys().push_back(CreateAction(u"BatTat", &service));  // emptied by the load
  ASSERT_EQ(LoadHotkeys(dir.File("PhimTat.ini"), service), SettingsFileStatus::Read);
  ASSERT_EQ(service.UserHotKeys().size(), 4u);
  EXPECT_EQ(At(service, 0)->GetName(), u"ChuyenKieuGo");
  EXPECT_EQ(At(service, 0)->GetParam(), u"VNI");
  EXPECT_EQ(service.UserHotKeys()[0]->Key, KeyCombo(modbits::kAlt, 'V'));
  // The stored names of the option toggles are shifted from index 3 on.
  auto* toggle = dynamic_cast<CBatTatLuaChonHotKeyAction*>(At(service, 1));
  ASSERT_NE(toggle, nullptr);
  EXPECT_EQ(toggle->Option(), 3);
  EXPECT_EQ(toggle->GetParamText(), u"Gõ tắt phụ âm đầu");
  EXPECT_EQ(service.UserHotKeys()[1]->Key, KeyCombo());
  auto* never = dynamic_cast<CBatTatLuaChonHotKeyAction*>(At(service, 2));
  EXPECT_EQ(never->Option(), -1);
  EXPECT_EQ(never->GetParamText(), u"");
  EXPECT_EQ(never->ParamChoiceIndex(), -1);
  EXPECT_FALSE(never->Execute());
  EXPECT_EQ(At(service, 3)->GetParam(), u"");

  // Saved again, the sections are what the program writes.
  ASSERT_TRUE(SaveHotkeys(dir.File("again.ini"), service.UserHotKeys()));
  const IniSections again = ReadIniFile(StandardIniSyntax(), dir.File("again.ini"));
  EXPECT_EQ(again.at(u"1"), (IniKeys{{u"HotKey", u"0"}, {u"Name", u"BatTatLuaChon"}, {u"Param", u"GoTatNA"}}));
  EXPECT_EQ(again.at(u"2").at(u"Param"), u"");
}

TEST(PhimTatFile, MissingFileEmptiesTheList) {
  TempFolder dir;
  SimDesktop desk;
  CInputMethodService service(&desk);
  service.UserHotKeys().push_back(CreateAction(u"BatTat", &service));
  EXPECT_EQ(LoadHotkeys(dir.File("PhimTat.ini"), service), SettingsFileStatus::Missing);
  EXPECT_TRUE(service.UserHotKeys().empty());
}

}  // namespace
}  // namespace tavirel
