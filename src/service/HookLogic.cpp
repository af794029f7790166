#include "service/HookLogic.h"

#include "service/CInputMethodService.h"
#include "service/CTypingContext.h"

namespace tavirel {

HookVerdict CHookLogic::OnUserKeyDown(CInputMethodService& service, uint16_t vk) {
  service.CheckFocusWindow();
  const bool swallow = service.OnKeyDown(vk);
  service.ArmRestoreTimerIfUsed();
  if (service.PassWithZeroKey()) return HookVerdict::PassWithZeroKey;
  return swallow ? HookVerdict::Swallow : HookVerdict::Pass;
}

HookVerdict CHookLogic::OnUserKeyUp(CInputMethodService& service, uint16_t vk) {
  const bool swallow = service.OnKeyUp(vk);
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
