#pragma once
// The input service: receives every key and mouse event of the desktop from
// the hook procedures (see HookLogic.h), keeps its own keyboard state and the
// held modifiers, runs hotkeys, hands characters to its typing context and
// delivers the context's replacements to the focused application.
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/Event.h"
#include "service/AppRules.h"
#include "service/AutoCompleteDetector.h"
#include "service/CAnsiText.h"
#include "service/CClipboardBackup.h"
#include "service/CHotKeyActionBase.h"
#include "service/DeferredKeys.h"
#include "service/IDesktop.h"
#include "service/PasteWait.h"
#include "service/IInputMethodService.h"
#include "service/ISuggestionWindow.h"
#include "service/KeyCombo.h"
#include "service/ServiceDispatcher.h"

namespace tavirel {

class CTypingContext;
class CTuDienTuGhep;
class CSuggestionEngine;
class CBackgroundQueue;
struct ServiceTables;

class CInputMethodService : public IInputMethodService {
 public:
  // ---- built-in hotkey actions ----
  // Ctrl alone: forget the word being typed.
  class CClearHotKeyAction : public CHotKeyActionBase {
   public:
    using CHotKeyActionBase::CHotKeyActionBase;
    bool Execute() override;
  };
  // Ctrl+Alt alone: give the last word back its raw keys.
  class CKhoiPhucHotKeyAction : public CHotKeyActionBase {
   public:
    using CHotKeyActionBase::CHotKeyActionBase;
    bool Execute() override;
  };
  // Tab: take the selected suggestion.
  class CSuggestionHotKeyAction : public CHotKeyActionBase {
   public:
    using CHotKeyActionBase::CHotKeyActionBase;
    bool Execute() override;
  };
  // Esc: close the suggestion window.
  class CCloseSuggestionHotKeyAction : public CHotKeyActionBase {
   public:
    using CHotKeyActionBase::CHotKeyActionBase;
    bool Execute() override;
  };
  // Ctrl+Shift alone: Vietnamese typing on or off.
  class CChuyenHotKeyAction : public CHotKeyActionBase {
   public:
    using CHotKeyActionBase::CHotKeyActionBase;
    bool Execute() override;
  };
  // Ctrl+Shift+F9: ask for the quick clipboard conversion.
  class CChuyenMaHotKeyAction : public CHotKeyActionBase {
   public:
    using CHotKeyActionBase::CHotKeyActionBase;
    bool Execute() override;
  };

  // Default keys of the built-in actions.
  static constexpr KeyCombo kDefaultPhimClear{modbits::kCtrl, 0};
  static constexpr KeyCombo kDefaultPhimKhoiPhuc{modbits::kCtrl | modbits::kAlt, 0};
  static constexpr KeyCombo kDefaultPhimGoiY{0, vk::kTab};
  static constexpr KeyCombo kCloseSuggestionKey{0, vk::kEscape};
  static constexpr KeyCombo kDefaultPhimChuyen{modbits::kCtrl | modbits::kShift, 0};
  static constexpr KeyCombo kChuyenMaKey{modbits::kCtrl | modbits::kShift, vk::kF9};

  // The desktop is not owned and must outlive the service. The constructor
  // makes this the process-wide service.
  explicit CInputMethodService(IDesktop* desktop);
  ~CInputMethodService() override;

  CInputMethodService(const CInputMethodService&) = delete;
  CInputMethodService& operator=(const CInputMethodService&) = delete;

  // The process-wide service used by the hook procedures; null when none.
  static CInputMethodService* Instance();

  // ---- IInputMethodService ----
  void SendText(int backspaces, const std::u16string& text) override;
  bool IsNumpadKey() override { return numpadKey_; }
  bool IsCapsLockOn() override { return keyState_[vk::kCapital] == 1; }
  void SetVietnamese(bool on) override;
  bool IsVietnamese() override { return vietnamese_; }
  bool LoadDictionaries(bool withLookup) override;
  void ReleaseDictionaries() override;

