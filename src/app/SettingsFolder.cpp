#include "app/SettingsFolder.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "common/AppDirectory.h"
#include "common/Utf8.h"

namespace tavirel {

namespace {

std::u16string& Chosen() {
  static std::u16string folder;
  return folder;
}

}  // namespace

std::u16string ChooseSettingsFolder(const std::u16string& programFolder, bool programFolderWritable,
                                    const std::u16string& localAppData) {
  if (programFolderWritable || localAppData.empty()) return programFolder;
  return JoinPath(localAppData, kSettingsSubfolder);
}

bool IsFolderWritable(const std::u16string& folder) {
  std::error_code ec;
  if (folder.empty() || !std::filesystem::is_directory(ToFsPath(folder), ec)) return false;
  static std::atomic<unsigned> counter{0};
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  const std::u16string probe =
      JoinPath(folder, u"~tavirel-probe-" + Utf8ToUtf16(std::to_string(stamp)) + u"-" +
                           Utf8ToUtf16(std::to_string(counter++)) + u".tmp");
  const std::filesystem::path path = ToFsPath(probe);
  if (std::filesystem::exists(path, ec)) return false;
  bool ok = false;
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    ok = out.good();
    if (ok) {
      out.put('x');
      out.flush();
      ok = out.good();
    }
  }
  std::filesystem::remove(path, ec);
  return ok;
}

const std::u16string& SettingsFolder() {
  return Chosen().empty() ? AppDirectory() : Chosen();
}

void SetSettingsFolder(const std::u16string& folder) { Chosen() = folder; }

void ChooseSettingsFolderForProgram() {
  const std::u16string program = AppDirectory();
  SetSettingsFolder(ChooseSettingsFolder(program, IsFolderWritable(program), LocalAppDataFolder()));
}

std::u16string SettingsFilePath(const std::u16string& name) { return JoinPath(SettingsFolder(), name); }

bool EnsureFolder(const std::u16string& folder) {
  std::error_code ec;
  const std::filesystem::path path = ToFsPath(folder);
  if (std::filesystem::is_directory(path, ec)) return true;
  std::filesystem::create_directories(path, ec);
  return std::filesystem::is_directory(path, ec);
}

}  // namespace tavirel
