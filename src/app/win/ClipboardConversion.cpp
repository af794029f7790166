#include "app/win/ClipboardConversion.h"

#include "app/win/CTrayWindow.h"
#include "convert/ConvertClipboard.h"
#include "service/win/CWinDesktop.h"
#include "spelling/CTuDien.h"

namespace tavirel {
namespace {

// The Win32 clipboard with a window of the main thread as its owner, so
// that what is written is ours until another program writes.
class COwnedClipboard : public CWinDesktop {
 public:
  explicit COwnedClipboard(HWND owner) : owner_(owner) {}
  bool OpenClipboard() override {
    // Another program may hold the clipboard for a moment.
    for (int attempt = 0; attempt < 10; ++attempt) {
      if (::OpenClipboard(owner_)) return true;
      Sleep(10);
    }
    return false;
  }

 private:
  HWND owner_;
};

}  // namespace

void LoadDetectionDictionary() {
  // Read here on the main thread, like the tray's dictionary options do.
  if (CTuDien::Instance().Empty()) CTuDien::Load();
}

ConversionBalloon ConvertClipboardFor(ConversionOptions& options, HWND owner) {
  if (options.autoDetect) LoadDetectionDictionary();
  COwnedClipboard clipboard(owner);
  const ClipboardConversionResult result = ConvertClipboard(options, clipboard);
  return CChuyenMaDlgModel::ClipboardBalloon(options, result);
}

std::u16string ClipboardText(HWND owner) {
  COwnedClipboard clipboard(owner);
  if (!clipboard.OpenClipboard()) return {};
  std::vector<uint8_t> bytes;
  std::u16string text;
  if (clipboard.GetClipboardBytes(CF_UNICODETEXT, bytes)) {
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
      const char16_t c = static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8));
      if (c == 0) break;
      text.push_back(c);
    }
  }
  clipboard.CloseClipboard();
  return text;
}

void ShowConversionBalloon(CTrayWindow& tray, const ConversionBalloon& balloon) {
  tray.ShowBalloon(balloon.Text, balloon.Title, balloon.Error ? CSystemTray::kError : CSystemTray::kInfo);
}

}  // namespace tavirel
