#include "service/HookLogic.h"

#include "service/CInputMethodService.h"
#include "service/CTypingContext.h"

namespace tavirel {

void CHookLogic::OnMouseEvent(CInputMethodService& service, uint32_t message, DesktopPoint point) {
  // While Vietnamese typing is off the context may still hold a run for
  // shorthand; a click moves the caret away from it just the same.
  // Button presses always: they also tell a modifier-only hotkey that the
  // modifiers were used.
  if (service.IsVietnamese() || service.Context().Active || service.Modifiers() != 0) {
    service.OnMouse(message, point);
  }
}

void CHookLogic::OnRestoreTimer(CInputMethodService& service) { service.OnRestoreTimer(); }

}  // namespace tavirel
