#include "service/win/CWinDesktop.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <cwchar>
#include <vector>

#include "service/AutoCompleteDetector.h"
#include "service/CInputMethodService.h"
#include "service/HookLogic.h"

namespace tavirel {

namespace {

const wchar_t kTimerClass[] = L"TavirelTimerWnd";

// Keys whose injected events need the extended-key flag to reach the
// application as the key the user would press (not the keypad twin).
bool IsExtendedKey(uint16_t vk) {
  switch (vk) {
    case VK_RCONTROL: case VK_RMENU: case VK_INSERT: case VK_DELETE:
    case VK_HOME: case VK_END: case VK_PRIOR: case VK_NEXT:
    case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN:
    case VK_LWIN: case VK_RWIN: case VK_APPS: case VK_DIVIDE: case VK_NUMLOCK:
      return true;
    default:
      return false;
  }
}

// The mandatory integrity level (the last sub-authority of the label) of a
// process; 0 when it cannot be read. denied is set when access was refused.
DWORD IntegrityOf(HANDLE process, bool& denied) {
  denied = false;
  HANDLE token = nullptr;
  if (!OpenProcessToken(process, TOKEN_QUERY, &token)) {
    denied = GetLastError() == ERROR_ACCESS_DENIED;
    return 0;
  }
  DWORD size = 0;
  GetTokenInformation(token, TokenIntegrityLevel, nullptr, 0, &size);
  DWORD level = 0;
  if (size >= sizeof(TOKEN_MANDATORY_LABEL)) {
    std::vector<BYTE> buffer(size);
    if (GetTokenInformation(token, TokenIntegrityLevel, buffer.data(), size, &size)) {
      PSID sid = reinterpret_cast<TOKEN_MANDATORY_LABEL*>(buffer.data())->Label.Sid;
      const UCHAR count = *GetSidSubAuthorityCount(sid);
      if (count > 0) level = *GetSidSubAuthority(sid, count - 1);
    }
  }
  CloseHandle(token);
  return level;
}

// ToUnicodeEx's flag "do not change the keyboard state" (bit 2) exists from
// Windows 10 version 1607 (build 14393) on.
bool TranslationKeepsKeyboardState() {
  static const bool supported = [] {
    using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    auto fn = ntdll ? reinterpret_cast<RtlGetVersionFn>(
                          reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")))
                    : nullptr;
    OSVERSIONINFOW v{};
    v.dwOSVersionInfoSize = sizeof v;
    if (!fn || fn(&v) != 0) return false;
    return v.dwMajorVersion > 10 || (v.dwMajorVersion == 10 && v.dwBuildNumber >= 14393);
  }();
  return supported;
}

constexpr UINT kToUnicodeKeepState = 0x4;

// The text on the clipboard is offered as ANSI text of its own too (the
// bytes of an 8-bit table). Hook thread only.
bool g_ansiTextOffered = false;

// Answers a request for the text on the clipboard rendered on request.
void RenderText(UINT format) {
  const bool ansi = format == CF_TEXT && g_ansiTextOffered;
  if (format != CF_UNICODETEXT && !ansi) return;
  CInputMethodService* service = CInputMethodService::Instance();
  std::u16string text;
  std::string bytesText;
  try {
    if (!service) return;
    if (ansi) {
      if (!CHookLogic::OnRenderClipboardBytes(*service, bytesText)) return;
    } else if (!CHookLogic::OnRenderClipboard(*service, text)) {
      return;
    }
  } catch (...) {
    return;
  }
  const size_t bytes = ansi ? bytesText.size() + 1 : (text.size() + 1) * sizeof(char16_t);
  HGLOBAL g = GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (!g) return;
  void* p = GlobalLock(g);
  if (!p) {
    GlobalFree(g);
    return;
  }
  std::memset(p, 0, bytes);
  if (ansi) {
    if (!bytesText.empty()) std::memcpy(p, bytesText.data(), bytesText.size());
  } else if (!text.empty()) {
    std::memcpy(p, text.data(), text.size() * sizeof(char16_t));
  }
  GlobalUnlock(g);
  if (!SetClipboardData(format, g)) GlobalFree(g);
}

ATOM RegisterTimerClass() {
  static ATOM atom = [] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kTimerClass;
    return RegisterClassExW(&wc);
  }();
  return atom;
}

}  // namespace

CWinDesktop::~CWinDesktop() {
  // Readings still out finish first (each is bounded); their answers find
  // no window and are dropped.
  fieldReader_.reset();
  fieldWriter_.reset();
  DestroyTimerWindow();
}

bool CWinDesktop::CreateTimerWindow() {
  if (TimerWindow()) return true;
  if (!RegisterTimerClass()) return false;
  HWND hwnd = CreateWindowExW(0, kTimerClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
  if (!hwnd) return false;
  SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWinDesktop::TimerWndProc));
  timerThread_ = GetCurrentThreadId();
  timerWindow_.store(hwnd, std::memory_order_release);
  return true;
}

