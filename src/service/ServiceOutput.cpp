// Output delivery: Backspaces, then the text as Unicode key packets or pasted
// through the clipboard, and the clipboard-restore timer.
//
// Inside the keyboard hook callback nothing touches the clipboard: saving it
// can make other programs render their data, which may take seconds, and the
// system silently removes a hook that is slow to answer. Output that needs
// the clipboard is deferred to the hook thread's message loop; key events
// that come meanwhile are held and handled after it, in order.
//
// The application reads the clipboard when it gets to our Ctrl+V, which may
// be long after we pressed it: a fast typist's next paste must not replace
// the text before then. Pasted text is therefore put on the clipboard
// rendered on request, and the request tells that it has been read; until
// then the next paste, and everything after it, waits (held, in order). The
// wait is bounded (CPasteWait): after kPasteWaitMs, as soon as the
// application answers a few questions in a row without reading, the held
// output goes out as key packets while that paste stays unread; a busy
// application (it does not answer) is waited for up to CPasteWait::kBusyMs.
#include <algorithm>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "service/CInputMethodService.h"
#include "service/CTypingContext.h"

namespace tavirel {

namespace {

constexpr uint32_t kRestoreDelayMs = 1000;
constexpr uint32_t kPasteWaitMs = CPasteWait::kAnsweringMs;
// A clipboard another program holds is tried again this often, within the
// same bounded wait.
constexpr uint32_t kClipboardRetryMs = 10;
constexpr int kClipboardTries = kPasteWaitMs / kClipboardRetryMs;

// Windows that take Unicode text only by pasting.
bool IsPasteOnlyClass(std::u16string_view name) {
  return name == u"gdkWindowToplevel" || name == u"gdkWindowChild" ||
         name == u"{a64c3a50-b714-4e1f-a723-78db57a20a29}";
}

bool IsAutoCompleteClass(std::u16string_view name) {
  return name == u"Chrome_AutocompleteEditView" || name == u"EXCEL6";
}

// Registered formats that keep the clipboard's content out of the clipboard
// history, the cloud clipboard and clipboard monitors: our pasted fragments
// are not something the user copied.
constexpr const char16_t* kPrivacyFormatNames[3] = {
    u"ExcludeClipboardContentFromMonitorProcessing", u"CanIncludeInClipboardHistory",
    u"CanUploadToCloudClipboard"};

}  // namespace

bool CInputMethodService::WouldPaste(const std::u16string& text) const {
  if (text.empty()) return false;
  if (focusDelivery_ != AppDelivery::Default) [[unlikely]] {
    if (focusDelivery_ == AppDelivery::KeyPackets) return false;
    if (focusDelivery_ == AppDelivery::Clipboard) return true;
  }
  // A console takes its text into its input, whatever the clipboard option.
  if (focusConsole_) return false;
  return Clipboard || FocusNeedsPaste();
}

void CInputMethodService::SendText(int backspaces, const std::u16string& text) {
  // Nearly always: typed inside the hook with nothing waiting, for a window
  // that takes Unicode key packets.
  if (plainOutput_ && inHook_ && !deferring_ && !Clipboard && !DetectAutoCompleteWindows) [[likely]] {
    const bool wasSending = sending_;
    sending_ = true;
    if (!desktop_->SendReplacement(0, backspaces, text)) injectionFailed_ = true;
    if (!injectionFailed_) injectionErrorRaised_ = false;
    sending_ = wasSending;
    return;
  }
  SendTextOtherwise(backspaces, text);
}

void CInputMethodService::SendTextOtherwise(int backspaces, const std::u16string& text) {
  const bool paste = WouldPaste(text);
  if (inHook_) {
    // Everything after a deferred paste waits with it, to keep the order.
    // Writing into a console's input talks to the console, and a field is
    // read before its replacement: not from inside the hook callback either.
    const bool outside = paste || ConsoleInput() || FieldReadBeforeOutput();
    if ((deferring_ || outside) && (deferring_ || desktop_->PostDeferredWork())) [[unlikely]] {
      HoldOutput(backspaces, text);
      return;
    }
  } else if (pendingHead_ < pendingCount_ || (paste && AwaitingPasteRead()) || EditOut()) [[unlikely]] {
    // Behind a paste the application has not read yet, a console write or
    // a field's replacement.
    HoldOutput(backspaces, text);
    return;
  }
  Deliver(backspaces, text, paste);
}

const std::u16string& CInputMethodService::AsAnsiCharacters(const std::u16string& text) {
  // Asked at each replacement: the user may switch the program's keyboard
  // layout, and with it the code page, without moving the focus.
  const uint32_t codePage = desktop_->AnsiCodePageOf(focusWindow_);
  if (codePage != ansiText_.CodePage()) {
    ansiText_.Learn(codePage, [this, codePage](uint8_t byte) { return desktop_->AnsiCodePageChar(codePage, byte); });
  }
  return ansiText_.Of(text);
}

void CInputMethodService::HoldOutput(int backspaces, const std::u16string& text) {
  if (pendingCount_ == pendingOutputs_.size()) pendingOutputs_.emplace_back();
  PendingOutput& out = pendingOutputs_[pendingCount_++];
  out.Backspaces = backspaces;
  out.Text.assign(text);
  deferring_ = true;
}

// Inlined into both callers: one frame less per replacement.
[[gnu::always_inline]] inline void CInputMethodService::Deliver(int backspaces, const std::u16string& text,
                                                               bool paste) {
  const bool wasSending = sending_;
  sending_ = true;
  // An auto-complete window's suggestion goes first (Delete), then the
  // Backspaces; typed text rides in the same injection. A paste still
  // unread when its wait ran out keeps the clipboard: key packets then.
  // Typed text for a field that may complete goes in after a reading of
  // the field, which tells whether the Delete is needed (a Delete with no
  // suggestion selected would take the character after the caret).
  const int deletes = autoCompleteWindow_ ? 1 : 0;
  if (!paste || pasteUnread_) [[likely]] {
    // A program that is not Unicode reads characters through its code page.
    const bool ansi = !focusUnicode_ && focusWindow_ != 0 && !outputNeedsUnicode_;
    const std::u16string& sent = ansi ? AsAnsiCharacters(text) : text;
    if (ConsoleInput()) [[unlikely]] {
      WriteIntoConsole(backspaces, sent);
    } else if (FieldReadBeforeOutput()) [[unlikely]] {
      ReplaceInField(backspaces, sent);
    } else if (!desktop_->SendReplacement(deletes, backspaces, sent)) {
      injectionFailed_ = true;
    }
  } else {
    if (!desktop_->SendReplacement(deletes, backspaces, {})) injectionFailed_ = true;
    PasteKeepingClipboard(text);
  }
  // Injection works again: a later failure is news.
  if (!injectionFailed_) injectionErrorRaised_ = false;
  sending_ = wasSending;
}

void CInputMethodService::WriteIntoConsole(int backspaces, const std::u16string& text) {
  // The console's side answers later (OnConsoleWritten); until then what
  // comes after waits, so that no key overtakes the text.
  consoleBackspaces_ = backspaces;
  consoleText_.assign(text);
  consoleWriting_ = true;
  ++consoleWritesOut_;
  if (!desktop_->TypeIntoConsole(focusWindow_, backspaces, text)) {
    // A console that cannot be written to still gets the keys.
    consoleWriting_ = false;
    --consoleWritesOut_;
    if (!desktop_->SendReplacement(0, backspaces, text)) injectionFailed_ = true;
    return;
  }
  if (consoleNoAnswers_) {
    desktop_->FlushConsoleWrites(kPasteWaitMs);
    consoleWriting_ = false;
    consoleWritesOut_ = 0;
    return;
  }
  if (consoleWriting_) {
    // Also when this output did not start from a held key (a suggestion
    // picked, a command): a key the hook would let through now must not
    // reach the console before the text.
    deferring_ = true;
    desktop_->StopPasteTimer();
    desktop_->StartPasteTimer(kPasteWaitMs);
  }
}

void CInputMethodService::ReplaceInField(int backspaces, const std::u16string& text) {
  // Until the desktop answers (OnFieldReplaced) what comes after waits.
  fieldBackspaces_ = backspaces;
  fieldText_.assign(text);
  fieldReplacing_ = true;
  if (!desktop_->ReplaceInField(focusWindow_, backspaces, text, autoCompleteWindow_)) {
    fieldReplacing_ = false;
    if (!desktop_->SendReplacement(autoCompleteWindow_ ? 1 : 0, backspaces, text)) injectionFailed_ = true;
    return;
  }
  if (fieldReplacing_) {
    // Keys the hook passes meanwhile must not overtake the edit either.
    deferring_ = true;
    desktop_->StopPasteTimer();
    desktop_->StartPasteTimer(kPasteWaitMs);
  }
}

void CInputMethodService::OnFieldReplaced(bool injected) {
  if (!fieldReplacing_) return;  // the wait for it was over
  fieldReplacing_ = false;
  desktop_->StopPasteTimer();
  if (!injected) injectionFailed_ = true;
  if (deferring_ && !runningDeferred_) desktop_->PostDeferredWork();
}

void CInputMethodService::OnConsoleWritten(bool written) {
  if (consoleWritesOut_ > 0) --consoleWritesOut_;
  // Answers come in the order of the writes: while a later one is out, this
  // one's wait was already over.
  if (!consoleWriting_ || consoleWritesOut_ > 0 || consoleNoAnswers_) return;
  consoleWriting_ = false;
  desktop_->StopPasteTimer();
  if (!written) {
    const bool wasSending = sending_;
    sending_ = true;
    if (!desktop_->SendReplacement(0, consoleBackspaces_, consoleText_)) injectionFailed_ = true;
    sending_ = wasSending;
  }
  if (deferring_ && !runningDeferred_ && !desktop_->PostDeferredWork()) RunDeferredWork();
}

void CInputMethodService::StopWaitingForPaste() {
  consoleNoAnswers_ = true;
  if (clipboardBusy_) {
    // A paste waiting for the clipboard is tried once more, else typed.
    RetryPaste();
    ArmRestoreTimerIfUsed();
  }
  if (pasteUnread_) pasteWaitOver_ = true;
  if (consoleWritesOut_ > 0) desktop_->FlushConsoleWrites(kPasteWaitMs);
  consoleWriting_ = false;
  consoleWritesOut_ = 0;
}

bool CInputMethodService::WaitForClipboard(const std::u16string& text) {
  // No timer runs after the hook thread's end. A wait that ran out is not
  // waited again until the clipboard opens: a program that keeps it holds
  // up no key.
  if (consoleNoAnswers_ || clipboardTries_ >= kClipboardTries) return false;
  ++clipboardTries_;
  busyText_.assign(text);
  clipboardBusy_ = true;
  deferring_ = true;  // keys the hook passes meanwhile must not overtake the text
  desktop_->StopPasteTimer();
  desktop_->StartPasteTimer(kClipboardRetryMs);
  return true;
}

void CInputMethodService::RetryPaste() {
  clipboardBusy_ = false;
  const std::u16string text = std::move(busyText_);
  busyText_.clear();
  PasteKeepingClipboard(text);
}

void CInputMethodService::PasteKeepingClipboard(const std::u16string& text) {
  if (RestoreClipboard) {
    // Keep the user's own clipboard, not our text of an earlier key of the
    // same burst; but what the user copied since is theirs again.
    if (!restorePending_ || !ClipboardStillOurs()) {
      // Not saved, or saved without a format that cannot be brought back:
      // type the text and leave the clipboard as it is.
      // Outside the hook callback the save may wait for other programs;
      // keys that come meanwhile are not ours and must be held, not passed.
      const bool wasSending = sending_;
      if (deferring_) sending_ = false;
      const bool saved = clipboardBackup_.Save(*desktop_);
      sending_ = wasSending;
      // Held by another program for a moment: the text waits.
      if (!saved && WaitForClipboard(text)) return;
      if (!saved || !clipboardBackup_.Complete()) {
        restorePending_ = false;
        desktop_->StopRestoreTimer();
        SendUnicode(text);
        return;
      }
    }
    clipboardUsed_ = true;
  }
  Paste(text);
}

void CInputMethodService::SendUnicode(const std::u16string& text) {
  const bool wasSending = sending_;
  sending_ = true;
  if (!desktop_->SendUnicodeText(text)) injectionFailed_ = true;
  sending_ = wasSending;
}

void CInputMethodService::Paste(const std::u16string& table) {
  // Text of an 8-bit table is bytes for a program that holds them in its
  // ANSI code page. The system's conversion of the Unicode text would turn
  // bytes such as 0x80..0x9F into others (U+0080 has no byte in code page
  // 1252): the bytes also go on as ANSI text of their own, and a program that
  // is not Unicode gets as Unicode text what its code page reads them as.
  pastedBytes_.clear();
  const bool bytes = !outputNeedsUnicode_ &&
                     std::none_of(table.begin(), table.end(), [](char16_t c) { return c > 0xFF; });
  if (bytes) [[unlikely]] pastedBytes_.assign(table.begin(), table.end());
  const std::u16string& text = bytes && !focusUnicode_ && focusWindow_ != 0 ? AsAnsiCharacters(table) : table;
  const bool wasSending = sending_;
  sending_ = true;
  if (!desktop_->OpenClipboard()) {
    // Ctrl+V now would paste whatever the clipboard holds. Another program
    // has it open, often the application still reading our paste before:
    // the text waits for it, or is typed when the wait is over.
    if (!WaitForClipboard(table) && !desktop_->SendUnicodeText(text)) injectionFailed_ = true;
    sending_ = wasSending;
    return;
  }
  clipboardTries_ = 0;
  desktop_->EmptyClipboard();
  // On request where the desktop can: the request says the paste was read.
  const bool onRequest = desktop_->SetClipboardUnicodeTextOnRequest();
  const bool placed = onRequest || desktop_->SetClipboardUnicodeText(text);
  if (placed && bytes) [[unlikely]] PlaceTableBytes(onRequest);
  if (placed) {
    if (privacyFormats_[0] == 0) {
      for (int i = 0; i < 3; ++i) privacyFormats_[i] = desktop_->RegisterClipboardFormat(kPrivacyFormatNames[i]);
    }
    // Any data for the first; a DWORD 0 for the other two.
    static const std::vector<uint8_t> kZeroDword(4, 0);
    for (const uint32_t format : privacyFormats_) {
      if (format != 0) desktop_->SetClipboardBytes(format, kZeroDword);
    }
  }
  desktop_->CloseClipboard();
  if (!placed) {
    if (!desktop_->SendUnicodeText(text)) injectionFailed_ = true;
    sending_ = wasSending;
    return;
  }
  pastedSequence_ = desktop_->ClipboardSequenceNumber();
  pastedText_.assign(text);
  if (onRequest) {
    // Before Ctrl+V: the application may read at once.
    pasteUnread_ = true;
    pasteWaitOver_ = false;
    pasteWait_.Start();
    pasteWindow_ = focusWindow_;
    pasteAsked_ = false;
    desktop_->StopPasteTimer();
    desktop_->StartPasteTimer(kPasteWaitMs);
  }
  const bool leftShift = (keyState_[vk::kLShift] & 0x80) != 0;
  const bool rightShift = (keyState_[vk::kRShift] & 0x80) != 0;
  bool ok = true;
  if (leftShift) ok = desktop_->SendKey(vk::kLShift, true) && ok;
  if (rightShift) ok = desktop_->SendKey(vk::kRShift, true) && ok;
  ok = desktop_->SendKey(vk::kControl, false) && ok;
  ok = desktop_->SendKey(vk::kV, false) && ok;
  ok = desktop_->SendKey(vk::kV, true) && ok;
  ok = desktop_->SendKey(vk::kControl, true) && ok;
  if (leftShift) ok = desktop_->SendKey(vk::kLShift, false) && ok;
  if (rightShift) ok = desktop_->SendKey(vk::kRShift, false) && ok;
  if (!ok) injectionFailed_ = true;
  sending_ = wasSending;
}

void CInputMethodService::PlaceTableBytes(bool onRequest) {
  // Marked with the locale of the program's input language, whose code page
  // the bytes are meant for.
  if (!onRequest || !desktop_->SetClipboardAnsiTextOnRequest()) {
    std::vector<uint8_t> bytes(pastedBytes_.begin(), pastedBytes_.end());
    bytes.push_back(0);
    desktop_->SetClipboardBytes(clipfmt::kText, bytes);
  }
  if (const uint32_t locale = desktop_->InputLocaleOf(focusWindow_)) {
    const std::vector<uint8_t> lcid{static_cast<uint8_t>(locale), static_cast<uint8_t>(locale >> 8),
                                    static_cast<uint8_t>(locale >> 16), static_cast<uint8_t>(locale >> 24)};
    desktop_->SetClipboardBytes(clipfmt::kLocale, lcid);
  }
}

bool CInputMethodService::ClipboardStillOurs() {
  // Asking the desktop first also keeps us from reading our own text on
  // request, which would look like the application reading it.
  if (desktop_->ServiceOwnsClipboard()) return true;
  if (desktop_->ClipboardSequenceNumber() == pastedSequence_) return true;
  // Some systems count more than changes of content (rendering a format on
  // request): the content decides then. Someone else's copy of the same
  // text does not carry our privacy marks.
  if (!desktop_->OpenClipboard()) return false;
  std::vector<uint8_t> bytes;
  bool ours = privacyFormats_[0] != 0 && desktop_->GetClipboardBytes(privacyFormats_[0], bytes) &&
              desktop_->GetClipboardBytes(clipfmt::kUnicodeText, bytes);
  if (ours) {
    const size_t units = bytes.size() / 2;
    size_t n = 0;
    while (n < units && (bytes[2 * n] | bytes[2 * n + 1]) != 0) ++n;
    ours = n == pastedText_.size();
    for (size_t i = 0; ours && i < n; ++i) {
      ours = static_cast<char16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8)) == pastedText_[i];
    }
  }
  desktop_->CloseClipboard();
  return ours;
}

