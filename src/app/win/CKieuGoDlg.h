#pragma once
// The typing-method editor ("Tạo kiểu gõ"): the user's own methods and
// their key bindings. Modal, on the main thread; OK writes the user's
// KieuGo.ini. What it decides is in app/KieuGoEditor.
#include <windows.h>

#include <memory>

#include "app/KieuGoEditor.h"
#include "app/win/DialogProc.h"

namespace tavirel {

class CTavirelApp;

class CKieuGoDlg : public CDialogBase {
 public:
  explicit CKieuGoDlg(CTavirelApp& app);

  // IDOK when the methods were saved.
  INT_PTR Run(HWND owner);

 private:
  static LRESULT CALLBACK KeyBoxProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR data);
  INT_PTR Handle(UINT msg, WPARAM wp, LPARAM lp) override;
  INT_PTR OnInit() override;
  void OnCommand(int id, int code);
  INT_PTR OnNotify(const NMHDR* hdr);
  void ShowRows();
  void ShowRowSelection();
  void UpdateButtons();
  void EnableGroup(bool on);
  void ShowProblem(const std::u16string& text);
  std::optional<KeyBinding> DescribedBinding() const;
  void SetKeyBox(const std::u16string& text);
  void Save();
  void IgnoreKeys(bool on);

  CTavirelApp& app_;
  std::unique_ptr<CKieuGoEditor> editor_;
  bool updating_ = false;  // the dialog itself is changing a control
  bool savedSwitch_ = true;
  bool ignoring_ = false;
};

}  // namespace tavirel