  // ---- key pipeline ----
  // Key-down and system-key-down: true swallows the key.
  bool OnKeyDown(uint16_t vk);
  // What the keyboard hook does with a key-down that is not our own
  // injection: CheckFocusWindow(), OnKeyDown(), ArmRestoreTimerIfUsed().
  bool OnHookKeyDown(uint16_t vk);
  // Caps Lock, Num Lock, Shift, Ctrl, Alt (generic and sided) and the Win
  // keys: the keys that leave the ordinary key path, as a 256-bit set.
  static constexpr uint64_t kLockOrModifierSet[4] = {
      (uint64_t{1} << vk::kShift) | (uint64_t{1} << vk::kControl) | (uint64_t{1} << vk::kMenu) |
          (uint64_t{1} << vk::kCapital),
      (uint64_t{1} << (vk::kLWin - 64)) | (uint64_t{1} << (vk::kRWin - 64)),
      (uint64_t{1} << (vk::kNumLock - 128)) | (uint64_t{0x3F} << (vk::kLShift - 128)),
      0};
  static constexpr bool IsLockOrModifierKey(uint16_t vk) {
    return vk < 256 && ((kLockOrModifierSet[vk >> 6] >> (vk & 63)) & 1) != 0;
  }
  // Its complement below 256.
  static constexpr uint64_t kNotLockOrModifierSet[4] = {~kLockOrModifierSet[0], ~kLockOrModifierSet[1],
                                                      ~kLockOrModifierSet[2], ~kLockOrModifierSet[3]};
  // Key-up and system-key-up: tracks toggles and modifiers, runs
  // modifier-only hotkeys; never swallows.
  bool OnKeyUp(uint16_t vk) {
    if (sending_) return false;
    passWithZeroKey_ = false;
    if (!IsLockOrModifierKey(vk)) [[likely]] return false;
    return OnLockOrModifierKeyUp(vk);
  }
  // Runs the hotkeys bound to the held modifiers and vk; true consumes.
  bool MatchKeyDown(uint16_t vk);
  void OnMouse(uint32_t message, DesktopPoint point);
  // Forgets the typing context's run and hides the suggestion window.
  void Reset();
  // Copies the system keyboard state, forgets the modifiers, Reset().
  void SyncKeyboardState();

  // ---- hook-level helpers (CHookLogic) ----
  bool IsSending() const { return sending_; }
  bool PassWithZeroKey() const { return passWithZeroKey_; }
  // Reads the focused window; on a change resets the context when the mouse
  // hook is not installed and re-runs the auto-complete detection.
  void CheckFocusWindow() {
    const WindowHandle window = desktop_->FocusWindow();
    if (window != focusWindow_) [[unlikely]] FocusChanged(window);
  }
  // After a key-down: re-arms the one-second restore timer when the
  // clipboard was used for this key.
  void ArmRestoreTimerIfUsed() {
    if (clipboardUsed_) ArmRestoreTimer();
  }
  // The restore timer fired: stop it and put the user's clipboard back
  // when it still holds what the service put there.
  void OnRestoreTimer();
  // Set by the hook procedures around the service's handling of an event:
  // output that needs the clipboard is then deferred (see HookLogic.h).
  void SetInHookCallback(bool in) { inHook_ = in; }
  bool InHookCallback() const { return inHook_; }
  // Output waits to run outside the hook callback; key events are held
  // meanwhile (HoldKey) and handled by RunDeferredWork.
  bool Deferring() const { return deferring_; }
  // Holds a key event for RunDeferredWork, asking for that run when none is
  // pending. False when the desktop cannot run deferred work.
  bool HoldKey(DeferredKey key) {
    if (!deferring_) {
      if (!desktop_->PostDeferredWork()) return false;
      deferring_ = true;
    }
    deferredKeys_.Push(key);
    return true;
  }
  // A key the service handled and let through while output or other keys
  // began to wait during its handling: it reaches the application first.
  void HoldHandledKey(DeferredKey key) { deferredKeys_.PushFront(key); }
  // From the hook thread's message loop: the deferred output, then the
  // held key events in order. A paste waits until the application has read
  // the one before it (or the wait is over, see OnPasteTimer); what comes
  // after it stays held meanwhile.
  void RunDeferredWork();
  // A program asks for the text of the service's last paste (it is reading
  // the clipboard): text receives it. The wait for that read is over.
  bool OnRenderClipboard(std::u16string& text);
  // The same for the ANSI text offered with the bytes of an 8-bit table.
  bool OnRenderClipboardBytes(std::string& bytes);
  // The paste timer fired. A wait for the application to read the last
  // paste goes on while the application is busy (CPasteWait); once it is
  // over the held output goes on, by key packets while that paste stays
  // unread, so that the clipboard it may still read is never replaced under
  // it.
  void OnPasteTimer();
  // A reading of the focused field asked for through
  // IDesktop::RequestFieldSelection came back: a field that selected a
  // suggested tail after our key gets a Delete before each replacement.
  void OnFieldSelection(uint32_t serial, const FieldSelection& selection);
  // The last paste has not been read yet.
  bool PasteUnread() const { return pasteUnread_; }
  // The desktop has written (or failed to write) the text last handed to
  // TypeIntoConsole; what waited behind it goes on. Unwritten text is sent
  // as keys.
  void OnConsoleWritten(bool written);
  // The edit handed to IDesktop::ReplaceInField went in (injected false: the
  // system did not take it all); what waited behind it goes on.
  void OnFieldReplaced(bool injected);
  // At exit: nothing waits for the application any longer. Console writes
  // still out are finished first (bounded), so that what was held behind
  // them follows them instead of being lost; later ones are not waited for.
  void StopWaitingForPaste();
  // A new hook thread runs the service: answers come again, and a clipboard
  // an earlier thread gave up waiting for is waited for again.
  void ResumeWaitingForAnswers() {
    consoleNoAnswers_ = false;
    clipboardTries_ = 0;
  }

