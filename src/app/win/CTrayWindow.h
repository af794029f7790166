#pragma once
// The hidden main window: the tray icon and its menu, balloons, the end of
// the session, suspend and resume, lock and unlock. Destroying it ends the
// program. Everything here runs on the main thread; the service is read and
// changed through its dispatcher, and its events arrive as posted messages.
#include <windows.h>

#include <memory>
#include <string>

#include "app/ForegroundReturn.h"
#include "app/HookWatchdog.h"
#include "app/IShellRequests.h"
#include "app/TrayMenu.h"
#include "app/win/CSystemTray.h"
#include "app/win/CUpdater.h"
#include "app/win/DialogProc.h"

namespace tavirel {

class CTavirelApp;

class CTrayWindow : public IShellRequests {
 public:
  static constexpr wchar_t kClassName[] = L"TavirelTrayWnd";
  // Posted messages (WM_APP + 1 is the icon's callback).
  static constexpr UINT kStateChanged = WM_APP + 2;
  static constexpr UINT kBalloon = WM_APP + 3;      // lParam: new'd Balloon, taken over
  static constexpr UINT kShowWindow = WM_APP + 4;   // wParam: which window
  static constexpr UINT kQuickConversion = WM_APP + 5;
  static constexpr UINT kUpdate = WM_APP + 6;       // from the update's worker (CUpdater)

  struct Balloon {
    std::u16string Text;
    std::u16string Title;
  };

  explicit CTrayWindow(CTavirelApp& app);
  ~CTrayWindow() override;
  CTrayWindow(const CTrayWindow&) = delete;
  CTrayWindow& operator=(const CTrayWindow&) = delete;

  // Creates the window; the icon is added by ShowIcon once the hook thread runs.
  bool Create();
  void ShowIcon();
  HWND Handle() const { return hwnd_; }
  // Icon and tooltip from the service's state.
  void UpdateState();
  void ShowBalloon(const std::u16string& text, const std::u16string& title, CSystemTray::BalloonIcon icon);

  // ---- IShellRequests (any thread: posts) ----
  void ShowMainDialog() override;
  void ShowConversionDialog() override;
  void ShowCreateShorthandDialog() override;

 private:
  struct Snapshot;
  static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  static void CALLBACK OnForegroundEvent(HWINEVENTHOOK, DWORD, HWND window, LONG object, LONG, DWORD, DWORD);
  LRESULT Handle(UINT msg, WPARAM wp, LPARAM lp);
  Snapshot Read();
  void OnTrayNotification(LPARAM mouse);
  void ShowMenu();
  void OnCommand(uint16_t command);
  void OnStateChanged();
  // The beep of a switch by hotkey (a click on the icon is its own answer).
  void Beep();
  void OpenWindow(int which);
  void RunWindow(int which);
  // A dialog asked for while it is open comes to the front instead.
  void BringForward(HWND dialog);
  void GiveForegroundBack(WindowRef back);
  void SaveNow();
  void ReportSave(int result, const std::u16string& path);
  void CheckForeground();
  void CheckHooks();

  CTavirelApp& app_;
  HWND hwnd_ = nullptr;
  CSystemTray tray_;
  UINT taskbarCreated_ = 0;
  unsigned clicks_ = 0;             // clicks whose state change has yet to come
  CDialogWatch* openWindows_[6] = {};  // one of each kind at a time: the open one's
  CForegroundReturn foreground_{GetCurrentProcessId()};  // where the keys go after a dialog
  HWINEVENTHOOK foregroundEvents_ = nullptr;  // tells foreground_ of each new window in front
  bool foregroundBlocked_ = false;
  CHookWatchdog watchdog_;
  bool rawKeys_ = false;            // the keyboard's raw input reaches this window
  DWORD lastRawKey_ = 0;            // when its last key came (0: none yet)
  UINT dropHooks_ = 0;              // the tests' message that takes the hooks away
  std::vector<std::u16string> menuMethods_;  // the lists the open menu was built from
  std::vector<std::u16string> menuTables_;
  HICON iconOn_ = nullptr;
  HICON iconOff_ = nullptr;
  std::unique_ptr<CUpdater> updater_;
};

}  // namespace tavirel
