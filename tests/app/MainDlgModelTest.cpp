// The main dialog without its window: what it shows for the options, and
// what Apply sets, checked against the real settings code and service.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "app/LuaChonFile.h"
#include "app/MainDlgIds.h"
#include "app/MainDlgModel.h"
#include "app/PageMenu.h"
#include "service/CInputMethodService.h"
#include "sim/SimDesktop.h"
#include "tables/CBangMa.h"
#include "tables/CKieuGo.h"

namespace tavirel {
namespace {

struct Program {
  SimDesktop desk;
  CInputMethodService service{&desk};
  AppOptions app;
  IniKeys Values() { return CollectOptions(service, app)[kLuaChonSection]; }
  void Apply(const std::vector<std::pair<std::u16string, std::u16string>>& changes) {
    for (const auto& [key, value] : changes) ASSERT_TRUE(SetOption(service, app, key, value)) << Utf16(key);
  }
  static std::string Utf16(const std::u16string& s) { return std::string(s.begin(), s.end()); }
};

MainDlgState Shown(Program& p) {
  return LoadState(p.Values(), GetTypingMethodNames(), GetCodeTableNames(), false);
}

// The options the dialog has no control for.
bool NotInDialog(const std::u16string& key) {
  return key == u"Enabled" || key == u"ChanPhimKhiGoTat" || key == u"SuggestionUIExpand" ||
         key == u"SuggestionUIAlpha" || key == u"ThuNho" || key == u"DisplayedTabs";
}

// Random controls, applied to one program, read back by a second dialog:
// every control shows what the first set, and every option of the file
// that has a control took the control's value.
TEST(MainDlgModel, RandomControlsSurviveApplyAndReopen) {
  std::mt19937 rng(15);
  const std::vector<std::u16string> methods = GetTypingMethodNames();
  const std::vector<std::u16string> tables = GetCodeTableNames();
  ASSERT_GE(methods.size(), 2u);
  ASSERT_GE(tables.size(), 2u);
  for (int round = 0; round < 30; ++round) {
    Program p;
    MainDlgState s = Shown(p);
    s.Method = static_cast<int>(rng() % methods.size());
    s.Table = static_cast<int>(rng() % tables.size());
    // Suggestions start a loader thread; keep them off but flip the rest.
    for (auto& [id, on] : s.Checks) on = id != IDC_SUGGESTION && rng() % 2 == 0;
    s.Count = static_cast<int>(rng() % kCountItems);
    for (auto& [which, combo] : s.HotKeys) combo = KeyCombo(static_cast<int32_t>(rng() % 16), rng() % 3 ? 'A' + rng() % 26 : 0);
    s.SpecialWords = rng() % 2 ? u"ah uh ưh" : u"";
    // The compound-word correction needs its dictionary; its load result is
    // what the option becomes.
    p.Apply(ApplyChanges(s, p.Values()));
    const MainDlgState again = Shown(p);
    MainDlgState expected = s;
    expected.Checks[IDC_SUALOITUGHEP] = again.Checks.at(IDC_SUALOITUGHEP);
    // Equal names in the list: the first of them is shown.
    expected.Method = SelectName(methods, methods[static_cast<size_t>(s.Method)]);
    expected.Table = SelectName(tables, tables[static_cast<size_t>(s.Table)]);
    ASSERT_EQ(again, expected) << "round " << round;
  }
}

TEST(MainDlgModel, EveryOptionOfTheFileWithAControlIsSetByApply) {
  Program p;
  std::vector<std::u16string> set;
  for (const auto& [key, value] : ApplyChanges(Shown(p), p.Values())) set.push_back(key);
  for (const std::u16string& key : OptionKeys()) {
    if (NotInDialog(key) || key == u"SuaLoiChinhTaTuGhep") continue;
    EXPECT_NE(std::find(set.begin(), set.end(), key), set.end()) << Program::Utf16(key);
  }
}

TEST(MainDlgModel, ApplyOrder) {
  Program p;
  MainDlgState s = Shown(p);
  s.Checks[IDC_SUALOITUGHEP] = !s.Checks[IDC_SUALOITUGHEP];
  std::vector<std::u16string> keys;
  for (const auto& [key, value] : ApplyChanges(s, p.Values())) keys.push_back(key);
  const std::vector<std::u16string> expected = {
      u"BangMa", u"KieuGo", u"PhimChuyen",
      u"GoTat", u"XuLyHoaThuongKhiGoTat", u"GoTatKhiTatTavirel", u"GoTatPAD", u"GoTatPAC",
      u"BoDauThanhKieu2", u"PADTuDo", u"UODiKemPAC", u"NA_PAC_DacBiet", u"KhoiPhucPhimVoiTuSai",
      u"DungTuDienDeKTChinhTa", u"GoCacTuTVLienTuc",
      u"TuThemDauSac", u"SuaLoiChinhTaTuDon", u"SuaLoiChinhTaTuGhep",
      u"Suggestion", u"SoLuongTuGoiY", u"PhimGoiY", u"SuggestionUIManualPosition", u"SuggestionUIHookUpDownKey",
      u"PhimKhoiPhuc", u"PhimClear",
      u"EnableMouseHook", u"CPUCao", u"Clipboard", u"RestoreClipboard", u"DetectAutoCompleteWindows"};
  EXPECT_EQ(keys, expected);
  // Unchanged, the compound-word correction is left alone.
  for (const auto& [key, value] : ApplyChanges(Shown(p), p.Values())) EXPECT_NE(key, u"SuaLoiChinhTaTuGhep");
}

TEST(MainDlgModel, ACountTheListCannotShowStaysAsItIs) {
  Program p;
  ASSERT_TRUE(SetOption(p.service, p.app, u"SoLuongTuGoiY", u"30"));
  const MainDlgState s = Shown(p);
  EXPECT_EQ(s.Count, -1);
  p.Apply(ApplyChanges(s, p.Values()));
  EXPECT_EQ(p.Values().at(u"SoLuongTuGoiY"), u"30");
  EXPECT_EQ(CountItemOf(0), 2);
  EXPECT_EQ(CountItemOf(24), 1);
}

// A user on "Telex" with "Telex 2" listed first keeps "Telex" on Apply.
TEST(MainDlgModel, ListsSelectTheExactNameBeforeAPrefix) {
  const std::vector<std::u16string> items = {u"Telex 2", u"Telex", u"VNI", u"Việt riêng", u"Việt"};
  EXPECT_EQ(SelectName(items, u"Telex"), 1);
  EXPECT_EQ(SelectName(items, u"telex"), 1);
  EXPECT_EQ(SelectName(items, u"TELEX 2"), 0);
  EXPECT_EQ(SelectName(items, u"VIỆT"), 4);   // Vietnamese letters fold too
  EXPECT_EQ(SelectName(items, u"việt r"), 3);  // no exact name: the first beginning with it
  EXPECT_EQ(SelectName(items, u"Tel"), 0);
  EXPECT_EQ(SelectName(items, u"Telex 3"), -1);
  EXPECT_EQ(SelectName(items, u""), -1);
  EXPECT_EQ(SelectName({}, u"Telex"), -1);

  Program p;
  MainDlgState s = LoadState(p.Values(), items, {u"Unicode"}, false);
  ASSERT_TRUE(SetOption(p.service, p.app, u"KieuGo", u"Telex"));
  s = LoadState(p.Values(), items, {u"Unicode"}, false);
  const auto changes = ApplyChanges(s, p.Values());
  EXPECT_NE(std::find(changes.begin(), changes.end(), std::make_pair(std::u16string(u"KieuGo"), std::u16string(u"Telex"))),
            changes.end());
  // Nothing selected: the method is left alone.
  s.Method = -1;
  for (const auto& [key, value] : ApplyChanges(s, p.Values())) EXPECT_NE(key, u"KieuGo");
}

// The method in use deleted or renamed in the editor: the default takes
// over; one still listed (under exactly its name) stays.
TEST(MainDlgModel, AMethodGoneAfterEditingFallsBackToTheDefault) {
  const std::vector<std::u16string> names = {u"Telex 2", u"VNI", u"Của tôi"};
  EXPECT_EQ(MethodAfterEdit(u"Của tôi", names), std::nullopt);
  EXPECT_EQ(MethodAfterEdit(u"Cũ", names), std::u16string(kDefaultKieuGo));
  EXPECT_EQ(MethodAfterEdit(u"của tôi", names), std::u16string(kDefaultKieuGo));  // the service matches exactly
}

TEST(PageMenu, TabsFollowPageOrderWhateverIsChosen) {
  {
    CPageMenu menu({0, 1});
    EXPECT_EQ(menu.Choose(5).Tab, 2);  // "Hệ thống" third
    const CPageMenu::TabChange c = menu.Choose(2);  // "Sửa lỗi" between
    EXPECT_TRUE(c.Insert);
    EXPECT_EQ(c.Tab, 2);
    EXPECT_EQ(menu.DisplayedTabs(), (std::vector<int32_t>{0, 1, 2, 5}));
    const CPageMenu::TabChange r = menu.Choose(1);
    EXPECT_FALSE(r.Insert);
    EXPECT_EQ(r.Tab, 1);
  }
  // Random choices applied to a list of tabs as the tab control does.
  std::mt19937 rng(6);
  for (int round = 0; round < 200; ++round) {
    std::vector<int32_t> saved;
    for (int i = 0; i < 8; ++i) saved.push_back(static_cast<int32_t>(rng() % 9) - 1);  // junk too
    CPageMenu menu(saved);
    std::vector<int> tabs = menu.Tabs();
    for (int step = 0; step < 20; ++step) {
      const int page = static_cast<int>(rng() % kOptionPageCount);
      const CPageMenu::TabChange c = menu.Choose(page);
      ASSERT_GE(c.Tab, 0);
      if (c.Insert) {
        ASSERT_LE(static_cast<size_t>(c.Tab), tabs.size());
        tabs.insert(tabs.begin() + c.Tab, page);
      } else {
        ASSERT_LT(static_cast<size_t>(c.Tab), tabs.size());
        ASSERT_EQ(tabs[static_cast<size_t>(c.Tab)], page);
        tabs.erase(tabs.begin() + c.Tab);
      }
      ASSERT_EQ(tabs, menu.Tabs());
      ASSERT_TRUE(std::is_sorted(tabs.begin(), tabs.end()));
    }
  }
  EXPECT_EQ(CPageMenu({}).Choose(6).Tab, -1);
}

}  // namespace
}  // namespace tavirel
