#pragma once
// A hook thread for SimDesktop: a real second thread that owns the input
// service while it runs. Input events (typing on the desktop) and the changes
// posted through the service's dispatcher reach it through one queue and run
// one at a time, as hook callbacks and posted messages do in the Windows hook
// thread's message loop.
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace tavirel {

class CInputMethodService;
class SimDesktop;

class SimHookThread {
 public:
  // Input queued beyond this makes Input wait: a keyboard is not faster
  // than the thread that handles it.
  static constexpr size_t kMaxQueuedInput = 64;

  // Starts the thread, which installs the desktop's hooks for the service
  // and attaches the service's dispatcher.
  SimHookThread(SimDesktop& desktop, CInputMethodService& service);
  ~SimHookThread();
  SimHookThread(const SimHookThread&) = delete;
  SimHookThread& operator=(const SimHookThread&) = delete;

  // Queues an input event to run on the thread (e.g. desktop.Press(key)).
  void Input(std::function<void()> event);
  // Waits until every input event queued so far has run.
  void Flush();
  // Runs what is queued, detaches the dispatcher, removes the hooks and
  // ends the thread. The destructor stops too.
  void Stop();

  std::thread::id Id() const { return thread_.get_id(); }

 private:
  void Run();

  SimDesktop& desktop_;
  CInputMethodService& service_;
  std::mutex m_;
  std::condition_variable cv_;
  std::deque<std::function<void()>> input_;
  size_t running_ = 0;  // input events taken but not finished
  bool changesPosted_ = false;
  bool stop_ = false;
  bool started_ = false;
  std::thread thread_;
};

}  // namespace tavirel
