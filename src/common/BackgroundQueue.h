#pragma once
// One worker thread that runs jobs in the order they were posted: file
// loading and saving that must not happen on the key-processing thread.
// Post never waits for a job; the thread starts with the first job. The
// destructor runs the jobs still queued and ends the thread.
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace tavirel {

class CBackgroundQueue {
 public:
  CBackgroundQueue() = default;
  ~CBackgroundQueue();
  CBackgroundQueue(const CBackgroundQueue&) = delete;
  CBackgroundQueue& operator=(const CBackgroundQueue&) = delete;

  void Post(std::function<void()> job);
  // Waits until every job posted so far has run (tests, tools, shutdown).
  void Flush();

 private:
  void Run();

  std::mutex m_;
  std::condition_variable cv_;
  std::deque<std::function<void()>> jobs_;
  bool running_ = false;  // a job is being run
  bool stop_ = false;
  std::thread thread_;
};

}  // namespace tavirel
