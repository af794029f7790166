#include "app/ForegroundReturn.h"

namespace tavirel {

void CForegroundReturn::BeforeTrayInFront(WindowRef foreground) {
  // A menu opened over one of our dialogs has nothing outside to go back to.
  beforeTray_ = Outside(foreground) ? foreground : WindowRef{};
}

WindowRef CForegroundReturn::Opening(WindowRef foreground, std::uintptr_t trayWindow) {
  WindowRef noted;
  if (foreground.Window != 0 && foreground.Window == trayWindow) noted = beforeTray_;
  // Taken once: a later command of the menu, or a hotkey, notes afresh.
  beforeTray_ = {};
  if (Outside(foreground)) return foreground;
  return noted;
}

bool CForegroundReturn::GiveBack(WindowRef remembered, WindowRef now, WindowRef foreground) const {
  if (!Outside(remembered)) return false;
  // Gone, or its handle now names another program's window.
  if (!(now == remembered)) return false;
  // The user is in another program (or already back): leave the front alone.
  return !Outside(foreground);
}

}  // namespace tavirel
