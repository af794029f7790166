// tavirel_e2e_suggestion.exe: the word-suggestion test's eyes and hands on
// the Windows side. It runs aware of each monitor's DPI, so every figure it
// prints is in screen pixels. Usage: tavirel_e2e_suggestion.exe COMMAND [ARGS]
//   move X Y W H   moves the e2e target's window (not activated)
//   popup          when Tavirel's suggestion popup shows, prints
//                    popup L T R B      its window
//                    work L T R B       the work area of its monitor
//                    caret L T R B      the caret of the foreground window
//                    rows N H           rows the list shows whole, and the
//                                       pixels left below the last of them
//                  exit 1 when no popup shows
//   rows           clicks the popup's rows toggle (12 or 24 rows)
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cwchar>

namespace {

constexpr int kListId = 4002;  // the popup's candidate list
constexpr int kRowsId = 4004;  // its rows toggle

HWND g_popup = nullptr;

BOOL CALLBACK FindPopup(HWND window, LPARAM trayProcess) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  wchar_t cls[16] = {};
  GetClassNameW(window, cls, 16);
  if (process == static_cast<DWORD>(trayProcess) && IsWindowVisible(window) && std::wcscmp(cls, L"#32770") == 0 &&
      GetDlgItem(window, kListId) != nullptr) {
    g_popup = window;
    return FALSE;
  }
  return TRUE;
}

void PrintRect(const char* name, const RECT& r) {
  std::printf("%s %ld %ld %ld %ld\n", name, r.left, r.top, r.right, r.bottom);
}

bool FindTavirelPopup() {
  HWND tray = FindWindowW(L"TavirelTrayWnd", nullptr);
  if (tray == nullptr) return false;
  DWORD process = 0;
  GetWindowThreadProcessId(tray, &process);
  EnumWindows(FindPopup, static_cast<LPARAM>(process));
  return g_popup != nullptr;
}

int Rows() {
  if (!FindTavirelPopup()) return 1;
  HWND button = GetDlgItem(g_popup, kRowsId);
  return PostMessageW(g_popup, WM_COMMAND, MAKEWPARAM(kRowsId, BN_CLICKED), reinterpret_cast<LPARAM>(button)) ? 0 : 1;
}

int Popup() {
  if (!FindTavirelPopup()) {
    std::printf("no popup\n");
    return 1;
  }
  RECT r{};
  GetWindowRect(g_popup, &r);
  PrintRect("popup", r);
  MONITORINFO mi{};
  mi.cbSize = sizeof(mi);
  GetMonitorInfoW(MonitorFromWindow(g_popup, MONITOR_DEFAULTTONEAREST), &mi);
  PrintRect("work", mi.rcWork);
  GUITHREADINFO gui{};
  gui.cbSize = sizeof(gui);
  if (GetGUIThreadInfo(GetWindowThreadProcessId(GetForegroundWindow(), nullptr), &gui) && gui.hwndCaret != nullptr) {
    // The caret's offset is in the pixels the window is drawn for.
    POINT origin{0, 0};
    ClientToScreen(gui.hwndCaret, &origin);
    HWND list = GetDlgItem(g_popup, kListId);
    const UINT from = GetDpiForWindow(gui.hwndCaret);
    const UINT to = GetDpiForWindow(list);
    RECT c = gui.rcCaret;
    c = {origin.x + MulDiv(c.left, to, from), origin.y + MulDiv(c.top, to, from), origin.x + MulDiv(c.right, to, from),
         origin.y + MulDiv(c.bottom, to, from)};
    PrintRect("caret", c);
  }
  HWND list = GetDlgItem(g_popup, kListId);
  RECT client{};
  GetClientRect(list, &client);
  const int rows = static_cast<int>(SendMessageW(list, LVM_GETCOUNTPERPAGE, 0, 0));
  // The height one row takes: that of the list's first rows (report view,
  // no header), as the list itself reckons it.
  const DWORD two = static_cast<DWORD>(SendMessageW(list, LVM_APPROXIMATEVIEWRECT, 2, MAKELPARAM(-1, -1)));
  const DWORD one = static_cast<DWORD>(SendMessageW(list, LVM_APPROXIMATEVIEWRECT, 1, MAKELPARAM(-1, -1)));
  const int rowHeight = HIWORD(two) - HIWORD(one);
  std::printf("rows %d %ld\n", rows, rowHeight > 0 ? client.bottom - rows * rowHeight : -1L);
  return 0;
}

int Move(int argc, wchar_t** argv) {
  if (argc < 6) return 2;
  HWND target = FindWindowW(L"TavirelE2eTarget", nullptr);
  if (target == nullptr) return 1;
  const int v[4] = {static_cast<int>(std::wcstol(argv[2], nullptr, 10)), static_cast<int>(std::wcstol(argv[3], nullptr, 10)),
                    static_cast<int>(std::wcstol(argv[4], nullptr, 10)), static_cast<int>(std::wcstol(argv[5], nullptr, 10))};
  return SetWindowPos(target, nullptr, v[0], v[1], v[2], v[3], SWP_NOZORDER | SWP_NOACTIVATE) ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
  if (argc < 2) return 2;
  if (std::wcscmp(argv[1], L"popup") == 0) return Popup();
  if (std::wcscmp(argv[1], L"move") == 0) return Move(argc, argv);
  if (std::wcscmp(argv[1], L"rows") == 0) return Rows();
  return 2;
}
