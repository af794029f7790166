#include "app/win/CTavirelApp.h"

#include <commctrl.h>
#include <sddl.h>
#include <shellapi.h>

#include <exception>

#include "app/FormatKeyCombo.h"
#include "app/GoTatFile.h"
#include "app/HotKeyActions.h"
#include "app/RunAtLogin.h"
#include "app/SettingsFolder.h"
#include "app/win/CTrayWindow.h"
#include "common/Utf8.h"
#include "service/CInputMethodService.h"
#include "service/win/CHookThread.h"
#include "service/win/CInvokerWnd.h"
#include "service/win/CWinDesktop.h"
#include "spelling/win/CSuggestionUI.h"

namespace tavirel {

namespace {

CTavirelApp* g_app = nullptr;

const wchar_t* W(const std::u16string& s) { return reinterpret_cast<const wchar_t*>(s.c_str()); }

std::vector<std::u16string> CommandLineArguments() {
  std::vector<std::u16string> args;
  int n = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &n);
  if (argv == nullptr) return args;
  for (int i = 0; i < n; ++i) args.emplace_back(reinterpret_cast<const char16_t*>(argv[i]));
  LocalFree(argv);
  return args;
}

// The textual SID of the user of this process; empty when unreadable.
std::u16string CurrentUserSid() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return {};
  std::u16string sid;
  DWORD size = 0;
  GetTokenInformation(token, TokenUser, nullptr, 0, &size);
  std::vector<BYTE> buf(size ? size : 1);
  LPWSTR text = nullptr;
  if (size && GetTokenInformation(token, TokenUser, buf.data(), size, &size) &&
      ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buf.data())->User.Sid, &text)) {
    sid = reinterpret_cast<const char16_t*>(text);
    LocalFree(text);
  }
  CloseHandle(token);
  return sid;
}

// The system's name of a key, from the keyboard layout.
std::u16string SystemKeyName(uint16_t vk) {
  const UINT scan = MapVirtualKeyW(vk & 0xFF, MAPVK_VK_TO_VSC);
  wchar_t name[100] = {};
  const int n = GetKeyNameTextW(static_cast<LONG>((scan << 16) | (1u << 25)), name, 100);
  if (n > 0) return std::u16string(reinterpret_cast<const char16_t*>(name), n);
  return PortableKeyName(vk);
}

}  // namespace

std::u16string CTavirelApp::ProductVersion() {
  const std::u16string path = ProgramPath();
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(W(path), &ignored);
  if (size == 0) return {};
  std::vector<BYTE> data(size);
  if (!GetFileVersionInfoW(W(path), 0, size, data.data())) return {};
  struct Translation {
    WORD language;
    WORD codePage;
  }* translations = nullptr;
  UINT len = 0;
  if (!VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translations), &len) ||
      len < sizeof(Translation)) {
    return {};
  }
  wchar_t query[64];
  swprintf(query, 64, L"\\StringFileInfo\\%04x%04x\\ProductVersion", translations[0].language,
           translations[0].codePage);
  wchar_t* value = nullptr;
  if (!VerQueryValueW(data.data(), query, reinterpret_cast<void**>(&value), &len) || value == nullptr) return {};
  std::u16string version(reinterpret_cast<const char16_t*>(value));
  if (version.size() > 9) version.resize(9);
  return version;
}

CTavirelApp* TheApp() { return g_app; }

CTavirelApp::CTavirelApp() { g_app = this; }

CTavirelApp::~CTavirelApp() {
  if (instanceMutex_) CloseHandle(instanceMutex_);
  if (g_app == this) g_app = nullptr;
}

std::u16string CTavirelApp::ProgramPath() {
  std::vector<wchar_t> buf(MAX_PATH);
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
    if (n == 0) return {};
    if (n < buf.size()) return std::u16string(buf.begin(), buf.begin() + n);
    if (buf.size() >= 32768) return {};
    buf.resize(buf.size() * 2);
  }
}

