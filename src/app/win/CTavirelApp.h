#pragma once
// The application object: one copy per user and session, the input service,
// the settings, the hook thread and the tray window, from start to exit.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "app/AppOptions.h"
#include "app/CSettings.h"

namespace tavirel {

class CInputMethodService;
class CTrayWindow;
class CWinDesktop;

class CTavirelApp {
 public:
  // Switch of a copy started to take over from a running one (the update,
  // RestartAsAdministrator): it waits a few seconds for the old copy to end.
  static constexpr char16_t kTakeOverSwitch[] = u"/Restart";
  static constexpr DWORD kTakeOverWaitMs = 8000;

  CTavirelApp();
  ~CTavirelApp();
  CTavirelApp(const CTavirelApp&) = delete;
  CTavirelApp& operator=(const CTavirelApp&) = delete;

  // False: another copy runs for this user in this session (this copy ends
  // silently), or the program could not start.
  bool StartUp(HINSTANCE instance);
  // Stops the hook thread, saves the options, destroys the service.
  int ShutDown();

  static bool IsRunAtLoginRegistered();
  static bool SetRunAtLogin(bool on);
  // Starts an elevated copy; this copy ends only when that copy started
  // (the user may decline the prompt: then nothing changes).
  bool RestartAsAdministrator();
  // The process runs with the limited token of an administrator.
  static bool CanRestartAsAdministrator();

  CInputMethodService& Service() { return *service_; }
  CSettings& Settings() { return *settings_; }
  AppOptions& Options() { return options_; }
  HINSTANCE Instance() const { return instance_; }
  const std::vector<std::u16string>& Arguments() const { return arguments_; }

  static std::u16string ProgramPath();
  // "ProductVersion" of the version resource (at most 9 characters; empty
  // when unreadable).
  static std::u16string ProductVersion();

 private:
  bool TakeInstanceMutex();

  HINSTANCE instance_ = nullptr;
  HANDLE instanceMutex_ = nullptr;
  std::vector<std::u16string> arguments_;
  std::unique_ptr<CWinDesktop> desktop_;
  std::unique_ptr<CInputMethodService> service_;
  AppOptions options_;
  std::unique_ptr<CSettings> settings_;
  std::unique_ptr<CTrayWindow> tray_;
};

// The one application object (null before it exists).
CTavirelApp* TheApp();

}  // namespace tavirel
