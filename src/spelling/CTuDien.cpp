#include "spelling/CTuDien.h"

#include <algorithm>

#include "common/AppDirectory.h"
#include "common/TextFile.h"

namespace tavirel {

CTuDien& CTuDien::Instance() {
  static CTuDien dictionary;
  return dictionary;
}

void CTuDien::Load() { Instance().LoadFile(ResourcePath(u"TuDien.txt")); }

bool CTuDien::LoadFile(const std::u16string& path) {
  path_ = path;
  std::string bytes;
  if (!ReadFileBytes(path, bytes)) {
    entries_.clear();
    return false;
  }
  LoadBytes(bytes);
  return true;
}

void CTuDien::LoadBytes(std::string_view bytes) { LoadLines(SplitTextLines(bytes)); }

void CTuDien::LoadLines(std::vector<std::u16string> lines) {
  entries_ = std::move(lines);
  // std::u16string orders by unsigned code unit, shorter first on a common prefix.
  std::sort(entries_.begin(), entries_.end());
}

bool CTuDien::Contains(std::u16string_view word) const {
  const auto it = std::lower_bound(entries_.begin(), entries_.end(), word,
                                   [](const std::u16string& entry, std::u16string_view w) { return entry < w; });
  return it != entries_.end() && *it == word;
}

}  // namespace tavirel
