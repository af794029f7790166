#include "app/ForegroundReturn.h"

namespace tavirel {

bool IsTaskbarClass(std::u16string_view windowClass) {
  return windowClass == u"Shell_TrayWnd" || windowClass == u"Shell_SecondaryTrayWnd" ||
         windowClass == u"NotifyIconOverflowWindow" || windowClass == u"TopLevelWindowForOverflowXamlIsland";
}

void CForegroundReturn::Noticed(WindowRef foreground) {
  // Ours counts: a menu opened from the icon over one of our dialogs, the
  // taskbar in between, has nothing outside to go back to.
  if (foreground.Window != 0 && !foreground.Taskbar) lastInFront_ = foreground;
}

void CForegroundReturn::BeforeTrayInFront(WindowRef foreground) {
  // A menu opened over one of our dialogs has nothing outside to go back to.
  const WindowRef user = UserWindow(foreground);
  beforeTray_ = Outside(user) ? user : WindowRef{};
}

WindowRef CForegroundReturn::Opening(WindowRef foreground, std::uintptr_t trayWindow) {
  WindowRef noted;
  if (foreground.Window != 0 && foreground.Window == trayWindow) noted = beforeTray_;
  // Taken once: a later command of the menu, or a hotkey, notes afresh.
  beforeTray_ = {};
  const WindowRef user = UserWindow(foreground);
  if (Outside(user)) return user;
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
