#pragma once
// The one way to change the input service from another thread.
//
// The service, and everything it reads per key, belongs to the thread that
// runs the hooks (the hook thread). The tray, the dialogs, a settings reload
// or a download on another thread never call its setters directly: they post
// a change, which runs on the hook thread between two key events, in the
// order posted.
//
//   // Fire and forget (a tray click):
//   service.Dispatcher().Post([](CInputMethodService& s) { s.SetVietnamese(!s.IsVietnamese()); });
//
//   // With an answer, waiting at most half a second (a dialog opening):
//   std::optional<std::u16string> method = service.Dispatcher().Call(
//       [](CInputMethodService& s) { return s.TypingMethod(); }, std::chrono::milliseconds(500));
//
// Rules:
// * Post never waits. Call waits at most its timeout for the change to run
//   and gives its result (a void change gives true). On a timeout Call gives
//   nothing and the change is withdrawn: it will never run. A change that
//   had already started when the time ran out is waited for, so a change
//   may refer to the caller's locals.
// * An exception thrown by a posted change is raised on the service's Error
//   event; one thrown by a change run through Call is rethrown by Call.
// * On the hook thread itself (hotkey actions) Post and Call run the change
//   at once: the hook thread never waits for anyone.
// * Do slow work (reading KieuGo.ini, BangMa.ini, dictionaries) on your own
//   thread first, then post a change that installs the result. A change runs
//   inside the hook thread's message loop: keep it short.
// * While no hook thread is attached (start-up before StartHookThread,
//   shutdown after it, single-threaded tools and tests) the caller's thread
//   owns the service: Post and Call run the change at once, and the setters
//   may be called directly.
//
// Front ends bring the thread: the Windows hook thread wakes on a message
// to its timer window, which modal loops there deliver too, and runs
// RunPending() from its message loop (CHookThread);
// SimHookThread does the same with a condition variable. Nothing is polled
// per key: an empty queue costs the key path nothing.
#include <chrono>
#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <type_traits>
#include <utility>

namespace tavirel {

class CInputMethodService;

class CServiceDispatcher {
 public:
  using Change = std::function<void(CInputMethodService&)>;
  // Asks the service's thread to call RunPending soon, without waiting;
  // false when there is no such thread now.
  using Wake = std::function<bool()>;

  explicit CServiceDispatcher(CInputMethodService& service) : service_(service) {}
  CServiceDispatcher(const CServiceDispatcher&) = delete;
  CServiceDispatcher& operator=(const CServiceDispatcher&) = delete;

  // Queues the change; runs it at once on the service's thread or when no
  // thread is attached. False only for an empty change.
  bool Post(Change change);

  // Post, then wait at most timeout for the change to run. Gives the
  // change's result (true for a void change) or nothing when it did not run.
  template <typename F>
  auto Call(F change, std::chrono::milliseconds timeout);

  // ---- for the front end that runs the service's thread ----
  // The calling thread becomes the service's thread; wake is how other
  // threads reach it from now on. Runs what is already queued.
  void Attach(Wake wake);
  // On the service's thread, as it ends: runs what is still queued; from
  // now on the changes run on their caller's thread again.
  void Detach();
  bool OnServiceThread() const;
  // Whether a thread owns the service now (see Attach).
  bool Attached() const;
  // On the service's thread: runs the changes queued so far (those posted
  // meanwhile run on the next call, which their wake asks for). Returns how
  // many ran.
  size_t RunPending();
  bool HasPending() const;

 private:
  template <typename R>
  struct CallState {
    std::mutex m;
    std::condition_variable cv;
    enum { kQueued, kRunning, kDone, kWithdrawn } state = kQueued;
    std::optional<R> result;
    std::exception_ptr error;
  };

  CInputMethodService& service_;
  mutable std::mutex m_;
  std::deque<Change> queue_;
  Wake wake_;
  std::thread::id thread_;
  bool woken_ = false;  // a wake is on its way and RunPending has not run since
};

template <typename F>
auto CServiceDispatcher::Call(F change, std::chrono::milliseconds timeout) {
  using Raw = std::invoke_result_t<F&, CInputMethodService&>;
  using R = std::conditional_t<std::is_void_v<Raw>, bool, Raw>;
  using Result = std::conditional_t<std::is_void_v<Raw>, bool, std::optional<R>>;
  auto state = std::make_shared<CallState<R>>();
  F* f = &change;  // lives until Call returns, and the change never outlives Call's wait
  Post([state, f](CInputMethodService& s) {
    {
      std::lock_guard lock(state->m);
      if (state->state == CallState<R>::kWithdrawn) return;
      state->state = CallState<R>::kRunning;
    }
    try {
      if constexpr (std::is_void_v<Raw>) {
        (*f)(s);
        state->result = true;
      } else {
        state->result.emplace((*f)(s));
      }
    } catch (...) {
      state->error = std::current_exception();
    }
    std::lock_guard lock(state->m);
    state->state = CallState<R>::kDone;
    state->cv.notify_all();
  });
  std::unique_lock lock(state->m);
  if (!state->cv.wait_for(lock, timeout, [&] { return state->state == CallState<R>::kDone; })) {
    if (state->state == CallState<R>::kQueued) {
      state->state = CallState<R>::kWithdrawn;
      return Result{};
    }
    // Running now: it ends soon, and it may use what the caller owns.
    state->cv.wait(lock, [&] { return state->state == CallState<R>::kDone; });
  }
  if (state->error) std::rethrow_exception(state->error);
  if constexpr (std::is_void_v<Raw>) {
    return true;
  } else {
    return Result(std::move(state->result));
  }
}

}  // namespace tavirel
