// Tavirel.exe: the application object runs the program; the main thread's
// message loop runs until the tray window is destroyed ("Thoát", a restart
// as administrator, WM_CLOSE from outside).
#include <windows.h>

#include "app/win/CTavirelApp.h"

int WINAPI wWinMain(HINSTANCE inst, HINSTANCE, PWSTR, int) {
  tavirel::CTavirelApp app;
  // Another copy of this user in this session: end silently.
  if (!app.StartUp(inst)) {
    app.ShutDown();
    return 0;
  }
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return app.ShutDown();
}
