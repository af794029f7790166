// A small Windows program of the end-to-end tests that runs the real service
// and hook thread like Tavirel.exe, and takes commands from the harness
// through files, so that hook removal and re-installation can be driven from
// outside:
//
//   tavirel_e2e_hooks.exe DIR [log] [inline]
//
// The harness writes "SEQ COMMAND" to DIR/cmd (atomically); the program runs
// it and answers "SEQ COMMAND RESULT keyboard=K mouse=M" in DIR/ack.
// Commands: remove (RemoveHooks), start (StartHookThread), timing-start
// (keep the time the keyboard hook spends per key from now on), timing
// (RESULT is "ok keys=N p50=.. p99=.. max=.." in milliseconds), quit. With
// "log", the service's debug text and errors are appended to DIR/debug.log.
// With "inline", pastes run inside the hook callback as they once did (for
// comparing hook times only).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "common/Utf8.h"
#include "service/CInputMethodService.h"
#include "service/win/CHookThread.h"
#include "service/win/CInvokerWnd.h"
#include "service/win/CWinDesktop.h"

namespace {

std::wstring g_dir;

std::string ReadSmallFile(const std::wstring& path) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return {};
  char buffer[256];
  DWORD n = 0;
  ReadFile(h, buffer, sizeof buffer - 1, &n, nullptr);
  CloseHandle(h);
  return std::string(buffer, n);
}

void WriteAtomic(const std::wstring& path, const std::string& bytes) {
  std::wstring tmp = path + L".tmp";
  HANDLE h = CreateFileW(tmp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return;
  DWORD n = 0;
  WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &n, nullptr);
  CloseHandle(h);
  MoveFileExW(tmp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
}

void AppendLog(const std::string& line) {
  std::wstring path = g_dir + L"/debug.log";
  HANDLE h = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, 0,
                         nullptr);
  if (h == INVALID_HANDLE_VALUE) return;
  DWORD n = 0;
  std::string text = line + "\n";
  WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &n, nullptr);
  CloseHandle(h);
}

// A desktop that never defers: pastes and clipboard backups run inside the
// hook callback.
class InlineDesktop : public tavirel::CWinDesktop {
 public:
  bool PostDeferredWork() override { return false; }
};

std::string Timing() {
  std::vector<double> us = tavirel::HookTimesMicroseconds();
  if (us.empty()) return "ok keys=0";
  std::sort(us.begin(), us.end());
  const auto at = [&us](double q) {
    size_t i = static_cast<size_t>(q * static_cast<double>(us.size() - 1) + 0.5);
    return us[std::min(i, us.size() - 1)] / 1000.0;
  };
  char text[160];
  std::snprintf(text, sizeof text, "ok keys=%zu p50=%.3f p99=%.3f max=%.3f", us.size(), at(0.5),
                at(0.99), us.back() / 1000.0);
  return text;
}

std::string State(const char* result) {
  return std::string(result) + " keyboard=" + (tavirel::KeyboardHookInstalled() ? "1" : "0") +
         " mouse=" + (tavirel::MouseHookInstalled() ? "1" : "0");
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  if (__argc < 2) return 2;
  g_dir = __wargv[1];
  bool log = false;
  bool inlinePastes = false;
  for (int i = 2; i < __argc; ++i) {
    log = log || wcscmp(__wargv[i], L"log") == 0;
    inlinePastes = inlinePastes || wcscmp(__wargv[i], L"inline") == 0;
  }

  tavirel::CWinDesktop deferringDesktop;
  InlineDesktop inlineDesktop;
  tavirel::CWinDesktop& desktop = inlinePastes ? inlineDesktop : deferringDesktop;
  tavirel::CInputMethodService service(&desktop);
  service.Error.AddFn([](const std::exception& e) { AppendLog(std::string("error: ") + e.what()); });
  if (log) {
    service.DebugText.AddFn([](const std::u16string& text) { AppendLog(tavirel::Utf16ToUtf8(text)); });
  }

  const bool started = tavirel::StartHookThread(service);
  WriteAtomic(g_dir + L"/ack", "0 start " + State(started ? "ok" : "fail"));

  SetTimer(nullptr, 0, 50, nullptr);
  const std::wstring cmdPath = g_dir + L"/cmd";
  MSG msg;
  bool quit = false;
  while (!quit && GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (msg.message == WM_TIMER) {
      std::string cmd = ReadSmallFile(cmdPath);
      if (cmd.empty()) continue;
      DeleteFileW(cmdPath.c_str());
      while (!cmd.empty() && (cmd.back() == '\n' || cmd.back() == '\r')) cmd.pop_back();
      std::string seq = cmd.substr(0, cmd.find(' '));
      std::string name = cmd.find(' ') == std::string::npos ? "" : cmd.substr(cmd.find(' ') + 1);
      std::string result = "ok";
      if (name == "remove") {
        tavirel::RemoveHooks(service);
      } else if (name == "start") {
        result = tavirel::StartHookThread(service) ? "ok" : "fail";
      } else if (name == "timing-start") {
        tavirel::RecordHookTimes(true);
      } else if (name == "timing") {
        result = Timing();
      } else if (name == "quit") {
        quit = true;
      } else {
        result = "unknown";
      }
      WriteAtomic(g_dir + L"/ack", seq + " " + name + " " + State(result.c_str()));
      continue;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  tavirel::StopHookThread();
  tavirel::InvokerWindow().Destroy();
  return 0;
}