void CWinDesktop::DestroyTimerWindow() {
  HWND hwnd = TimerWindow();
  if (!hwnd || GetCurrentThreadId() != timerThread_) return;
  timerWindow_.store(nullptr, std::memory_order_release);
  KillTimer(hwnd, kRestoreTimerId);
  DestroyWindow(hwnd);
}

LRESULT CALLBACK CWinDesktop::TimerWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == kMsgRunChanges) {
    if (CInputMethodService* service = CInputMethodService::Instance()) service->Dispatcher().RunPending();
    return 0;
  }
  if (msg == kMsgDeferredWork) {
    try {
      if (CInputMethodService* service = CInputMethodService::Instance())
        CHookLogic::OnDeferredWork(*service);
    } catch (...) {
    }
    return 0;
  }
  if (msg == kMsgConsoleWritten) {
    try {
      if (CInputMethodService* service = CInputMethodService::Instance())
        CHookLogic::OnConsoleWritten(*service, wp != 0);
    } catch (...) {
    }
    return 0;
  }
  if (msg == kMsgFieldReplaced) {
    // Only the answer for the last edit: one given up answers nothing, one
    // that went in after its wait ran out is over for the service.
    auto* desktop = reinterpret_cast<CWinDesktop*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (desktop && static_cast<uint32_t>(lp) == desktop->fieldEditId_) {
      try {
        if (CInputMethodService* service = CInputMethodService::Instance())
          CHookLogic::OnFieldReplaced(*service, wp != 0);
      } catch (...) {
      }
    }
    return 0;
  }
  if (msg == kMsgFieldSelection) {
    std::unique_ptr<FieldSelection> selection(reinterpret_cast<FieldSelection*>(lp));
    try {
      if (CInputMethodService* service = CInputMethodService::Instance())
        CHookLogic::OnFieldSelection(*service, static_cast<uint32_t>(wp), *selection);
    } catch (...) {
    }
    return 0;
  }
  if (msg == WM_RENDERFORMAT) {
    // A program reads the text we pasted (the clipboard is open by it).
    RenderText(static_cast<UINT>(wp));
    return 0;
  }
  if (msg == WM_RENDERALLFORMATS) {
    // The window goes while our text may still be on the clipboard
    // unrendered (the user's own clipboard, put back, needs nothing).
    CInputMethodService* service = CInputMethodService::Instance();
    if (service && service->PasteUnread() && ::OpenClipboard(hwnd)) {
      if (GetClipboardOwner() == hwnd) {
        RenderText(CF_UNICODETEXT);
        RenderText(CF_TEXT);
      }
      ::CloseClipboard();
    }
    return 0;
  }
  if (msg == WM_TIMER && wp == kPasteTimerId) {
    KillTimer(hwnd, kPasteTimerId);
    try {
      if (CInputMethodService* service = CInputMethodService::Instance())
        CHookLogic::OnPasteTimer(*service);
    } catch (...) {
    }
    return 0;
  }
  if (msg == WM_TIMER && wp == kRestoreTimerId) {
    KillTimer(hwnd, kRestoreTimerId);
    if (CInputMethodService* service = CInputMethodService::Instance())
      CHookLogic::OnRestoreTimer(*service);
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

// ---- the focused field ----

namespace {

// Asks the field; false when it does not answer within timeoutMs (hung or
// busy).
bool AskField(HWND hwnd, UINT msg, DWORD_PTR& result, UINT timeoutMs) {
  return SendMessageTimeoutW(hwnd, msg, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK, timeoutMs, &result) != 0;
}

// Each message bounded by timeoutMs.
FieldSelection ReadFieldSelection(HWND hwnd, UINT timeoutMs) {
  FieldSelection s;
  DWORD_PTR before = 0, packed = 0, after = 0;
  // Without pointers the answer is the two positions in one value, -1 when
  // either is past 65535. The program may handle input between our
  // messages: the length is read around the selection, and a text that
  // changed meanwhile (grown by typing, or shrunk by Backspaces and the
  // Deletes of our own edits) leaves the selection without its length.
  if (!IsWindow(hwnd) || !AskField(hwnd, WM_GETTEXTLENGTH, before, timeoutMs) ||
      !AskField(hwnd, EM_GETSEL, packed, timeoutMs) || static_cast<DWORD>(packed) == 0xFFFFFFFF ||
      !AskField(hwnd, WM_GETTEXTLENGTH, after, timeoutMs) || before != after) {
    return s;
  }
  // Windows that are not edit controls answer 0, as an empty edit control
  // does: that one knows its text limit, they answer 0 to that too.
  DWORD_PTR limit = 0;
  if (static_cast<DWORD>(packed) == 0 && (!AskField(hwnd, EM_GETLIMITTEXT, limit, timeoutMs) || limit == 0)) return s;
  s.Start = LOWORD(packed);
  s.End = HIWORD(packed);
  s.Length = static_cast<int32_t>(std::min<DWORD_PTR>(before, 0x7FFFFFFF));
  return s;
}

// Whether the field's program has handled the input queued to it so far.
// A program answers a reading before input still in its queue, so the keys
// let through before an edit may not be in the field yet; a repaint, on
// the other hand, comes only when its queue holds no input. A pixel of the
// field is made invalid, and once the program has painted it again the
// input before it was handled. False when that did not happen in time (a
// busy program, one that paints otherwise) or cannot be seen (a hidden
// field, one with no client area) by deadline (GetTickCount64).
bool InputHandled(HWND hwnd, ULONGLONG deadline) {
  RECT client{};
  if (!IsWindowVisible(hwnd) || !GetClientRect(hwnd, &client) || IsRectEmpty(&client)) return false;
  RECT pixel{client.left, client.top, client.left + 1, client.top + 1};
  if (!InvalidateRect(hwnd, &pixel, FALSE)) return false;
  while (GetUpdateRect(hwnd, nullptr, FALSE)) {
    if (GetTickCount64() >= deadline || !IsWindow(hwnd)) return false;
    Sleep(1);
  }
  return true;
}

}  // namespace

bool CWinDesktop::RequestFieldSelection(WindowHandle window, uint32_t serial) {
  HWND reply = TimerWindow();
  if (!reply || !window) return false;
  if (!fieldReader_) fieldReader_ = std::make_unique<CBackgroundQueue>();
  // The program is another process, perhaps slow or hung: the hook thread
  // never waits for it. The wait lets the program handle the key first.
  fieldReader_->Post([reply, serial, hwnd = reinterpret_cast<HWND>(window)] {
    Sleep(kFieldReadDelayMs);
    auto* selection = new FieldSelection(ReadFieldSelection(hwnd, kFieldReadTimeoutMs));
    if (!PostMessageW(reply, kMsgFieldSelection, serial, reinterpret_cast<LPARAM>(selection))) delete selection;
  });
  return true;
}

// ---- input ----

bool CWinDesktop::SendKey(uint16_t vk, bool up) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.wScan = 0;
  in.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (IsExtendedKey(vk) ? KEYEVENTF_EXTENDEDKEY : 0);
  in.ki.dwExtraInfo = kInjectedMarker;
  return SendInput(1, &in, sizeof(INPUT)) == 1;
}

