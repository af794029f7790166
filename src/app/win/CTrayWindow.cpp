#include "app/win/CTrayWindow.h"

#include <wtsapi32.h>

#include <chrono>
#include <climits>
#include <memory>
#include <vector>
#include <functional>

#include "app/HotKeyActions.h"
#include "app/win/CGoTatDlg.h"
#include "app/win/CMainDlg.h"
#include "app/win/CPhimTatDlg.h"
#include "app/win/CTaoTuGoTatDlg.h"
#include "app/win/CUngDungDlg.h"
#include "app/win/CChuyenMaDlg.h"
#include "app/win/ClipboardConversion.h"
#include "app/win/CTavirelApp.h"
#include "app/win/resource.h"
#include "service/CInputMethodService.h"
#include "service/CTypingContext.h"
#include "service/win/CHookThread.h"
#include "spelling/CTuDien.h"
#include "tables/CBangMa.h"
#include "tables/CKieuGo.h"

namespace tavirel {

namespace {

constexpr UINT_PTR kForegroundTimer = 1;
constexpr UINT kForegroundCheckMs = 1000;
constexpr UINT_PTR kWatchdogTimer = 2;
constexpr UINT kWatchdogCheckMs = 1000;

enum Window { kWinMain, kWinConversion, kWinShorthand, kWinHotkeys, kWinCreateShorthand, kWinAppRules, kWindowKinds };

const wchar_t* W(const std::u16string& s) { return reinterpret_cast<const wchar_t*>(s.c_str()); }

WindowRef RefOf(HWND window) {
  DWORD process = 0;
  wchar_t name[64] = {};
  if (window) {
    GetWindowThreadProcessId(window, &process);
    GetClassNameW(window, name, 64);
  }
  return {reinterpret_cast<std::uintptr_t>(window), process, IsTaskbarClass(reinterpret_cast<const char16_t*>(name))};
}

// The one tray window, for the foreground events (main thread only).
CTrayWindow* g_foregroundWatcher = nullptr;

// The integrity level of a process's token; -1 when it cannot be read.
long IntegrityOf(HANDLE process) {
  HANDLE token = nullptr;
  if (!OpenProcessToken(process, TOKEN_QUERY, &token)) return -1;
  long level = -1;
  DWORD size = 0;
  GetTokenInformation(token, TokenIntegrityLevel, nullptr, 0, &size);
  std::vector<BYTE> buf(size ? size : 1);
  if (size && GetTokenInformation(token, TokenIntegrityLevel, buf.data(), size, &size)) {
    auto* label = reinterpret_cast<TOKEN_MANDATORY_LABEL*>(buf.data());
    const DWORD count = *GetSidSubAuthorityCount(label->Label.Sid);
    if (count > 0) level = static_cast<long>(*GetSidSubAuthority(label->Label.Sid, count - 1));
  }
  CloseHandle(token);
  return level;
}

}  // namespace

struct CTrayWindow::Snapshot {
  bool On = true;
  KeyCombo PhimChuyen = CInputMethodService::kDefaultPhimChuyen;
  TrayMenuState Menu;
  std::u16string AppRule;  // the focus program's rule, as the tooltip says it
};

CTrayWindow::CTrayWindow(CTavirelApp& app) : app_(app) {}

CTrayWindow::~CTrayWindow() {
  if (hwnd_) DestroyWindow(hwnd_);
  if (iconOn_) DestroyIcon(iconOn_);
  if (iconOff_) DestroyIcon(iconOff_);
}

bool CTrayWindow::Create() {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = WndProc;
  wc.hInstance = app_.Instance();
  wc.lpszClassName = kClassName;
  wc.hIcon = LoadIconW(app_.Instance(), MAKEINTRESOURCEW(IDI_APP));
  RegisterClassExW(&wc);
  // A hidden top-level window, not message-only: "TaskbarCreated" is
  // broadcast to top-level windows, and WM_CLOSE from outside (taskkill
  // without /f) must reach it.
  hwnd_ = CreateWindowExW(WS_EX_TOOLWINDOW, kClassName, L"Tavirel", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                          app_.Instance(), this);
  if (!hwnd_) return false;
  updater_ = std::make_unique<CUpdater>(hwnd_, kUpdate, [this](const std::u16string& text, const std::u16string& title,
                                                               CSystemTray::BalloonIcon icon) {
    tray_.ShowBalloon(text, title, icon);
  });
  taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");
  // The end-to-end tests take the hooks away as Windows does; only a
  // program started for them listens.
  if (GetEnvironmentVariableW(L"TAVIREL_E2E_DROP_HOOKS", nullptr, 0) > 0)
    dropHooks_ = RegisterWindowMessageW(L"TavirelDropHooks");
  WTSRegisterSessionNotification(hwnd_, NOTIFY_FOR_THIS_SESSION);
  // Where the user was before a click on the icon brought the taskbar in
  // front: the events come through this thread's message loop.
  g_foregroundWatcher = this;
  foregroundEvents_ = SetWinEventHook(EVENT_SYSTEM_FOREGROUND, EVENT_SYSTEM_FOREGROUND, nullptr, OnForegroundEvent, 0,
                                      0, WINEVENT_OUTOFCONTEXT);
  // The watchdog's witness of keys the keyboard hook should have seen: the
  // keyboard's raw input, in the background too. Without it the watchdog
  // goes by the system's last input time alone.
  RAWINPUTDEVICE keyboard{};
  keyboard.usUsagePage = 0x01;  // generic desktop controls
  keyboard.usUsage = 0x06;      // keyboard
  keyboard.dwFlags = RIDEV_INPUTSINK;
  keyboard.hwndTarget = hwnd_;
  rawKeys_ = RegisterRawInputDevices(&keyboard, 1, sizeof keyboard) != FALSE;
  const int small = GetSystemMetrics(SM_CXSMICON);
  iconOn_ = static_cast<HICON>(LoadImageW(app_.Instance(), MAKEINTRESOURCEW(IDI_ON), IMAGE_ICON, small, small, 0));
  iconOff_ = static_cast<HICON>(LoadImageW(app_.Instance(), MAKEINTRESOURCEW(IDI_OFF), IMAGE_ICON, small, small, 0));
  return true;
}

void CTrayWindow::ShowIcon() {
  const Snapshot s = Read();
  tray_.Create(hwnd_, s.On ? iconOn_ : iconOff_,
               TrayTooltip(s.On, s.PhimChuyen, s.Menu.TypingMethod, s.Menu.CodeTable, foregroundBlocked_, s.AppRule));
  SetTimer(hwnd_, kForegroundTimer, kForegroundCheckMs, nullptr);
  SetTimer(hwnd_, kWatchdogTimer, kWatchdogCheckMs, nullptr);
}

void CTrayWindow::CheckHooks() {
  LASTINPUTINFO last{};
  last.cbSize = sizeof last;
  if (!GetLastInputInfo(&last)) return;
  HookWatchdogInput in;
  in.Now = GetTickCount();
  in.LastInput = last.dwTime;
  in.LastKeyEvent = LastKeyboardHookEvent();
  in.LastMouseEvent = LastMouseHookEvent();
  // Keys for a window above Tavirel reach no hook of ours.
  in.HooksWanted = KeyboardHookInstalled() && HookThreadId() != 0 && !foregroundBlocked_;
  in.MouseHookIn = MouseHookInstalled();
  in.LastRawKey = lastRawKey_;
  switch (watchdog_.Check(in)) {
    case WatchdogAction::Probe:
      watchdog_.ProbeSent(in.Now, SendHookProbe());
      break;
    case WatchdogAction::Reinstall:
      ReinstallHooks();
      if (watchdog_.TakeNotice())
        tray_.ShowBalloon(u"Windows đã gỡ hook bàn phím của Tavirel vì máy bận; Tavirel đã cài lại, gõ tiếp được.",
                          u"Tavirel", CSystemTray::kWarning);
      break;
    case WatchdogAction::None:
      break;
  }
}

CTrayWindow::Snapshot CTrayWindow::Read() {
  auto read = [](CInputMethodService& s) {
    Snapshot snap;
    snap.On = s.IsVietnamese();
    snap.PhimChuyen = s.PhimChuyen();
    TrayMenuState& m = snap.Menu;
    m.TypingMethod = s.TypingMethod();
    m.CodeTable = s.CodeTable();
    m.Suggestion = s.SuggestionsOn();
    const CTypingContext& c = s.Context();
    m.GoTat = c.GoTat;
    m.GoTatPAD = c.GoTatPAD;
    m.GoTatPAC = c.GoTatPAC;
    m.SuaLoiTuDon = c.SuaLoiChinhTaTuDon;
    m.SuaLoiTuGhep = c.SuaLoiChinhTaTuGhep;
    m.DungTuDien = c.DungTuDienDeKTChinhTa;
    m.Clipboard = s.Clipboard;
    if (const AppRule* rule = s.AppRules().Find(s.RuledProgram())) snap.AppRule = AppRuleTooltipLine(*rule);
    return snap;
  };
  static Snapshot last;
  if (auto snap = app_.Service().Dispatcher().Call(read, std::chrono::milliseconds(500))) last = *snap;
  return last;
}

void CTrayWindow::UpdateState() {
  const Snapshot s = Read();
  tray_.SetIcon(s.On ? iconOn_ : iconOff_);
  tray_.SetTooltip(TrayTooltip(s.On, s.PhimChuyen, s.Menu.TypingMethod, s.Menu.CodeTable, foregroundBlocked_, s.AppRule));
}

void CTrayWindow::ShowBalloon(const std::u16string& text, const std::u16string& title,
                              CSystemTray::BalloonIcon icon) {
  tray_.ShowBalloon(text, title, icon);
}

void CTrayWindow::ShowMainDialog() { PostMessageW(hwnd_, kShowWindow, kWinMain, 0); }
void CTrayWindow::ShowConversionDialog() { PostMessageW(hwnd_, kShowWindow, kWinConversion, 0); }
void CTrayWindow::ShowCreateShorthandDialog() { PostMessageW(hwnd_, kShowWindow, kWinCreateShorthand, 0); }

void CALLBACK CTrayWindow::OnForegroundEvent(HWINEVENTHOOK, DWORD, HWND window, LONG object, LONG, DWORD, DWORD) {
  if (object == OBJID_WINDOW && window && g_foregroundWatcher) g_foregroundWatcher->foreground_.Noticed(RefOf(window));
}

LRESULT CALLBACK CTrayWindow::WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* self = static_cast<CTrayWindow*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    self->hwnd_ = hwnd;
  }
  auto* self = reinterpret_cast<CTrayWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcW(hwnd, msg, wp, lp);
  return self->Handle(msg, wp, lp);
}

