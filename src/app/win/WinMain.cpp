// Tavirel.exe: builds the input service with its defaults, creates the
// invoker window, starts the hook thread and runs the main message loop until
// the hidden main window is closed.
#include <windows.h>
#include <commctrl.h>

#include <exception>
#include <string>

#include "common/Utf8.h"
#include "service/CInputMethodService.h"
#include "service/win/CHookThread.h"
#include "service/win/CInvokerWnd.h"
#include "service/win/CWinDesktop.h"

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

  tavirel::CWinDesktop desktop;
  tavirel::CInputMethodService service(&desktop);
  // Errors are the developer's business: they go to the debugger output.
  service.Error.AddFn([](const std::exception& e) {
    std::u16string text = u"Tavirel: " + tavirel::Utf8ToUtf16(e.what()) + u"\n";
    OutputDebugStringW(reinterpret_cast<const wchar_t*>(text.c_str()));
  });

  // Creates the invoker window on this thread, then the hook thread.
  tavirel::StartHookThread(service);

  HWND main = CreateMainWindow(inst);
  if (main) {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  tavirel::StopHookThread();
  tavirel::InvokerWindow().Destroy();
  return main ? 0 : 1;
}
