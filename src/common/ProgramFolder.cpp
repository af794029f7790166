#include "common/ProgramFolder.h"

#if !defined(_WIN32)
#include <filesystem>
#include <system_error>

namespace tavirel {

std::u16string ProgramFolder() {
  std::error_code ec;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return std::filesystem::current_path(ec).u16string();
  return exe.parent_path().u16string();
}

}  // namespace tavirel
#endif