LRESULT CTrayWindow::Handle(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == dropHooks_ && dropHooks_ != 0) {
    DropHooksSilently();
    return 0;
  }
  if (msg == taskbarCreated_ && taskbarCreated_ != 0) {
    if (tray_.ReAddIcon()) UpdateState();
    return 0;
  }
  switch (msg) {
    case CSystemTray::kCallbackMessage:
      if (wp == CSystemTray::kIconId) OnTrayNotification(lp);
      return 0;
    case kStateChanged:
      OnStateChanged();
      return 0;
    case kBalloon: {
      std::unique_ptr<Balloon> b(reinterpret_cast<Balloon*>(lp));
      if (b) tray_.ShowBalloon(b->Text, b->Title, CSystemTray::kInfo);
      return 0;
    }
    case kShowWindow:
      OpenWindow(static_cast<int>(wp));
      return 0;
    case kQuickConversion:
      OnCommand(traycmd::kQuickConversion);
      return 0;
    case kUpdate:
      if (updater_) updater_->OnMessage(wp, lp);
      return 0;
    case WM_COMMAND:
      OnCommand(LOWORD(wp));
      return 0;
    case WM_INPUT: {
      // When the key came (not when this busy thread got to it); the input
      // itself is left to the system.
      const DWORD now = GetTickCount();
      const DWORD at = static_cast<DWORD>(GetMessageTime());
      lastRawKey_ = now - at <= kWatchdogCheckMs * 10 ? at : now;
      if (lastRawKey_ == 0) lastRawKey_ = 1;
      return DefWindowProcW(hwnd_, msg, wp, lp);
    }
    case WM_TIMER:
      if (wp == kForegroundTimer) CheckForeground();
      if (wp == kWatchdogTimer) CheckHooks();
      return 0;
    case WM_QUERYENDSESSION: {
      // The popup's look as the user left it, from the hook thread.
      app_.Service().Dispatcher().Call([](CInputMethodService& s) { s.KeepSuggestionLook(); },
                                       std::chrono::milliseconds(500));
      const SaveResult r = app_.Settings().SaveOptions(SaveKind::Automatic);
      ReportSave(static_cast<int>(r), app_.Settings().OptionsPath());
      return TRUE;
    }
    case WM_POWERBROADCAST:
      if (wp == PBT_APMSUSPEND) RemoveHooks(app_.Service());
      if (wp == PBT_APMRESUMEAUTOMATIC) StartHookThread(app_.Service());
      return TRUE;
    case WM_WTSSESSION_CHANGE:
      if (wp == WTS_SESSION_LOCK) RemoveHooks(app_.Service());
      if (wp == WTS_SESSION_UNLOCK) StartHookThread(app_.Service());
      return 0;
    case WM_CLOSE:
      DestroyWindow(hwnd_);
      return 0;
    case WM_DESTROY:
      KillTimer(hwnd_, kForegroundTimer);
      KillTimer(hwnd_, kWatchdogTimer);
      WTSUnRegisterSessionNotification(hwnd_);
      if (foregroundEvents_) UnhookWinEvent(foregroundEvents_);
      foregroundEvents_ = nullptr;
      g_foregroundWatcher = nullptr;
      if (rawKeys_) {
        RAWINPUTDEVICE keyboard{0x01, 0x06, RIDEV_REMOVE, nullptr};
        RegisterRawInputDevices(&keyboard, 1, sizeof keyboard);
      }
      tray_.RemoveIcon();
      PostQuitMessage(0);
      return 0;
    case WM_NCDESTROY:
      SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
      hwnd_ = nullptr;
      return 0;
    default:
      return DefWindowProcW(hwnd_, msg, wp, lp);
  }
}