  // ---- settings ----
  // Per-program rules (UngDung.ini), applied when the focus moves to a
  // program's window.
  void SetAppRules(CAppRules rules);
  const CAppRules& AppRules() const { return appRules_; }
  // The program that has the focus when it has a rule, else empty.
  const std::u16string& RuledProgram() const { return ruledProgram_; }
  void SetTypingMethod(const std::u16string& name);
  void SetCodeTable(const std::u16string& name);
  void SetSpecialWords(const std::u16string& text);
  // The methods and code tables the two setters above choose from, by name
  // (see ServiceTables.h); replacing them re-applies the current names.
  void SetTables(std::shared_ptr<const ServiceTables> tables);
  const ServiceTables& Tables() const { return *tables_; }
  const std::u16string& TypingMethod() const { return typingMethod_; }
  const std::u16string& CodeTable() const { return codeTable_; }
  const std::u16string& SpecialWords() const { return specialWords_; }

  // ---- suggestions ----
  // On: the compound dictionary (when not loaded yet), the engine and the
  // used keywords are prepared on a worker thread when a hook thread owns
  // the service, at once otherwise; suggestions start when they are ready.
  // Off: the used keywords are saved on the worker thread, the engine goes,
  // the list is hidden.
  void EnableSuggestions(bool on);
  // After a key: searches the typed text and shows or hides the list.
  void UpdateSuggestions();
  // Replaces the typed text with the candidate of that row (see
  // CTypingContext::AcceptSuggestion), learns a choice other than the first
  // and searches again. False when there is no such row.
  bool PickSuggestion(int row);
  bool SuggestionsOn() const { return suggestionsOn_; }
  // The engine is ready and searching after each key.
  bool SuggestionsActive() const { return engine_ != nullptr; }
  bool SuggestionWindowVisible() const;
  // Null while suggestions are not active.
  const CSuggestionEngine* SuggestionEngine() const { return engine_.get(); }
  // The list the results go to; null until suggestions first showed.
  ISuggestionWindow* SuggestionWindow() { return suggestionWindow_.get(); }
  // The text of a row of the list (empty outside the results).
  const std::u16string& SuggestionText(int row) const;
  // Makes the list on first use, on the key-processing thread. Default: an
  // in-memory CSuggestionList.
  using SuggestionWindowFactory = std::function<std::unique_ptr<ISuggestionWindow>(CInputMethodService&)>;
  void SetSuggestionWindowFactory(SuggestionWindowFactory factory) { windowFactory_ = std::move(factory); }
  // Destroys the list (its thread is ending); the next show makes another.
  void DropSuggestionWindow();
  // The list's rows and transparency, as the user left them, become
  // SuggestionUIExpand and SuggestionUIAlpha (what the settings save). The
  // list calls it after each change the user makes in it.
  void KeepSuggestionLook();
  // Not on the hook thread: waits for the worker's loads and saves and, when
  // no hook thread owns the service, takes in what was loaded.
  void FinishBackgroundWork();
  // Installs what the worker loaded once it is ready (the hook thread runs
  // it when the worker tells it, and before each key while a load is out).
  void TakeLoadedSuggestions();
  // Where the used keywords are kept (the settings folder).
  std::u16string UsedKeywordsPath;

