#include "app/SettingsFileStatus.h"

#include <filesystem>
#include <system_error>

#include "common/AppDirectory.h"
#include "common/TextFile.h"

namespace tavirel {

SettingsFileStatus ReadSettingsLines(const std::u16string& path, std::vector<std::u16string>& lines) {
  lines.clear();
  std::error_code ec;
  const std::filesystem::file_status status = std::filesystem::status(ToFsPath(path), ec);
  if (status.type() == std::filesystem::file_type::not_found) return SettingsFileStatus::Missing;
  std::string bytes;
  if (ec || !std::filesystem::is_regular_file(status) || !ReadFileBytes(path, bytes)) {
    return SettingsFileStatus::Unreadable;
  }
  lines = SplitTextLines(bytes);
  return SettingsFileStatus::Read;
}

}  // namespace tavirel
