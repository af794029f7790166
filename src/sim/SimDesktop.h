#pragma once
// An in-memory desktop: windows with a text field and a caret, a keyboard
// with the US layout, a clipboard holding several formats and a manual
// clock. Key events go through the service's hook logic exactly as the
// Win32 hooks do; what the service lets through (and what it injects)
// reaches the focused window's field as an application would apply it.
#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "service/IDesktop.h"
#include "sim/UsKeyboard.h"

namespace tavirel {

class CInputMethodService;

class SimDesktop : public IDesktop {
 public:
  // Key code of an injected Unicode packet as the hooks and applications see it.
  static constexpr uint16_t kVkPacket = 0xE7;

  // A key event as the focused application received it.
  struct AppKeyEvent {
    uint16_t Vk = 0;
    bool Up = false;
    char16_t Unit = 0;  // the UTF-16 unit of a Unicode packet
    bool operator==(const AppKeyEvent&) const = default;
  };

  // Starts with one focused Unicode window of class "Edit".
  SimDesktop();

  // ---- hooks ----
  // What the hook thread does at start: keyboard hook, keyboard state sync,
  // the mouse hook when the service asks for it.
  void InstallHooks(CInputMethodService* service);
  void RemoveHooks();

  // ---- the keyboard layout ----
  // The German layout instead of the US one, for the application and for
  // the service's translation. A dead key is kept, as by Windows, in one
  // state that every translation without the "keep the state" flag uses up.
  void UseGermanLayout(bool on = true) { german_ = on; }
  // Whether the service's translation leaves that state alone (Windows 10
  // version 1607 on). Off, as on older systems: the desktop refuses to
  // translate a dead key itself, but any other key uses up the state.
  bool TranslationKeepsDeadKey = true;

  // ---- the user's keyboard and mouse ----
  void KeyDown(uint16_t vk);
  void KeyUp(uint16_t vk);
  void Press(uint16_t vk);  // down and up
  // Presses the US key of the character (with left Shift when needed;
  // '\n' Enter, '\b' Backspace, '\t' Tab). A character no key types arrives
  // as a Unicode packet, as from an on-screen keyboard.
  void TypeChar(char16_t ch);
  void TypeText(std::u16string_view text);
  // A left (or right) click in the focused field; the caret moves to
  // position when it is not negative.
  void Click(int position = -1, bool right = false);

  // ---- windows and their fields ----
  WindowHandle AddWindow(std::u16string className, bool unicode = true);
  // The window's program runs at a higher integrity level: the system
  // silently drops input injected while it has the focus.
  void SetHigherIntegrity(WindowHandle window, bool higher = true);
  // The window is an edit control with the password style.
  void SetPassword(WindowHandle window, bool password = true);
  // The code page a window that is not Unicode reads characters through
  // (1252 or 1258), as its keyboard layout's language decides on Windows.
  void SetCodePage(WindowHandle window, uint32_t codePage);
  // The executable file name of the window's program.
  void SetProgram(WindowHandle window, std::u16string program);
  // The window completes what is typed, as address bars and spreadsheet
  // cells do: after each character typed at the end of its text, the first
  // of words that starts with the word before the caret and is longer is
  // completed, its tail appended and selected. A typed character replaces
  // the selection; Backspace and Delete remove only the selection.
  void SetCompletions(WindowHandle window, std::vector<std::u16string> words);
  // Units selected after the caret in the focused field.
  size_t Selected() const;
  // The focused field's text without its selected tail: what was typed.
  std::u16string TypedText() const;
  // The program answers readings of its field (IDesktop::RequestFieldSelection);
  // a reading is taken at the next Advance, after what the program has
  // handled by then.
  bool AnswersFieldReads = true;
  int FieldReads = 0;  // readings answered
  // Edits handed to ReplaceInField go in at once (read, then injected),
  // unless held: then FinishFieldReplacements sends them, reading the
  // field as its program has it by then.
  bool HoldFieldReplacements = false;
  void FinishFieldReplacements();
  int FieldReplacements = 0;  // edits read and sent
  // The window is a console's, as under Wine: Unicode packets injected
  // into it are dropped (its input is built from the layout's keys only);
  // text written into the console's input arrives.
  void SetConsole(WindowHandle window, bool console = true);
  // A program that is not Unicode and pastes ANSI text itself (an EDIT
  // control pastes the Unicode text, as the default models).
  void SetPastesAnsiText(WindowHandle window);
  int ConsoleWrites = 0;  // TypeIntoConsole calls that wrote
  // While on, console writes wait (as for a console busy with its window's
  // messages) until FinishConsoleWrites writes them (the oldest count) and
  // tells the service.
  bool HoldConsoleWrites = false;
  void FinishConsoleWrites(size_t count = SIZE_MAX);
  void SetFocus(WindowHandle window);
  WindowHandle Focused() const { return focus_; }
  const std::u16string& Text() const;
  std::u16string TextOf(WindowHandle window) const;
  size_t Caret() const;
  void SetText(std::u16string text);
  // Empties the field, keeping its storage.
  void ClearText();
  // Takes the field's text out and empties it (long runs in tools).
  std::u16string TakeText();
  // Removes the field's first count units, keeping its storage (long runs
  // in tools); the caret moves with the text.
  void EraseTextStart(size_t count);

