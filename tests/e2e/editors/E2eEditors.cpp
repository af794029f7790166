// tavirel_e2e_editors.exe: drives Tavirel.exe's editor dialogs the way a
// user's actions do, by the messages those actions send to their controls,
// and prints what it read. A dialog is named by its caption; a control by
// its id, or "parent/child" for a control inside a child dialog.
// Usage: tavirel_e2e_editors.exe COMMAND ARGS...
//   wait CAPTION                 exit 0 once the dialog is shown (10 s)
//   gone CAPTION                 exit 0 once no such dialog is left (10 s)
//   settext CAPTION ID TEXT      the control's text ("\n" in TEXT: a line break), as typed
//                                (an edit or a combo box's edit)
//   text CAPTION ID              prints the control's text
//   enabled CAPTION ID           prints 1 or 0
//   click CAPTION ID             the button's click (posted: it may open a box)
//   check CAPTION ID             ticks a check box, as a click does
//   command CAPTION ID           WM_COMMAND ID to the dialog (a menu item)
//   key CAPTION ID VK            a key press in the control
//   select CAPTION ID TEXT       picks TEXT in a drop-down list, as the user does
//   items CAPTION ID             opens a combo box's list and prints its entries
//   message CAPTION              prints the text of a message box and presses its first button
//   opendialog PATH              fills the open-file dialog's name with PATH and opens it
//   clipboard TEXT               puts TEXT ("\n": CR LF) on the clipboard
//   clipboardfree                exit 0 when the clipboard can be opened
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

std::wstring Unescape(const wchar_t* text) {
  std::wstring out;
  for (const wchar_t* p = text; *p; ++p) {
    if (p[0] == L'\\' && p[1] == L'n') {
      out += L"\r\n";
      ++p;
    } else if (p[0] == L'\\' && p[1] == L't') {
      out += L'\t';
      ++p;
    } else {
      out += *p;
    }
  }
  return out;
}

HWND FindDialog(const wchar_t* caption, int seconds = 10) {
  for (int i = 0; i < seconds * 10; ++i) {
    if (HWND w = FindWindowW(L"#32770", caption)) {
      if (IsWindowVisible(w)) return w;
    }
    Sleep(100);
  }
  return nullptr;
}

HWND Control(HWND dialog, const wchar_t* path) {
  HWND w = dialog;
  for (const wchar_t* p = path; w && *p;) {
    wchar_t* end = nullptr;
    w = GetDlgItem(w, static_cast<int>(std::wcstol(p, &end, 10)));
    p = *end == L'/' ? end + 1 : end;
  }
  return w;
}

void Print(const std::wstring& text) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), utf8.data(), n, nullptr, nullptr);
  std::fwrite(utf8.data(), 1, utf8.size(), stdout);
  std::fputc('\n', stdout);
}

