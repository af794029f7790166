#include "app/win/CHotKeyControl.h"

#include <commctrl.h>

#include "app/win/HotKeyControlIds.h"

namespace tavirel {

namespace {

const wchar_t* W(const std::u16string& s) { return reinterpret_cast<const wchar_t*>(s.c_str()); }

struct Box {
  int Id;
  int32_t Bit;
};
constexpr Box kBoxes[] = {{IDC_HK_CTRL, modbits::kCtrl},
                          {IDC_HK_SHIFT, modbits::kShift},
                          {IDC_HK_ALT, modbits::kAlt},
                          {IDC_HK_WIN, modbits::kWin}};

int Scaled(HWND hwnd, int pixels) { return MulDiv(pixels, static_cast<int>(GetDpiForWindow(hwnd)), 96); }

}  // namespace

void CHotKeyEdit::Attach(HWND edit, CHotKeyEntry* entry) {
  SetWindowSubclass(edit, Proc, 1, reinterpret_cast<DWORD_PTR>(entry));
}

LRESULT CALLBACK CHotKeyEdit::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR data) {
  auto* entry = reinterpret_cast<CHotKeyEntry*>(data);
  switch (msg) {
    case WM_GETDLGCODE:
      return DLGC_WANTALLKEYS | DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_CHAR:
    case WM_SYSCHAR:
    case WM_DEADCHAR:
    case WM_SYSDEADCHAR:
      return 0;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      entry->CaptureKey(static_cast<uint16_t>(wp));
      SetWindowTextW(hwnd, W(entry->KeyText()));
      SendMessageW(hwnd, EM_SETSEL, entry->KeyText().size(), entry->KeyText().size());
      return 0;
    case WM_NCDESTROY:
      RemoveWindowSubclass(hwnd, Proc, 1);
      break;
    default:
      break;
  }
  return DefSubclassProc(hwnd, msg, wp, lp);
}

bool CHotKeyControl::Create(HWND parent, int x, int y, int id) {
  if (!CreateModeless(reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE)), IDD_HOTKEYCONTROL,
                      parent)) {
    return false;
  }
  if (id != 0) SetWindowLongPtrW(hwnd_, GWLP_ID, id);
  SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  Show();
  return true;
}

void CHotKeyControl::Place(HWND label, int x, int y) {
  SetWindowPos(hwnd_, label, x, y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
}

void CHotKeyControl::PlaceRightOf(HWND label, int gap) {
  if (!hwnd_ || !label) return;
  RECT r{};
  GetWindowRect(label, &r);
  MapWindowPoints(nullptr, GetParent(hwnd_), reinterpret_cast<POINT*>(&r), 2);
  Place(label, r.right + Scaled(hwnd_, gap), r.top);
}

void CHotKeyControl::PlaceBelow(HWND label, int gap) {
  if (!hwnd_ || !label) return;
  RECT r{};
  GetWindowRect(label, &r);
  MapWindowPoints(nullptr, GetParent(hwnd_), reinterpret_cast<POINT*>(&r), 2);
  Place(label, r.left, r.bottom + Scaled(hwnd_, gap));
}

void CHotKeyControl::SetKeyCombo(KeyCombo combo) {
  entry_.SetKeyCombo(combo);
  Show();
}

void CHotKeyControl::Enable(bool on) {
  for (const Box& box : kBoxes) EnableWindow(GetDlgItem(hwnd_, box.Id), on);
  EnableWindow(GetDlgItem(hwnd_, IDC_HK_KEY), on);
}

void CHotKeyControl::Show() {
  if (!hwnd_) return;
  for (const Box& box : kBoxes) {
    CheckDlgButton(hwnd_, box.Id, entry_.HasModifier(box.Bit) ? BST_CHECKED : BST_UNCHECKED);
  }
  SetDlgItemTextW(hwnd_, IDC_HK_KEY, W(entry_.KeyText()));
}

INT_PTR CHotKeyControl::OnInit() {
  CHotKeyEdit::Attach(GetDlgItem(hwnd_, IDC_HK_KEY), &entry_);
  return FALSE;
}

INT_PTR CHotKeyControl::Handle(UINT msg, WPARAM wp, LPARAM) {
  if (msg == WM_COMMAND && HIWORD(wp) == BN_CLICKED) {
    for (const Box& box : kBoxes) {
      if (LOWORD(wp) == box.Id) entry_.SetModifier(box.Bit, IsDlgButtonChecked(hwnd_, box.Id) == BST_CHECKED);
    }
    return TRUE;
  }
  return FALSE;
}

}  // namespace tavirel