namespace {

void AddKeyPressTo(std::vector<INPUT>& packets, uint16_t vk) {
  INPUT down{};
  down.type = INPUT_KEYBOARD;
  down.ki.wVk = vk;
  down.ki.dwFlags = IsExtendedKey(vk) ? KEYEVENTF_EXTENDEDKEY : 0;
  down.ki.dwExtraInfo = kInjectedMarker;
  INPUT up = down;
  up.ki.dwFlags |= KEYEVENTF_KEYUP;
  packets.push_back(down);
  packets.push_back(up);
}

void AddUnicodePacketsTo(std::vector<INPUT>& packets, std::u16string_view text) {
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t unit = text[i];
    // A typed CR is a whole line break (what Enter types); the LF of a
    // CR LF pair would make a second one.
    if (unit == u'\n' && i > 0 && text[i - 1] == u'\r') continue;
    INPUT down{};
    down.type = INPUT_KEYBOARD;
    down.ki.wScan = unit;
    down.ki.dwFlags = KEYEVENTF_UNICODE;
    down.ki.dwExtraInfo = kInjectedMarker;
    INPUT up = down;
    up.ki.dwFlags = KEYEVENTF_UNICODE | KEYEVENTF_KEYUP;
    packets.push_back(down);
    packets.push_back(up);
  }
}