void CInputMethodService::FocusChanged(WindowHandle window) {
  // The word belonged to the window that had the focus: whatever moved it
  // (a click, a dialog, a key handled elsewhere), the next key must not edit
  // the new window's text.
  Reset();
  focusWindow_ = window;
  // The class name is read once per focus change and what it decides is kept.
  focusUnicode_ = false;
  focusPasteOnly_ = false;
  focusConsole_ = false;
  autoCompleteWindow_ = false;
  focusKeysUntouched_ = false;
  ApplyAppRule(window);
  if (window == 0) {
    autoComplete_.FocusChanged(0, {});
    RefreshRoads();
    return;
  }
  const std::u16string name = desktop_->WindowClassName(window);
  focusUnicode_ = desktop_->IsUnicodeWindow(window);
  focusPasteOnly_ = IsPasteOnlyClass(name);
  focusConsole_ = desktop_->IsConsoleWindow(window);
  // Known by its class, by its program's rule, or found completing before.
  const bool known = autoComplete_.FocusChanged(window, name);
  autoCompleteWindow_ = (DetectAutoCompleteWindows && (IsAutoCompleteClass(name) || known)) ||
                        focusDelivery_ == AppDelivery::AutoComplete;
  focusKeysUntouched_ = desktop_->IsWindowOfHigherIntegrity(window) || desktop_->IsPasswordField(window);
  RefreshRoads();
}