  // ---- the clipboard as other programs see it ----
  void SetClipboardText(std::u16string_view text);
  std::u16string ClipboardText() const;
  // Adds or replaces a format with these bytes.
  void PutClipboardFormat(uint32_t format, std::vector<uint8_t> bytes);
  bool ClipboardHas(uint32_t format) const;
  std::vector<uint8_t> ClipboardFormatBytes(uint32_t format) const;
  std::vector<uint32_t> ClipboardFormats() const;
  bool ClipboardLocked = false;  // another program holds it open
  // After pasting, the application keeps the clipboard open this long
  // (inserting the text, drawing it) before it closes it.
  uint32_t AppHoldsClipboardMs = 0;
  int ClipboardOpens = 0;        // successful OpenClipboard calls
  int ClipboardOpensInHook = 0;  // of those, inside the service's hook callback
  // Runs while a program reads clipboard data, as the owner renders it on
  // request (the user may type meanwhile).
  std::function<void()> WhileRendering;
  // Runs once inside the next injection, as input the user makes while the
  // system handles the service's injected events.
  std::function<void()> WhileInjecting;
  // The service may put text on the clipboard rendered on request (as on
  // Windows); off, it has to put the text itself.
  bool RendersOnRequest = true;

  // ---- a busy application ----
  // While on, what reaches the application waits in its input queue, as in
  // a program that is slow to get to its messages: it reads the clipboard
  // when it gets to a Ctrl+V, not when the Ctrl+V was sent.
  bool AppLags = false;
  // The application handles up to n queued events (of the window that had
  // the focus when each arrived); the hook thread's posted work runs between
  // them, as its message loop would. Returns how many remain.
  size_t AppCatchUp(size_t n = SIZE_MAX);
  // Questions whether the application has got through its queued input:
  // answered once it has (at once when it does not lag or has nothing
  // queued, else when it catches up).
  bool AskApplication(WindowHandle window) override;
  // On, the lagging application answers at once all the same: a program
  // that gets through its input but does not read the paste.
  bool AppAnswersWhileLagging = false;
  uint32_t ApplicationAnswers() override { return answers_; }

  // ---- the hook thread's message loop ----
  // Work posted by the service runs after the user's event that caused it,
  // unless held; RunDeferredWork runs it then.
  bool HoldDeferredWork = false;
  bool DeferredWorkPosted() const { return deferredPosted_; }
  void RunDeferredWork();

  // ---- the clock ----
  void Advance(uint32_t milliseconds);
  uint64_t Now() const { return now_; }
  bool TimerRunning() const { return timerArmed_; }
  bool PasteTimerRunning() const { return pasteTimerArmed_; }

  // ---- what happened ----
  std::vector<AppKeyEvent> AppKeys;  // recorded while RecordAppKeys is on
  bool RecordAppKeys = true;
  // Injection fails as on a locked desktop: nothing goes in, false returned.
  bool InjectionBlocked = false;
  int UnicodeInjections = 0;  // injections that carried Unicode packets
  int Beeps = 0;
  const uint8_t* SystemKeyState() const { return sysState_; }