  // ---- output delivery ----
  // Puts text on the clipboard and presses Ctrl+V around any held Shift.
  void Paste(const std::u16string& table);
  void SendUnicode(const std::u16string& text);
  // Synthesises the key-up of every held Shift, Ctrl, Alt and Win key.
  void ReleaseModifierKeys();

  // ---- state shared with the hotkeys and the front ends ----
  CTypingContext& Context() { return *context_; }
  IDesktop& Desktop() { return *desktop_; }
  CClipboardBackup& ClipboardBackup() { return clipboardBackup_; }
  CTuDienTuGhep& CompoundDictionary() { return *compoundDictionary_; }
  int32_t Modifiers() const { return modifiers_; }
  bool Consumed() const { return consumed_; }
  const uint8_t* KeyState() const { return keyState_; }
  WindowHandle FocusWindowHandle() const { return focusWindow_; }
  bool AutoCompleteWindow() const { return autoCompleteWindow_; }
  // The focus window's keys pass unprocessed (see focusKeysUntouched_).
  bool FocusKeysUntouched() const { return focusKeysUntouched_; }
  bool RestorePending() const { return restorePending_; }

  // The built-in actions, in matching order. The set is fixed; their keys
  // may be re-bound at any time through the actions or the setters below.
  const std::vector<CHotKeyActionBase*>& BuiltInHotKeys() const { return builtInHotKeys_; }
  // The user's hotkeys from PhimTat.ini, owned. Handing the list out for
  // changing counts as a change of hotkeys (see HotKeyBinding).
  std::vector<std::unique_ptr<CHotKeyActionBase>>& UserHotKeys() {
    HotKeyBinding::Changed();
    return userHotKeys_;
  }
  // Re-binding of the four configurable built-in keys.
  void SetPhimClear(KeyCombo key) { clear_.Key = key; }
  void SetPhimKhoiPhuc(KeyCombo key) { khoiPhuc_.Key = key; }
  void SetPhimGoiY(KeyCombo key) { suggestion_.Key = key; }
  void SetPhimChuyen(KeyCombo key) { chuyen_.Key = key; }
  KeyCombo PhimClear() const { return clear_.Key; }
  KeyCombo PhimKhoiPhuc() const { return khoiPhuc_.Key; }
  KeyCombo PhimGoiY() const { return suggestion_.Key; }
  KeyCombo PhimChuyen() const { return chuyen_.Key; }

  // Other threads change the service only through this (see
  // ServiceDispatcher.h).
  CServiceDispatcher& Dispatcher() { return dispatcher_; }

  // ---- events ----
  // Raised on the hook thread. Subscribe before the hook thread starts or
  // through Dispatcher(); a subscriber that belongs to another thread posts
  // from its handler (on Windows through CInvokerWnd) and never blocks.
  Event<CInputMethodService*> ModeChanged;
  Event<CInputMethodService*> CodeConversionRequested;
  Event<CHotKeyActionBase*> ActionExecuted;
  Event<const std::u16string&> DebugText;
  Event<const std::exception&> Error;

  // ---- options ----
  bool MasterSwitch = true;  // all processing on
  bool EnableMouseHook = true;
  // Whether the mouse hook is installed now (set by the hook thread);
  // without it a change of focus window ends the word.
  bool MouseHookInstalled = false;
  bool CPUCao = false;
  bool Clipboard = false;
  bool RestoreClipboard = true;
  bool DetectAutoCompleteWindows = false;
  bool SuggestionsSuspended = false;
  int32_t SoLuongTuGoiY = 24;
  bool SuggestionUIExpand = false;
  bool SuggestionUIHookUpDownKey = false;
  int32_t SuggestionUIAlpha = 255;
  bool SuggestionUIManualPosition = false;