// The records of an edit before the caret: Deletes, Backspaces, the text.
void AddReplacementTo(std::vector<INPUT>& packets, int deletes, int backspaces, std::u16string_view text) {
  for (int i = 0; i < deletes; ++i) AddKeyPressTo(packets, VK_DELETE);
  for (int i = 0; i < backspaces; ++i) AddKeyPressTo(packets, VK_BACK);
  AddUnicodePacketsTo(packets, text);
}

}  // namespace

void CWinDesktop::AddUnicodePackets(std::u16string_view text) { AddUnicodePacketsTo(packets_, text); }

bool CWinDesktop::SendUnicodeText(std::u16string_view text) {
  if (text.empty()) return true;
  packets_.clear();
  AddUnicodePackets(text);
  const auto n = static_cast<UINT>(packets_.size());
  return SendInput(n, packets_.data(), sizeof(INPUT)) == n;
}

bool CWinDesktop::SendReplacement(int deletes, int backspaces, std::u16string_view text) {
  // One SendInput: nothing the user types can land between the records.
  packets_.clear();
  AddReplacementTo(packets_, deletes, backspaces, text);
  if (packets_.empty()) return true;
  const auto n = static_cast<UINT>(packets_.size());
  return SendInput(n, packets_.data(), sizeof(INPUT)) == n;
}

bool CWinDesktop::ReplaceInField(WindowHandle window, int backspaces, std::u16string_view text, bool marked) {
  HWND reply = TimerWindow();
  if (!reply || !window) return false;
  try {
    if (!fieldWriter_) fieldWriter_ = std::make_unique<CBackgroundQueue>();
    auto state = std::make_shared<std::atomic<int>>(kEditWaiting);
    const uint32_t id = ++fieldEditId_;
    const ULONGLONG handed = GetTickCount64();
    // Read and sent on a worker: the program may be slow to answer, and the
    // hook thread never waits for it. The keys that come meanwhile wait in
    // the service, so nothing lands between the reading and the edit.
    fieldWriter_->Post([reply, state, id, marked, handed, backspaces, text = std::u16string(text),
                        hwnd = reinterpret_cast<HWND>(window)] {
      // Given up while an earlier edit was still going: the service sent it.
      if (state->load() != kEditWaiting) return;
      // What is left of the edit's time for a wait of at most cap.
      auto left = [handed](ULONGLONG cap) -> ULONGLONG {
        const ULONGLONG spent = GetTickCount64() - handed;
        return spent >= kFieldWriterBudgetMs ? 0 : std::min(cap, kFieldWriterBudgetMs - spent);
      };
      // The reading must describe the field after the keys let through
      // before this edit. Keys the service let through just before it may
      // still be on their way through this program's own keyboard hook,
      // whose calls the hook thread takes only once back in its message
      // loop; a message to its window is answered after them.
      DWORD_PTR ignored = 0;
      const auto toHook = static_cast<UINT>(left(kFieldWriterReadTimeoutMs));
      if (toHook > 0 && SendMessageTimeoutW(reply, WM_NULL, 0, 0, SMTO_NORMAL, toHook, &ignored) != 0) {
        InputHandled(hwnd, GetTickCount64() + left(kFieldSettleTimeoutMs));
      }
      // A program that did not show in time that it handled that input
      // (under Wine a field's thread turns a fast typist's keys into input
      // itself, each after our hook, and gets to its messages only when
      // they stop) is read as it answers: typed text, ours too, acts at the
      // caret, so an answer from before it still tells whether text follows
      // the caret, and it tells more than none (a field not known to
      // complete would get no Delete, one known to complete always one).
      // The four questions share what is left of the time.
      FieldSelection reading;
      const auto perQuestion = static_cast<UINT>(left(4 * kFieldWriterReadTimeoutMs) / 4);
      if (perQuestion > 0) reading = ReadFieldSelection(hwnd, perQuestion);
      const int deletes = DeletesBeforeReplacement(reading, marked);
      int waiting = kEditWaiting;
      if (!state->compare_exchange_strong(waiting, kEditGoing)) return;  // given up: the service sends it
      std::vector<INPUT> packets;
      AddReplacementTo(packets, deletes, backspaces, text);
      const auto n = static_cast<UINT>(packets.size());
      const bool ok = n == 0 || SendInput(n, packets.data(), sizeof(INPUT)) == n;
      PostMessageW(reply, kMsgFieldReplaced, ok ? 1 : 0, static_cast<LPARAM>(id));
    });
    fieldEdit_ = std::move(state);
  } catch (...) {
    return false;
  }
  return true;
}

