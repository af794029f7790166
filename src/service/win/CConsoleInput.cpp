#include "service/win/CConsoleInput.h"

#include <tlhelp32.h>

#include <chrono>
#include <thread>

namespace tavirel {

namespace {

// Ctrl+C and the like reach every process attached to a console: while
// Tavirel writes, they are not for it.
BOOL WINAPI IgnoreConsoleEvents(DWORD /*event*/) { return TRUE; }

bool AttachTo(DWORD pid, HWND window) {
  if (pid == 0 || !AttachConsole(pid)) return false;
  if (GetConsoleWindow() == window) return true;
  FreeConsole();
  return false;
}

// Attaches to a process of the window's console: the window's own (what
// Windows reports for a console window), a child's or its parent's (the
// console host of Wine runs as a child of the first program). The process
// found last is tried first.
bool Attach(HWND window) {
  static HWND lastWindow = nullptr;
  static DWORD lastPid = 0;
  if (window == lastWindow && AttachTo(lastPid, window)) return true;
  lastWindow = nullptr;
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == 0) return false;
  DWORD found = AttachTo(owner, window) ? owner : 0;
  if (found == 0) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return false;
    DWORD parent = 0;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more && found == 0; more = Process32NextW(snapshot, &entry)) {
      if (entry.th32ProcessID == owner) parent = entry.th32ParentProcessID;
      if (entry.th32ParentProcessID == owner && entry.th32ProcessID != GetCurrentProcessId() &&
          AttachTo(entry.th32ProcessID, window)) {
        found = entry.th32ProcessID;
      }
    }
    CloseHandle(snapshot);
    if (found == 0 && AttachTo(parent, window)) found = parent;
  }
  if (found == 0) return false;
  lastWindow = window;
  lastPid = found;
  return true;
}

// Keys let through just before this write may still wait in the console
// window's queue, while a write reaches the input at once: the console would
// put the text before them. A message sent to the window is answered once
// its thread reads its queue, and the console of Wine then turns every key
// already queued into input before it serves a writer again.
void LetQueuedKeysIn(HWND window) {
  DWORD_PTR result = 0;
  SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 500, &result);
}

bool WriteRecords(const CConsoleInput::Job& job) {
  // Tavirel's own console, when it has one, is not given up for this.
  if (GetConsoleWindow() != nullptr) return false;
  LetQueuedKeysIn(job.Window);
  if (!Attach(job.Window)) return false;
  bool ok = false;
  HANDLE input = CreateFileW(L"CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_EXISTING, 0, nullptr);
  if (input != INVALID_HANDLE_VALUE) {
    DWORD written = 0;
    // What went in stays in: sending keys as well would type it twice.
    ok = WriteConsoleInputW(input, job.Records.data(), static_cast<DWORD>(job.Records.size()), &written) &&
         written > 0;
    CloseHandle(input);
  }
  FreeConsole();
  return ok;
}

void Writer(std::shared_ptr<CConsoleInput::Queue> queue) {
  SetConsoleCtrlHandler(&IgnoreConsoleEvents, TRUE);
  for (;;) {
    CConsoleInput::Job job;
    {
      std::unique_lock<std::mutex> lock(queue->Lock);
      queue->Ready.wait(lock, [&] { return queue->Stop || !queue->Jobs.empty(); });
      if (queue->Stop) return;
      job = std::move(queue->Jobs.front());
      queue->Jobs.pop_front();
      queue->Busy = true;
    }
    const bool ok = WriteRecords(job);
    PostMessageW(job.Notify, job.Message, ok ? 1 : 0, 0);
    std::lock_guard<std::mutex> lock(queue->Lock);
    queue->Busy = false;
    if (queue->Jobs.empty()) queue->Idle.notify_all();
  }
}

void AddKey(std::vector<INPUT_RECORD>& records, WORD vk, wchar_t ch) {
  INPUT_RECORD r{};
  r.EventType = KEY_EVENT;
  r.Event.KeyEvent.bKeyDown = TRUE;
  r.Event.KeyEvent.wRepeatCount = 1;
  r.Event.KeyEvent.wVirtualKeyCode = vk;
  r.Event.KeyEvent.wVirtualScanCode = vk ? static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC)) : 0;
  r.Event.KeyEvent.uChar.UnicodeChar = ch;
  records.push_back(r);
  r.Event.KeyEvent.bKeyDown = FALSE;
  records.push_back(r);
}

}  // namespace

CConsoleInput::~CConsoleInput() {
  if (!queue_) return;
  // Not joined: a write to a console that hangs must not hold up the exit.
  std::lock_guard<std::mutex> lock(queue_->Lock);
  queue_->Stop = true;
  queue_->Ready.notify_all();
}

void CConsoleInput::Flush(DWORD milliseconds) {
  if (!queue_) return;
  std::unique_lock<std::mutex> lock(queue_->Lock);
  queue_->Idle.wait_for(lock, std::chrono::milliseconds(milliseconds),
                        [&] { return queue_->Jobs.empty() && !queue_->Busy; });
}

bool CConsoleInput::IsConsoleWindow(HWND window) {
  if (!window) return false;
  wchar_t name[32];
  if (GetClassNameW(window, name, 32) <= 0) return false;
  return lstrcmpW(name, L"ConsoleWindowClass") == 0 || lstrcmpW(name, L"WineConsoleClass") == 0;
}

bool CConsoleInput::Write(HWND window, int backspaces, std::u16string_view text, HWND notify, UINT message) {
  if (!IsConsoleWindow(window) || !notify) return false;
  Job job;
  job.Window = window;
  job.Notify = notify;
  job.Message = message;
  for (int i = 0; i < backspaces; ++i) AddKey(job.Records, VK_BACK, L'\b');
  for (size_t i = 0; i < text.size(); ++i) {
    const wchar_t ch = static_cast<wchar_t>(text[i]);
    // A CR LF pair is one Enter.
    if (ch == L'\n' && i > 0 && text[i - 1] == u'\r') continue;
    if (ch == L'\r' || ch == L'\n') {
      AddKey(job.Records, VK_RETURN, L'\r');
    } else if (ch == L'\t') {
      AddKey(job.Records, VK_TAB, L'\t');
    } else {
      AddKey(job.Records, 0, ch);
    }
  }
  if (job.Records.empty()) return false;
  try {
    if (!queue_) {
      auto queue = std::make_shared<Queue>();
      std::thread(Writer, queue).detach();
      queue_ = std::move(queue);
    }
    std::lock_guard<std::mutex> lock(queue_->Lock);
    queue_->Jobs.push_back(std::move(job));
    queue_->Ready.notify_one();
  } catch (...) {
    return false;
  }
  return true;
}

}  // namespace tavirel
