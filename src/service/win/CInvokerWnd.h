#pragma once
// A message-only window of the main thread that runs callbacks handed to it
// from other threads. The sender does not wait: the call runs later, on the
// main thread, when its message loop picks up the registered message.
#include <windows.h>

#include <functional>

namespace tavirel {

// What the invoker runs: fn(arg). The record belongs to the sender and must
// stay valid until the call has run.
struct InvokeRecord {
  void* arg = nullptr;
  void (*fn)(void* arg) = nullptr;
};

class CInvokerWnd {
 public:
  CInvokerWnd() = default;
  ~CInvokerWnd();
  CInvokerWnd(const CInvokerWnd&) = delete;
  CInvokerWnd& operator=(const CInvokerWnd&) = delete;

  // Creates the window on the calling thread (which must run a message loop).
  // False when the window could not be created.
  bool Create();
  void Destroy();
  HWND Handle() const { return hwnd_; }

  // Hands the record to the invoker's thread without waiting. False when
  // there is no window or the message could not be queued. Called from the
  // invoker's own thread, the call runs at once.
  bool Invoke(const InvokeRecord* record) const;

  // Hands an owned call to the invoker's thread without waiting, also from
  // that thread itself (it then runs from the message loop). This is how a
  // handler of a service event, raised on the hook thread, reaches a
  // main-thread subscriber:
  //   service.ModeChanged.AddFn([&invoker](CInputMethodService* s) {
  //     const bool on = s->IsVietnamese();  // read on the hook thread
  //     invoker.Post([on] { tray.ShowMode(on); });
  //   });
  // False when there is no window or the message could not be queued. An
  // exception thrown by the call is dropped.
  bool Post(std::function<void()> call) const;

  // The number of the registered message "MorskInvokeMethod" (registered on
  // first use, once per process).
  static UINT Message();

 private:
  static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  HWND hwnd_ = nullptr;
};

}  // namespace tavirel