bool CWinDesktop::CancelFieldReplacement() {
  if (!fieldEdit_) return false;
  int waiting = kEditWaiting;
  return fieldEdit_->compare_exchange_strong(waiting, kEditGivenUp);
}

// ---- focus ----

WindowHandle CWinDesktop::FocusWindow() {
  GUITHREADINFO gti{};
  gti.cbSize = sizeof gti;
  if (!GetGUIThreadInfo(0, &gti)) return 0;
  return reinterpret_cast<WindowHandle>(gti.hwndFocus);
}

std::u16string CWinDesktop::WindowClassName(WindowHandle window) {
  if (!window) return {};
  wchar_t name[101];
  int n = GetClassNameW(reinterpret_cast<HWND>(window), name, 101);
  if (n <= 0) return {};
  return std::u16string(reinterpret_cast<const char16_t*>(name), static_cast<size_t>(n));
}

bool CWinDesktop::IsUnicodeWindow(WindowHandle window) {
  return window && IsWindowUnicode(reinterpret_cast<HWND>(window));
}

std::u16string CWinDesktop::WindowProgramName(WindowHandle window) {
  if (!window) return {};
  DWORD pid = 0;
  GetWindowThreadProcessId(reinterpret_cast<HWND>(window), &pid);
  if (pid == 0) return {};
  // A query of the process, not a message to it: a hung program cannot
  // stall the hook.
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
  if (!process) return {};
  wchar_t path[MAX_PATH * 2];
  DWORD size = MAX_PATH * 2;
  const BOOL ok = QueryFullProcessImageNameW(process, 0, path, &size);
  CloseHandle(process);
  if (!ok || size == 0) return {};
  std::u16string full(reinterpret_cast<const char16_t*>(path), size);
  const size_t slash = full.find_last_of(u"\\/");
  return slash == std::u16string::npos ? full : full.substr(slash + 1);
}

uint32_t CWinDesktop::AnsiCodePageOf(WindowHandle window) {
  // The system converts a character for a program that is not Unicode in
  // the code page of that thread's input language, not the system's: on a
  // Vietnamese system (1258) with an English layout, that is 1252. Queries
  // only, no message to the program.
  const DWORD thread = window ? GetWindowThreadProcessId(reinterpret_cast<HWND>(window), nullptr) : 0;
  const LANGID language = LOWORD(reinterpret_cast<UINT_PTR>(GetKeyboardLayout(thread)));
  UINT codePage = 0;
  if (GetLocaleInfoW(MAKELCID(language, SORT_DEFAULT), LOCALE_IDEFAULTANSICODEPAGE | LOCALE_RETURN_NUMBER,
                     reinterpret_cast<LPWSTR>(&codePage), sizeof codePage / sizeof(wchar_t)) == 0 ||
      codePage == CP_ACP) {
    codePage = GetACP();  // a language without an ANSI code page of its own
  }
  return codePage;
}

uint32_t CWinDesktop::InputLocaleOf(WindowHandle window) {
  const DWORD thread = window ? GetWindowThreadProcessId(reinterpret_cast<HWND>(window), nullptr) : 0;
  return MAKELCID(LOWORD(reinterpret_cast<UINT_PTR>(GetKeyboardLayout(thread))), SORT_DEFAULT);
}

char16_t CWinDesktop::AnsiCodePageChar(uint32_t codePage, uint8_t byte) {
  const char b = static_cast<char>(byte);
  wchar_t w = 0;
  if (MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, &b, 1, &w, 1) != 1) return 0;
  // Only a character that the code page gives back as this byte (a lone
  // lead byte of a double-byte code page reads as a default character).
  char back[2] = {};
  BOOL usedDefault = FALSE;
  if (WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, &w, 1, back, 2, nullptr, &usedDefault) != 1 ||
      usedDefault || back[0] != b) {
    return 0;
  }
  return static_cast<char16_t>(w);
}

bool CWinDesktop::IsPasswordField(WindowHandle window) {
  if (!window) return false;
  HWND hwnd = reinterpret_cast<HWND>(window);
  // The password style means that only in edit controls (the rich edit
  // controls and .NET's text boxes share it); the style is read without
  // asking the program, so a hung one cannot stall the hook.
  wchar_t name[101];
  if (GetClassNameW(hwnd, name, 101) <= 0) return false;
  const bool edit = lstrcmpiW(name, L"Edit") == 0 || _wcsnicmp(name, L"RichEdit", 8) == 0 ||
                    _wcsnicmp(name, L"WindowsForms10.EDIT.", 20) == 0;
  return edit && (GetWindowLongPtrW(hwnd, GWL_STYLE) & ES_PASSWORD) != 0;
}

