#include <gtest/gtest.h>

#include "AppTestUtil.h"
#include "app/AppOptions.h"
#include "app/FormatKeyCombo.h"
#include "app/HotKeyActions.h"
#include "app/IShellRequests.h"
#include "app/LuaChonFile.h"
#include "app/PhimTatFile.h"
#include "service/CInputMethodService.h"
#include "service/CTypingContext.h"
#include "sim/SimDesktop.h"

namespace tavirel {
namespace {

using test::TempFolder;

TEST(HotKeyActions, RegistryCreatesEveryKindByItsName) {
  const std::vector<std::u16string> expected = {u"ChuyenBangMa", u"ChuyenKieuGo", u"BatTatLuaChon",
                                                u"TaoTuGoTat",   u"BatTat",       u"SuspendSuggestion",
                                                u"HienCuaSoChinh", u"HienCuaSoChuyenMa"};
  EXPECT_EQ(ActionNames(), expected);
  SimDesktop desk;
  CInputMethodService service(&desk);
  for (const std::u16string& name : expected) {
    auto a = CreateAction(name, &service);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->GetName(), name);
    EXPECT_EQ(a->Service, &service);
    EXPECT_FALSE(a->GetDisplayName().empty());
    const bool hasParam = name == u"ChuyenBangMa" || name == u"ChuyenKieuGo" || name == u"BatTatLuaChon";
    EXPECT_EQ(!a->ParamChoices().empty(), hasParam) << Utf16ToUtf8(name);
    if (!hasParam) {
      a->SetParam(u"x");
      EXPECT_EQ(a->GetParam(), u"");
    }
  }
  EXPECT_EQ(CreateAction(u"batTat", &service), nullptr);
  EXPECT_EQ(CreateAction(u"", &service), nullptr);
  EXPECT_EQ(CreateAction(u"CClearHotKeyAction", &service), nullptr);
}

TEST(HotKeyActions, ParameterChoices) {
  auto kieuGo = CreateAction(u"ChuyenKieuGo", nullptr);
  kieuGo->SetParam(u"vn");  // a prefix, any case
  ASSERT_GE(kieuGo->ParamChoiceIndex(), 0);
  EXPECT_EQ(kieuGo->ParamChoices()[kieuGo->ParamChoiceIndex()], u"VNI");
  // Every name reads back as itself, though some names begin with others
  // ("Telex 2" is listed before "Telex").
  for (const std::u16string& name : kieuGo->ParamChoices()) {
    kieuGo->SetParam(name);
    EXPECT_EQ(kieuGo->ParamChoices()[kieuGo->ParamChoiceIndex()], name) << Utf16ToUtf8(name);
  }
  kieuGo->SetParam(u"no such method");
  EXPECT_EQ(kieuGo->ParamChoiceIndex(), 0);
  kieuGo->SetParamFromChoice(2);
  EXPECT_EQ(kieuGo->GetParam(), kieuGo->ParamChoices()[2]);
  kieuGo->SetParamFromChoice(99);
  EXPECT_EQ(kieuGo->GetParam(), kieuGo->ParamChoices()[2]);

  auto toggle = CreateAction(u"BatTatLuaChon", nullptr);
  EXPECT_EQ(toggle->ParamChoices().size(), 11u);
  for (int i = 0; i < 11; ++i) {
    toggle->SetParamFromChoice(i);
    const std::u16string stored = toggle->GetParam();
    toggle->SetParam(u"");
    toggle->SetParam(stored);
    EXPECT_EQ(toggle->ParamChoiceIndex(), i);
    EXPECT_EQ(toggle->GetParamText(), toggle->ParamChoices()[i]);
  }
}

// Each option toggle changes exactly its own LuaChon.ini key and changes it
// back the second time.
TEST(HotKeyActions, OptionTogglesChangeExactlyTheirOption) {
  const char16_t* keys[] = {u"Suggestion", u"GoTat", u"GoTatKhiTatTavirel", u"GoTatPAD",
                            u"GoTatPAC", u"BoDauThanhKieu2", u"DungTuDienDeKTChinhTa", u"GoCacTuTVLienTuc",
                            u"CPUCao", u"Clipboard", u"DetectAutoCompleteWindows"};
  SimDesktop desk;
  CInputMethodService service(&desk);
  AppOptions app;
  auto action = CreateAction(u"BatTatLuaChon", &service);
  for (int i = 1; i < 11; ++i) {  // 0, suggestions, needs the suggestion engine
    action->SetParamFromChoice(i);
    const IniKeys before = CollectOptions(service, app)[kLuaChonSection];
    EXPECT_TRUE(action->Execute());
    IniKeys after = CollectOptions(service, app)[kLuaChonSection];
    EXPECT_NE(after[keys[i]], before.at(keys[i])) << i;
    after[keys[i]] = before.at(keys[i]);
    EXPECT_EQ(after, before) << "option " << i << " changed something else";
    action->Execute();
    EXPECT_EQ(CollectOptions(service, app)[kLuaChonSection], before);
  }
}

struct RecordingRequests : IShellRequests {
  int main = 0, conversion = 0, shorthand = 0;
  void ShowMainDialog() override { ++main; }
  void ShowConversionDialog() override { ++conversion; }
  void ShowCreateShorthandDialog() override { ++shorthand; }
};

class UserHotkeysTest : public ::testing::Test {
 protected:
  UserHotkeysTest() {
    desk.InstallHooks(&service);
    SetShellRequests(&requests);
  }
  ~UserHotkeysTest() override { SetShellRequests(nullptr); }
  void Chord(std::initializer_list<uint16_t> modifiers, uint16_t key) {
    for (uint16_t m : modifiers) desk.KeyDown(m);
    if (key != 0) desk.Press(key);
    for (auto it = std::rbegin(modifiers); it != std::rend(modifiers); ++it) desk.KeyUp(*it);
  }
  std::string Type(std::u16string_view keys) {
    desk.TypeText(keys);
    return Utf16ToUtf8(desk.Text());
  }

