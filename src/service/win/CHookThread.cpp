#include "service/win/CHookThread.h"

#include <process.h>

#include <atomic>
#include <exception>
#include <memory>
#include <stdexcept>
#include <string>

#include "service/CInputMethodService.h"
#include "service/HookLogic.h"
#include "service/win/CInvokerWnd.h"
#include "service/win/CWinDesktop.h"

namespace tavirel {

namespace {

// Thread message to the hook thread: run the changes posted through the
// service's dispatcher (until the thread's timer window exists). Installing
// the hooks again, after a stop or after Windows took them away, goes as
// such a change too: a modal loop on the hook thread drops thread messages.
constexpr UINT kMsgRunChanges = WM_APP + 0x55;
// The watchdog's probe: a key-up of an unassigned virtual key, swallowed by
// the keyboard hook.
constexpr ULONG_PTR kProbeMarker = 0x54564C50;  // "TVLP"
constexpr WORD kProbeKey = 0x88;
constexpr DWORD kStartTimeoutMs = 5000;

struct FrontEnd {
  std::atomic<HHOOK> keyboardHook{nullptr};
  std::atomic<HHOOK> mouseHook{nullptr};
  std::unique_ptr<CHookThread> thread;  // the current hook thread
  CInvokerWnd invoker;
  // Answer of the hook thread to a start or install request.
  HANDLE answered = nullptr;
  std::atomic<bool> installed{false};
  // When each hook last saw an event (GetTickCount), for the watchdog.
  std::atomic<DWORD> lastKeyEvent{0};
  std::atomic<DWORD> lastMouseEvent{0};
};

FrontEnd& Fe() {
  static FrontEnd fe;
  return fe;
}

struct HookTimes {
  static constexpr size_t kCapacity = 65536;
  std::atomic<bool> on{false};
  std::atomic<size_t> count{0};
  LONGLONG ticks[kCapacity] = {};
};

HookTimes& Times() {
  static HookTimes times;
  return times;
}

HookVerdict KeyVerdict(CInputMethodService& service, uint16_t vk, bool down) {
  try {
    return CHookLogic::OnKeyEvent(service, vk, down);
  } catch (...) {
    return HookVerdict::Pass;  // never let an exception leave a hook
  }
}

LRESULT CALLBACK KeyboardProc(int code, WPARAM wp, LPARAM lp) {
  if (code >= 0) {
    auto* kb = reinterpret_cast<KBDLLHOOKSTRUCT*>(lp);
    Fe().lastKeyEvent.store(GetTickCount(), std::memory_order_relaxed);
    if (kb->dwExtraInfo == kProbeMarker && kb->vkCode == kProbeKey) return 1;
    CInputMethodService* service = CInputMethodService::Instance();
    // Events marked by Tavirel are its own, whether they come back during
    // SendInput or later.
    if (service && kb->dwExtraInfo != kInjectedMarker) {
      // Up or down comes from the message: a Unicode packet's key-up can
      // arrive without the up flag.
      const bool down = wp == WM_KEYDOWN || wp == WM_SYSKEYDOWN;
      const bool up = wp == WM_KEYUP || wp == WM_SYSKEYUP;
      if (down || up) {
        HookVerdict verdict = HookVerdict::Pass;
        HookTimes& times = Times();
        if (times.on.load(std::memory_order_relaxed)) [[unlikely]] {
          LARGE_INTEGER start, end;
          QueryPerformanceCounter(&start);
          verdict = KeyVerdict(*service, static_cast<uint16_t>(kb->vkCode), down);
          QueryPerformanceCounter(&end);
          const size_t i = times.count.load(std::memory_order_relaxed);
          if (i < HookTimes::kCapacity) {
            times.ticks[i] = end.QuadPart - start.QuadPart;
            times.count.store(i + 1, std::memory_order_release);
          }
        } else {
          verdict = KeyVerdict(*service, static_cast<uint16_t>(kb->vkCode), down);
        }
        if (verdict == HookVerdict::Swallow) return 1;
        if (verdict == HookVerdict::PassWithZeroKey) kb->vkCode = 0;
      }
    }
  }
  return CallNextHookEx(Fe().keyboardHook.load(), code, wp, lp);
}

LRESULT CALLBACK MouseProc(int code, WPARAM wp, LPARAM lp) {
  if (code >= 0) {
    auto* ms = reinterpret_cast<MSLLHOOKSTRUCT*>(lp);
    Fe().lastMouseEvent.store(GetTickCount(), std::memory_order_relaxed);
    CInputMethodService* service = CInputMethodService::Instance();
    if (service && ms->dwExtraInfo != kInjectedMarker) {
      try {
        CHookLogic::OnMouseEvent(*service, static_cast<uint32_t>(wp),
                                 DesktopPoint{ms->pt.x, ms->pt.y});
      } catch (...) {
      }
    }
  }
  return CallNextHookEx(Fe().mouseHook.load(), code, wp, lp);
}

std::string HookError(const char* what) {
  return std::string(what) + " (mã lỗi " + std::to_string(GetLastError()) + ")";
}

// InstallHooks with the failure raised on the service's error event.
bool TryInstallHooks(CInputMethodService& service) {
  try {
    InstallHooks(service);
    return true;
  } catch (const std::exception& e) {
    service.Error.Raise(e);
    return false;
  }
}

// On the hook thread, after Windows took a hook away: its handle is stale,
// so both are put in anew. Hooks taken down on purpose in the meantime stay
// down.
void Reinstall(CInputMethodService& service) {
  FrontEnd& fe = Fe();
  if (!fe.keyboardHook.load()) return;
  if (HHOOK h = fe.keyboardHook.exchange(nullptr)) UnhookWindowsHookEx(h);
  if (HHOOK h = fe.mouseHook.exchange(nullptr)) UnhookWindowsHookEx(h);
  TryInstallHooks(service);
}

void DropSilently() {
  FrontEnd& fe = Fe();
  if (HHOOK h = fe.keyboardHook.load()) UnhookWindowsHookEx(h);
  if (HHOOK h = fe.mouseHook.load()) UnhookWindowsHookEx(h);
}

void Answer(bool ok) {
  Fe().installed.store(ok);
  if (Fe().answered) SetEvent(Fe().answered);
}

}  // namespace

// ---- CHookThread ----

CHookThread::CHookThread(CInputMethodService& service, CWinDesktop& desktop)
    : service_(service), desktop_(desktop) {}

CHookThread::~CHookThread() {
  if (thread_) CloseHandle(thread_);
}

bool CHookThread::Start() {
  unsigned id = 0;
  auto handle = _beginthreadex(nullptr, 0, &CHookThread::ThreadMain, this, CREATE_SUSPENDED, &id);
  if (!handle) return false;
  thread_ = reinterpret_cast<HANDLE>(handle);
  threadId_ = id;
  SetThreadPriority(thread_, THREAD_PRIORITY_NORMAL);
  ResumeThread(thread_);
  return true;
}

bool CHookThread::IsRunning() const {
  return thread_ && WaitForSingleObject(thread_, 0) == WAIT_TIMEOUT;
}

void CHookThread::Stop(DWORD timeoutMs) {
  if (!IsRunning()) return;
  PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
  WaitForSingleObject(thread_, timeoutMs);
}

unsigned __stdcall CHookThread::ThreadMain(void* self) {
  static_cast<CHookThread*>(self)->Run();
  return 0;
}

void CHookThread::Run() {
  MSG msg;
  PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);  // the thread's message queue