bool CWinDesktop::IsConsoleWindow(WindowHandle window) {
  return CConsoleInput::IsConsoleWindow(reinterpret_cast<HWND>(window));
}

bool CWinDesktop::TypeIntoConsole(WindowHandle window, int backspaces, std::u16string_view text) {
  return console_.Write(reinterpret_cast<HWND>(window), backspaces, text, TimerWindow(), kMsgConsoleWritten);
}

void CWinDesktop::FlushConsoleWrites(uint32_t milliseconds) { console_.Flush(milliseconds); }

bool CWinDesktop::IsWindowOfHigherIntegrity(WindowHandle window) {
  if (!window) return false;
  DWORD pid = 0;
  GetWindowThreadProcessId(reinterpret_cast<HWND>(window), &pid);
  if (pid == 0 || pid == GetCurrentProcessId()) return false;
  if (ownIntegrity_ == 0) {
    bool denied = false;
    ownIntegrity_ = IntegrityOf(GetCurrentProcess(), denied);
    if (ownIntegrity_ == 0) return false;
  }
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
  // A process that may not even be queried (a protected one) does not take
  // our input either.
  if (!process) return GetLastError() == ERROR_ACCESS_DENIED;
  bool denied = false;
  const DWORD level = IntegrityOf(process, denied);
  CloseHandle(process);
  if (level == 0) return denied;
  return level > ownIntegrity_;
}

// ---- clipboard ----

bool CWinDesktop::OpenClipboard() {
  // Owned by the timer window: SetClipboardData after EmptyClipboard fails
  // on Windows when the clipboard was opened without an owner. Another
  // program may hold the clipboard for a moment; try a few times, briefly.
  HWND owner = TimerWindow();
  for (int attempt = 0; attempt < 8; ++attempt) {
    if (::OpenClipboard(owner)) return true;
    Sleep(2);
  }
  return false;
}

void CWinDesktop::CloseClipboard() { ::CloseClipboard(); }

bool CWinDesktop::EmptyClipboard() { return ::EmptyClipboard() != FALSE; }

bool CWinDesktop::SetClipboardUnicodeText(std::u16string_view text) {
  std::vector<uint8_t> bytes((text.size() + 1) * sizeof(char16_t), 0);
  if (!text.empty()) std::memcpy(bytes.data(), text.data(), text.size() * sizeof(char16_t));
  return SetClipboardBytes(CF_UNICODETEXT, bytes);
}

uint32_t CWinDesktop::EnumClipboardFormats(uint32_t previous) {
  return ::EnumClipboardFormats(previous);
}

std::u16string CWinDesktop::ClipboardFormatName(uint32_t format) {
  if (format <= clipfmt::kLastStandard) return {};
  wchar_t name[101];
  int n = GetClipboardFormatNameW(format, name, 101);
  if (n <= 0) return {};
  return std::u16string(reinterpret_cast<const char16_t*>(name), static_cast<size_t>(n));
}

bool CWinDesktop::IsMemoryBlockFormat(uint32_t format) {
  return clipfmt::IsMemoryBlock(format) || format == CF_ENHMETAFILE || format == CF_METAFILEPICT;
}

namespace {

// A metafile picture as bytes: mapping mode and extents (three 32-bit
// values), then the metafile's bits.
bool MetafilePictBytes(HANDLE h, std::vector<uint8_t>& bytes) {
  const auto* pict = static_cast<const METAFILEPICT*>(GlobalLock(h));
  if (!pict) return false;
  const LONG header[3] = {pict->mm, pict->xExt, pict->yExt};
  const HMETAFILE mf = pict->hMF;
  GlobalUnlock(h);
  const UINT size = GetMetaFileBitsEx(mf, 0, nullptr);
  if (size == 0) return false;
  bytes.resize(sizeof header + size);
  std::memcpy(bytes.data(), header, sizeof header);
  return GetMetaFileBitsEx(mf, size, bytes.data() + sizeof header) == size;
}

bool SetMetafilePict(const std::vector<uint8_t>& bytes) {
  LONG header[3];
  if (bytes.size() <= sizeof header) return false;
  std::memcpy(header, bytes.data(), sizeof header);
  HMETAFILE mf = SetMetaFileBitsEx(static_cast<UINT>(bytes.size() - sizeof header), bytes.data() + sizeof header);
  if (!mf) return false;
  HGLOBAL g = GlobalAlloc(GMEM_MOVEABLE, sizeof(METAFILEPICT));
  auto* pict = g ? static_cast<METAFILEPICT*>(GlobalLock(g)) : nullptr;
  if (!pict) {
    if (g) GlobalFree(g);
    DeleteMetaFile(mf);
    return false;
  }
  pict->mm = header[0];
  pict->xExt = header[1];
  pict->yExt = header[2];
  pict->hMF = mf;
  GlobalUnlock(g);
  if (!SetClipboardData(CF_METAFILEPICT, g)) {
    DeleteMetaFile(mf);
    GlobalFree(g);
    return false;
  }
  return true;
}

}  // namespace

