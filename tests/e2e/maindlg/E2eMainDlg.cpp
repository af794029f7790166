// tavirel_e2e_maindlg.exe: works Tavirel.exe's dialogs by the messages a
// user's clicks and keys produce, and prints what it finds.
// Usage: tavirel_e2e_maindlg.exe CAPTION COMMAND [ARGS]
//   CAPTION is the dialog's title ("Tavirel", "Tạo kiểu gõ", "Thông tin").
//   find                 exit 0 when the dialog is open
//   rect                 the dialog's screen rectangle as WxH+X+Y
//   check ID 0|1         clicks the check box or radio button ID unless it already is so
//   click ID             clicks the button ID (posted: the click may open another window)
//   select ID TEXT       chooses the item TEXT in the list ID, as a mouse choice does
//   text ID TEXT         sets the text of the edit ID
//   get ID               prints the check state, or the text, of control ID
//   hotkey ID MODS VK    sets the hotkey entry ID: its boxes to MODS, then VK pressed in its key box
//   page N               shows option page N and selects its tab
//   tabs                 prints the tab titles in order
//   itemselect ID N      selects item N of the list view ID
//   itemcount ID         prints the number of items of the list view ID
//   rename ID N TEXT     edits the label of item N of the list view ID to TEXT
//   close                the dialog's close box (Esc)
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <type_traits>

namespace {

constexpr UINT kSelectPage = WM_APP + 40;

struct Search {
  int Id;
  HWND Parent;
  HWND Found;
};

BOOL CALLBACK FindChild(HWND hwnd, LPARAM lp) {
  auto* s = reinterpret_cast<Search*>(lp);
  if (GetDlgCtrlID(hwnd) == s->Id && (s->Parent == nullptr || GetParent(hwnd) == s->Parent)) {
    s->Found = hwnd;
    return FALSE;
  }
  return TRUE;
}

HWND Child(HWND root, int id, HWND parent = nullptr) {
  Search s{id, parent, nullptr};
  EnumChildWindows(root, FindChild, reinterpret_cast<LPARAM>(&s));
  return s.Found;
}

void Print(const std::wstring& text) {
  // UTF-8 out, so the script can compare Vietnamese.
  const int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
  std::printf("%s\n", out.c_str());
}

std::wstring TextOf(HWND hwnd) {
  wchar_t buf[4096] = {};
  SendMessageW(hwnd, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(buf));
  return buf;
}

void Click(HWND button) { PostMessageW(button, BM_CLICK, 0, 0); }

void Command(HWND control, int code) {
  SendMessageW(GetParent(control), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), code),
               reinterpret_cast<LPARAM>(control));
}