void CTrayWindow::OnTrayNotification(LPARAM mouse) {
  switch (LOWORD(mouse)) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      // Counted, not flagged: a double click's second switch may come
      // after the tray has already seen the double click.
      ++clicks_;
      app_.Service().Dispatcher().Post([](CInputMethodService& s) { s.SetVietnamese(!s.IsVietnamese()); });
      if (LOWORD(mouse) == WM_LBUTTONDBLCLK) {
        foreground_.BeforeTrayInFront(RefOf(GetForegroundWindow()));
        SetForegroundWindow(hwnd_);
        PostMessageW(hwnd_, WM_COMMAND, traycmd::kMainDialog, 0);
      }
      break;
    case WM_RBUTTONUP:
    case WM_CONTEXTMENU:
      ShowMenu();
      break;
    default:
      break;
  }
}

void CTrayWindow::ShowMenu() {
  Snapshot s = Read();
  s.Menu.TypingMethods = GetTypingMethodNames();
  s.Menu.CodeTables = GetCodeTableNames();
  s.Menu.OfferRestartAsAdmin = CTavirelApp::CanRestartAsAdministrator();
  menuMethods_ = s.Menu.TypingMethods;
  menuTables_ = s.Menu.CodeTables;
  std::function<HMENU(const std::vector<TrayMenuItem>&)> build = [&](const std::vector<TrayMenuItem>& items) {
    HMENU menu = CreatePopupMenu();
    for (const TrayMenuItem& item : items) {
      if (item.IsSeparator()) {
        AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
      } else if (!item.Popup.empty() || item.Command == 0) {
        AppendMenuW(menu, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(build(item.Popup)), W(item.Text));
      } else {
        AppendMenuW(menu, MF_STRING | (item.Checked ? MF_CHECKED : 0), item.Command, W(item.Text));
        if (item.Default) SetMenuDefaultItem(menu, item.Command, FALSE);
      }
    }
    return menu;
  };
  HMENU menu = build(BuildTrayMenu(s.Menu));
  POINT at{};
  GetCursorPos(&at);
  // The menu closes when the user clicks elsewhere only if our window is in
  // front while it shows.
  foreground_.BeforeTrayInFront(RefOf(GetForegroundWindow()));
  SetForegroundWindow(hwnd_);
  TrackPopupMenu(menu, TPM_LEFTBUTTON | TPM_RIGHTALIGN | TPM_BOTTOMALIGN, at.x, at.y, 0, hwnd_, nullptr);
  PostMessageW(hwnd_, WM_NULL, 0, 0);
  DestroyMenu(menu);
}

