// Target program of the end-to-end tests: a window that takes typed text and
// writes it as UTF-8 to a file, so that the harness on the Linux side can
// compare what arrived.
//
//   tavirel_e2e_target.exe OUT [paste|password|autocomplete|ansi]
//
// Default: a focused multi-line EDIT control, in the upper part of the
// screen. With "password": a one-line EDIT control with the password style,
// at the upper right. With "ansi": a window that is not Unicode
// (AnsiWindow.cpp). With "paste": the focused
// window's class is "gdkWindowToplevel", one of the classes that Tavirel feeds
// by clipboard paste; it handles WM_CHAR and Ctrl+V itself, and sits below the other one.
// With "autocomplete": a one-line EDIT control that completes what is typed
// (AutoCompleteField.cpp), below the password one; OUT gets the typed text.
//
// Keys the target answers itself (seen in its message loop, before the
// focused control): F2 clears the text; F3 writes OUT and then OUT.done with
// a counter that grows by one, so the harness knows every earlier key has
// been handled; F5 writes the clipboard's text, private format and bitmap to
// OUT.clip; F6 puts a known "user clipboard" there; F7 puts a large one
// there (10 MB of text and a bitmap); F8 makes the window the clipboard's
// owner with text and the private format rendered on request, each after a
// delay of 2 seconds, as a slow program would.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "AutoCompleteField.h"
#include "AnsiWindow.h"

namespace {

std::wstring g_out;
HWND g_main = nullptr;
HWND g_edit = nullptr;
bool g_pasteMode = false;
bool g_passwordMode = false;
bool g_autoCompleteMode = false;
std::wstring g_text;  // paste mode's own text
std::string g_written;
unsigned g_doneCount = 0;

const wchar_t kPrivateFormat[] = L"Tavirel E2E Private";
const unsigned char kPrivateBytes[] = {0x01, 0x00, 0xFE, 0x7F, 0x42};
const wchar_t kUserClipboardText[] = L"Nội dung cũ của người dùng";

std::string ToUtf8(const std::wstring& w) {
  if (w.empty()) return {};
  int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0,
                              nullptr, nullptr);
  std::string s(n, '\0');
  WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr,
                      nullptr);
  return s;
}

