#include "common/TextFile.h"

#include <fstream>
#include <iterator>

#include "common/AppDirectory.h"
#include "common/Utf8.h"

namespace tavirel {

std::vector<std::u16string> SplitTextLines(std::string_view bytes) {
  std::vector<std::u16string> lines;
  if (bytes.size() >= 3 && static_cast<unsigned char>(bytes[0]) == 0xEF &&
      static_cast<unsigned char>(bytes[1]) == 0xBB && static_cast<unsigned char>(bytes[2]) == 0xBF) {
    bytes.remove_prefix(3);
  }
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find('\n', start);
    const bool last = end == std::string_view::npos;
    if (last) end = bytes.size();
    std::string_view line = bytes.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(Utf8ToUtf16(line));
    if (last) break;
    start = end + 1;
  }
  return lines;
}

bool ReadFileBytes(const std::u16string& path, std::string& bytes) {
  std::ifstream in(ToFsPath(path), std::ios::binary);
  if (!in) return false;
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

std::vector<std::u16string> ReadTextLines(const std::u16string& path) {
  std::string bytes;
  if (!ReadFileBytes(path, bytes)) return {};
  return SplitTextLines(bytes);
}

bool WriteTextLines(const std::u16string& path, const std::vector<std::u16string>& pieces) {
  std::ofstream out(ToFsPath(path), std::ios::binary | std::ios::trunc);
  if (!out) return false;
  out.write("\xEF\xBB\xBF", 3);
  for (const auto& piece : pieces) {
    const std::string bytes = Utf16ToUtf8(piece);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  out.flush();
  return static_cast<bool>(out);
}

}  // namespace tavirel