 private:
  bool HandleKeyDown(uint16_t vk);
  // A key below 256 pressed with no modifier held that is neither a lock
  // or modifier key nor the key of a hotkey without modifiers: no hotkey
  // can match it.
  bool QuietKey(uint16_t vk) {
    if (HotKeyBinding::Generation() != hotKeyGeneration_) [[unlikely]] RefreshQuietKeys();
    return modifiers_ == 0 && vk < 256 && ((quietKeys_[vk >> 6] >> (vk & 63)) & 1) != 0;
  }
  // quietKeys_ and straightKeys_ again from kNotLockOrModifierSet and the
  // keys of the hotkeys.
  void RefreshQuietKeys();
  // A key of straightKeys_ pressed alone, with the hotkeys' keys unchanged
  // since they were last read.
  bool StraightKey(uint16_t vk) const {
    return vk < 256 && ((straightKeys_[vk >> 6] >> (vk & 63)) & 1) != 0 &&
           HotKeyBinding::Generation() == hotKeyGeneration_;
  }
  // keyRoadOff_ and plainOutput_ again from the states they sum up; called
  // wherever one of those changes.
  void RefreshRoads();
  // The road of every key-down but the commonest (see OnHookKeyDown).
  [[gnu::noinline]] bool OnOtherKeyDown(uint16_t vk, WindowHandle window);
  // On the straight road: the layout gave no character (n == 0) or began a
  // dead key (n < 0).
  [[gnu::noinline]] bool UntranslatedKey(int n);
  // On the straight road: what follows a key when an injection failed, the
  // clipboard was used or the debug text is watched.
  [[gnu::noinline]] bool AfterKeyDown(bool r);
  bool InterpretKey(uint16_t vk, bool r);
  // Key-down and key-up of Caps Lock, Num Lock and the modifiers.
  bool OnLockOrModifierKeyDown(uint16_t vk);
  bool OnLockOrModifierKeyUp(uint16_t vk);
  void FocusChanged(WindowHandle window);
  // The per-program rule of the new focus window: Vietnamese on, off or as
  // that program last had it, and its delivery.
  void ApplyAppRule(WindowHandle window);
  void RunModifierOnlyHotKeys();
  // Runs the matching built-in then user actions for (modifiers, key).
  bool RunHotKeys(int32_t modifiers, uint16_t key);
  // Whether any built-in or user action is bound to combo.
  bool AnyHotKeyFor(KeyCombo combo) const;
  void ArmRestoreTimer();
  // Bytes of an 8-bit table as the characters the focus window, which is
  // not Unicode, reads them as (in the code page it reads them through now).
  const std::u16string& AsAnsiCharacters(const std::u16string& text);
  // Sends a replacement now (SendText once it has decided not to hold it).
  void Deliver(int backspaces, const std::u16string& text, bool paste);
  // Holds a replacement for RunDeferredWork, after those already held.
  void HoldOutput(int backspaces, const std::u16string& text);
  // A paste is out that the application has not read, and the wait for it
  // is not over: the clipboard must not change.
  bool AwaitingPasteRead() const { return pasteUnread_ && !pasteWaitOver_; }
  // Whether SendText would deliver the text by pasting.
  bool WouldPaste(const std::u16string& text) const;
  // The focus window takes Unicode text by pasting only.
  bool FocusNeedsPaste() const { return outputNeedsUnicode_ && focusWindow_ != 0 && (!focusUnicode_ || focusPasteOnly_); }
  // SendText but its commonest case.
  [[gnu::noinline]] void SendTextOtherwise(int backspaces, const std::u16string& text);
  // Output for the focus goes into its console's input (no rule says otherwise).
  bool ConsoleInput() const { return focusConsole_ && focusDelivery_ == AppDelivery::Default; }
  // Hands the edit to the console's input and waits for its answer.
  void WriteIntoConsole(int backspaces, const std::u16string& text);
  // Output for the focus goes in after a reading of its field: a field that
  // completes, or with the detection on one not known yet (no console).
  bool FieldReadBeforeOutput() const {
    return (autoCompleteWindow_ || DetectAutoCompleteWindows) && !ConsoleInput() &&
           desktop_->ReadsFieldBeforeReplacing();
  }
  // Hands the edit to the desktop to go in after a reading of the field and
  // waits for its answer.
  void ReplaceInField(int backspaces, const std::u16string& text);
  // An asynchronous edit is out (console write, field replacement, a paste
  // waiting for the clipboard): later output and keys wait.
  bool EditOut() const { return consoleWriting_ || fieldReplacing_ || clipboardBusy_; }
  // Another program has the clipboard open (the application still reading
  // the paste before, typically): the text waits to be pasted when it is
  // free, tried again shortly within a bounded wait. False when the wait is
  // over (or no timer can end it): the caller types the text then.
  bool WaitForClipboard(const std::u16string& text);
  // The paste that waited for the clipboard is tried again.
  void RetryPaste();
  // The wait for the application to read our paste goes on (busy
  // application), the timer armed again; false when it is over.
  bool PasteWaitGoesOn();
  // With the pasted text of an 8-bit table: its bytes as ANSI text.
  void PlaceTableBytes(bool onRequest);
  // Saves the clipboard when needed and pastes; types the text when the
  // clipboard cannot be used without losing the user's data.
  void PasteKeepingClipboard(const std::u16string& text);
  // Whether the clipboard still holds the text the service pasted.
  bool ClipboardStillOurs();
  // After a key: an injection did not go in completely.
  void HandleInjectionFailure();
  // Lets a held key event through to the application.
  void DeliverKey(const DeferredKey& key);
  bool ExecuteGuarded(CHotKeyActionBase* action);
  void RaiseError(const std::exception& e);
  [[gnu::cold, gnu::noinline]] void KeyFailed();
  void RaiseDebugText();
  // After a key-down while the focused field is not known to complete:
  // asks for a reading after a typed character, else voids those out.
  void WatchForAutoComplete();
  void ApplyTypingMethod();
  void ApplyCodeTable();
  // Suggestions and the shared compound dictionary.
  struct SuggestionLoad;
  void StartSuggestionLoad();
  void SaveUsedKeywords();
  void InstallDictionary(std::shared_ptr<CTuDienTuGhep> dictionary);
  ISuggestionWindow& EnsureSuggestionWindow();
  void HideSuggestionList();