bool CWinDesktop::GetClipboardBytes(uint32_t format, std::vector<uint8_t>& bytes) {
  // Handles to other system objects are never read as memory blocks.
  if (!IsMemoryBlockFormat(format)) return false;
  HANDLE h = GetClipboardData(format);
  if (!h) return false;
  if (format == CF_ENHMETAFILE) {
    const auto emf = static_cast<HENHMETAFILE>(h);
    const UINT size = GetEnhMetaFileBits(emf, 0, nullptr);
    if (size == 0) return false;
    bytes.resize(size);
    return GetEnhMetaFileBits(emf, size, bytes.data()) == size;
  }
  if (format == CF_METAFILEPICT) return MetafilePictBytes(h, bytes);
  SIZE_T size = GlobalSize(h);
  const void* p = GlobalLock(h);
  if (!p) return false;
  bytes.assign(static_cast<const uint8_t*>(p), static_cast<const uint8_t*>(p) + size);
  GlobalUnlock(h);
  return true;
}

bool CWinDesktop::SetClipboardBytes(uint32_t format, const std::vector<uint8_t>& bytes) {
  if (!IsMemoryBlockFormat(format)) return false;
  if (format == CF_ENHMETAFILE) {
    HENHMETAFILE emf = SetEnhMetaFileBits(static_cast<UINT>(bytes.size()), bytes.data());
    if (!emf) return false;
    if (!SetClipboardData(CF_ENHMETAFILE, emf)) {
      DeleteEnhMetaFile(emf);
      return false;
    }
    return true;
  }
  if (format == CF_METAFILEPICT) return SetMetafilePict(bytes);
  HGLOBAL g = GlobalAlloc(GMEM_MOVEABLE, bytes.empty() ? 1 : bytes.size());
  if (!g) return false;
  void* p = GlobalLock(g);
  if (!p) {
    GlobalFree(g);
    return false;
  }
  if (!bytes.empty()) std::memcpy(p, bytes.data(), bytes.size());
  GlobalUnlock(g);
  if (!SetClipboardData(format, g)) {
    GlobalFree(g);  // the clipboard did not take it
    return false;
  }
  return true;
}

uint32_t CWinDesktop::RegisterClipboardFormat(std::u16string_view name) {
  if (name.empty() || name.size() > 100) return 0;
  wchar_t buffer[101];
  std::memcpy(buffer, name.data(), name.size() * sizeof(char16_t));
  buffer[name.size()] = 0;
  return ::RegisterClipboardFormatW(buffer);
}

uint32_t CWinDesktop::ClipboardSequenceNumber() { return GetClipboardSequenceNumber(); }

bool CWinDesktop::SetClipboardUnicodeTextOnRequest() {
  // Only with an owner window to receive the request.
  if (!TimerWindow()) return false;
  // A null handle asks for rendering on request; success returns null too.
  g_ansiTextOffered = false;
  SetLastError(ERROR_SUCCESS);
  SetClipboardData(CF_UNICODETEXT, nullptr);
  return GetLastError() == ERROR_SUCCESS;
}

bool CWinDesktop::SetClipboardAnsiTextOnRequest() {
  if (!TimerWindow()) return false;
  SetLastError(ERROR_SUCCESS);
  SetClipboardData(CF_TEXT, nullptr);
  g_ansiTextOffered = GetLastError() == ERROR_SUCCESS;
  return g_ansiTextOffered;
}

bool CWinDesktop::ServiceOwnsClipboard() {
  // Whoever empties the clipboard becomes its owner.
  HWND hwnd = TimerWindow();
  return hwnd && GetClipboardOwner() == hwnd;
}

// ---- keyboard ----

