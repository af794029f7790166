#include "common/AppDirectory.h"

#include "common/ProgramFolder.h"

#include <system_error>

namespace tavirel {
namespace {

std::u16string& Override() {
  static std::u16string dir;
  return dir;
}

}  // namespace

const std::u16string& AppDirectory() {
  static const std::u16string dir = ProgramFolder();
  return Override().empty() ? dir : Override();
}

void SetAppDirectory(const std::u16string& dir) { Override() = dir; }

std::u16string JoinPath(const std::u16string& dir, const std::u16string& name) {
#if defined(_WIN32)
  constexpr char16_t sep = u'\\';
#else
  constexpr char16_t sep = u'/';
#endif
  if (dir.empty()) return name;
  std::u16string out = dir;
  if (out.back() != sep) out.push_back(sep);
  out += name;
  return out;
}

std::u16string ResourcePath(const std::u16string& name) {
  return JoinPath(JoinPath(AppDirectory(), u"Resources"), name);
}

std::u16string AppFilePath(const std::u16string& name) { return JoinPath(AppDirectory(), name); }

std::filesystem::path ToFsPath(const std::u16string& path) { return std::filesystem::path(path); }

bool FileExists(const std::u16string& path) {
  std::error_code ec;
  return std::filesystem::is_regular_file(ToFsPath(path), ec);
}

}  // namespace tavirel