void CInputMethodService::WatchForAutoComplete() {
  const bool typed = charKey_ && (modifiers_ & ~modbits::kShift) == 0 && !focusKeysUntouched_;
  if (!typed) {
    autoComplete_.AfterOtherInput();
    return;
  }
  if (autoComplete_.AfterTypedKey() && !desktop_->RequestFieldSelection(focusWindow_, autoComplete_.Serial())) {
    autoComplete_.ReadingNotAsked();
  }
}

void CInputMethodService::OnFieldSelection(uint32_t serial, const FieldSelection& selection) {
  if (autoComplete_.OnReading(serial, selection) && DetectAutoCompleteWindows) autoCompleteWindow_ = true;
  RefreshRoads();
}

void CInputMethodService::SetAppRules(CAppRules rules) {
  appRules_ = std::move(rules);
  // The window that has the focus now gets its rule at the next key.
  focusWindow_ = 0;
  focusDelivery_ = AppDelivery::Default;
  RefreshRoads();
}

void CInputMethodService::ApplyAppRule(WindowHandle window) {
  // The program losing the focus keeps its state when it remembers it.
  if (const AppRule* old = appRules_.Find(ruledProgram_); old != nullptr && old->Vietnamese == AppVietnamese::Remember) {
    auto it = std::find_if(rememberedStates_.begin(), rememberedStates_.end(),
                           [this](const auto& s) { return CAppRules::SameProgram(s.first, ruledProgram_); });
    if (it == rememberedStates_.end()) {
      rememberedStates_.emplace_back(ruledProgram_, vietnamese_);
    } else {
      it->second = vietnamese_;
    }
  }
  const bool hadRule = !ruledProgram_.empty();
  ruledProgram_.clear();
  focusDelivery_ = AppDelivery::Default;
  const AppRule* rule = nullptr;
  if (window != 0 && !appRules_.Empty()) {
    std::u16string program = desktop_->WindowProgramName(window);
    rule = appRules_.Find(program);
    if (rule != nullptr) ruledProgram_ = std::move(program);
  }
  bool on = vietnamese_;
  if (rule != nullptr) {
    focusDelivery_ = rule->Delivery;
    if (rule->Vietnamese == AppVietnamese::On) on = true;
    if (rule->Vietnamese == AppVietnamese::Off) on = false;
    if (rule->Vietnamese == AppVietnamese::Remember) {
      for (const auto& [program, state] : rememberedStates_) {
        if (CAppRules::SameProgram(program, ruledProgram_)) on = state;
      }
    }
  }
  // Not SetVietnamese: the modifiers held for this key stay held.
  if (on != vietnamese_) {
    vietnamese_ = on;
    RefreshRoads();
    ModeChanged.Raise(this);
  } else if (hadRule || rule != nullptr) {
    ModeChanged.Raise(this);  // the tooltip names the program's rule
  }
}

