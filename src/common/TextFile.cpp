#include "common/TextFile.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "common/AppDirectory.h"
#include "common/CodePage.h"
#include "common/Utf8.h"

namespace tavirel {

namespace {

bool StartsWith(std::string_view bytes, std::string_view prefix) { return bytes.substr(0, prefix.size()) == prefix; }

std::u16string DecodeUtf16(std::string_view bytes, bool bigEndian) {
  std::u16string out;
  out.reserve(bytes.size() / 2 + 1);
  const auto at = [&](size_t i) { return static_cast<unsigned char>(bytes[i]); };
  size_t i = 0;
  for (; i + 1 < bytes.size(); i += 2) {
    out.push_back(static_cast<char16_t>(bigEndian ? (at(i) << 8) | at(i + 1) : at(i) | (at(i + 1) << 8)));
  }
  if (i < bytes.size()) out.push_back(u'\uFFFD');
  return out;
}

// A file that says it is UTF-8: each line on its own, code page 1258 for a
// line that is not valid UTF-8.
std::u16string DecodeUtf8ByLine(std::string_view bytes) {
  std::u16string out;
  out.reserve(bytes.size());
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find('\n', start);
    end = end == std::string_view::npos ? bytes.size() : end + 1;
    const std::string_view line = bytes.substr(start, end - start);
    out += IsValidUtf8(line) ? Utf8ToUtf16(line) : Cp1258ToUtf16(line);
    start = end;
  }
  return out;
}

}  // namespace

std::u16string DecodeTextFile(std::string_view bytes) {
  if (StartsWith(bytes, "\xEF\xBB\xBF")) return DecodeUtf8ByLine(bytes.substr(3));
  if (StartsWith(bytes, "\xFF\xFE")) return DecodeUtf16(bytes.substr(2), false);
  if (StartsWith(bytes, "\xFE\xFF")) return DecodeUtf16(bytes.substr(2), true);
  return IsValidUtf8(bytes) ? Utf8ToUtf16(bytes) : Cp1258ToUtf16(bytes);
}

std::vector<std::u16string> SplitTextLines(std::string_view bytes) {
  const std::u16string text = DecodeTextFile(bytes);
  std::vector<std::u16string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find(u'\n', start);
    const bool last = end == std::u16string::npos;
    if (last) end = text.size();
    size_t len = end - start;
    if (len > 0 && text[end - 1] == u'\r') --len;
    lines.emplace_back(text, start, len);
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

TextFileStatus ReadTextFile(const std::u16string& path, std::vector<std::u16string>& lines) {
  lines.clear();
  std::error_code ec;
  const auto status = std::filesystem::status(ToFsPath(path), ec);
  if (status.type() == std::filesystem::file_type::not_found) return TextFileStatus::Missing;
  std::string bytes;
  if (ec || !std::filesystem::is_regular_file(status) || !ReadFileBytes(path, bytes)) {
    return TextFileStatus::Unreadable;
  }
  lines = SplitTextLines(bytes);
  return TextFileStatus::Read;
}

std::vector<std::u16string> ReadTextLines(const std::u16string& path) {
  std::vector<std::u16string> lines;
  ReadTextFile(path, lines);
  return lines;
}

bool WriteTextLines(const std::u16string& path, const std::vector<std::u16string>& pieces) {
  std::string bytes = "\xEF\xBB\xBF";
  for (const auto& piece : pieces) bytes += Utf16ToUtf8(piece);
  return WriteFileAtomically(path, bytes);
}

}  // namespace tavirel
