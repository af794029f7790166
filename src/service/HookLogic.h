#pragma once
// What the low-level hook procedures do, without Win32: the Win32 hook
// procedures and SimDesktop both call these, so a key event takes the same
// road in the tests as on Windows.
#include <cstdint>

#include "service/CInputMethodService.h"
#include "service/IDesktop.h"

namespace tavirel {

enum class HookVerdict {
  Pass,             // call the next hook with the event unchanged
  Swallow,          // return 1 without calling the next hook
  PassWithZeroKey,  // pass the event on with its virtual-key code set to 0
};

class CHookLogic {
 public:
  // A keyboard event with a non-negative hook code. down is true for
  // key-down and system-key-down, false for key-up and system-key-up.
  //
  // While output waits to run outside the callback (see ServiceOutput.cpp),
  // events are held, swallowed here and handled after that output by
  // OnDeferredWork; an event the service lets through in the key that
  // started the wait is held too, to reach the application after the output.
  static HookVerdict OnKeyEvent(CInputMethodService& service, uint16_t vk, bool down) {
    // The desktops keep the service's own injected input away from here.
    // What comes while the service injects or while its output waits is the
    // user's: it is held and handled after that output, in order.
    if (service.IsSending() || service.Deferring()) [[unlikely]] {
      return service.HoldKey(DeferredKey{vk, down, false}) ? HookVerdict::Swallow : HookVerdict::Pass;
    }
    bool swallow = false;
    {
      struct InCallback {
        CInputMethodService& s;
        explicit InCallback(CInputMethodService& service) : s(service) { s.SetInHookCallback(true); }
        ~InCallback() { s.SetInHookCallback(false); }
      } inCallback(service);
      swallow = down ? service.OnHookKeyDown(vk) : service.OnKeyUp(vk);
    }
    if (service.PassWithZeroKey()) return HookVerdict::PassWithZeroKey;
    if (swallow) return HookVerdict::Swallow;
    if (service.Deferring()) [[unlikely]] {
      service.HoldHandledKey(DeferredKey{vk, down, true});
      return HookVerdict::Swallow;
    }
    return HookVerdict::Pass;
  }
  // A mouse event with a non-negative hook code; always passed on.
  static void OnMouseEvent(CInputMethodService& service, uint32_t message, DesktopPoint point);
  // The clipboard-restore timer fired.
  static void OnRestoreTimer(CInputMethodService& service);
  // From the hook thread's message loop, after IDesktop::PostDeferredWork.
  static void OnDeferredWork(CInputMethodService& service) { service.RunDeferredWork(); }
  // A program reads the text the service put on the clipboard on request.
  static bool OnRenderClipboard(CInputMethodService& service, std::u16string& text) {
    return service.OnRenderClipboard(text);
  }
  static bool OnRenderClipboardBytes(CInputMethodService& service, std::string& bytes) {
    return service.OnRenderClipboardBytes(bytes);
  }
  // A reading of the focused field asked for by the service came back.
  static void OnFieldSelection(CInputMethodService& service, uint32_t serial, const FieldSelection& selection) {
    service.OnFieldSelection(serial, selection);
  }
  // The edit handed to IDesktop::ReplaceInField went in (or failed to).
  static void OnFieldReplaced(CInputMethodService& service, bool injected) { service.OnFieldReplaced(injected); }
  // The console write handed to IDesktop::TypeIntoConsole is done.
  static void OnConsoleWritten(CInputMethodService& service, bool written) { service.OnConsoleWritten(written); }
  // The wait for a paste to be read (or a console to be written) ran out.
  static void OnPasteTimer(CInputMethodService& service) { service.OnPasteTimer(); }
};

}  // namespace tavirel