  TempFolder dir;
  SimDesktop desk;
  CInputMethodService service{&desk};
  RecordingRequests requests;
};

// A PhimTat.ini with Alt+V, Alt+T and Alt+B switches method and table while
// typing; the Alt chords reach the application with their key replaced by 0.
TEST_F(UserHotkeysTest, HotkeysFromTheFileSwitchMethodAndTable) {
  dir.Write("PhimTat.ini",
            "[0]\nHotKey=65622\nName=ChuyenKieuGo\nParam=VNI\n"
            "[1]\nHotKey=65620\nName=ChuyenKieuGo\nParam=Telex 2\n"
            "[2]\nHotKey=65602\nName=ChuyenBangMa\nParam=VNI Windows\n"
            "[3]\nHotKey=65602\nName=SuspendSuggestion\n");
  ASSERT_EQ(LoadHotkeys(dir.File("PhimTat.ini"), service), SettingsFileStatus::Read);
  std::vector<std::u16string> balloons;
  service.ActionExecuted.AddFn([&](CHotKeyActionBase* a) {
    auto* action = dynamic_cast<CHotKeyAction*>(a);
    balloons.push_back(FormatKeyCombo(a->Key) + u"|" + action->GetDisplayName() + u"\n" + action->GetParamText());
  });
  EXPECT_EQ(Type(u"tieengs "), "tiếng ");
  Chord({vk::kLMenu}, 'V');
  EXPECT_EQ(service.TypingMethod(), u"VNI");
  EXPECT_EQ(Type(u"vie65t "), "tiếng việt ");
  Chord({vk::kRMenu}, 'T');
  EXPECT_EQ(Type(u"nam"), "tiếng việt nam");
  EXPECT_EQ(balloons, (std::vector<std::u16string>{u"Alt+V|Chuyển kiểu gõ\nVNI", u"Alt+T|Chuyển kiểu gõ\nTelex 2"}));
  // Two actions on Alt+B both run.
  Chord({vk::kLMenu}, 'B');
  EXPECT_EQ(service.CodeTable(), u"VNI Windows");
  EXPECT_TRUE(service.SuggestionsSuspended);
  EXPECT_EQ(balloons.size(), 4u);
}

TEST_F(UserHotkeysTest, WindowActionsAskTheInterfaceThreadAndSwallowTheKey) {
  dir.Write("PhimTat.ini",
            "[0]\nHotKey=196685\nName=HienCuaSoChinh\n"     // Ctrl+Alt+M
            "[1]\nHotKey=196675\nName=HienCuaSoChuyenMa\n"  // Ctrl+Alt+C
            "[2]\nHotKey=393287\nName=TaoTuGoTat\n"         // Ctrl+Shift+G
            "[3]\nHotKey=19\nName=BatTat\n");              // Pause
  ASSERT_EQ(LoadHotkeys(dir.File("PhimTat.ini"), service), SettingsFileStatus::Read);
  desk.AppKeys.clear();
  Chord({vk::kLControl, vk::kLMenu}, 'M');
  Chord({vk::kLControl, vk::kLMenu}, 'C');
  Chord({vk::kLControl, vk::kLShift}, 'G');
  EXPECT_EQ(requests.main, 1);
  EXPECT_EQ(requests.conversion, 1);
  EXPECT_EQ(requests.shorthand, 1);
  for (const auto& e : desk.AppKeys) EXPECT_FALSE(e.Vk == 'G' && !e.Up) << "the hotkey's key reached the application";
  // The master switch stops all typing without changing the on/off state.
  desk.Press(0x13);
  EXPECT_EQ(Type(u"tieengs "), "tieengs ");
  EXPECT_TRUE(service.IsVietnamese());
  desk.Press(0x13);
  EXPECT_EQ(Type(u"vieetj"), "tieengs việt");
}

TEST(FormatKeyCombo, Texts) {
  EXPECT_EQ(FormatKeyCombo(KeyCombo(6, 0)), u"Ctrl+Shift");
  EXPECT_EQ(FormatKeyCombo(KeyCombo(0, 0)), u"");
  EXPECT_EQ(FormatKeyCombo(KeyCombo(2, 46)), u"Ctrl+");
  EXPECT_EQ(FormatKeyCombo(KeyCombo(1, 164)), u"Alt+");
  EXPECT_EQ(FormatKeyCombo(KeyCombo(6, 120)), u"Ctrl+Shift+F9");
  EXPECT_EQ(FormatKeyCombo(KeyCombo(15, 'A')), u"Ctrl+Shift+Alt+Win+A");
  EXPECT_EQ(FormatKeyCombo(KeyCombo(0, 9)), u"Tab");
  EXPECT_EQ(FormatKeyCombo(KeyCombo(3, 0)), u"Ctrl+Alt");
  // The system's names when the program installs them.
  SetKeyNamer([](uint16_t vk) { return vk == 'Z' ? std::u16string(u"Zê") : std::u16string(); });
  EXPECT_EQ(FormatKeyCombo(KeyCombo(1, 'Z')), u"Alt+Zê");
  EXPECT_EQ(FormatKeyCombo(KeyCombo(1, 'Z'), PortableKeyName), u"Alt+Z");
  SetKeyNamer(nullptr);
}

}  // namespace
}  // namespace tavirel
