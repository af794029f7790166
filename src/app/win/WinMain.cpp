// Tavirel.exe: builds the input service with its defaults, creates the
// invoker window, starts the hook thread and runs the main message loop until
// the hidden main window is closed.
#include <windows.h>
#include <commctrl.h>

#include "service/win/CInvokerWnd.h"

namespace {

const wchar_t kMainClass[] = L"TavirelMainWnd";

LRESULT CALLBACK MainWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CLOSE:
      DestroyWindow(hwnd);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(hwnd, msg, wp, lp);
  }
}

HWND CreateMainWindow(HINSTANCE inst) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = MainWndProc;
  wc.hInstance = inst;
  wc.lpszClassName = kMainClass;
  if (!RegisterClassExW(&wc)) return nullptr;
  // A hidden top-level window (not message-only), so that a WM_CLOSE from
  // outside, e.g. taskkill without /f, reaches it.
  return CreateWindowExW(0, kMainClass, L"Tavirel", WS_OVERLAPPED, 0, 0, 0, 0, nullptr, nullptr,
                         inst, nullptr);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE inst, HINSTANCE, PWSTR, int) {
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);

  tavirel::CInvokerWnd invoker;
  invoker.Create();

  HWND main = CreateMainWindow(inst);
  if (!main) return 1;

  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}
