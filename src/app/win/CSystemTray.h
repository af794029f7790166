#pragma once
// The notification-area icon of the tray window: icon, tooltip, balloons,
// and adding it again when the shell restarts. Without a notification area
// every call does nothing.
#include <windows.h>
#include <shellapi.h>

#include <string>

namespace tavirel {

class CSystemTray {
 public:
  static constexpr UINT kIconId = 120;
  static constexpr UINT kCallbackMessage = WM_APP + 1;

  // Balloon icons, passed through to the shell.
  enum BalloonIcon { kNone = NIIF_NONE, kInfo = NIIF_INFO, kWarning = NIIF_WARNING, kError = NIIF_ERROR };

  CSystemTray() = default;
  ~CSystemTray();
  CSystemTray(const CSystemTray&) = delete;
  CSystemTray& operator=(const CSystemTray&) = delete;

  // Adds the icon for the owner window; false when the shell refused.
  bool Create(HWND owner, HICON icon, const std::u16string& tooltip);
  void SetTooltip(const std::u16string& text);
  void SetIcon(HICON icon);
  void ShowBalloon(const std::u16string& text, const std::u16string& title, BalloonIcon icon);
  void RemoveIcon();
  // After "TaskbarCreated": adds the icon again with the current icon and
  // tooltip; false (the icon counts as removed) when the shell refuses.
  bool ReAddIcon();
  bool Shown() const { return !removed_; }

 private:
  bool Modify(UINT flags);

  NOTIFYICONDATAW data_{};
  bool created_ = false;
  bool removed_ = true;
};

}  // namespace tavirel