std::wstring TextOf(HWND w) {
  wchar_t buf[8192] = {};
  SendMessageW(w, WM_GETTEXT, 8192, reinterpret_cast<LPARAM>(buf));
  return buf;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return 2;
  const std::wstring cmd = argv[1];
  const auto arg = [&](int i) { return i < argc ? argv[i] : L""; };

  if (cmd == L"clipboard") {
    const std::wstring text = Unescape(arg(2));
    for (int i = 0; i < 50 && !OpenClipboard(nullptr); ++i) Sleep(100);
    EmptyClipboard();
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    std::wmemcpy(static_cast<wchar_t*>(GlobalLock(h)), text.c_str(), text.size() + 1);
    GlobalUnlock(h);
    const bool ok = SetClipboardData(CF_UNICODETEXT, h) != nullptr;
    CloseClipboard();
    return ok ? 0 : 1;
  }
  if (cmd == L"clipboardfree") {
    if (!OpenClipboard(nullptr)) return 1;
    CloseClipboard();
    return 0;
  }
  if (cmd == L"opendialog") {
    // Wine's open-file dialog is titled "Open"; its file name box is edt1
    // (0x480) or the combo box cmb13 (0x47C).
    HWND dlg = FindDialog(L"Open");
    if (!dlg) return 1;
    for (int id : {0x47C, 0x480}) {
      if (HWND box = GetDlgItem(dlg, id)) SendMessageW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(arg(2)));
    }
    PostMessageW(dlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dlg, IDOK)));
    return 0;
  }
  if (cmd == L"gone") {
    for (int i = 0; i < 100; ++i) {
      if (!FindWindowW(L"#32770", arg(2))) return 0;
      Sleep(100);
    }
    return 1;
  }

  HWND dlg = FindDialog(arg(2));
  if (!dlg) {
    std::printf("no dialog\n");
    return 1;
  }
  if (cmd == L"wait") return 0;
  if (cmd == L"message") {
    Print(TextOf(GetDlgItem(dlg, 0xFFFF)));
    for (int id : {IDOK, IDYES, IDCANCEL}) {
      if (HWND b = GetDlgItem(dlg, id)) {
        PostMessageW(dlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(b));
        break;
      }
    }
    return 0;
  }
  if (cmd == L"command") {
    PostMessageW(dlg, WM_COMMAND, MAKEWPARAM(std::wcstol(arg(3), nullptr, 10), 0), 0);
    return 0;
  }
  HWND control = Control(dlg, arg(3));
  if (!control) {
    std::printf("no control\n");
    return 1;
  }
  if (cmd == L"settext") {
    SendMessageW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Unescape(arg(4)).c_str()));
    // An edit reports EN_CHANGE to its parent only for the user's edits on
    // some systems: report it as typing does (a combo box's edit reports
    // CBN_EDITCHANGE).
    wchar_t cls[32] = {};
    GetClassNameW(control, cls, 32);
    const WORD change = _wcsicmp(cls, L"ComboBox") == 0 ? CBN_EDITCHANGE : EN_CHANGE;
    SendMessageW(GetParent(control), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), change),
                 reinterpret_cast<LPARAM>(control));
    return 0;
  }
  if (cmd == L"text") {
    Print(TextOf(control));
    return 0;
  }
  if (cmd == L"enabled") {
    std::printf("%d\n", IsWindowEnabled(control) ? 1 : 0);
    return 0;
  }
  if (cmd == L"click") {
    PostMessageW(GetParent(control), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), BN_CLICKED),
                 reinterpret_cast<LPARAM>(control));
    return 0;
  }
  if (cmd == L"check") {
    SendMessageW(control, BM_SETCHECK, BST_CHECKED, 0);
    SendMessageW(GetParent(control), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), BN_CLICKED),
                 reinterpret_cast<LPARAM>(control));
    return 0;
  }
  if (cmd == L"key") {
    const auto vk = static_cast<WPARAM>(std::wcstol(arg(4), nullptr, 0));
    SendMessageW(control, WM_KEYDOWN, vk, 1);
    SendMessageW(control, WM_KEYUP, vk, 0xC0000001);
    return 0;
  }
  if (cmd == L"items") {
    // Opening the list lets the dialog fill it (CBN_DROPDOWN), as a click does.
    SendMessageW(control, CB_SHOWDROPDOWN, TRUE, 0);
    const LRESULT n = SendMessageW(control, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < n; ++i) {
      wchar_t item[1024] = {};
      if (SendMessageW(control, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0) < 1024) {
        SendMessageW(control, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item));
      }
      Print(item);
    }
    SendMessageW(control, CB_SHOWDROPDOWN, FALSE, 0);
    return 0;
  }
  if (cmd == L"select") {
    const LRESULT i = SendMessageW(control, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(arg(4)));
    if (i == CB_ERR) {
      std::printf("no such entry\n");
      return 1;
    }
    SendMessageW(control, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
    SendMessageW(GetParent(control), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(control));
    return 0;
  }
  return 2;
}
