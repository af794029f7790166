// Output delivery: Backspaces, then the text as Unicode key packets or pasted
// through the clipboard, and the clipboard-restore timer.
#include <string_view>

#include "service/CInputMethodService.h"
#include "service/CTypingContext.h"

namespace tavirel {

namespace {

constexpr uint32_t kRestoreDelayMs = 1000;

// Windows that take Unicode text only by pasting.
bool IsPasteOnlyClass(std::u16string_view name) {
  return name == u"gdkWindowToplevel" || name == u"gdkWindowChild" ||
         name == u"{a64c3a50-b714-4e1f-a723-78db57a20a29}";
}

bool IsAutoCompleteClass(std::u16string_view name) {
  return name == u"Chrome_AutocompleteEditView" || name == u"EXCEL6";
}

}  // namespace

void CInputMethodService::SendText(int backspaces, const std::u16string& text) {
  const bool wasSending = sending_;
  sending_ = true;
  // An auto-complete window's suggestion goes first (Delete), then the
  // Backspaces; typed text rides in the same injection.
  const int deletes = autoCompleteWindow_ ? 1 : 0;
  bool paste = !text.empty();
  if (paste && !Clipboard) {
    if (!outputNeedsUnicode_ || focusWindow_ == 0) {
      paste = false;
    } else if (focusUnicode_ && !focusPasteOnly_) {
      paste = false;
    }
  }
  if (!paste) {
    desktop_->SendReplacement(deletes, backspaces, text);
  } else {
    desktop_->SendReplacement(deletes, backspaces, {});
    if (RestoreClipboard && !restorePending_) {
      // Keep the user's own clipboard, not our text of an earlier key of
      // the same burst. When it cannot be saved, do not overwrite it.
      if (!clipboardBackup_.Save(*desktop_)) {
        SendUnicode(text);
        sending_ = wasSending;
        return;
      }
    }
    if (RestoreClipboard) clipboardUsed_ = true;
    Paste(text);
  }
  sending_ = wasSending;
}

void CInputMethodService::SendUnicode(const std::u16string& text) {
  const bool wasSending = sending_;
  sending_ = true;
  desktop_->SendUnicodeText(text);
  sending_ = wasSending;
}

void CInputMethodService::Paste(const std::u16string& text) {
  const bool wasSending = sending_;
  sending_ = true;
  if (!desktop_->OpenClipboard()) {
    // Ctrl+V now would paste whatever the clipboard holds; type the text.
    desktop_->SendUnicodeText(text);
    sending_ = wasSending;
    return;
  }
  desktop_->EmptyClipboard();
  const bool placed = desktop_->SetClipboardUnicodeText(text);
  desktop_->CloseClipboard();
  if (!placed) {
    desktop_->SendUnicodeText(text);
    sending_ = wasSending;
    return;
  }
  const bool leftShift = (keyState_[vk::kLShift] & 0x80) != 0;
  const bool rightShift = (keyState_[vk::kRShift] & 0x80) != 0;
  if (leftShift) desktop_->SendKey(vk::kLShift, true);
  if (rightShift) desktop_->SendKey(vk::kRShift, true);
  desktop_->SendKey(vk::kControl, false);
  desktop_->SendKey(vk::kV, false);
  desktop_->SendKey(vk::kV, true);
  desktop_->SendKey(vk::kControl, true);
  if (leftShift) desktop_->SendKey(vk::kLShift, false);
  if (rightShift) desktop_->SendKey(vk::kRShift, false);
  sending_ = wasSending;
}

void CInputMethodService::FocusChanged(WindowHandle window) {
  if (!MouseHookInstalled) Reset();
  focusWindow_ = window;
  // The class name is read once per focus change and what it decides is kept.
  focusUnicode_ = false;
  focusPasteOnly_ = false;
  autoCompleteWindow_ = false;
  if (window == 0) return;
  const std::u16string name = desktop_->WindowClassName(window);
  focusUnicode_ = desktop_->IsUnicodeWindow(window);
  focusPasteOnly_ = IsPasteOnlyClass(name);
  autoCompleteWindow_ = DetectAutoCompleteWindows && IsAutoCompleteClass(name);
}

void CInputMethodService::ArmRestoreTimer() {
  desktop_->StopRestoreTimer();
  desktop_->StartRestoreTimer(kRestoreDelayMs);
  restorePending_ = true;
  clipboardUsed_ = false;
}

void CInputMethodService::OnRestoreTimer() {
  desktop_->StopRestoreTimer();
  clipboardBackup_.Restore(*desktop_);
  restorePending_ = false;
}

}  // namespace tavirel
