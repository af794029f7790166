#include "service/HookLogic.h"

#include "service/CInputMethodService.h"
#include "service/CTypingContext.h"

namespace tavirel {

HookVerdict CHookLogic::OnKeyEvent(CInputMethodService& service, uint16_t vk, bool down) {
  // Our own injected input re-enters here and goes straight through.
  if (service.IsSending()) return HookVerdict::Pass;

  bool swallow = false;
  if (down) {
    service.CheckFocusWindow();
    swallow = service.OnKeyDown(vk);
    service.ArmRestoreTimerIfUsed();
  } else {
    swallow = service.OnKeyUp(vk);
  }

  if (service.PassWithZeroKey()) return HookVerdict::PassWithZeroKey;
  return swallow ? HookVerdict::Swallow : HookVerdict::Pass;
}

void CHookLogic::OnMouseEvent(CInputMethodService& service, uint32_t message, DesktopPoint point) {
  // While Vietnamese typing is off the context may still hold a run for
  // shorthand; a click moves the caret away from it just the same.
  if (service.IsVietnamese() || service.Context().Active) service.OnMouse(message, point);
}

void CHookLogic::OnRestoreTimer(CInputMethodService& service) { service.OnRestoreTimer(); }

}  // namespace tavirel