  // ---- IDesktop ----
  bool SendKey(uint16_t vk, bool up) override;
  bool SendUnicodeText(std::u16string_view text) override;
  bool SendReplacement(int deletes, int backspaces, std::u16string_view text) override;
  bool RequestFieldSelection(WindowHandle window, uint32_t serial) override;
  bool ReplaceInField(WindowHandle window, int backspaces, std::u16string_view text, bool marked) override;
  bool ReadsFieldBeforeReplacing() override { return true; }
  // The last held edit is dropped.
  bool CancelFieldReplacement() override {
    if (fieldEdits_.empty()) return false;
    fieldEdits_.pop_back();
    return true;
  }
  WindowHandle FocusWindow() override { return focus_; }
  std::u16string WindowClassName(WindowHandle window) override;
  bool IsUnicodeWindow(WindowHandle window) override;
  bool IsWindowOfHigherIntegrity(WindowHandle window) override;
  bool IsPasswordField(WindowHandle window) override;
  bool IsConsoleWindow(WindowHandle window) override;
  bool TypeIntoConsole(WindowHandle window, int backspaces, std::u16string_view text) override;
  void FlushConsoleWrites(uint32_t milliseconds) override;
  // A window that is not Unicode holds each character as its byte in the
  // window's code page ('?' when it has none): 1252 as on a Western system
  // unless SetCodePage chose 1258.
  uint32_t AnsiCodePageOf(WindowHandle window) override;
  char16_t AnsiCodePageChar(uint32_t codePage, uint8_t byte) override;
  // English (United States) for 1252, Vietnamese for 1258.
  uint32_t InputLocaleOf(WindowHandle window) override;
  std::u16string WindowProgramName(WindowHandle window) override;
  bool OpenClipboard() override;
  void CloseClipboard() override;
  bool EmptyClipboard() override;
  bool SetClipboardUnicodeText(std::u16string_view text) override;
  uint32_t EnumClipboardFormats(uint32_t previous) override;
  std::u16string ClipboardFormatName(uint32_t format) override;
  bool GetClipboardBytes(uint32_t format, std::vector<uint8_t>& bytes) override;
  bool SetClipboardBytes(uint32_t format, const std::vector<uint8_t>& bytes) override;
  uint32_t RegisterClipboardFormat(std::u16string_view name) override;
  uint32_t ClipboardSequenceNumber() override { return clipboardSequence_; }
  bool SetClipboardUnicodeTextOnRequest() override;
  bool SetClipboardAnsiTextOnRequest() override;
  bool ServiceOwnsClipboard() override { return serviceOwns_; }
  void GetKeyboardState(uint8_t state[256]) override;
  int TranslateKey(uint16_t vk, const uint8_t state[256], char16_t out[2]) override {
    if (!german_) [[likely]] return UsKeyboard::Translate(vk, state, out);
    return TranslateGerman(vk, state, out);
  }
  void StartRestoreTimer(uint32_t milliseconds) override;
  void StopRestoreTimer() override;
  void StartPasteTimer(uint32_t milliseconds) override;
  void StopPasteTimer() override;
  bool PostDeferredWork() override {
    deferredPosted_ = true;
    return true;
  }
  bool CaretRect(DesktopRect& rect) override;
  void MessageBeep() override { ++Beeps; }

 private:
  struct Window {
    std::u16string ClassName;
    bool Unicode = true;
    bool HigherIntegrity = false;
    bool Password = false;
    bool Console = false;
    bool PastesAnsiText = false;
    uint32_t CodePage = 1252;
    std::u16string Program;
    std::u16string Text;
    size_t Caret = 0;
    size_t Selected = 0;  // units selected after the caret
    std::vector<std::u16string> Completions;
    bool Completes = false;  // Completions is not empty
  };
  struct ClipFormat {
    uint32_t Format = 0;
    std::vector<uint8_t> Bytes;
    bool OnRequest = false;  // the service renders it when it is read
  };
  struct AppEvent {
    uint16_t Vk = 0;
    bool Up = false;
    char16_t Unit = 0;
    WindowHandle Window = 0;
    std::array<uint8_t, 256> State{};  // the key state when it arrived
  };