  IDesktop* desktop_;
  // Shared with the worker that loads it and with the suggestion engine:
  // replaced, never emptied in place, so no reader loses it.
  std::shared_ptr<CTuDienTuGhep> compoundDictionary_;
  std::unique_ptr<CTypingContext> context_;

  bool vietnamese_ = true;
  bool passWithZeroKey_ = false;
  bool consumed_ = false;
  int32_t modifiers_ = 0;
  bool sending_ = false;
  bool numpadKey_ = false;
  uint8_t keyState_[256] = {};
  WindowHandle focusWindow_ = 0;
  bool autoCompleteWindow_ = false;
  CAutoCompleteDetector autoComplete_;
  bool charKey_ = false;  // the key-down being handled typed a character
  bool focusUnicode_ = false;    // the focus window takes Unicode messages
  bool focusPasteOnly_ = false;  // the focus window's class takes text by pasting only
  bool focusConsole_ = false;    // the focus window is a console's: its text goes into its input
  bool consoleWriting_ = false;  // a console write is out: later output and keys wait
  int consoleWritesOut_ = 0;     // handed to the desktop and not answered yet, oldest first
  bool consoleNoAnswers_ = false;  // at exit: no answer can come, writes are finished at once
  int consoleBackspaces_ = 0;    // the write, sent as keys when it fails
  std::u16string consoleText_;
  bool fieldReplacing_ = false;  // a replacement after a reading of the field is out
  int fieldBackspaces_ = 0;      // the replacement, sent by the service when given up
  std::u16string fieldText_;
  bool outputNeedsUnicode_ = true;
  bool clipboardUsed_ = false;
  bool restorePending_ = false;
  bool suggestionsOn_ = false;
  bool altGr_ = false;  // left Ctrl and right Alt held together (AltGr)
  bool deadKeyPending_ = false;  // the last typing key was a dead key of the layout
  // Keys for the focus pass unprocessed: input injected into it is dropped
  // (a program of higher integrity), or it is a password field.
  bool focusKeysUntouched_ = false;
  AppDelivery focusDelivery_ = AppDelivery::Default;
  CAppRules appRules_;
  std::u16string ruledProgram_;  // the focus program when it has a rule
  // Vietnamese on or off as each "remember" program had it when it lost the focus.
  std::vector<std::pair<std::u16string, bool>> rememberedStates_;
  bool injectionFailed_ = false;       // during the current key
  bool injectionErrorRaised_ = false;  // until an injection goes in again
  bool inHook_ = false;
  bool deferring_ = false;
  bool runningDeferred_ = false;
  uint32_t pastedSequence_ = 0;  // clipboard sequence number after our paste
  std::u16string pastedText_;
  std::string pastedBytes_;  // the bytes of an 8-bit table's pasted text, else empty
  uint32_t privacyFormats_[3] = {};  // registered on the first paste
  CAnsiText ansiText_;               // for a focus window that is not Unicode
  struct PendingOutput {
    int Backspaces = 0;
    std::u16string Text;
  };
  std::vector<PendingOutput> pendingOutputs_;
  size_t pendingCount_ = 0;  // the first entries of pendingOutputs_ in use
  size_t pendingHead_ = 0;   // of those, the first not sent yet
  bool pasteUnread_ = false;    // our last paste has not been asked for
  bool pasteWaitOver_ = false;  // ... and the wait for it ran out
  CPasteWait pasteWait_;        // ... how long it has waited
  WindowHandle pasteWindow_ = 0;  // ... the window it went to
  bool pasteAsked_ = false;     // ... whose program was asked whether it answers
  uint32_t pasteAnswers_ = 0;   // ... the desktop's answers before that
  bool clipboardBusy_ = false;  // a paste waits for the clipboard to be free
  int clipboardTries_ = 0;      // ... tried that many times
  std::u16string busyText_;     // ... its text
  CDeferredKeys deferredKeys_;