// A list view message whose argument must live in the dialog's process.
template <typename T>
LRESULT SendRemote(HWND list, UINT msg, WPARAM wp, T& value, const wchar_t* text = nullptr) {
  DWORD pid = 0;
  GetWindowThreadProcessId(list, &pid);
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
  if (!process) return -1;
  const size_t textBytes = text ? (std::wcslen(text) + 1) * sizeof(wchar_t) : 0;
  auto* remote = static_cast<char*>(VirtualAllocEx(process, nullptr, sizeof(T) + textBytes, MEM_COMMIT, PAGE_READWRITE));
  T copy = value;
  if constexpr (std::is_same_v<T, LVITEMW>) {
    if (text) copy.pszText = reinterpret_cast<wchar_t*>(remote + sizeof(T));
  }
  WriteProcessMemory(process, remote, &copy, sizeof(T), nullptr);
  if (text) WriteProcessMemory(process, remote + sizeof(T), text, textBytes, nullptr);
  const LRESULT r = SendMessageW(list, msg, wp, reinterpret_cast<LPARAM>(remote));
  VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  CloseHandle(process);
  return r;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) return 2;
  const wchar_t* caption = argv[1];
  const std::wstring cmd = argv[2];
  auto arg = [&](int i) { return argc > i ? argv[i] : L""; };
  auto num = [&](int i) { return static_cast<int>(std::wcstol(arg(i), nullptr, 10)); };
  HWND dlg = nullptr;
  // "find" looks once; other commands wait a little for the dialog.
  // A dialog counts once it is shown (it fills its controls as it shows).
  for (int i = 0; i < (cmd == L"find" ? 1 : 30) && !dlg; ++i) {
    dlg = FindWindowW(L"#32770", caption);
    if (dlg && !IsWindowVisible(dlg)) dlg = nullptr;
    if (!dlg) Sleep(100);
  }
  if (!dlg) {
    std::printf("no dialog\n");
    return 1;
  }
  if (cmd == L"find") {
    std::printf("ok\n");
    return 0;
  }
  if (cmd == L"rect") {
    RECT r{};
    GetWindowRect(dlg, &r);
    std::printf("%ldx%ld+%ld+%ld\n", r.right - r.left, r.bottom - r.top, r.left, r.top);
    return 0;
  }
  if (cmd == L"close") {
    PostMessageW(dlg, WM_COMMAND, IDCANCEL, 0);
    return 0;
  }
  if (cmd == L"page") {
    SendMessageW(dlg, kSelectPage, static_cast<WPARAM>(num(3)), 0);
    return 0;
  }
  if (cmd == L"tabs") {
    HWND tabs = Child(dlg, 1103);
    const int n = static_cast<int>(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0));
    std::wstring all;
    for (int i = 0; i < n; ++i) {
      TCITEMW item{};
      item.mask = TCIF_TEXT;
      wchar_t buf[64] = {};
      item.cchTextMax = 64;
      // The title comes back through the dialog's process memory.
      DWORD pid = 0;
      GetWindowThreadProcessId(tabs, &pid);
      HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
      auto* remote = static_cast<char*>(VirtualAllocEx(process, nullptr, sizeof item + sizeof buf, MEM_COMMIT, PAGE_READWRITE));
      item.pszText = reinterpret_cast<wchar_t*>(remote + sizeof item);
      WriteProcessMemory(process, remote, &item, sizeof item, nullptr);
      SendMessageW(tabs, TCM_GETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(remote));
      ReadProcessMemory(process, remote + sizeof item, buf, sizeof buf, nullptr);
      VirtualFreeEx(process, remote, 0, MEM_RELEASE);
      CloseHandle(process);
      if (i) all += L"|";
      all += buf;
    }
    Print(all);
    return 0;
  }
  const int id = num(3);
  HWND control = Child(dlg, id);
  if (!control) {
    std::printf("no control %d\n", id);
    return 1;
  }
  if (cmd == L"check") {
    const bool want = num(4) != 0;
    const bool is = SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
    if (want != is) {
      SendMessageW(control, BM_CLICK, 0, 0);
    }
  } else if (cmd == L"click") {
    Click(control);
  } else if (cmd == L"select") {
    const LRESULT index = SendMessageW(control, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                       reinterpret_cast<LPARAM>(arg(4)));
    if (index == CB_ERR) {
      std::printf("no item\n");
      return 1;
    }
    SendMessageW(control, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    Command(control, CBN_SELCHANGE);
  } else if (cmd == L"text") {
    SendMessageW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(arg(4)));
  } else if (cmd == L"get") {
    // Only the value is printed.
    wchar_t cls[64] = {};
    GetClassNameW(control, cls, 64);
    if (!_wcsicmp(cls, L"Button") && (GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK) != BS_PUSHBUTTON &&
        (GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK) != BS_DEFPUSHBUTTON) {
      std::printf("%d\n", SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0);
    } else if (!_wcsicmp(cls, L"ComboBox")) {
      const LRESULT sel = SendMessageW(control, CB_GETCURSEL, 0, 0);
      if (sel == CB_ERR) {
        std::printf("\n");
      } else {
        wchar_t buf[256] = {};
        SendMessageW(control, CB_GETLBTEXT, static_cast<WPARAM>(sel), reinterpret_cast<LPARAM>(buf));
        Print(buf);
      }
    } else {
      Print(TextOf(control));
    }
    return 0;
  } else if (cmd == L"hotkey") {
    const int mods = num(4);
    const struct { int Id; int Bit; } boxes[] = {{1072, 2}, {1102, 4}, {1001, 1}, {1104, 8}};
    for (const auto& box : boxes) {
      HWND b = Child(control, box.Id, control);
      const bool is = SendMessageW(b, BM_GETCHECK, 0, 0) == BST_CHECKED;
      if (is != ((mods & box.Bit) != 0)) SendMessageW(b, BM_CLICK, 0, 0);
    }
    HWND key = Child(control, 1085, control);
    SendMessageW(key, WM_KEYDOWN, static_cast<WPARAM>(num(5)), 1);
    Print(TextOf(key));
    return 0;
  } else if (cmd == L"itemcount") {
    std::printf("%d\n", static_cast<int>(SendMessageW(control, LVM_GETITEMCOUNT, 0, 0)));
    return 0;
  } else if (cmd == L"itemselect") {
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendRemote(control, LVM_SETITEMSTATE, static_cast<WPARAM>(num(4)), item);
  } else if (cmd == L"rename") {
    SetForegroundWindow(dlg);
    SendMessageW(control, WM_SETFOCUS, 0, 0);
    HWND edit = reinterpret_cast<HWND>(SendMessageW(control, LVM_EDITLABELW, static_cast<WPARAM>(num(4)), 0));
    if (!edit) {
      std::printf("no label edit\n");
      return 1;
    }
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(arg(5)));
    SendMessageW(edit, WM_KEYDOWN, VK_RETURN, 1);
    SendMessageW(edit, WM_CHAR, VK_RETURN, 1);
  } else {
    return 2;
  }
  std::printf("ok\n");
  std::fflush(stdout);
  return 0;
}
