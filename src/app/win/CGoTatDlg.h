#pragma once
// The shorthand editor ("Soạn bảng gõ tắt"): the Win32 side of CGoTatEditor.
// Modal, on the main thread. The service's table is read once through its
// dispatcher and replaced only on Apply and OK.
#include <windows.h>

#include <memory>

#include "app/GoTatEditor.h"
#include "app/win/DialogProc.h"

namespace tavirel {

class CTavirelApp;

class CGoTatDlg : public CDialogBase {
 public:
  // Shows the editor modally; returns when it is closed.
  static void Run(CTavirelApp& app, HWND owner);

 private:
  CGoTatDlg(CTavirelApp& app, const ShorthandTable& table) : app_(app), editor_(table) {}
  INT_PTR Handle(UINT msg, WPARAM wp, LPARAM lp) override;
  INT_PTR OnInit() override;
  void OnCommand(int id, int code);
  void OnListChanged();
  void FillList();
  void ShowSelection();
  void ShowEdits();
  void UpdateButtons();
  void Refuse(ShorthandCheck check);
  void Add();
  void Replace();
  void Enter();
  void ShowImportMenu();
  void Import(bool ini);
  bool Apply();

  CTavirelApp& app_;
  CGoTatEditor editor_;
  HWND list_ = nullptr;
  bool quiet_ = false;  // set while the dialog changes controls itself
};

}  // namespace tavirel
