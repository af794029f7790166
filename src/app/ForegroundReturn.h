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
// Plain values; the tray window reads the windows and does what this says.
// Main thread.
#include <cstdint>

namespace tavirel {

// A top-level window as the decision sees it; Window 0 is none.
struct WindowRef {
  std::uintptr_t Window = 0;
  std::uint32_t Process = 0;
  bool operator==(const WindowRef&) const = default;
};

class CForegroundReturn {
 public:
  explicit CForegroundReturn(std::uint32_t ownProcess) : own_(ownProcess) {}

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
  bool Outside(WindowRef w) const { return w.Window != 0 && w.Process != own_; }

  std::uint32_t own_;
  WindowRef beforeTray_;
};

}  // namespace tavirel
