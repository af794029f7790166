#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "app/RunAtLogin.h"
#include "app/TrayMenu.h"
#include "common/Utf8.h"

namespace tavirel {
namespace {

std::vector<std::u16string> Names(const char16_t* stem, int n) {
  std::vector<std::u16string> names;
  for (int i = 0; i < n; ++i) names.push_back(stem + Utf8ToUtf16(std::to_string(i)));
  return names;
}

const TrayMenuItem* Find(const std::vector<TrayMenuItem>& items, const std::u16string& text) {
  for (const auto& item : items) {
    if (item.Text == text) return &item;
  }
  return nullptr;
}

// With more than twenty methods and tables every item has its own command,
// and each command decodes back to its list and position.
TEST(TrayMenu, ManyMethodsAndTablesKeepTheirOwnCommands) {
  TrayMenuState s;
  s.TypingMethods = Names(u"m", 25);
  s.CodeTables = Names(u"t", 25);
  s.TypingMethod = u"m21";
  s.CodeTable = u"t3";
  const auto menu = BuildTrayMenu(s);
  std::set<uint16_t> commands;
  std::function<void(const std::vector<TrayMenuItem>&)> collect = [&](const std::vector<TrayMenuItem>& items) {
    for (const auto& item : items) {
      if (item.Command != 0) {
        EXPECT_TRUE(commands.insert(item.Command).second) << item.Command;
      }
      collect(item.Popup);
    }
  };
  collect(menu);
  const TrayMenuItem* methods = Find(menu, u"Kiểu gõ");
  const TrayMenuItem* tables = Find(menu, u"Bảng mã");
  ASSERT_TRUE(methods && tables);
  ASSERT_EQ(methods->Popup.size(), 25u);
  for (size_t i = 0; i < 25; ++i) {
    EXPECT_EQ(methods->Popup[i].Checked, i == 21);
    EXPECT_EQ(tables->Popup[i].Checked, i == 3);
    const TrayChoice m = DecodeTrayCommand(methods->Popup[i].Command, 25, 25);
    EXPECT_EQ(m.What, TrayChoice::kTypingMethod);
    EXPECT_EQ(m.Index, static_cast<int>(i));
    const TrayChoice t = DecodeTrayCommand(tables->Popup[i].Command, 25, 25);
    EXPECT_EQ(t.What, TrayChoice::kCodeTable);
    EXPECT_EQ(t.Index, static_cast<int>(i));
  }
  // A command from a longer, older list is ignored.
  EXPECT_EQ(DecodeTrayCommand(methods->Popup[24].Command, 20, 25).What, TrayChoice::kNone);
  EXPECT_EQ(DecodeTrayCommand(traycmd::kExit, 25, 25).Command, traycmd::kExit);
}

TEST(TrayMenu, ItemsChecksAndTheElevationEntry) {
  TrayMenuState s;
  s.GoTatPAC = true;
  s.Clipboard = true;
  auto menu = BuildTrayMenu(s);
  EXPECT_EQ(Find(menu, u"Khởi động lại với quyền Admin"), nullptr);
  const TrayMenuItem* options = Find(menu, u"Các lựa chọn khác");
  ASSERT_NE(options, nullptr);
  for (const auto& item : options->Popup) {
    EXPECT_EQ(item.Checked, item.Command == traycmd::kGoTatPAC || item.Command == traycmd::kClipboard);
  }
  EXPECT_TRUE(Find(menu, u"Hiện cửa sổ chính")->Default);
  EXPECT_EQ(menu.back().Command, traycmd::kExit);
  s.OfferRestartAsAdmin = true;
  menu = BuildTrayMenu(s);
  ASSERT_NE(Find(menu, u"Khởi động lại với quyền Admin"), nullptr);
}

TEST(TrayMenu, Tooltip) {
  EXPECT_EQ(TrayTooltip(true, KeyCombo(6, 0), u"Telex 2", u"Unicode", false),
            u"Bấm để dừng Tavirel (Ctrl+Shift)\nTelex 2 · Unicode");
  EXPECT_EQ(TrayTooltip(false, KeyCombo(1, 'Z'), u"VNI", u"VNI Windows", false),
            u"Bấm để bật Tavirel (Alt+Z)\nVNI · VNI Windows");
  EXPECT_NE(TrayTooltip(true, KeyCombo(6, 0), u"VNI", u"Unicode", true).find(u"Không gõ được"), std::u16string::npos);
  EXPECT_EQ(TrayTooltip(true, KeyCombo(6, 0), std::u16string(300, u'x'), u"Unicode", true).size(), 127u);
  // The rule of the program that has the focus.
  EXPECT_EQ(TrayTooltip(false, KeyCombo(6, 0), u"VNI", u"Unicode", false,
                        AppRuleTooltipLine({u"putty.exe", AppVietnamese::Off, AppDelivery::KeyPackets})),
            u"Bấm để bật Tavirel (Ctrl+Shift)\nVNI · Unicode\nputty.exe: luôn tắt, gửi bằng phím");
  EXPECT_EQ(AppRuleTooltipLine({u"excel.exe", AppVietnamese::Keep, AppDelivery::AutoComplete}),
            u"excel.exe: ô tự hoàn thành");
}

TEST(RunAtLogin, ValueAndSwitches) {
  const std::u16string exe = u"C:\\Program Files\\Tavirel\\Tavirel.exe";
  EXPECT_EQ(RunAtLoginCommand(exe), u"\"C:\\Program Files\\Tavirel\\Tavirel.exe\" /RunAtLogin");
  EXPECT_TRUE(IsOwnRunAtLoginCommand(u"\"c:\\program files\\tavirel\\TAVIREL.EXE\" /runatlogin", exe));
  EXPECT_FALSE(IsOwnRunAtLoginCommand(u"C:\\Program Files\\Tavirel\\Tavirel.exe /RunAtLogin", exe));
  EXPECT_FALSE(IsOwnRunAtLoginCommand(u"\"C:\\Other\\Tavirel.exe\" /RunAtLogin", exe));
  EXPECT_FALSE(IsOwnRunAtLoginCommand(u"\"C:\\Program Files\\Tavirel\\Tavirel.exe\"", exe));
  EXPECT_TRUE(HasSwitch({u"Tavirel.exe", u"/update"}, u"/Update"));
  EXPECT_FALSE(HasSwitch({u"/Update"}, u"/Update"));  // the program name is not a switch
  EXPECT_FALSE(HasSwitch({u"Tavirel.exe", u"/Updates"}, u"/Update"));
  EXPECT_EQ(InstanceMutexName(u"S-1-5-21-1"), u"Local\\Tavirel-S-1-5-21-1");
}

}  // namespace
}  // namespace tavirel