void CTrayWindow::OnCommand(uint16_t command) {
  const TrayChoice choice = DecodeTrayCommand(command, menuMethods_.size(), menuTables_.size());
  CServiceDispatcher& d = app_.Service().Dispatcher();
  if (choice.What == TrayChoice::kTypingMethod) {
    const std::u16string name = menuMethods_[choice.Index];
    d.Post([name](CInputMethodService& s) { s.SetTypingMethod(name); });
    UpdateState();
    return;
  }
  if (choice.What == TrayChoice::kCodeTable) {
    const std::u16string name = menuTables_[choice.Index];
    d.Post([name](CInputMethodService& s) { s.SetCodeTable(name); });
    UpdateState();
    return;
  }
  using namespace traycmd;
  switch (command) {
    case kSuggestion: d.Post([](CInputMethodService& s) { s.EnableSuggestions(!s.SuggestionsOn()); }); break;
    case kGoTat: d.Post([](CInputMethodService& s) { s.Context().GoTat = !s.Context().GoTat; }); break;
    case kGoTatPAD:
      d.Post([](CInputMethodService& s) { s.Context().SetInitialShorthand(!s.Context().GoTatPAD); });
      break;
    case kGoTatPAC:
      d.Post([](CInputMethodService& s) { s.Context().SetFinalShorthand(!s.Context().GoTatPAC); });
      break;
    case kSuaLoiTuDon:
      // The dictionary is read here, while no option that reads it is on.
      if (CTuDien::Instance().Empty()) CTuDien::Load();
      d.Post([](CInputMethodService& s) { s.Context().SuaLoiChinhTaTuDon = !s.Context().SuaLoiChinhTaTuDon; });
      break;
    case kSuaLoiTuGhep:
      d.Post([](CInputMethodService& s) { s.Context().SetSuaLoiChinhTaTuGhep(!s.Context().SuaLoiChinhTaTuGhep); });
      break;
    case kDungTuDien:
      if (CTuDien::Instance().Empty()) CTuDien::Load();
      d.Post([](CInputMethodService& s) {
        s.Context().DungTuDienDeKTChinhTa = !s.Context().DungTuDienDeKTChinhTa;
      });
      break;
    case kClipboard: d.Post([](CInputMethodService& s) { s.Clipboard = !s.Clipboard; }); break;
    case kSaveNow: SaveNow(); break;
    case kRestartAsAdmin: app_.RestartAsAdministrator(); break;
    case kMainDialog: OpenWindow(kWinMain); break;
    case kConversionDialog: OpenWindow(kWinConversion); break;
    case kShorthandEditor: OpenWindow(kWinShorthand); break;
    case kHotkeyEditor: OpenWindow(kWinHotkeys); break;
    case kAppRules: OpenWindow(kWinAppRules); break;
    case kCheckUpdate: updater_->Check(); break;
    // Named in full: the window message of the same name would win here.
    case traycmd::kQuickConversion:
      ShowConversionBalloon(*this, ConvertClipboardFor(app_.Options().Conversion, hwnd_));
      break;
    case kExit: DestroyWindow(hwnd_); break;
    default: break;
  }
}

