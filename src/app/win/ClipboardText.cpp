#include "app/win/ClipboardText.h"

#include "app/TaoTuGoTat.h"

namespace tavirel {

std::optional<std::u16string> ReadClipboardText(HWND owner) {
  bool open = false;
  for (int attempt = 0; attempt < 10 && !(open = OpenClipboard(owner) != FALSE); ++attempt) Sleep(20);
  if (!open) return std::nullopt;
  std::optional<std::u16string> text;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* units = static_cast<const char16_t*>(GlobalLock(data))) {
      text = ClipboardTextOf(units, GlobalSize(data) / sizeof(char16_t));
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

}  // namespace tavirel
