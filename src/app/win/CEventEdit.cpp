#include "app/win/CEventEdit.h"

#include <commctrl.h>

namespace tavirel {

namespace {

constexpr UINT_PTR kSubclassId = 0x7A71;

bool CtrlDown() { return (GetKeyState(VK_CONTROL) & 0x8000) != 0; }

bool Ours(WPARAM key) {
  return (key == VK_RETURN || key == VK_TAB) ? !CtrlDown() : key == VK_ESCAPE;
}

LRESULT CALLBACK EditProc(HWND edit, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR) {
  const HWND dialog = GetParent(edit);
  switch (msg) {
    case WM_GETDLGCODE: {
      const auto* m = reinterpret_cast<const MSG*>(lp);
      LRESULT code = DefSubclassProc(edit, msg, wp, lp);
      if (m != nullptr && (m->message == WM_KEYDOWN || m->message == WM_CHAR) &&
          (m->wParam == VK_RETURN || m->wParam == VK_TAB || m->wParam == VK_ESCAPE ||
           m->wParam == '\r' || m->wParam == '\t' || m->wParam == 0x1B) &&
          Ours(m->message == WM_CHAR ? (m->wParam == '\r' ? VK_RETURN : m->wParam == '\t' ? VK_TAB : VK_ESCAPE)
                                     : m->wParam)) {
        code |= DLGC_WANTMESSAGE;
      }
      return code;
    }
    case WM_KEYDOWN:
      if (!Ours(wp)) break;
      if (wp == VK_RETURN) SendMessageW(dialog, kEventEditEnter, GetDlgCtrlID(edit), 0);
      if (wp == VK_TAB) PostMessageW(dialog, WM_NEXTDLGCTL, (GetKeyState(VK_SHIFT) & 0x8000) ? 1 : 0, FALSE);
      if (wp == VK_ESCAPE) PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
      return 0;
    case WM_CHAR:
      if ((wp == '\r' || wp == '\t') && !CtrlDown()) return 0;
      if (wp == 0x1B) return 0;
      break;
    case WM_NCDESTROY:
      RemoveWindowSubclass(edit, EditProc, kSubclassId);
      break;
    default:
      break;
  }
  return DefSubclassProc(edit, msg, wp, lp);
}

}  // namespace

void AttachEventEdit(HWND edit) { SetWindowSubclass(edit, EditProc, kSubclassId, 0); }

}  // namespace tavirel