  // From here on the service belongs to this thread: other threads post
  // their changes, which run from this loop between hook events.
  const DWORD id = GetCurrentThreadId();
  // The wake goes to this thread's timer window once it has one: a modal
  // loop on this thread delivers a window's messages but drops the
  // thread's own, and a lost wake would leave every later change waiting.
  CWinDesktop* desktop = &desktop_;
  service_.Dispatcher().Attach([id, desktop] {
    HWND timer = desktop->TimerWindow();
    if (timer && GetWindowThreadProcessId(timer, nullptr) == id)
      return PostMessageW(timer, CWinDesktop::kMsgRunChanges, 0, 0) != FALSE;
    return PostThreadMessageW(id, kMsgRunChanges, 0, 0) != FALSE;
  });
  service_.ResumeWaitingForAnswers();

  const bool ok = TryInstallHooks(service_);
  Answer(ok);
  if (ok) {
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
      if (msg.hwnd == nullptr && msg.message == kMsgRunChanges) {
        service_.Dispatcher().RunPending();
        continue;
      }
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }

  RemoveHooks(service_);
  // The suggestion popup belongs to this thread and ends with it.
  service_.DropSuggestionWindow();
  // What is still queued runs here; later changes run on their caller.
  service_.Dispatcher().Detach();
  // The timer window goes with this thread: output still waiting for it
  // goes out, and a pending restore runs now rather than never, so the
  // user's clipboard is not lost.
  try {
    service_.StopWaitingForPaste();
    CHookLogic::OnDeferredWork(service_);
  } catch (...) {
  }
  if (service_.RestorePending()) {
    try {
      CHookLogic::OnRestoreTimer(service_);
    } catch (...) {
    }
  }
  desktop_.DestroyTimerWindow();
}

// ---- hook installation ----

