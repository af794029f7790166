#pragma once
// The hotkey editor ("Phím tắt"): the Win32 side of CPhimTatEditor. Modal,
// on the main thread. It edits copies of the user's hotkeys; Apply and OK
// hand the service a new list through its dispatcher and write PhimTat.ini.
#include <windows.h>

#include <memory>

#include "app/PhimTatEditor.h"
#include "app/win/CHotKeyControl.h"

namespace tavirel {

class CTavirelApp;

class CPhimTatDlg {
 public:
  static void Run(CTavirelApp& app, HWND owner);

 private:
  CPhimTatDlg(CTavirelApp& app, const HotkeySnapshot& snapshot);
  static INT_PTR CALLBACK DlgProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  INT_PTR Handle(UINT msg, WPARAM wp, LPARAM lp);
  void OnInit();
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
  HWND hwnd_ = nullptr;
  HWND list_ = nullptr;
  bool quiet_ = false;  // set while the dialog changes controls itself
};

}  // namespace tavirel
