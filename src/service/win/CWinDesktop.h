#pragma once
// The desktop interface over Win32: SendInput, the focused window of the
// foreground thread, the clipboard, the keyboard state and key translation,
// the restore timer on the hook thread's timer window, the caret and a beep.
#include <windows.h>

#include <atomic>
#include <memory>
#include <vector>

#include "common/BackgroundQueue.h"
#include "service/IDesktop.h"
#include "service/win/CConsoleInput.h"

namespace tavirel {

// Every event Tavirel injects carries this in dwExtraInfo, so that the hook
// recognises its own input however late the system delivers it.
constexpr ULONG_PTR kInjectedMarker = 0x54564C52;  // "TVLR"

class CWinDesktop : public IDesktop {
 public:
  CWinDesktop() = default;
  ~CWinDesktop() override;

  // ---- the timer window (created and destroyed on the hook thread) ----
  // A message-only window that owns the restore timer and the clipboard
  // while Tavirel writes it. False when it could not be made.
  bool CreateTimerWindow();
  // Destroys the window when it belongs to the calling thread.
  void DestroyTimerWindow();
  HWND TimerWindow() const { return timerWindow_.load(std::memory_order_acquire); }

  // ---- IDesktop ----
  bool SendKey(uint16_t vk, bool up) override;
  bool SendUnicodeText(std::u16string_view text) override;
  bool SendReplacement(int deletes, int backspaces, std::u16string_view text) override;
  // Read on a worker thread of its own, kFieldReadDelayMs after the call,
  // each message bounded by kFieldReadTimeoutMs; the answer is posted to the
  // timer window.
  bool RequestFieldSelection(WindowHandle window, uint32_t serial) override;
  // Read and injected on a worker thread of its own, once the field's
  // program has shown that it handled the input before (InputHandled) or
  // did not in time, all within kFieldWriterBudgetMs; the answer is posted
  // to the timer window.
  bool ReplaceInField(WindowHandle window, int backspaces, std::u16string_view text, bool marked) override;
  bool CancelFieldReplacement() override;
  bool ReadsFieldBeforeReplacing() override { return true; }
  WindowHandle FocusWindow() override;
  std::u16string WindowClassName(WindowHandle window) override;
  bool IsUnicodeWindow(WindowHandle window) override;
  bool IsWindowOfHigherIntegrity(WindowHandle window) override;
  bool IsPasswordField(WindowHandle window) override;
  bool IsConsoleWindow(WindowHandle window) override;
  bool TypeIntoConsole(WindowHandle window, int backspaces, std::u16string_view text) override;
  void FlushConsoleWrites(uint32_t milliseconds) override;
  uint32_t AnsiCodePageOf(WindowHandle window) override;
  char16_t AnsiCodePageChar(uint32_t codePage, uint8_t byte) override;
  uint32_t InputLocaleOf(WindowHandle window) override;
  std::u16string WindowProgramName(WindowHandle window) override;
  bool OpenClipboard() override;
  void CloseClipboard() override;
  bool EmptyClipboard() override;
  bool SetClipboardUnicodeText(std::u16string_view text) override;
  uint32_t EnumClipboardFormats(uint32_t previous) override;
  std::u16string ClipboardFormatName(uint32_t format) override;
  // Memory blocks, and the two metafile formats, copied as their bits.
  bool IsMemoryBlockFormat(uint32_t format) override;
  bool GetClipboardBytes(uint32_t format, std::vector<uint8_t>& bytes) override;
  bool SetClipboardBytes(uint32_t format, const std::vector<uint8_t>& bytes) override;
  uint32_t RegisterClipboardFormat(std::u16string_view name) override;
  uint32_t ClipboardSequenceNumber() override;
  bool SetClipboardUnicodeTextOnRequest() override;
  bool SetClipboardAnsiTextOnRequest() override;
  bool ServiceOwnsClipboard() override;
  void GetKeyboardState(uint8_t state[256]) override;
  int TranslateKey(uint16_t vk, const uint8_t state[256], char16_t out[2]) override;
  void StartRestoreTimer(uint32_t milliseconds) override;
  void StopRestoreTimer() override;
  void StartPasteTimer(uint32_t milliseconds) override;
  void StopPasteTimer() override;
  // A pixel of the window made invalid: a program repaints only when no
  // input waits in its queue, so the repaint is the answer. Polled, never
  // waited for.
  bool AskApplication(WindowHandle window) override;
  uint32_t ApplicationAnswers() override;
  bool PostDeferredWork() override;
  bool CaretRect(DesktopRect& rect) override;
  void MessageBeep() override;

