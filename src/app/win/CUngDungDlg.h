#pragma once
// The per-program rules dialog ("Quy tắc theo chương trình"): the Win32
// side of CUngDungEditor. Modal, on the main thread. The service's rules are
// read once through its dispatcher and replaced only on Apply and OK, which
// also write UngDung.ini.
#include <windows.h>

#include "app/UngDungEditor.h"
#include "app/win/DialogProc.h"

namespace tavirel {

class CTavirelApp;

class CUngDungDlg : public CDialogBase {
 public:
  // Shows the dialog modally; returns when it is closed.
  static void Run(CTavirelApp& app, HWND owner);

 private:
  CUngDungDlg(CTavirelApp& app, const CAppRules& rules) : app_(app), editor_(rules) {}
  INT_PTR Handle(UINT msg, WPARAM wp, LPARAM lp) override;
  INT_PTR OnInit() override;
  void OnCommand(int id, int code);
  void OnListChanged();
  void FillList();
  void ShowSelection();
  void ShowFields();
  void UpdateButtons();
  void FillRunningPrograms();
  bool Done(AppRuleCheck check);
  bool Apply();

  CTavirelApp& app_;
  CUngDungEditor editor_;
  HWND list_ = nullptr;
  bool quiet_ = false;  // set while the dialog changes controls itself
};

}  // namespace tavirel
