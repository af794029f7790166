#pragma once
// Where the keyboard goes when one of our dialogs closes. A dialog opened
// from the tray menu or by a hotkey is owned by the hidden tray window, and
// closing it puts that window in front: keys typed right after OK would go
// nowhere. So the window that was in front before the dialog opened gets
// the foreground back, if it is still there, belongs to another program,
// and the user has not gone on to another program meanwhile.
//
// The tray menu (and a double click on the icon) brings the tray window to
// the front before a command opens a dialog: what was in front until then
// is noted first and taken when the dialog opens. A dialog opened while one
// of our own windows is in front (another dialog) gives nothing back: its
// owner takes the foreground as it closes.
//
// A click on the notification area first brings the taskbar to the front,
// so the window in front when the menu opens is the taskbar. The taskbar
// (or its overflow of icons) is never where the user was typing: the last
// other window that came to the front, as the foreground changes are
// noticed, stands in for it.
//
// Plain values; the tray window reads the windows and does what this says.
// Main thread.
#include <cstdint>
#include <string_view>

namespace tavirel {

// A top-level window as the decision sees it; Window 0 is none. Taskbar:
// the window is the taskbar or the notification area's overflow.
struct WindowRef {
  std::uintptr_t Window = 0;
  std::uint32_t Process = 0;
  bool Taskbar = false;
  bool operator==(const WindowRef&) const = default;
};

// Whether a top-level window of this class is the taskbar or part of it.
bool IsTaskbarClass(std::u16string_view windowClass);

class CForegroundReturn {
 public:
  explicit CForegroundReturn(std::uint32_t ownProcess) : own_(ownProcess) {}

  // Another window came to the front (ours too).
  void Noticed(WindowRef foreground);

  // The tray window is about to be brought to the front; foreground is the
  // window in front until then.
  void BeforeTrayInFront(WindowRef foreground);
  // A dialog opens with foreground in front (trayWindow: our hidden tray
  // window): the window to give the foreground back to when it closes, or
  // none.
  WindowRef Opening(WindowRef foreground, std::uintptr_t trayWindow);
  // The dialog that remembered `remembered` has closed. now: the same handle
  // as it is now (Window 0 once it is gone); foreground: the window in front
  // now. True when remembered is to be brought to the front.
  bool GiveBack(WindowRef remembered, WindowRef now, WindowRef foreground) const;

 private:
  bool Outside(WindowRef w) const { return w.Window != 0 && w.Process != own_ && !w.Taskbar; }
  // The window the user was in when foreground was in front.
  WindowRef UserWindow(WindowRef foreground) const { return foreground.Taskbar ? lastInFront_ : foreground; }

  std::uint32_t own_;
  WindowRef beforeTray_;
  WindowRef lastInFront_;  // the last window in front that is not the taskbar
};

}  // namespace tavirel
