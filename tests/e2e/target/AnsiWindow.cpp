// The e2e target's "ansi" mode: a program that is not Unicode, as the
// programs that show 8-bit Vietnamese text with a legacy font are. Its
// window class is registered with RegisterClassA, its multi-line EDIT is
// made with CreateWindowExA, and its message loop is GetMessageA /
// DispatchMessageA, so every character typed reaches it as a byte of the
// code page of its input language.
//
// F2 clears the text; F3 writes OUT with the bytes the EDIT holds
// (GetWindowTextA), OUT.keys with the bytes of every WM_CHAR the EDIT got
// (a Backspace removes the last one: an EDIT drops control characters, a
// program that reads its keys itself does not), OUT.cp with the system's
// ANSI code page and that of the input language ("acp=1252 input=1252"),
// and then OUT.done with a counter that grows by one.
#include "AnsiWindow.h"

#include <string>

namespace {

std::wstring g_out;
HWND g_edit = nullptr;
WNDPROC g_editProc = nullptr;
std::string g_keys;  // the bytes of the WM_CHAR messages, Backspace applied
unsigned g_done = 0;

void WriteBytes(const std::wstring& path, const std::string& bytes) {
  const std::wstring tmp = path + L".tmp";
  HANDLE h = CreateFileW(tmp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                         nullptr);
  if (h == INVALID_HANDLE_VALUE) return;
  DWORD done = 0;
  WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr);
  CloseHandle(h);
  MoveFileExW(tmp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
}

UINT InputCodePage() {
  const LANGID lang = LOWORD(reinterpret_cast<UINT_PTR>(GetKeyboardLayout(0)));
  UINT cp = 0;
  if (GetLocaleInfoW(MAKELCID(lang, SORT_DEFAULT), LOCALE_IDEFAULTANSICODEPAGE | LOCALE_RETURN_NUMBER,
                     reinterpret_cast<LPWSTR>(&cp), sizeof cp / sizeof(wchar_t)) == 0)
    return 0;
  return cp;
}

void WriteAll() {
  const int n = GetWindowTextLengthA(g_edit);
  std::string text(static_cast<size_t>(n) + 1, '\0');
  text.resize(static_cast<size_t>(GetWindowTextA(g_edit, text.data(), n + 1)));
  WriteBytes(g_out, text);
  WriteBytes(g_out + L".keys", g_keys);
  WriteBytes(g_out + L".cp", "acp=" + std::to_string(GetACP()) + " input=" + std::to_string(InputCodePage()) + "\n");
  WriteBytes(g_out + L".done", std::to_string(++g_done));
}

// The EDIT's own procedure, subclassed as an ANSI one: it sees the bytes.
LRESULT CALLBACK EditProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_CHAR) {
    const char byte = static_cast<char>(wp & 0xFF);
    if (byte == '\b') {
      if (!g_keys.empty()) g_keys.pop_back();
    } else {
      g_keys += byte;
    }
  }
  return CallWindowProcA(g_editProc, hwnd, msg, wp, lp);
}

LRESULT CALLBACK MainProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_SIZE:
      if (g_edit) MoveWindow(g_edit, 0, 0, LOWORD(lp), HIWORD(lp), TRUE);
      return 0;
    case WM_SETFOCUS:
      if (g_edit) SetFocus(g_edit);
      return 0;
    case WM_CLOSE:
      DestroyWindow(hwnd);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

}  // namespace

int RunAnsiTarget(HINSTANCE inst, const std::wstring& out) {
  g_out = out;
  WNDCLASSA wc{};
  wc.lpfnWndProc = MainProc;
  wc.hInstance = inst;
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_IBEAM));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = "TavirelE2eAnsiTarget";
  if (!RegisterClassA(&wc)) return 3;
  HWND main = CreateWindowExA(0, wc.lpszClassName, "Tavirel e2e ANSI target", WS_OVERLAPPEDWINDOW, 40, 460,
                              800, 300, nullptr, nullptr, inst, nullptr);
  if (!main) return 4;
  g_edit = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "",
                           WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN,
                           0, 0, 800, 300, main, nullptr, inst, nullptr);
  if (!g_edit) return 5;
  g_editProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(g_edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(EditProc)));
  ShowWindow(main, SW_SHOW);
  UpdateWindow(main);
  SetForegroundWindow(main);
  SetFocus(g_edit);
  WriteAll();

  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_F2) {
      SetWindowTextA(g_edit, "");
      g_keys.clear();
      continue;
    }
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_F3) {
      WriteAll();
      continue;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}
