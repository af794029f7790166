#include "common/ProgramFolder.h"

#include <windows.h>

#include <vector>

namespace tavirel {

// The module's full path with everything from the last backslash on removed.
std::u16string ProgramFolder() {
  std::vector<wchar_t> buf(MAX_PATH);
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
    if (n == 0) return {};
    if (n < buf.size()) {
      std::u16string path(buf.begin(), buf.begin() + n);
      const size_t cut = path.find_last_of(u'\\');
      return cut == std::u16string::npos ? std::u16string() : path.substr(0, cut);
    }
    if (buf.size() >= 32768) return {};
    buf.resize(buf.size() * 2);
  }
}

}  // namespace tavirel
