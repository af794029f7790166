#pragma once
// The hotkey editor ("Phím tắt"): the Win32 side of CPhimTatEditor. Modal,
// on the main thread. It edits copies of the user's hotkeys; Apply and OK
// hand the service a new list through its dispatcher and write PhimTat.ini.
#include <windows.h>

#include <memory>

#include "app/PhimTatEditor.h"
#include "app/win/CHotKeyControl.h"
#include "app/win/DialogProc.h"

namespace tavirel {

class CTavirelApp;

class CPhimTatDlg : public CDialogBase {
 public:
  static void Run(CTavirelApp& app, HWND owner);

 private:
  CPhimTatDlg(CTavirelApp& app, const HotkeySnapshot& snapshot);
  INT_PTR Handle(UINT msg, WPARAM wp, LPARAM lp) override;
  INT_PTR OnInit() override;
  void OnCommand(int id, int code);
  void OnListChanged();
  void FillList();
  void ShowKind();
  void UpdateButtons();
  void Done(const CPhimTatEditor::Result& r);
  bool Apply();

  CTavirelApp& app_;
  CPhimTatEditor editor_;
  CHotKeyControl hotkey_;
  HWND list_ = nullptr;
  bool quiet_ = false;  // set while the dialog changes controls itself
};

}  // namespace tavirel
