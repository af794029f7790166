#pragma once
// The dialog procedure every dialog class shares. The object that runs a
// dialog comes with WM_INITDIALOG's lParam; it is kept in the window's
// DWLP_USER and receives every message from WM_INITDIALOG on, until
// WM_NCDESTROY, after which the window no longer reaches it. Main thread.
#include <windows.h>

namespace tavirel {

// The object kept with a dialog window: lp is stored on WM_INITDIALOG;
// null before it (the messages that precede WM_INITDIALOG).
template <class T>
T* DialogObject(HWND hwnd, UINT msg, LPARAM lp) {
  if (msg == WM_INITDIALOG) SetWindowLongPtrW(hwnd, DWLP_USER, lp);
  return reinterpret_cast<T*>(GetWindowLongPtrW(hwnd, DWLP_USER));
}

// Notes the first dialog made by a CDialogBase on this thread, with the
// given owner, while the watch lives: the window of a dialog that runs
// modally inside the watch's scope. Watches nest (the innermost one notes).
class CDialogWatch {
 public:
  explicit CDialogWatch(HWND owner);
  ~CDialogWatch();
  CDialogWatch(const CDialogWatch&) = delete;
  CDialogWatch& operator=(const CDialogWatch&) = delete;

  // The dialog once it is made, until it is gone; else null.
  HWND Window() const { return window_ && IsWindow(window_) ? window_ : nullptr; }

 private:
  friend class CDialogBase;
  static void Made(HWND dialog);

  HWND owner_;
  HWND window_ = nullptr;
  CDialogWatch* outer_;
};

class CDialogBase {
 public:
  CDialogBase(const CDialogBase&) = delete;
  CDialogBase& operator=(const CDialogBase&) = delete;

 protected:
  CDialogBase() = default;
  ~CDialogBase() = default;

  // Shows the dialog made from template id modally; EndDialog's result, or
  // -1 when the dialog could not be made.
  INT_PTR RunModal(HINSTANCE instance, int id, HWND owner);
  // Makes the dialog from template id without a loop of its own (a child
  // window for a child template); null when it could not be made.
  HWND CreateModeless(HINSTANCE instance, int id, HWND parent);

  // WM_INITDIALOG, hwnd_ being set: TRUE lets the dialog give the focus to
  // its first control, FALSE when the focus was set here.
  virtual INT_PTR OnInit() = 0;
  // Every later message: a dialog procedure's answer to it.
  virtual INT_PTR Handle(UINT msg, WPARAM wp, LPARAM lp) = 0;

  HWND hwnd_ = nullptr;  // from WM_INITDIALOG until WM_NCDESTROY

 private:
  static INT_PTR CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
};

}  // namespace tavirel