// One copy per user and session: a mutex in the session's namespace named
// after the user's SID. Creating it is atomic, so of two copies started
// together exactly one runs; an elevated copy holds the same name (a copy
// that may not even open it counts as finding another copy). A copy started
// to take over waits a while for the old one to end.
bool CTavirelApp::TakeInstanceMutex() {
  const std::u16string name = InstanceMutexName(CurrentUserSid());
  const bool takeOver = HasSwitch(arguments_, kTakeOverSwitch) || HasSwitch(arguments_, u"/Update");
  const DWORD start = GetTickCount();
  for (;;) {
    HANDLE mutex = CreateMutexW(nullptr, TRUE, W(name));
    const DWORD error = GetLastError();
    if (mutex != nullptr && error != ERROR_ALREADY_EXISTS) {
      instanceMutex_ = mutex;
      return true;
    }
    if (mutex != nullptr && takeOver) {
      // Ours once the old copy releases it or ends (abandoned).
      const DWORD left = kTakeOverWaitMs - std::min<DWORD>(GetTickCount() - start, kTakeOverWaitMs);
      const DWORD r = WaitForSingleObject(mutex, left);
      if (r == WAIT_OBJECT_0 || r == WAIT_ABANDONED) {
        instanceMutex_ = mutex;
        return true;
      }
    }
    if (mutex) CloseHandle(mutex);
    if (!takeOver || GetTickCount() - start >= kTakeOverWaitMs) return false;
    Sleep(100);  // the elevated old copy's mutex, which we may not open
  }
}

bool CTavirelApp::StartUp(HINSTANCE instance) {
  instance_ = instance;
  arguments_ = CommandLineArguments();
  if (!TakeInstanceMutex()) return false;

  INITCOMMONCONTROLSEX icc{sizeof icc, 0xFF};
  InitCommonControlsEx(&icc);
  SetKeyNamer(SystemKeyName);

  desktop_ = std::make_unique<CWinDesktop>();
  service_ = std::make_unique<CInputMethodService>(desktop_.get());
  // Errors are the developer's business: they go to the debugger output.
  service_->Error.AddFn([](const std::exception& e) {
    std::u16string text = u"Tavirel: " + Utf8ToUtf16(e.what()) + u"\n";
    OutputDebugStringW(W(text));
  });

  // Settings, and the data the options need, are read before the hook
  // thread runs; nothing is read from a file inside the hook.
  ChooseSettingsFolderForProgram();
  // The suggestion popup is made by the hook thread when it first shows.
  service_->UsedKeywordsPath = SettingsFilePath(u"Suggestion_UsedKeywords.dat");
  service_->SetSuggestionWindowFactory(
      [](CInputMethodService& s) -> std::unique_ptr<ISuggestionWindow> { return std::make_unique<CSuggestionUI>(s); });
  settings_ = std::make_unique<CSettings>(*service_, options_, SettingsFolder());
  settings_->Load(HasSwitch(arguments_, u"/RunAtLogin"));

  tray_ = std::make_unique<CTrayWindow>(*this);
  if (!tray_->Create()) return false;
  SetShellRequests(tray_.get());
  // Raised on the hook thread: only posts reach the tray window.
  const HWND tray = tray_->Handle();
  service_->ModeChanged.AddFn([tray](CInputMethodService*) { PostMessageW(tray, CTrayWindow::kStateChanged, 0, 0); });
  service_->CodeConversionRequested.AddFn(
      [tray](CInputMethodService*) { PostMessageW(tray, CTrayWindow::kQuickConversion, 0, 0); });
  service_->ActionExecuted.AddFn([tray](CHotKeyActionBase* base) {
    const auto* action = dynamic_cast<const CHotKeyAction*>(base);
    if (action == nullptr) return;
    auto* b = new CTrayWindow::Balloon{action->GetDisplayName() + u"\n" + action->GetParamText(),
                                       FormatKeyCombo(action->Key)};
    if (!PostMessageW(tray, CTrayWindow::kBalloon, 0, reinterpret_cast<LPARAM>(b))) delete b;
  });

  StartHookThread(*service_);
  tray_->ShowIcon();

  if (HasSwitch(arguments_, u"/Update")) {
    tray_->ShowBalloon(u"Bạn đang dùng bản " + ProductVersion(), u"Đã update xong", CSystemTray::kInfo);
  }
  if (!settings_->OverlongShorthands().empty()) {
    tray_->ShowBalloon(OverlongShorthandsMessage(settings_->OverlongShorthands()), u"Tavirel", CSystemTray::kWarning);
  }
  if (settings_->OptionsStatus() == SettingsFileStatus::Unreadable) {
    tray_->ShowBalloon(u"Không đọc được " + settings_->OptionsPath() +
                           u". Tavirel dùng các lựa chọn mặc định và không ghi đè tập tin này.",
                       u"Tavirel", CSystemTray::kWarning);
  }
  return true;
}

