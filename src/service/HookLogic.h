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
  static HookVerdict OnKeyEvent(CInputMethodService& service, uint16_t vk, bool down) {
    // Our own injected input re-enters here and goes straight through.
    if (service.IsSending()) return HookVerdict::Pass;
    const bool swallow = down ? service.OnHookKeyDown(vk) : service.OnKeyUp(vk);
    if (service.PassWithZeroKey()) return HookVerdict::PassWithZeroKey;
    return swallow ? HookVerdict::Swallow : HookVerdict::Pass;
  }
  // A mouse event with a non-negative hook code; always passed on.
  static void OnMouseEvent(CInputMethodService& service, uint32_t message, DesktopPoint point);
  // The clipboard-restore timer fired.
  static void OnRestoreTimer(CInputMethodService& service);
};

}  // namespace tavirel
