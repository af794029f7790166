#include <gtest/gtest.h>

#include "AppTestUtil.h"
#include "app/FormatKeyCombo.h"
#include "app/PhimTatEditor.h"
#include "app/PhimTatFile.h"
#include "service/CInputMethodService.h"
#include "sim/SimDesktop.h"
#include "tables/CBangMa.h"

namespace tavirel {
namespace {

using test::TempFolder;

constexpr uint16_t kAlt = 0xA4;  // left Alt
constexpr KeyCombo kAltV{modbits::kAlt, 'V'};
constexpr KeyCombo kAltB{modbits::kAlt, 'B'};
constexpr KeyCombo kAltN{modbits::kAlt, 'N'};

int KindOf(const char16_t* name) {
  const auto& names = ActionNames();
  return static_cast<int>(std::find(names.begin(), names.end(), name) - names.begin());
}

int ChoiceOf(const CPhimTatEditor& e, std::u16string_view text) {
  const auto& c = e.ParamChoices();
  return static_cast<int>(std::find(c.begin(), c.end(), text) - c.begin());
}

// A service with Alt+V (typing method VNI) and Alt+B (code table VNI
// Windows), typed into through SimDesktop.
class PhimTatEditorTest : public ::testing::Test {
 protected:
  PhimTatEditorTest() {
    desk.InstallHooks(&service);
    dir.Write("PhimTat.ini",
              "[0]\nHotKey=65622\nName=ChuyenKieuGo\nParam=VNI\n"
              "[1]\nHotKey=65602\nName=ChuyenBangMa\nParam=VNI Windows\n");
    LoadHotkeys(dir.File("PhimTat.ini"), service);
  }
  void Alt(uint16_t key) {
    desk.KeyDown(kAlt);
    desk.Press(key);
    desk.KeyUp(kAlt);
  }
  std::u16string Type(std::u16string_view keys) {
    desk.ClearText();
    desk.TypeText(keys);
    return desk.Text();
  }
  CPhimTatEditor Open() { return CPhimTatEditor(&service, SnapshotHotkeys(service)); }

