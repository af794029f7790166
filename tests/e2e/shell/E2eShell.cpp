// tavirel_e2e_shell.exe: does to Tavirel.exe's tray window what a user's
// actions do, by the messages those actions produce, and prints what it
// did. Usage: tavirel_e2e_shell.exe COMMAND [ARG]
//   find                 exit 0 when the tray window exists
//   click                the icon's left-button click
//   dblclick             the icon's left-button double click: down, up,
//                        double click, up, as the shell reports them
//   menu                 the icon's right-button release (opens the menu)
//   command N            WM_COMMAND N (a menu item)
//   show N               asks for window N as a hotkey does (0: the main dialog)
//   front                prints the class and the title of the window in front
//   taskbarcreated       the shell's "TaskbarCreated" broadcast
//   session N            WM_WTSSESSION_CHANGE N (7 lock, 8 unlock)
//   power N              WM_POWERBROADCAST N (4 suspend, 18 resume)
//   queryend             WM_QUERYENDSESSION, prints the answer
//   drophooks            has the hook thread unhook without a word, as Windows
//                        does with a slow hook (Tavirel started with
//                        TAVIREL_E2E_DROP_HOOKS set)
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <initializer_list>

namespace {

constexpr UINT kTrayCallback = WM_APP + 1;
constexpr WPARAM kIconId = 120;
constexpr UINT kShowWindow = WM_APP + 4;

HWND FindTray() {
  for (int i = 0; i < 100; ++i) {
    if (HWND w = FindWindowW(L"TavirelTrayWnd", nullptr)) return w;
    Sleep(100);
  }
  return nullptr;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return 2;
  const wchar_t* cmd = argv[1];
  const long arg = argc > 2 ? std::wcstol(argv[2], nullptr, 10) : 0;
  HWND tray = FindTray();
  if (tray == nullptr) {
    std::printf("no tray window\n");
    return 1;
  }
  BOOL ok = TRUE;
  if (!std::wcscmp(cmd, L"find")) {
  } else if (!std::wcscmp(cmd, L"click")) {
    ok = PostMessageW(tray, kTrayCallback, kIconId, WM_LBUTTONDOWN);
  } else if (!std::wcscmp(cmd, L"dblclick")) {
    for (UINT m : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP})
      ok = PostMessageW(tray, kTrayCallback, kIconId, m) && ok;
  } else if (!std::wcscmp(cmd, L"menu")) {
    ok = PostMessageW(tray, kTrayCallback, kIconId, WM_RBUTTONUP);
  } else if (!std::wcscmp(cmd, L"command")) {
    ok = PostMessageW(tray, WM_COMMAND, static_cast<WPARAM>(arg), 0);
  } else if (!std::wcscmp(cmd, L"show")) {
    ok = PostMessageW(tray, kShowWindow, static_cast<WPARAM>(arg), 0);
  } else if (!std::wcscmp(cmd, L"front")) {
    // Class and title: the hidden tray window is titled "Tavirel" too.
    HWND front = GetForegroundWindow();
    wchar_t text[512] = {};
    const int n = GetClassNameW(front, text, 256);
    text[n] = L' ';
    GetWindowTextW(front, text + n + 1, 256);
    char utf8[2048] = {};
    WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, nullptr, nullptr);
    std::printf("%s\n", utf8);
  } else if (!std::wcscmp(cmd, L"taskbarcreated")) {
    ok = PostMessageW(tray, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
  } else if (!std::wcscmp(cmd, L"session")) {
    ok = PostMessageW(tray, WM_WTSSESSION_CHANGE, static_cast<WPARAM>(arg), 0);
  } else if (!std::wcscmp(cmd, L"power")) {
    ok = PostMessageW(tray, WM_POWERBROADCAST, static_cast<WPARAM>(arg), 0);
  } else if (!std::wcscmp(cmd, L"drophooks")) {
    ok = PostMessageW(tray, RegisterWindowMessageW(L"TavirelDropHooks"), 0, 0);
  } else if (!std::wcscmp(cmd, L"queryend")) {
    DWORD_PTR answer = 0;
    ok = SendMessageTimeoutW(tray, WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL, 10000, &answer) != 0;
    std::printf("answer=%d\n", static_cast<int>(answer));
  } else {
    return 2;
  }
  std::printf("%s\n", ok ? "ok" : "failed");
  std::fflush(stdout);
  return ok ? 0 : 1;
}
