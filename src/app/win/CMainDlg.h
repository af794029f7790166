#pragma once
// The settings window: typing method, code table, the on/off hotkey, the
// run-at-login switch and the option pages in a tab control. Modal, on the
// main thread. It reads the service's options through the dispatcher each
// time it is shown, and Apply hands the changes to the service's thread the
// same way; what it decides is in app/MainDlgModel and app/PageMenu.
#include <windows.h>

#include <array>
#include <memory>

#include "app/MainDlgModel.h"
#include "app/PageMenu.h"
#include "app/win/CHotKeyControl.h"
#include "app/win/DialogProc.h"

namespace tavirel {

class CTavirelApp;

class CMainDlg : public CDialogBase {
 public:
  // Window messages a test driver may send to the open dialog.
  static constexpr UINT kSelectPage = WM_APP + 40;  // wParam: page index; shows it as a tab and selects it

  explicit CMainDlg(CTavirelApp& app);

  // Runs the dialog; IDOK or IDCANCEL.
  INT_PTR Run(HWND owner);

 private:
  static INT_PTR CALLBACK PageProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  INT_PTR Handle(UINT msg, WPARAM wp, LPARAM lp) override;
  INT_PTR OnInit() override;
  void OnCommand(int id, int code);
  void LoadControls();
  MainDlgState ReadControls() const;
  bool ApplyControls();
  void FillMethods();
  void ShowPageMenu();
  void ApplyPageChange(int page, CPageMenu::TabChange change);
  void SelectTab(int tab);
  void LayOut();
  void ShowKeyHelp();
  void OpenEditor();
  void ShowAbout();
  void AddTooltips(HWND page);
  HWND Control(int id) const;

  CTavirelApp& app_;
  HWND tabs_ = nullptr;
  HWND tooltip_ = nullptr;
  std::array<HWND, kOptionPageCount> pages_{};
  std::unique_ptr<CPageMenu> menu_;
  std::array<CHotKeyControl, 4> hotkeys_;  // in kMainDlgHotKeys order
  IniKeys options_;   // as read when the dialog was shown
  bool loaded_ = false;
  MainDlgState shown_;
  bool reduced_ = false;
  int tabHeight_ = 0;  // what the reduced form takes away
};

}  // namespace tavirel