  static constexpr UINT_PTR kRestoreTimerId = 1;
  static constexpr UINT_PTR kPasteTimerId = 2;
  // Posted to the timer window: run the service's deferred work.
  static constexpr UINT kMsgDeferredWork = WM_APP + 0x55;
  // Posted to the timer window: a field reading came back (wParam: serial,
  // lParam: a new'd FieldSelection, taken over).
  static constexpr UINT kMsgFieldSelection = WM_APP + 0x5A;
  static constexpr DWORD kFieldReadDelayMs = 30;
  static constexpr UINT kFieldReadTimeoutMs = 100;
  // How long the field writer waits for the field's program to handle the
  // input queued before an edit (after the hook thread's answer, at most
  // kFieldWriterReadTimeoutMs), and then for each of the four answers of
  // its reading. One after the other these would come to 2.05 seconds,
  // plus the system timer's ticks (about 16 ms) on each wait: more than the
  // service's wait for the edit (2 seconds), after which it sends the edit
  // itself. So all of them end by kFieldWriterBudgetMs from the hand-over,
  // which leaves the ticks room.
  static constexpr ULONGLONG kFieldSettleTimeoutMs = 800;
  static constexpr UINT kFieldWriterReadTimeoutMs = 250;
  static constexpr ULONGLONG kFieldWriterBudgetMs = 1800;
  // Posted to the timer window by the field writer: wParam 1 injected,
  // lParam the number of the edit.
  static constexpr UINT kMsgFieldReplaced = WM_APP + 0x5B;
  // Posted to the timer window by the console writer: wParam 1 written.
  static constexpr UINT kMsgConsoleWritten = WM_APP + 0x56;
  // Posted to the timer window by another thread: run the service's posted
  // changes. A window's message, unlike a thread's, is also delivered by a
  // modal loop running on the hook thread (a scroll bar held down in the
  // suggestion popup, a list's drag detection).
  static constexpr UINT kMsgRunChanges = WM_APP + 0x5C;

 private:
  static LRESULT CALLBACK TimerWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  // Appends the down and up records of each unit to packets_.
  void AddUnicodePackets(std::u16string_view text);

  std::atomic<HWND> timerWindow_{nullptr};
  std::unique_ptr<CBackgroundQueue> fieldReader_;  // made on first use
  std::unique_ptr<CBackgroundQueue> fieldWriter_;  // made on first use
  // The last edit handed to ReplaceInField: waiting for its reading, going
  // in, or given up by the service; its number.
  static constexpr int kEditWaiting = 0;
  static constexpr int kEditGoing = 1;
  static constexpr int kEditGivenUp = 2;
  std::shared_ptr<std::atomic<int>> fieldEdit_;
  uint32_t fieldEditId_ = 0;
  DWORD timerThread_ = 0;
  HWND askedWindow_ = nullptr;  // a pixel of it made invalid, not yet repainted
  uint32_t applicationAnswers_ = 0;
  std::vector<INPUT> packets_;  // reused: no allocation per key
  CConsoleInput console_;
  // Integrity level of this process (0 until first asked).
  DWORD ownIntegrity_ = 0;
};

}  // namespace tavirel
