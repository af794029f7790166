// The per-program rules dialog's decisions: what the user may type as a
// program, how the list follows the name box, and what Apply hands the
// service and writes to UngDung.ini.
#include <gtest/gtest.h>

#include <random>

#include "AppTestUtil.h"
#include "app/AppOptions.h"
#include "app/CSettings.h"
#include "app/UngDungEditor.h"
#include "app/UngDungFile.h"
#include "service/CInputMethodService.h"
#include "sim/SimDesktop.h"

namespace tavirel {
namespace {

using test::TempFolder;

TEST(UngDungEditor, WhatTheUserTypesBecomesAFileName) {
  struct Case {
    const char16_t* typed;
    const char16_t* name;
    AppRuleCheck check;
  };
  for (const Case& c : std::initializer_list<Case>{
           {u"notepad.exe", u"notepad.exe", AppRuleCheck::Ok},
           {u"  Notepad  ", u"Notepad.exe", AppRuleCheck::Ok},  // no extension: a program's
           {u"\"C:\\Program Files\\Zalo\\Zalo.exe\"", u"Zalo.exe", AppRuleCheck::Ok},
           {u"/usr/bin/x.com", u"x.com", AppRuleCheck::Ok},
           {u"Zalo Setup (2).exe", u"Zalo Setup (2).exe", AppRuleCheck::Ok},
           {u"trình duyệt.exe", u"trình duyệt.exe", AppRuleCheck::Ok},
           {u"  \" ", u"", AppRuleCheck::EmptyName},
           {u"C:\\Tools\\", u"C:\\Tools\\", AppRuleCheck::NotAFileName},  // a folder
           {u"a?.exe", u"a?.exe", AppRuleCheck::NotAFileName},
           {u"[x].exe", u"[x].exe", AppRuleCheck::NotAFileName},  // a section of the file
           {u"x.exe.", u"x.exe.", AppRuleCheck::NotAFileName},
           {u"tab\there", u"tab\there.exe", AppRuleCheck::NotAFileName},
       }) {
    AppRuleCheck check = AppRuleCheck::Ok;
    EXPECT_EQ(NormalizeProgramName(c.typed, &check), c.name) << Utf16ToUtf8(c.typed);
    EXPECT_EQ(check, c.check) << Utf16ToUtf8(c.typed);
    EXPECT_EQ(AppRuleCheckMessage(check).empty(), check == AppRuleCheck::Ok);
  }
  EXPECT_EQ(NormalizeProgramName(std::u16string(300, u'a')).size(), 304u);
  AppRuleCheck check = AppRuleCheck::Ok;
  NormalizeProgramName(std::u16string(300, u'a'), &check);
  EXPECT_EQ(check, AppRuleCheck::NotAFileName);
}

// A session as the dialog drives it: the list starts from the service's
// rules, the name box selects the rule of the same program, Add, Replace
// and Delete change only the editor's copy, and Apply hands the service the
// list, which then rules typing in that program.
TEST(UngDungEditor, EditingSessionThenApplyAndSave) {
  SimDesktop desk;
  CInputMethodService service(&desk);
  desk.InstallHooks(&service);
  CAppRules start;
  start.Set({u"putty.exe", AppVietnamese::Off, AppDelivery::KeyPackets});
  start.Set({u"WINWORD.EXE", AppVietnamese::Remember, AppDelivery::Default});
  service.SetAppRules(start);
  CUngDungEditor e(service.AppRules());
  ASSERT_EQ(e.Rules().size(), 2u);
  EXPECT_FALSE(e.CanAdd() || e.CanReplace() || e.CanDelete());

  // Typing a name that has a rule selects it (as stored, any ASCII case,
  // with or without ".exe"); the choices the user made stay.
  e.SetVietnamese(AppVietnamese::On);
  e.SetProgram(u"PuTTY");
  EXPECT_EQ(e.Selected(), 0);
  EXPECT_TRUE(e.CanReplace() && e.CanDelete() && !e.CanAdd());
  EXPECT_EQ(e.Vietnamese(), AppVietnamese::On);
  e.SetProgram(u"putty.ex");
  EXPECT_EQ(e.Selected(), -1);
  EXPECT_TRUE(e.CanAdd());

  // Selecting in the list shows the rule.
  e.Select(1);
  EXPECT_EQ(e.Program(), u"WINWORD.EXE");
  EXPECT_EQ(e.Vietnamese(), AppVietnamese::Remember);
  e.Select(7);
  EXPECT_EQ(e.Selected(), -1);

  // Add: refused for a bad name or a rule that changes nothing; a typed
  // path is stored as its file name, and the box shows it.
  e.SetProgram(u"a|b");
  e.SetVietnamese(AppVietnamese::Off);
  EXPECT_EQ(e.Add(), AppRuleCheck::NotAFileName);
  e.SetProgram(u"D:\\Apps\\Target");
  e.SetVietnamese(AppVietnamese::Keep);
  e.SetDelivery(AppDelivery::Default);
  EXPECT_EQ(e.Add(), AppRuleCheck::NothingToChange);
  EXPECT_EQ(e.Rules().size(), 2u);
  e.SetVietnamese(AppVietnamese::Off);
  EXPECT_EQ(e.Enter(), CUngDungEditor::EnterResult::Added);
  EXPECT_EQ(e.Rules().back(), (AppRule{u"Target.exe", AppVietnamese::Off, AppDelivery::Default}));
  EXPECT_EQ(e.Program(), u"Target.exe");
  EXPECT_EQ(e.Selected(), 2);

  // Replace: the rule the box names takes the choices.
  e.SetProgram(u"winword");
  e.SetVietnamese(AppVietnamese::On);
  e.SetDelivery(AppDelivery::Clipboard);
  EXPECT_EQ(e.Enter(), CUngDungEditor::EnterResult::Replaced);
  EXPECT_EQ(e.Rules()[1], (AppRule{u"winword.exe", AppVietnamese::On, AppDelivery::Clipboard}));
  // Add with a name that has a rule (the list's selection cleared after
  // typing it) replaces that rule where it stands: one rule per program.
  e.SetProgram(u"PUTTY.exe");
  e.Select(-1);
  EXPECT_EQ(e.Add(), AppRuleCheck::Ok);
  EXPECT_EQ(e.Rules().size(), 3u);
  EXPECT_EQ(e.Rules()[0].Program, u"PUTTY.exe");
  EXPECT_EQ(e.Selected(), 0);

  // What the user typed and chose but did not add is pending: OK and Apply
  // add it first; a name of the list with its own choices is not.
  EXPECT_FALSE(e.Pending());
  e.SetDelivery(AppDelivery::AutoComplete);
  EXPECT_TRUE(e.Pending());
  e.SetDelivery(AppDelivery::Clipboard);
  EXPECT_FALSE(e.Pending());
  e.SetProgram(u"  ");
  EXPECT_FALSE(e.Pending());
  e.SetProgram(u"notepad");
  e.SetDelivery(AppDelivery::Default);
  ASSERT_TRUE(e.Pending());
  EXPECT_EQ(e.CommitPending(), AppRuleCheck::Ok);
  EXPECT_FALSE(e.Pending());
  EXPECT_EQ(e.Rules().back(), (AppRule{u"notepad.exe", AppVietnamese::On, AppDelivery::Default}));
  e.SetProgram(u"bad|name");
  EXPECT_EQ(e.CommitPending(), AppRuleCheck::NotAFileName);
  EXPECT_EQ(e.Rules().size(), 4u);

  // Delete, then Apply: nothing reached the service before.
  e.SetProgram(u"putty.exe");
  e.Delete();
  EXPECT_EQ(e.Selected(), -1);
  EXPECT_FALSE(e.Pending());  // OK after Delete does not bring the rule back
  EXPECT_EQ(service.AppRules().Rules().size(), 2u);
  ASSERT_NE(service.AppRules().Find(u"putty.exe"), nullptr);
  e.Apply(service);
  EXPECT_EQ(service.AppRules().Find(u"putty.exe"), nullptr);
  ASSERT_NE(service.AppRules().Find(u"target.exe"), nullptr);

  // The new rule rules typing in that program.
  const WindowHandle target = desk.AddWindow(u"Edit");
  desk.SetProgram(target, u"TARGET.EXE");
  service.SetVietnamese(true);
  desk.SetFocus(target);
  desk.TypeText(u"vieetj ");
  EXPECT_EQ(desk.Text(), u"vieetj ");

  // Saved through the settings' saver, read back the same.
  TempFolder dir;
  AppOptions options;
  CSettings settings(service, options, dir.Path());
  ASSERT_EQ(settings.SaveAppRules(e.Result()), SaveResult::Written);
  CAppRules again;
  ASSERT_EQ(LoadAppRules(settings.AppRulesPath(), again), SettingsFileStatus::Read);
  ASSERT_EQ(again.Rules().size(), e.Rules().size());  // in the file's order of sections
  for (const AppRule& rule : e.Rules()) EXPECT_EQ(*again.Find(rule.Program), rule);
  EXPECT_NE(dir.Read("UngDung.ini").find("[Target.exe]\nTiengViet=0\n"), std::string::npos);
}

// Any sequence of the user's actions keeps a list the service and the file
// can take as it is: valid names, one rule per program, none that changes
// nothing, a selection inside the list.
TEST(UngDungEditor, AnyActionsKeepAListTheFileCanHold) {
  const std::u16string alphabet = u"aAbB.\\/ :?[\"ệ";
  std::mt19937 rng(11);
  auto text = [&] {
    std::u16string s;
    for (size_t n = rng() % 7; n > 0; --n) s += alphabet[rng() % alphabet.size()];
    return s;
  };
  for (int round = 0; round < 300; ++round) {
    CUngDungEditor e{CAppRules()};
    for (int step = 0; step < 30; ++step) {
      switch (rng() % 7) {
        case 0: e.SetProgram(text()); break;
        case 1: e.SetVietnamese(static_cast<AppVietnamese>(rng() % 4)); break;
        case 2: e.SetDelivery(static_cast<AppDelivery>(rng() % 4)); break;
        case 3: e.Select(static_cast<int>(rng() % 5) - 1); break;
        case 4: e.Add(); break;
        case 5: e.Replace(); break;
        case 6: e.Delete(); break;
      }
      const auto& rules = e.Rules();
      ASSERT_LT(e.Selected(), static_cast<int>(rules.size()));
      for (size_t i = 0; i < rules.size(); ++i) {
        ASSERT_TRUE(CAppRules::IsProgramName(rules[i].Program)) << Utf16ToUtf8(rules[i].Program);
        ASSERT_FALSE(rules[i].Vietnamese == AppVietnamese::Keep && rules[i].Delivery == AppDelivery::Default);
        for (size_t j = 0; j < i; ++j) ASSERT_FALSE(CAppRules::SameProgram(rules[i].Program, rules[j].Program));
      }
      ASSERT_EQ(e.Result().Rules(), rules);
    }
  }
}

TEST(UngDungEditor, RunningProgramsOfferedOnceInOrder) {
  EXPECT_EQ(ProgramChoices({u"zalo.exe", u"Notepad.exe", u"", u"notepad.exe", u"a:b", u"cmd.exe", u"NOTEPAD.EXE"}),
            (std::vector<std::u16string>{u"cmd.exe", u"Notepad.exe", u"zalo.exe"}));
  EXPECT_EQ(AppVietnameseChoices().size(), 4u);
  EXPECT_EQ(AppDeliveryChoices().size(), 4u);
}

}  // namespace
}  // namespace tavirel