void CInputMethodService::HandleInjectionFailure() {
  injectionFailed_ = false;
  // What is on screen is no longer what the context believes.
  Reset();
  if (injectionErrorRaised_) return;
  injectionErrorRaised_ = true;
  RaiseError(std::runtime_error("the system did not take the keys Tavirel sent"));
}

void CInputMethodService::ArmRestoreTimer() {
  desktop_->StopRestoreTimer();
  desktop_->StartRestoreTimer(kRestoreDelayMs);
  restorePending_ = true;
  clipboardUsed_ = false;
}

void CInputMethodService::OnRestoreTimer() {
  desktop_->StopRestoreTimer();
  if (AwaitingPasteRead()) {
    // The application has yet to read our text: later.
    desktop_->StartRestoreTimer(kRestoreDelayMs);
    return;
  }
  // What the user copied after our paste stays.
  const bool ours = ClipboardStillOurs();
  const bool restored = restorePending_ && ours && clipboardBackup_.Restore(*desktop_);
  if (restored || !ours) {
    // Our text went with the clipboard's old content, or with the user's
    // own copy: nothing can read it any more, so later pastes go on. The
    // timer of a wait for the clipboard, a console or a field runs on.
    pasteUnread_ = false;
    pasteWaitOver_ = false;
    if (!EditOut()) desktop_->StopPasteTimer();
  }
  restorePending_ = false;
}