  // A key the user presses or releases, with the message loop's turn after it.
  void UserKey(uint16_t vk, bool up);
  // UserKey for a key TypeChar presses; plain is the character it types
  // with no modifier (0 when not known).
  void TypingKey(uint32_t vk, bool up, char16_t plain);
  // No Shift, Ctrl or Alt (generic or sided) is down and Caps Lock is off,
  // in the system's key state.
  bool NoModifierNorCapsLock() const { return uskeyboard_detail::NoModifierNorCapsLock(sysState_); }
  // TypingKey's rare roads: the hook let the key through zeroed; the
  // events are recorded or queued; the key-down is not the plain character.
  [[gnu::noinline]] void TypingKeyZeroed(bool up);
  [[gnu::noinline]] void TypingKeyToApp(uint32_t vk, bool up);
  [[gnu::noinline]] void ApplyTypingKeyDown(uint32_t vk);
  // TypeChar for a character that needs Shift or has no key.
  [[gnu::noinline]] void TypeOtherChar(char16_t ch);
  // SendReplacement past its common case.
  [[gnu::noinline]] bool SendReplacementSlow(int deletes, int backspaces, std::u16string_view text);
  // Unicode packets of an accepted injection into the focused application.
  void DeliverPackets(std::u16string_view text);
  // One key event from the keyboard driver or an injection: through the
  // hook, then to the system state and the focused application.
  void Deliver(uint16_t vk, bool up, char16_t unit);
  // Injected by the service: like Win32's marked events, past the hook.
  void DeliverToApp(uint16_t vk, bool up, char16_t unit);
  // Kept out of line: recording is off in long runs.
  [[gnu::noinline]] void RecordAppKey(uint16_t vk, bool up, char16_t unit);
  // A real key (1..0xFF, not a packet) went down or up.
  void UpdateSystemState(uint16_t vk, bool up);
  // A key-down (not a packet) that reached the focused window's application.
  void ApplyKeyDown(Window& w, uint16_t vk);
  [[gnu::noinline]] void ApplyKeyDownSlow(Window& w, uint16_t vk);
  [[gnu::noinline]] void ApplyOtherKeyDown(Window& w, uint16_t vk);
  [[gnu::noinline]] void ApplyGermanKeyDown(Window& w, uint16_t vk);
  [[gnu::noinline]] int TranslateGerman(uint16_t vk, const uint8_t state[256], char16_t out[2]);
  void InsertUnit(Window& w, char16_t unit);
  // Removes the selection; false when there is none.
  static bool DeleteSelection(Window& w);
  static void Complete(Window& w);
  [[gnu::noinline]] void InsertUnitSlow(Window& w, char16_t unit);
  void Insert(std::u16string_view text);
  void PasteIntoApp();
  // The byte (as a unit) a non-Unicode window holds for a character.
  static char16_t AnsiByteOf(uint32_t codePage, char16_t unit);
  [[gnu::noinline]] void QueueForApp(uint16_t vk, bool up, char16_t unit);
  // A program reads the format: the service renders it when it is on request.
  void RenderOnRequest(uint32_t format);
  // Whether an injection goes in: false when blocked; dropped is set when
  // the focus silently refuses it.
  bool InjectionAccepted(bool& dropped);
  // Takes the WhileInjecting action and runs it once.
  [[gnu::noinline]] void RunWhileInjecting();
  // After an event of the user: the posted work, as the message loop would.
  bool InsideHookCallback() const;
  void AfterUserEvent() {
    // Not while the hook callback is still running: the loop gets the
    // message after it.
    if (deferredPosted_ && !HoldDeferredWork) [[unlikely]] {
      if (!InsideHookCallback()) RunDeferredWork();
    }
  }
  Window* FocusedWindow();
  const Window* FocusedWindow() const;
  ClipFormat* FindFormat(uint32_t format);
  const ClipFormat* FindFormat(uint32_t format) const;

  CInputMethodService* service_ = nullptr;
  bool mouseHook_ = false;
  bool german_ = false;
  char16_t deadKey_ = 0;  // the system's pending dead key (German layout)
  struct ConsoleWrite {
    WindowHandle Window = 0;
    int Backspaces = 0;
    std::u16string Text;
  };
  std::vector<ConsoleWrite> consoleWrites_;  // held by HoldConsoleWrites
  struct FieldEdit {
    WindowHandle Window = 0;
    int Backspaces = 0;
    std::u16string Text;
    bool Marked = false;
  };
  std::vector<FieldEdit> fieldEdits_;  // held by HoldFieldReplacements
  void ReplaceNow(const FieldEdit& edit);
  void WriteConsole(const ConsoleWrite& write);
  std::vector<Window> windows_;  // handle = index + 1
  WindowHandle focus_ = 0;
  uint8_t sysState_[256] = {};
  // Keys the user holds, whether or not the system has seen them yet.
  uint8_t held_[256] = {};
  std::vector<ClipFormat> clipboard_;
  std::vector<std::u16string> registeredNames_;  // format = 0xC000 + index
  bool clipboardOpen_ = false;
  uint64_t clipboardHeldUntil_ = 0;  // by the application, after a paste
  bool serviceOwns_ = false;  // the service emptied it last
  std::deque<AppEvent> appQueue_;
  uint32_t questionsOut_ = 0;
  uint32_t answers_ = 0;
  bool pasteTimerArmed_ = false;
  uint64_t pasteTimerDeadline_ = 0;
  uint32_t clipboardSequence_ = 1;
  bool deferredPosted_ = false;
  struct FieldRead {
    WindowHandle Window = 0;
    uint32_t Serial = 0;
  };
  std::vector<FieldRead> fieldReads_;  // asked for, answered at the next Advance
  uint64_t now_ = 0;
  bool timerArmed_ = false;
  uint64_t timerDeadline_ = 0;
};

}  // namespace tavirel
