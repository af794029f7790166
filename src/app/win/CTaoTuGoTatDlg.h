#pragma once
// "Tạo từ gõ tắt từ Clipboard": one shorthand whose expansion is the
// clipboard's text, opened by the TaoTuGoTat hotkey. Modal on the main
// thread; several may be open at once. The clipboard is read and closed as
// the dialog opens; the shorthand reaches the service through its
// dispatcher, then GoTat.ini is written.
#include <windows.h>

#include "app/win/DialogProc.h"

namespace tavirel {

class CTavirelApp;

class CTaoTuGoTatDlg : public CDialogBase {
 public:
  static void Run(CTavirelApp& app, HWND owner);

 private:
  explicit CTaoTuGoTatDlg(CTavirelApp& app) : app_(app) {}
  INT_PTR Handle(UINT msg, WPARAM wp, LPARAM lp) override;
  INT_PTR OnInit() override;
  void OnOk();

  CTavirelApp& app_;
};

}  // namespace tavirel