void InstallHooks(CInputMethodService& service) {
  FrontEnd& fe = Fe();
  HINSTANCE module = GetModuleHandleW(nullptr);
  if (!fe.keyboardHook.load()) {
    HHOOK h = SetWindowsHookExW(WH_KEYBOARD_LL, KeyboardProc, module, 0);
    if (!h) throw std::runtime_error(HookError("Không cài được hook bàn phím"));
    fe.keyboardHook.store(h);
  }
  service.SyncKeyboardState();
  if (service.EnableMouseHook && !fe.mouseHook.load()) {
    HHOOK h = SetWindowsHookExW(WH_MOUSE_LL, MouseProc, module, 0);
    if (!h) throw std::runtime_error(HookError("Không cài được hook chuột"));
    fe.mouseHook.store(h);
  }
  service.MouseHookInstalled = fe.mouseHook.load() != nullptr;
  if (auto* desktop = dynamic_cast<CWinDesktop*>(&service.Desktop())) {
    if (!desktop->TimerWindow() && !desktop->CreateTimerWindow())
      throw std::runtime_error(HookError("Không tạo được cửa sổ hẹn giờ"));
  }
}

void RemoveHooks(CInputMethodService& service) {
  FrontEnd& fe = Fe();
  if (HHOOK h = fe.keyboardHook.exchange(nullptr)) UnhookWindowsHookEx(h);
  if (HHOOK h = fe.mouseHook.exchange(nullptr)) UnhookWindowsHookEx(h);
  // The service's own record belongs to the hook thread (at once there, or
  // when no hook thread runs).
  service.Dispatcher().Post([](CInputMethodService& s) { s.MouseHookInstalled = false; });
}

void RecordHookTimes(bool on) {
  HookTimes& times = Times();
  if (on) times.count.store(0, std::memory_order_relaxed);
  times.on.store(on, std::memory_order_release);
}

std::vector<double> HookTimesMicroseconds() {
  HookTimes& times = Times();
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  const size_t n = times.count.load(std::memory_order_acquire);
  std::vector<double> result(n);
  for (size_t i = 0; i < n; ++i) result[i] = 1e6 * static_cast<double>(times.ticks[i]) / static_cast<double>(frequency.QuadPart);
  return result;
}

DWORD LastKeyboardHookEvent() { return Fe().lastKeyEvent.load(std::memory_order_relaxed); }
DWORD LastMouseHookEvent() { return Fe().lastMouseEvent.load(std::memory_order_relaxed); }

bool SendHookProbe() {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = kProbeKey;
  in.ki.dwFlags = KEYEVENTF_KEYUP;
  in.ki.dwExtraInfo = kProbeMarker;
  return SendInput(1, &in, sizeof in) == 1;
}

// Runs on the hook thread, as a posted change; false when there is no hook
// thread (a change posted then would run on the caller).
bool PostToHookThread(void (*work)(CInputMethodService&)) {
  CInputMethodService* service = CInputMethodService::Instance();
  return service && HookThreadId() && service->Dispatcher().Post(work);
}

bool ReinstallHooks() { return PostToHookThread(&Reinstall); }

bool DropHooksSilently() {
  return PostToHookThread([](CInputMethodService&) { DropSilently(); });
}

bool KeyboardHookInstalled() { return Fe().keyboardHook.load() != nullptr; }
bool MouseHookInstalled() { return Fe().mouseHook.load() != nullptr; }

CInvokerWnd& InvokerWindow() { return Fe().invoker; }

DWORD HookThreadId() {
  FrontEnd& fe = Fe();
  return fe.thread && fe.thread->IsRunning() ? fe.thread->ThreadId() : 0;
}

bool StartHookThread(CInputMethodService& service) {
  FrontEnd& fe = Fe();
  auto* desktop = dynamic_cast<CWinDesktop*>(&service.Desktop());
  if (!desktop) return false;
  if (!fe.invoker.Handle()) fe.invoker.Create();
  if (!fe.answered) fe.answered = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  if (!fe.answered) return false;
  ResetEvent(fe.answered);

  if (fe.thread && fe.thread->IsRunning()) {
    // The earlier thread keeps its timer window and message loop; it only
    // installs the hooks again (nothing new while they are still in).
    if (!service.Dispatcher().Attached() ||
        !service.Dispatcher().Post([](CInputMethodService& s) { Answer(TryInstallHooks(s)); }))
      return false;
  } else {
    fe.thread = std::make_unique<CHookThread>(service, *desktop);
    if (!fe.thread->Start()) {
      fe.thread.reset();
      return false;
    }
  }
  if (WaitForSingleObject(fe.answered, kStartTimeoutMs) != WAIT_OBJECT_0) return false;
  return fe.installed.load();
}

void StopHookThread() {
  FrontEnd& fe = Fe();
  if (!fe.thread) return;
  if (CInputMethodService* service = CInputMethodService::Instance()) RemoveHooks(*service);
  fe.thread->Stop(kStartTimeoutMs);
  if (!fe.thread->IsRunning()) fe.thread.reset();
}

}  // namespace tavirel
