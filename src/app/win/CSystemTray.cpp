#include "app/win/CSystemTray.h"

#include "common/Utf8.h"

#include <cwchar>

namespace tavirel {

namespace {

template <size_t N>
void CopyText(wchar_t (&into)[N], const std::u16string& text) {
  const size_t n = text.size() < N - 1 ? text.size() : N - 1;
  std::wmemcpy(into, reinterpret_cast<const wchar_t*>(text.data()), n);
  into[n] = 0;
}

// For a debugger (and the end-to-end tests): the tooltip as it went to the
// shell, in UTF-8.
void TraceTooltip(const wchar_t* tip) {
  OutputDebugStringA(Utf16ToUtf8(u"Tavirel tooltip: " + std::u16string(reinterpret_cast<const char16_t*>(tip)) + u"\n").c_str());
}

}  // namespace

CSystemTray::~CSystemTray() { RemoveIcon(); }

bool CSystemTray::Create(HWND owner, HICON icon, const std::u16string& tooltip) {
  data_ = {};
  data_.cbSize = sizeof data_;
  data_.hWnd = owner;
  data_.uID = kIconId;
  data_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data_.uCallbackMessage = kCallbackMessage;
  data_.hIcon = icon;
  CopyText(data_.szTip, tooltip);
  TraceTooltip(data_.szTip);
  created_ = true;
  removed_ = !Shell_NotifyIconW(NIM_ADD, &data_);
  return !removed_;
}

bool CSystemTray::Modify(UINT flags) {
  if (!created_ || removed_) return false;
  data_.uFlags = flags;
  return Shell_NotifyIconW(NIM_MODIFY, &data_) != FALSE;
}

void CSystemTray::SetTooltip(const std::u16string& text) {
  CopyText(data_.szTip, text);
  TraceTooltip(data_.szTip);
  Modify(NIF_TIP);
}

void CSystemTray::SetIcon(HICON icon) {
  data_.hIcon = icon;
  Modify(NIF_ICON);
}

void CSystemTray::ShowBalloon(const std::u16string& text, const std::u16string& title, BalloonIcon icon) {
  CopyText(data_.szInfo, text);
  CopyText(data_.szInfoTitle, title);
  data_.dwInfoFlags = static_cast<DWORD>(icon);
  data_.uTimeout = 10000;
  // For a debugger (and the end-to-end tests): which balloon was shown, in
  // UTF-8 so that no code page loses the Vietnamese letters.
  OutputDebugStringA(Utf16ToUtf8(u"Tavirel balloon: " + title + u" | " + text + u"\n").c_str());
  Modify(NIF_INFO);
  // Later modifications must not show it again.
  data_.szInfo[0] = 0;
  data_.szInfoTitle[0] = 0;
}

void CSystemTray::RemoveIcon() {
  if (created_ && !removed_) Shell_NotifyIconW(NIM_DELETE, &data_);
  removed_ = true;
}

bool CSystemTray::ReAddIcon() {
  if (!created_) return false;
  data_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  removed_ = !Shell_NotifyIconW(NIM_ADD, &data_);
  return !removed_;
}

}  // namespace tavirel