// Writes atomically: a reader never sees half a file.
void WriteFileAtomic(const std::wstring& path, const std::string& bytes) {
  std::wstring tmp = path + L".tmp";
  HANDLE h = CreateFileW(tmp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return;
  DWORD done = 0;
  WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr);
  CloseHandle(h);
  MoveFileExW(tmp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
}

std::wstring CurrentText() {
  if (g_pasteMode) return g_text;
  if (g_autoCompleteMode) return TypedText(g_edit);
  int n = GetWindowTextLengthW(g_edit);
  std::wstring w(n + 1, L'\0');
  n = GetWindowTextW(g_edit, w.data(), n + 1);
  w.resize(n);
  return w;
}

void WriteText(bool force) {
  std::string now = ToUtf8(CurrentText());
  if (!force && now == g_written) return;
  g_written = now;
  WriteFileAtomic(g_out, now);
}

bool OpenClipboardRetry(HWND owner) {
  for (int i = 0; i < 50; ++i) {
    if (OpenClipboard(owner)) return true;
    Sleep(10);
  }
  return false;
}

void DumpClipboard() {
  std::string out;
  if (!OpenClipboardRetry(g_main)) {
    out = "error=cannot open clipboard\n";
  } else {
    std::wstring text;
    if (HANDLE h = GetClipboardData(CF_UNICODETEXT)) {
      if (auto* p = static_cast<const wchar_t*>(GlobalLock(h))) {
        text = p;
        GlobalUnlock(h);
      }
    }
    out += "text=" + ToUtf8(text) + "\n";
    std::string priv = "none";
    UINT fmt = RegisterClipboardFormatW(kPrivateFormat);
    if (HANDLE h = GetClipboardData(fmt)) {
      SIZE_T size = GlobalSize(h);
      if (auto* p = static_cast<const unsigned char*>(GlobalLock(h))) {
        priv.clear();
        char hex[4];
        for (SIZE_T i = 0; i < size && i < 64; ++i) {
          std::snprintf(hex, sizeof hex, "%02x", p[i]);
          priv += hex;
        }
        GlobalUnlock(h);
      }
    }
    out += "private=" + priv + "\n";
    std::string bmp = "none";
    if (HANDLE h = GetClipboardData(CF_BITMAP)) {
      BITMAP bm{};
      if (GetObjectW(h, sizeof bm, &bm)) bmp = std::to_string(bm.bmWidth) + "x" + std::to_string(bm.bmHeight);
    }
    out += "bitmap=" + bmp + "\n";
    CloseClipboard();
  }
  WriteFileAtomic(g_out + L".clip", out);
}

void SetUserClipboard() {
  if (!OpenClipboardRetry(g_main)) return;
  EmptyClipboard();
  size_t bytes = (wcslen(kUserClipboardText) + 1) * sizeof(wchar_t);
  if (HGLOBAL g = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
    memcpy(GlobalLock(g), kUserClipboardText, bytes);
    GlobalUnlock(g);
    if (!SetClipboardData(CF_UNICODETEXT, g)) GlobalFree(g);
  }
  if (HGLOBAL g = GlobalAlloc(GMEM_MOVEABLE, sizeof kPrivateBytes)) {
    memcpy(GlobalLock(g), kPrivateBytes, sizeof kPrivateBytes);
    GlobalUnlock(g);
    if (!SetClipboardData(RegisterClipboardFormatW(kPrivateFormat), g)) GlobalFree(g);
  }
  HDC screen = GetDC(nullptr);
  HBITMAP bmp = CreateCompatibleBitmap(screen, 7, 5);
  ReleaseDC(nullptr, screen);
  if (bmp && !SetClipboardData(CF_BITMAP, bmp)) DeleteObject(bmp);
  CloseClipboard();
}

HGLOBAL GlobalCopy(const void* data, size_t bytes) {
  HGLOBAL g = GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (!g) return nullptr;
  memcpy(GlobalLock(g), data, bytes);
  GlobalUnlock(g);
  return g;
}

void SetLargeClipboard() {
  if (!OpenClipboardRetry(g_main)) return;
  EmptyClipboard();
  std::wstring text(5 * 1024 * 1024 - 1, L'x');  // 10 MB with the terminating 0
  for (size_t i = 0; i < text.size(); i += 64) text[i] = L'\n';
  if (HGLOBAL g = GlobalCopy(text.c_str(), (text.size() + 1) * sizeof(wchar_t))) {
    if (!SetClipboardData(CF_UNICODETEXT, g)) GlobalFree(g);
  }
  HDC screen = GetDC(nullptr);
  HBITMAP bmp = CreateCompatibleBitmap(screen, 640, 480);
  ReleaseDC(nullptr, screen);
  if (bmp && !SetClipboardData(CF_BITMAP, bmp)) DeleteObject(bmp);
  CloseClipboard();
}

constexpr DWORD kRenderDelayMs = 2000;

// Renders a format of the delayed clipboard (the clipboard is open).
void RenderDelayed(UINT format) {
  Sleep(kRenderDelayMs);
  if (format == CF_UNICODETEXT) {
    if (HGLOBAL g = GlobalCopy(kUserClipboardText, (wcslen(kUserClipboardText) + 1) * sizeof(wchar_t))) {
      if (!SetClipboardData(CF_UNICODETEXT, g)) GlobalFree(g);
    }
  } else if (format == RegisterClipboardFormatW(kPrivateFormat)) {
    if (HGLOBAL g = GlobalCopy(kPrivateBytes, sizeof kPrivateBytes)) {
      if (!SetClipboardData(format, g)) GlobalFree(g);
    }
  }
}

void SetDelayedClipboard() {
  if (!OpenClipboardRetry(g_main)) return;
  EmptyClipboard();
  SetClipboardData(CF_UNICODETEXT, nullptr);
  SetClipboardData(RegisterClipboardFormatW(kPrivateFormat), nullptr);
  CloseClipboard();
}

void ClearText() {
  if (g_pasteMode) {
    g_text.clear();
    InvalidateRect(g_main, nullptr, TRUE);
  } else {
    SetWindowTextW(g_edit, L"");
  }
}

// Keys handled before the focused control sees them. True: consumed.
bool HandleCommandKey(const MSG& msg) {
  if (msg.message != WM_KEYDOWN) return false;
  switch (msg.wParam) {
    case VK_F2: ClearText(); return true;
    case VK_F3: {
      WriteText(true);
      ++g_doneCount;
      WriteFileAtomic(g_out + L".done", std::to_string(g_doneCount));
      return true;
    }
    case VK_F5: DumpClipboard(); return true;
    case VK_F6: SetUserClipboard(); return true;
    case VK_F7: SetLargeClipboard(); return true;
    case VK_F8: SetDelayedClipboard(); return true;
    default: return false;
  }
}

void PasteFromClipboard() {
  if (!OpenClipboardRetry(g_main)) return;
  if (HANDLE h = GetClipboardData(CF_UNICODETEXT)) {
    if (auto* p = static_cast<const wchar_t*>(GlobalLock(h))) {
      g_text += p;
      GlobalUnlock(h);
    }
  }
  CloseClipboard();
}

void BackspaceText() {
  if (g_text.empty()) return;
  size_t n = 1;
  if (g_text.size() >= 2 && IS_LOW_SURROGATE(g_text.back()) &&
      IS_HIGH_SURROGATE(g_text[g_text.size() - 2]))
    n = 2;
  g_text.resize(g_text.size() - n);
}

LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_SIZE:
      if (g_edit) MoveWindow(g_edit, 0, 0, LOWORD(lp), HIWORD(lp), TRUE);
      return 0;
    case WM_SETFOCUS:
      if (g_edit) SetFocus(g_edit);
      return 0;
    case WM_TIMER:
      WriteText(false);
      return 0;
    case WM_RENDERFORMAT:
      RenderDelayed(static_cast<UINT>(wp));
      return 0;
    case WM_RENDERALLFORMATS:
      if (OpenClipboard(hwnd)) {
        if (GetClipboardOwner() == hwnd) {
          RenderDelayed(CF_UNICODETEXT);
          RenderDelayed(RegisterClipboardFormatW(kPrivateFormat));
        }
        CloseClipboard();
      }
      return 0;
    case WM_CHAR:
      if (!g_pasteMode) break;
      if (wp == 0x08) BackspaceText();
      else if (wp == 0x0D) g_text += L'\n';
      else if (wp >= 0x20) g_text += static_cast<wchar_t>(wp);
      InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case WM_KEYDOWN:
      // Plain Ctrl+V only: like many programs, Ctrl+Shift+V is not a paste.
      if (g_pasteMode && wp == 'V' && GetKeyState(VK_CONTROL) < 0 && GetKeyState(VK_SHIFT) >= 0) {
        PasteFromClipboard();
        InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
      }
      break;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      if (g_pasteMode) {
        RECT rc;
        GetClientRect(hwnd, &rc);
        DrawTextW(dc, g_text.c_str(), static_cast<int>(g_text.size()), &rc, DT_WORDBREAK);
      }
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_CLOSE:
      WriteText(true);
      DestroyWindow(hwnd);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE inst, HINSTANCE, PWSTR, int) {
  if (__argc < 2) return 2;
  g_out = __wargv[1];
  if (__argc >= 3 && wcscmp(__wargv[2], L"ansi") == 0) return RunAnsiTarget(inst, g_out);
  g_pasteMode = __argc >= 3 && wcscmp(__wargv[2], L"paste") == 0;
  g_autoCompleteMode = __argc >= 3 && wcscmp(__wargv[2], L"autocomplete") == 0;
  g_passwordMode = __argc >= 3 && wcscmp(__wargv[2], L"password") == 0;

  const wchar_t* cls = g_pasteMode ? L"gdkWindowToplevel" : L"TavirelE2eTarget";
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = WndProc;
  wc.hInstance = inst;
  wc.hCursor = LoadCursorW(nullptr, IDC_IBEAM);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = cls;
  if (!RegisterClassExW(&wc)) return 3;
  const wchar_t* title = g_pasteMode      ? L"Tavirel e2e paste target"
                         : g_passwordMode ? L"Tavirel e2e password target"
                         : g_autoCompleteMode ? L"Tavirel e2e completing field"
                                          : L"Tavirel e2e target";
  const bool oneLine = g_passwordMode || g_autoCompleteMode;
  const int x = oneLine ? 860 : 40;
  const int y = g_pasteMode ? 460 : g_autoCompleteMode ? 200 : 40;
  const int width = oneLine ? 380 : 800;
  const int height = g_pasteMode ? 300 : oneLine ? 120 : 400;
  g_main = CreateWindowExW(0, cls, title, WS_OVERLAPPEDWINDOW, x, y, width, height, nullptr, nullptr, inst, nullptr);
  if (!g_main) return 4;
  if (!g_pasteMode) {
    const DWORD style = g_autoCompleteMode ? WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL
                        : g_passwordMode   ? WS_CHILD | WS_VISIBLE | ES_PASSWORD | ES_AUTOHSCROLL
                                       : WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE |
                                             ES_AUTOVSCROLL | ES_WANTRETURN;
    g_edit = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", style, 0, 0, width, height, g_main,
                             nullptr, inst, nullptr);
    if (!g_edit) return 5;
    if (g_autoCompleteMode) MakeAutoCompleteField(g_edit);
  }
  ShowWindow(g_main, SW_SHOW);
  UpdateWindow(g_main);
  SetForegroundWindow(g_main);
  SetFocus(g_edit ? g_edit : g_main);
  SetTimer(g_main, 1, 100, nullptr);
  WriteText(true);

  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (HandleCommandKey(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}