void CInputMethodService::DeliverKey(const DeferredKey& key) {
  const bool wasSending = sending_;
  sending_ = true;
  if (!desktop_->SendKey(key.Vk, !key.Down)) injectionFailed_ = true;
  sending_ = wasSending;
}

bool CInputMethodService::OnRenderClipboardBytes(std::string& bytes) {
  std::u16string text;
  OnRenderClipboard(text);
  bytes = pastedBytes_;
  return true;
}

bool CInputMethodService::OnRenderClipboard(std::u16string& text) {
  text = pastedText_;
  if (pasteUnread_) {
    pasteUnread_ = false;
    pasteWaitOver_ = false;
    if (!EditOut()) desktop_->StopPasteTimer();
    // A request inside our own run (an application that reads at once) is
    // seen by that run; otherwise the held output goes on from the loop.
    if (deferring_ && !runningDeferred_) desktop_->PostDeferredWork();
  }
  return true;
}

void CInputMethodService::OnPasteTimer() {
  desktop_->StopPasteTimer();
  if (clipboardBusy_) [[unlikely]] {
    RetryPaste();
    // What waited behind it goes on.
    if (!clipboardBusy_) RunDeferredWork();
    return;
  }
  // A console that does not answer: what waited goes on as keys.
  const bool console = consoleWriting_;
  consoleWriting_ = false;
  if (fieldReplacing_) [[unlikely]] {
    // A field's replacement not begun yet is sent as a field known to
    // complete would get it; one going in now goes on by itself.
    fieldReplacing_ = false;
    if (desktop_->CancelFieldReplacement()) {
      const bool wasSending = sending_;
      sending_ = true;
      if (!desktop_->SendReplacement(autoCompleteWindow_ ? 1 : 0, fieldBackspaces_, fieldText_)) {
        injectionFailed_ = true;
      }
      sending_ = wasSending;
    }
    if (!pasteUnread_) {
      RunDeferredWork();
      return;
    }
  }
  if (!pasteUnread_) {
    if (console) RunDeferredWork();
    return;
  }
  if (!console && !pasteWaitOver_ && !consoleNoAnswers_ && PasteWaitGoesOn()) return;
  pasteWaitOver_ = true;
  // It may still read it: the user's clipboard comes back a little later.
  if (restorePending_) ArmRestoreTimer();
  RunDeferredWork();
}

