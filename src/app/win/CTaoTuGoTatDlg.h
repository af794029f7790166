#pragma once
// "Tạo từ gõ tắt từ Clipboard": one shorthand whose expansion is the
// clipboard's text, opened by the TaoTuGoTat hotkey. Modal on the main
// thread; several may be open at once. The clipboard is read and closed as
// the dialog opens; the shorthand reaches the service through its
// dispatcher, then GoTat.ini is written.
#include <windows.h>

namespace tavirel {

class CTavirelApp;

class CTaoTuGoTatDlg {
 public:
  static void Run(CTavirelApp& app, HWND owner);

 private:
  explicit CTaoTuGoTatDlg(CTavirelApp& app) : app_(app) {}
  static INT_PTR CALLBACK DlgProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  INT_PTR Handle(UINT msg, WPARAM wp, LPARAM lp);
  void OnInit();
  void OnOk();

  CTavirelApp& app_;
  HWND hwnd_ = nullptr;
};

}  // namespace tavirel