void CTrayWindow::OpenWindow(int which) {
  if (which < 0 || which >= kWindowKinds) return;
  if (openWindows_[which]) return BringForward(openWindows_[which]->Window());
  const WindowRef back = foreground_.Opening(RefOf(GetForegroundWindow()), reinterpret_cast<std::uintptr_t>(hwnd_));
  SetForegroundWindow(hwnd_);
  RunWindow(which);
  GiveForegroundBack(back);
}

void CTrayWindow::GiveForegroundBack(WindowRef back) {
  HWND window = reinterpret_cast<HWND>(back.Window);
  const WindowRef now = back.Window != 0 && IsWindow(window) ? RefOf(window) : WindowRef{};
  if (foreground_.GiveBack(back, now, RefOf(GetForegroundWindow()))) SetForegroundWindow(window);
}

void CTrayWindow::RunWindow(int which) {
  if (which == kWinCreateShorthand) return CTaoTuGoTatDlg::Run(app_, hwnd_);  // several may be open
  CDialogWatch watch(hwnd_);
  openWindows_[which] = &watch;
  if (which == kWinShorthand) CGoTatDlg::Run(app_, hwnd_);
  if (which == kWinHotkeys) CPhimTatDlg::Run(app_, hwnd_);
  if (which == kWinAppRules) CUngDungDlg::Run(app_, hwnd_);
  if (which == kWinMain) CMainDlg(app_).Run(hwnd_);
  if (which == kWinConversion) {
    CChuyenMaDlg(app_.Instance(), app_.Options().Conversion, [this](const ConversionBalloon& b) {
      ShowConversionBalloon(*this, b);
    }).Run(hwnd_);
  }
  openWindows_[which] = nullptr;
}

