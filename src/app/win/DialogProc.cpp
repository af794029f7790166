#include "app/win/DialogProc.h"

namespace tavirel {

namespace {
thread_local CDialogWatch* t_innermostWatch = nullptr;
}  // namespace

CDialogWatch::CDialogWatch(HWND owner) : owner_(owner), outer_(t_innermostWatch) { t_innermostWatch = this; }

CDialogWatch::~CDialogWatch() { t_innermostWatch = outer_; }

void CDialogWatch::Made(HWND dialog) {
  CDialogWatch* watch = t_innermostWatch;
  if (watch && !watch->window_ && GetWindow(dialog, GW_OWNER) == watch->owner_) watch->window_ = dialog;
}

INT_PTR CDialogBase::RunModal(HINSTANCE instance, int id, HWND owner) {
  return DialogBoxParamW(instance, MAKEINTRESOURCEW(id), owner, Proc, reinterpret_cast<LPARAM>(this));
}

HWND CDialogBase::CreateModeless(HINSTANCE instance, int id, HWND parent) {
  return CreateDialogParamW(instance, MAKEINTRESOURCEW(id), parent, Proc, reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK CDialogBase::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  CDialogBase* self = DialogObject<CDialogBase>(hwnd, msg, lp);
  if (!self) return FALSE;
  if (msg == WM_INITDIALOG) {
    self->hwnd_ = hwnd;
    CDialogWatch::Made(hwnd);
    return self->OnInit();
  }
  const INT_PTR result = self->Handle(msg, wp, lp);
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, DWLP_USER, 0);
    self->hwnd_ = nullptr;
  }
  return result;
}

}  // namespace tavirel
