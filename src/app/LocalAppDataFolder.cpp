#include "app/SettingsFolder.h"

#if !defined(_WIN32)
#include <cstdlib>

#include "common/Utf8.h"

namespace tavirel {

// The freedesktop data folder stands in for Windows' local application data.
std::u16string LocalAppDataFolder() {
  if (const char* data = std::getenv("XDG_DATA_HOME"); data != nullptr && *data == '/') {
    return Utf8ToUtf16(data);
  }
  if (const char* home = std::getenv("HOME"); home != nullptr && *home == '/') {
    return Utf8ToUtf16(std::string(home) + "/.local/share");
  }
  return {};
}

}  // namespace tavirel
#endif