  std::shared_ptr<const ServiceTables> tables_;
  std::u16string typingMethod_;
  std::u16string codeTable_;
  std::u16string specialWords_;

  CClearHotKeyAction clear_;
  CKhoiPhucHotKeyAction khoiPhuc_;
  CSuggestionHotKeyAction suggestion_;
  CCloseSuggestionHotKeyAction closeSuggestion_;
  CChuyenHotKeyAction chuyen_;
  CChuyenMaHotKeyAction chuyenMa_;
  std::vector<CHotKeyActionBase*> builtInHotKeys_;
  std::vector<std::unique_ptr<CHotKeyActionBase>> userHotKeys_;
  // kNotLockOrModifierSet less the keys of the hotkeys without modifiers,
  // as of HotKeyBinding::Generation() == hotKeyGeneration_.
  uint64_t quietKeys_[4] = {};
  // Of those, the keys that may take the straight road of OnHookKeyDown.
  uint64_t straightKeys_[4] = {};
  // Sums of states read at every key, kept by RefreshRoads. keyRoadOff_: no
  // key-down takes the straight road (modifiers held, suggestions loading,
  // Vietnamese typing off, the focus takes no processed keys, a dead key
  // pending). plainOutput_: without the Clipboard and auto-complete options,
  // a replacement goes to the focus as it is in Unicode key packets, with no
  // Delete before it.
  bool keyRoadOff_ = false;
  bool plainOutput_ = true;
  uint32_t hotKeyGeneration_ = 0;

  CClipboardBackup clipboardBackup_;

  std::unique_ptr<CSuggestionEngine> engine_;
  std::shared_ptr<const CTuDienTuGhep> engineDictionary_;  // what engine_ reads
  std::unique_ptr<ISuggestionWindow> suggestionWindow_;
  SuggestionWindowFactory windowFactory_;
  std::shared_ptr<SuggestionLoad> load_;  // the load out on the worker
  std::vector<std::u16string> suggestionQueries_;
  std::unique_ptr<CBackgroundQueue> worker_;

  CServiceDispatcher dispatcher_{*this};
};

}  // namespace tavirel
