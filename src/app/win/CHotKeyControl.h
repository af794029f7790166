#pragma once
// The hotkey entry used by the dialogs: four check boxes "Ctrl", "Shift",
// "Alt", "Win" and a key box (CHotKeyEdit) that captures the key pressed in
// it. A child dialog made from IDD_HOTKEYCONTROL; what it holds is a
// CHotKeyEntry. Main thread only.
#include <windows.h>

#include "app/HotKeyEntry.h"
#include "app/win/DialogProc.h"

namespace tavirel {

// The key box: wants every key, swallows characters, and on a key-down
// captures the key into the entry and shows its name. Other messages go to
// the standard edit.
class CHotKeyEdit {
 public:
  // Takes over an existing edit control; entry outlives the edit.
  static void Attach(HWND edit, CHotKeyEntry* entry);

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR data);
};

class CHotKeyControl : public CDialogBase {
 public:
  CHotKeyControl() = default;

  // Creates the control as a child of parent, its top-left corner at (x, y)
  // in the parent's client pixels. The window goes when the parent goes.
  bool Create(HWND parent, int x, int y, int id = 0);
  // Puts the control right of the label (gap in 96-dpi pixels, top edges
  // aligned) or below it (left edges aligned), and next after it in the
  // tab order.
  void PlaceRightOf(HWND label, int gap);
  void PlaceBelow(HWND label, int gap);

  HWND Handle() const { return hwnd_; }
  KeyCombo GetKeyCombo() const { return entry_.GetKeyCombo(); }
  void SetKeyCombo(KeyCombo combo);
  void Enable(bool on);

 private:
  INT_PTR OnInit() override;
  INT_PTR Handle(UINT msg, WPARAM wp, LPARAM lp) override;
  void Show();
  void Place(HWND label, int x, int y);

  CHotKeyEntry entry_;
};

}  // namespace tavirel