void CWinDesktop::GetKeyboardState(uint8_t state[256]) {
  BYTE keys[256] = {};
  ::GetKeyboardState(keys);
  // The hook thread never has the focus, so its own queue state lags behind
  // the keyboard; the pressed bit comes from the physical state instead.
  for (int vk = 1; vk < 256; ++vk) {
    const bool down = (GetAsyncKeyState(vk) & 0x8000) != 0;
    keys[vk] = static_cast<BYTE>((keys[vk] & 0x01) | (down ? 0x80 : 0));
  }
  std::memcpy(state, keys, 256);
}

int CWinDesktop::TranslateKey(uint16_t vk, const uint8_t state[256], char16_t out[2]) {
  // The layout of the window being typed into: the user may have switched
  // layouts there, and the hook thread's own layout never follows.
  DWORD thread = GetWindowThreadProcessId(GetForegroundWindow(), nullptr);
  HKL layout = GetKeyboardLayout(thread);
  const UINT scan = MapVirtualKeyExW(vk, MAPVK_VK_TO_VSC, layout);
  wchar_t chars[8] = {};
  int n = 0;
  // The translation must leave the keyboard state alone: a dead key pressed
  // (or pending) belongs to the application, which translates the same key
  // after us.
  if (TranslationKeepsKeyboardState()) {
    n = ToUnicodeEx(vk, scan, state, chars, 8, kToUnicodeKeepState, layout);
  } else {
    // Older systems change the state on every translation: a dead key itself
    // is at least never translated here.
    if ((MapVirtualKeyExW(vk, MAPVK_VK_TO_CHAR, layout) & 0x80000000u) != 0) return -1;
    n = ToUnicodeEx(vk, scan, state, chars, 8, 0, layout);
  }
  if (n <= 0) return n;
  if (n > 2) n = 2;
  for (int i = 0; i < n; ++i) out[i] = static_cast<char16_t>(chars[i]);
  return n;
}

// ---- timer, caret, sound ----

void CWinDesktop::StartRestoreTimer(uint32_t milliseconds) {
  if (HWND hwnd = TimerWindow()) SetTimer(hwnd, kRestoreTimerId, milliseconds, nullptr);
}

void CWinDesktop::StopRestoreTimer() {
  if (HWND hwnd = TimerWindow()) KillTimer(hwnd, kRestoreTimerId);
}

void CWinDesktop::StartPasteTimer(uint32_t milliseconds) {
  if (HWND hwnd = TimerWindow()) SetTimer(hwnd, kPasteTimerId, milliseconds, nullptr);
}

bool CWinDesktop::AskApplication(WindowHandle window) {
  // A message sent to the window would be answered before the input queued
  // there (sent messages come first), the Ctrl+V still waiting behind it; a
  // repaint comes only once no input waits. Its window's pixel tells.
  const HWND hwnd = reinterpret_cast<HWND>(window);
  RECT client{};
  if (hwnd == nullptr || !IsWindowVisible(hwnd) || !GetClientRect(hwnd, &client) || IsRectEmpty(&client)) {
    return false;
  }
  RECT pixel{client.left, client.top, client.left + 1, client.top + 1};
  if (!InvalidateRect(hwnd, &pixel, FALSE)) return false;
  askedWindow_ = hwnd;
  return true;
}

uint32_t CWinDesktop::ApplicationAnswers() {
  if (askedWindow_ != nullptr && (!IsWindow(askedWindow_) || !GetUpdateRect(askedWindow_, nullptr, FALSE))) {
    askedWindow_ = nullptr;
    ++applicationAnswers_;
  }
  return applicationAnswers_;
}

void CWinDesktop::StopPasteTimer() {
  if (HWND hwnd = TimerWindow()) KillTimer(hwnd, kPasteTimerId);
}

bool CWinDesktop::PostDeferredWork() {
  // Only the hook thread's own window: the work must run on that thread.
  HWND hwnd = TimerWindow();
  if (!hwnd || GetCurrentThreadId() != timerThread_) return false;
  return PostMessageW(hwnd, kMsgDeferredWork, 0, 0) != FALSE;
}

bool CWinDesktop::CaretRect(DesktopRect& rect) {
  GUITHREADINFO gti{};
  gti.cbSize = sizeof gti;
  if (!GetGUIThreadInfo(0, &gti) || !gti.hwndCaret) return false;
  RECT r = gti.rcCaret;
  MapWindowPoints(gti.hwndCaret, nullptr, reinterpret_cast<POINT*>(&r), 2);
  rect = DesktopRect{r.left, r.top, r.right, r.bottom};
  return true;
}

void CWinDesktop::MessageBeep() { ::MessageBeep(MB_OK); }

}  // namespace tavirel
