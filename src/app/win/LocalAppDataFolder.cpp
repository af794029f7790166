// The user's local application-data folder (%LOCALAPPDATA%, set in every
// user session), so that the core needs no shell library.
#include <windows.h>

#include <vector>

#include "app/SettingsFolder.h"

namespace tavirel {

namespace {

std::u16string Environment(const wchar_t* name) {
  std::vector<wchar_t> buf(MAX_PATH);
  for (int attempt = 0; attempt < 2; ++attempt) {
    const DWORD n = GetEnvironmentVariableW(name, buf.data(), static_cast<DWORD>(buf.size()));
    if (n == 0) return {};
    if (n < buf.size()) return std::u16string(buf.begin(), buf.begin() + n);
    buf.resize(n + 1);
  }
  return {};
}

}  // namespace

std::u16string LocalAppDataFolder() {
  std::u16string folder = Environment(L"LOCALAPPDATA");
  if (folder.empty()) {
    const std::u16string profile = Environment(L"USERPROFILE");
    if (!profile.empty()) folder = profile + u"\\AppData\\Local";
  }
  return folder;
}

}  // namespace tavirel
