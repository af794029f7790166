#pragma once
// The hook thread: a thread with its own message loop that installs the
// low-level keyboard and mouse hooks, so that every key and click of the
// desktop reaches the input service on this thread, together with the
// clipboard-restore timer.
//
// The service belongs to this thread while it runs: other threads change it
// through service.Dispatcher(), whose changes this thread's message loop runs
// between hook events (see ServiceDispatcher.h).
//
// One hook thread at a time. After the hooks were removed (session lock,
// suspend), StartHookThread does not start a second thread while the earlier
// one still runs: it asks that thread to install the hooks again. The timer
// window, and any clipboard restore it has pending, therefore stay with a
// thread whose message loop keeps running. A new thread is started only when
// there is none or the earlier one has ended (its timer window ended with it,
// and the new thread makes its own).
#include <windows.h>

#include <vector>

namespace tavirel {

class CInputMethodService;
class CInvokerWnd;
class CWinDesktop;

class CHookThread {
 public:
  CHookThread(CInputMethodService& service, CWinDesktop& desktop);
  ~CHookThread();
  CHookThread(const CHookThread&) = delete;
  CHookThread& operator=(const CHookThread&) = delete;

  // Creates the thread suspended, then resumes it. False when it could not
  // be created.
  bool Start();
  bool IsRunning() const;
  DWORD ThreadId() const { return threadId_; }
  // Asks the thread to end and waits for it at most timeoutMs.
  void Stop(DWORD timeoutMs);

  CInputMethodService& Service() const { return service_; }
  CWinDesktop& Desktop() const { return desktop_; }

 private:
  static unsigned __stdcall ThreadMain(void* self);
  void Run();

  CInputMethodService& service_;
  CWinDesktop& desktop_;
  HANDLE thread_ = nullptr;
  DWORD threadId_ = 0;
};

// Starts the hook thread for the service (whose desktop must be a
// CWinDesktop), creating the invoker window on the calling thread first when
// there is none. Waits until the thread has tried to install the hooks and
// returns whether they are in; a failure has also been raised on the
// service's error event.
bool StartHookThread(CInputMethodService& service);

// On the hook thread: installs the keyboard hook, re-reads the keyboard
// state, installs the mouse hook when EnableMouseHook is on, and creates the
// timer window. A hook already installed is kept. Throws std::runtime_error
// when a hook cannot be installed.
void InstallHooks(CInputMethodService& service);

// From any thread: unhooks both hooks. The hook thread keeps running.
void RemoveHooks(CInputMethodService& service);

// At exit: removes the hooks and ends the hook thread, which first puts back
// a clipboard whose restore is pending.
void StopHookThread();

// Measuring: while on, the time the keyboard hook procedure spends on each
// event that is not Tavirel's own input is kept (the first 65536 events).
void RecordHookTimes(bool on);
// The times kept since recording was last switched on, in microseconds.
std::vector<double> HookTimesMicroseconds();

// When the keyboard and the mouse hook last saw an event (GetTickCount; 0
// before the first).
DWORD LastKeyboardHookEvent();
DWORD LastMouseHookEvent();
// Sends the watchdog's probe, a marked key-up of an unassigned key that the
// keyboard hook swallows: the hook has seen it when LastKeyboardHookEvent
// moves past the time it was sent. False when it could not be sent.
bool SendHookProbe();
// From the main thread: asks the hook thread to install the hooks again,
// which Windows took away (their handles are stale). Hooks taken down on
// purpose before the hook thread gets to it stay down. Does not wait.
bool ReinstallHooks();
// For the end-to-end tests: the hook thread unhooks both hooks and tells no
// one, as Windows does when a hook procedure was too slow.
bool DropHooksSilently();

// Whether the hooks are meant to be in (the handles are kept, even when
// Windows took a hook away without a word).
bool KeyboardHookInstalled();
bool MouseHookInstalled();

// The invoker window of the main thread (created by StartHookThread).
CInvokerWnd& InvokerWindow();

// The running hook thread's id, 0 when none runs.
DWORD HookThreadId();

}  // namespace tavirel