void CTrayWindow::BringForward(HWND dialog) {
  if (!dialog) return;  // still being made, or closing
  if (IsIconic(dialog)) ShowWindow(dialog, SW_RESTORE);
  // What the user works in: an editor the dialog opened over itself, if any.
  HWND popup = GetLastActivePopup(dialog);
  SetForegroundWindow(popup && IsWindowEnabled(popup) ? popup : dialog);
}

void CTrayWindow::OnStateChanged() {
  if (clicks_ > 0) {
    --clicks_;
  } else {
    Beep();
  }
  UpdateState();
}

void CTrayWindow::Beep() {
  // For a debugger (and the end-to-end tests): the beep itself cannot be heard there.
  OutputDebugStringA("Tavirel beep\n");
  MessageBeep(MB_OK);
}

void CTrayWindow::SaveNow() {
  const SaveResult r = app_.Settings().SaveOptions(SaveKind::Explicit);
  ReportSave(static_cast<int>(r), app_.Settings().OptionsPath());
}

void CTrayWindow::ReportSave(int result, const std::u16string& path) {
  if (static_cast<SaveResult>(result) != SaveResult::Failed) return;
  tray_.ShowBalloon(u"Không lưu được các lựa chọn vào " + path, u"Tavirel", CSystemTray::kError);
}

void CTrayWindow::CheckForeground() {
  static const long own = IntegrityOf(GetCurrentProcess());
  bool blocked = false;
  HWND fg = GetForegroundWindow();
  foreground_.Noticed(RefOf(fg));  // should an event have been missed
  if (fg) {
    DWORD pid = 0;
    GetWindowThreadProcessId(fg, &pid);
    if (pid != 0 && pid != GetCurrentProcessId()) {
      HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
      // A process we may not even query runs above us.
      const long level = process ? IntegrityOf(process) : GetLastError() == ERROR_ACCESS_DENIED ? LONG_MAX : -1;
      if (process) CloseHandle(process);
      blocked = own >= 0 && level > own;
    }
  }
  if (blocked != foregroundBlocked_) {
    foregroundBlocked_ = blocked;
    UpdateState();
  }
}

}  // namespace tavirel