  TempFolder dir;
  SimDesktop desk;
  CInputMethodService service{&desk};
};

// Cancel after Delete, Replace and Add: the service keeps its own objects,
// keys and parameters, and its hotkeys act as before.
TEST_F(PhimTatEditorTest, CancelLeavesTheServiceAsItWas) {
  std::vector<const CHotKeyActionBase*> before;
  for (const auto& a : service.UserHotKeys()) before.push_back(a.get());
  {
    CPhimTatEditor e = Open();
    ASSERT_EQ(e.Count(), 2u);
    EXPECT_NE(&e.At(0), before[0]);  // the editor's own copy
    e.SetSelection({1});
    e.ChooseKind(KindOf(u"BatTat"));
    e.SetKey(kAltN);
    EXPECT_TRUE(e.Replace().Done);
    e.SetSelection({0});
    e.Delete();
    e.ChooseKind(KindOf(u"SuspendSuggestion"));
    e.SetKey(kAltV);
    EXPECT_TRUE(e.Add().Done);
    EXPECT_EQ(e.Count(), 2u);
  }  // Cancel: the editor goes away
  ASSERT_EQ(service.UserHotKeys().size(), 2u);
  for (size_t i = 0; i < 2; ++i) EXPECT_EQ(service.UserHotKeys()[i].get(), before[i]);
  EXPECT_EQ(service.UserHotKeys()[1]->Key, kAltB);
  Alt('V');
  EXPECT_EQ(Type(u"vie65t "), u"việt ");
  Alt('B');
  EXPECT_EQ(service.CodeTable(), u"VNI Windows");
}

// Apply: a key added in the editor works in the service, the file holds the
// list in order, and the editor keeps working on its own objects.
TEST_F(PhimTatEditorTest, ApplyHandsTheServiceANewList) {
  CPhimTatEditor e = Open();
  e.SetSelection({0});
  e.Delete();
  e.ChooseKind(KindOf(u"ChuyenBangMa"));
  e.SetKey(kAltN);
  const int tcvn = ChoiceOf(e, u"TCVN3 (ABC)");
  ASSERT_LT(tcvn, static_cast<int>(e.ParamChoices().size())) << "no TCVN3 table in BangMa.ini";
  e.ChooseParam(tcvn);
  const CPhimTatEditor::Result added = e.Add();
  EXPECT_TRUE(added.Done);
  EXPECT_EQ(added.Warning, u"");
  ASSERT_EQ(e.Count(), 2u);
  EXPECT_EQ(e.KeyText(1), u"Alt+N");
  EXPECT_EQ(e.At(1).GetDisplayName(), u"Chuyển bảng mã");
  EXPECT_EQ(e.At(1).GetParamText(), u"TCVN3 (ABC)");
  EXPECT_EQ(e.FirstSelected(), 1);

  e.Apply(service);
  ASSERT_EQ(service.UserHotKeys().size(), 2u);
  EXPECT_NE(service.UserHotKeys()[1].get(), &e.At(1));
  EXPECT_EQ(service.UserHotKeys()[1]->Service, &service);
  Alt('V');  // deleted: types nothing special
  EXPECT_EQ(service.TypingMethod(), u"Telex 2");
  Alt('N');
  EXPECT_EQ(service.CodeTable(), u"TCVN3 (ABC)");
  EXPECT_EQ(Type(u"ddaf "), u"\u00AE\u00B5 ");  // đà in TCVN3's bytes

  const IniSections file = e.FileSections();
  ASSERT_EQ(file.size(), 2u);
  EXPECT_EQ(file.at(u"0"), (IniKeys{{u"HotKey", u"65602"}, {u"Name", u"ChuyenBangMa"}, {u"Param", u"VNI Windows"}}));
  EXPECT_EQ(file.at(u"1").at(u"Param"), u"TCVN3 (ABC)");

  // Further edits after Apply stay in the editor.
  e.SetSelection({0});
  e.Delete();
  EXPECT_EQ(service.UserHotKeys().size(), 2u);
}

TEST_F(PhimTatEditorTest, SelectionShowsTheEntryAndAddNeedsAKindAndAKey) {
  CPhimTatEditor e = Open();
  EXPECT_EQ(e.Kind(), -1);
  e.SetKey(kAltN);
  EXPECT_FALSE(e.Add().Done);  // no kind chosen yet
  e.ChooseKind(KindOf(u"BatTatLuaChon"));
  e.ChooseParam(4);
  e.SetKey(KeyCombo());
  EXPECT_FALSE(e.Add().Done);  // no key
  e.SetKey(KeyCombo(modbits::kCtrl | modbits::kAlt, 'G'));
  ASSERT_TRUE(e.Add().Done);
  EXPECT_EQ(e.At(2).GetParam(), u"GoTatPAD");  // the stored name of option 4
  EXPECT_EQ(e.At(2).GetParamText(), u"Gõ tắt phụ âm cuối");

  e.SetSelection({1});
  EXPECT_EQ(e.Kind(), KindOf(u"ChuyenBangMa"));
  EXPECT_EQ(e.ParamChoices()[e.ParamChoice()], u"VNI Windows");
  EXPECT_EQ(e.Key(), kAltB);
  e.SetSelection({2});
  EXPECT_EQ(e.Kind(), KindOf(u"BatTatLuaChon"));
  EXPECT_EQ(e.ParamChoice(), 4);
  e.SetSelection({});
  EXPECT_EQ(e.Key(), KeyCombo());
  EXPECT_FALSE(e.CanReplace());
  EXPECT_FALSE(e.Replace().Done);
}

// Equal keys are allowed but named: a built-in key, another user key; an
// entry replaced with its own key is no duplicate.
TEST_F(PhimTatEditorTest, DuplicateKeysAreAllowedWithAWarning) {
  CPhimTatEditor e = Open();
  e.ChooseKind(KindOf(u"BatTat"));
  e.SetKey(CInputMethodService::kDefaultPhimChuyen);
  CPhimTatEditor::Result r = e.Add();
  EXPECT_TRUE(r.Done);
  EXPECT_EQ(r.Warning, u"Phím tắt " + FormatKeyCombo(CInputMethodService::kDefaultPhimChuyen) +
                           u" trùng với phím có sẵn \"Bật tắt tiếng Việt\". Khi nhấn phím này, cả hai cùng chạy.");
  e.SetKey(kAltB);
  r = e.Add();
  EXPECT_TRUE(r.Done);
  EXPECT_NE(r.Warning.find(u"\"Chuyển bảng mã: VNI Windows\""), std::u16string::npos) << Utf16ToUtf8(r.Warning);
  e.SetSelection({1});
  EXPECT_EQ(e.Replace().Warning, u"Phím tắt Alt+B trùng với phím tắt \"Bật tắt Tavirel ( kiểu 2 )\". Khi nhấn phím này, cả hai cùng chạy.");
  e.SetSelection({0});
  EXPECT_EQ(e.Replace().Warning, u"");
  EXPECT_EQ(e.Count(), 4u);
}

}  // namespace
}  // namespace tavirel