bool CInputMethodService::PasteWaitGoesOn() {
  const uint32_t interval = pasteWait_.Waited() < CPasteWait::kAnsweringMs ? kPasteWaitMs : CPasteWait::kCheckMs;
  // Asked again once it answered; a question not answered yet stands.
  const uint32_t answers = desktop_->ApplicationAnswers();
  const bool answered = pasteAsked_ && answers != pasteAnswers_;
  bool canAsk = pasteAsked_;
  if (!pasteAsked_ || answered) {
    pasteAnswers_ = answers;
    canAsk = pasteWindow_ != 0 && desktop_->AskApplication(pasteWindow_);
    pasteAsked_ = canAsk;
  }
  if (pasteWait_.Check(interval, canAsk, answered) == CPasteWait::Step::GiveUp) return false;
  desktop_->StartPasteTimer(CPasteWait::kCheckMs);
  return true;
}

void CInputMethodService::RunDeferredWork() {
  if (runningDeferred_ || !deferring_) return;
  runningDeferred_ = true;
  const bool wasInHook = inHook_;
  inHook_ = false;
  bool waiting = false;
  try {
    // Outside the hook now: the held output goes out, then each held event
    // is handled as the hook would have, its own output at once unless it
    // has to wait behind an unread paste.
    for (;;) {
      while (pendingHead_ < pendingCount_ && !AwaitingPasteRead() && !EditOut()) {
        const PendingOutput& out = pendingOutputs_[pendingHead_++];
        Deliver(out.Backspaces, out.Text, WouldPaste(out.Text));
      }
      ArmRestoreTimerIfUsed();
      if (injectionFailed_) HandleInjectionFailure();
      if (pendingHead_ < pendingCount_ || EditOut()) {
        waiting = true;  // until the paste is read, the edit done, or the wait is over
        break;
      }
      pendingHead_ = pendingCount_ = 0;
      DeferredKey key;
      if (!deferredKeys_.Pop(key)) break;
      if (key.Handled) {
        DeliverKey(key);
      } else {
        const bool swallow = key.Down ? OnHookKeyDown(key.Vk) : OnKeyUp(key.Vk);
        if (!swallow && !passWithZeroKey_) {
          // A key let through reaches the application after its output.
          if (pendingCount_ > 0 || EditOut()) {
            deferredKeys_.PushFront(DeferredKey{key.Vk, key.Down, true});
          } else {
            DeliverKey(key);
          }
        }
      }
      if (injectionFailed_) HandleInjectionFailure();
    }
  } catch (const std::exception& e) {
    // Nothing the user typed may be lost or stay held: what is left goes
    // through as typed, and the word starts again.
    pendingHead_ = pendingCount_ = 0;
    waiting = false;
    RaiseError(e);
    Reset();
    DeferredKey key;
    while (deferredKeys_.Pop(key)) DeliverKey(key);
  }
  passWithZeroKey_ = false;
  inHook_ = wasInHook;
  deferring_ = waiting;
  runningDeferred_ = false;
}

}  // namespace tavirel
