#pragma once
// Text for a console written into the console's own input, as key records.
//
// A console window builds its input from the keys of the keyboard layout;
// some consoles drop Unicode key packets (the console of Wine does), and
// then every letter Tavirel injects would be lost. The console's input takes
// any character.
//
// The write runs on a thread of its own: a console serves its writers
// between the messages of its window, and the next key for that window may
// be waiting for the keyboard hook, so the hook thread must not wait for
// the console. When a write is done the thread posts a message to the
// window named at Start. Tavirel attaches to the console for the write only:
// while attached, a closing console would end Tavirel with it.
#include <windows.h>

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <string_view>
#include <vector>

namespace tavirel {

class CConsoleInput {
 public:
  CConsoleInput() = default;
  ~CConsoleInput();
  CConsoleInput(const CConsoleInput&) = delete;
  CConsoleInput& operator=(const CConsoleInput&) = delete;

  // Whether the window is a console's window (by its class).
  static bool IsConsoleWindow(HWND window);
  // Queues backspaces presses of Backspace, then the text, for the input of
  // the console whose window this is. When written, message is posted to
  // notify with wParam 1 (written) or 0 (nothing written). False when the
  // window is no console's or the write cannot be queued.
  bool Write(HWND window, int backspaces, std::u16string_view text, HWND notify, UINT message);
  // Waits at most milliseconds for every queued write to be done.
  void Flush(DWORD milliseconds);

  struct Job {
    HWND Window = nullptr;
    std::vector<INPUT_RECORD> Records;
    HWND Notify = nullptr;
    UINT Message = 0;
  };
  struct Queue {
    std::mutex Lock;
    std::condition_variable Ready;
    std::condition_variable Idle;  // no job queued and none being written
    std::deque<Job> Jobs;
    bool Busy = false;
    bool Stop = false;
  };

 private:
  std::shared_ptr<Queue> queue_;  // shared with the writer thread, which may outlive this
};

}  // namespace tavirel
