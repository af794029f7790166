#pragma once
// A fresh folder per test, files written byte for byte, and a service on a
// SimDesktop for the settings and hotkey tests.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "common/AppDirectory.h"
#include "common/Utf8.h"

namespace tavirel::test {

class TempFolder {
 public:
  TempFolder() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    path_ = std::filesystem::temp_directory_path() /
            ("tavirel_app_" + std::string(info->test_suite_name()) + "_" + info->name());
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  std::u16string Path() const { return path_.u16string(); }
  std::u16string File(const char* name) const { return (path_ / name).u16string(); }

  void Write(const char* name, const std::string& bytes) const {
    std::ofstream out(path_ / name, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  std::string Read(const char* name) const {
    std::ifstream in(path_ / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

 private:
  std::filesystem::path path_;
};

}  // namespace tavirel::test