int CTavirelApp::ShutDown() {
  SetShellRequests(nullptr);
  StopHookThread();
  InvokerWindow().Destroy();
  if (service_) {
    if (settings_ && settings_->SaveOptions(SaveKind::Automatic) == SaveResult::Failed) {
      const std::u16string text = u"Không lưu được các lựa chọn vào " + settings_->OptionsPath();
      MessageBoxW(nullptr, W(text), L"Tavirel", MB_OK | MB_ICONERROR);
    }
    tray_.reset();
    settings_.reset();
    service_.reset();
  }
  if (instanceMutex_) {
    ReleaseMutex(instanceMutex_);
    CloseHandle(instanceMutex_);
    instanceMutex_ = nullptr;
  }
  return 0;
}

bool CTavirelApp::IsRunAtLoginRegistered() {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, W(kRunKey), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
  wchar_t value[1024] = {};
  DWORD type = 0;
  DWORD bytes = sizeof value - sizeof(wchar_t);
  const LONG r = RegQueryValueExW(key, W(kRunValueName), nullptr, &type, reinterpret_cast<BYTE*>(value), &bytes);
  RegCloseKey(key);
  if (r != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return false;
  std::u16string text(reinterpret_cast<const char16_t*>(value), bytes / sizeof(wchar_t));
  while (!text.empty() && text.back() == 0) text.pop_back();
  return IsOwnRunAtLoginCommand(text, ProgramPath());
}

bool CTavirelApp::SetRunAtLogin(bool on) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, W(kRunKey), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
      ERROR_SUCCESS) {
    return false;
  }
  LONG r;
  if (on) {
    const std::u16string command = RunAtLoginCommand(ProgramPath());
    r = RegSetValueExW(key, W(kRunValueName), 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                       static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
  } else {
    r = RegDeleteValueW(key, W(kRunValueName));
    if (r == ERROR_FILE_NOT_FOUND) r = ERROR_SUCCESS;
  }
  RegCloseKey(key);
  return r == ERROR_SUCCESS;
}

bool CTavirelApp::CanRestartAsAdministrator() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return true;
  TOKEN_ELEVATION_TYPE type = TokenElevationTypeDefault;
  DWORD size = 0;
  const bool read = GetTokenInformation(token, TokenElevationType, &type, sizeof type, &size) != FALSE;
  CloseHandle(token);
  return read && type == TokenElevationTypeLimited;
}

bool CTavirelApp::RestartAsAdministrator() {
  const std::u16string path = ProgramPath();
  const std::u16string params(kTakeOverSwitch);
  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_NOASYNC;
  info.lpVerb = L"runas";
  info.lpFile = W(path);
  info.lpParameters = W(params);
  info.nShow = SW_SHOWNORMAL;
  // Declined or failed: this copy keeps running as it was.
  if (!ShellExecuteExW(&info)) return false;
  if (tray_) DestroyWindow(tray_->Handle());
  return true;
}

}  // namespace tavirel
