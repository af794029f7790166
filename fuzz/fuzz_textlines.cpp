// Random bytes through the stopping UTF-8 decoder and the text-file reader:
// nothing is read out of bounds, the stopping decoder gives a prefix of its
// input, and the file reader never drops text: every byte of a file stands
// for some text, whatever its encoding.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "common/TextFile.h"
#include "common/Utf8.h"

namespace {

bool HasLoneSurrogate(const std::u16string& s) {
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] >= 0xD800 && s[i] <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
      ++i;
    } else if (s[i] >= 0xD800 && s[i] <= 0xDFFF) {
      return true;
    }
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tavirel;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::u16string decoded = Utf8ToUtf16(bytes);
  const std::string encoded = Utf16ToUtf8(decoded);
  // Decoding stops at the first malformed sequence, so what came out is a
  // prefix of the input, byte for byte, and the whole input when it is valid.
  if (bytes.substr(0, encoded.size()) != encoded) std::abort();
  if (Utf8ToUtf16(encoded) != decoded) std::abort();
  if (IsValidUtf8(bytes) != (encoded.size() == size)) std::abort();

  // The file reader: lines hold no LF, and together with their line ends
  // they are the whole decoded text.
  const std::u16string text = DecodeTextFile(bytes);
  std::u16string joined;
  const auto lines = SplitTextLines(bytes);
  for (const std::u16string& line : lines) {
    if (line.find(u'\n') != std::u16string::npos) std::abort();
    if (!HasLoneSurrogate(line) && Utf8ToUtf16(Utf16ToUtf8(line)) != line) std::abort();
    joined += line;
  }
  size_t kept = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'\n') continue;
    if (text[i] == u'\r' && (i + 1 == text.size() || text[i + 1] == u'\n')) continue;  // ends a line
    ++kept;
  }
  if (joined.size() != kept) std::abort();
  // Nothing dropped: one unit per byte in code page 1258 (one tone mark at
  // most joins each letter), one per two bytes in UTF-16, one per one to
  // four bytes in UTF-8.
  const bool utf16 = size >= 2 && (bytes.substr(0, 2) == "\xFF\xFE" || bytes.substr(0, 2) == "\xFE\xFF");
  const size_t body = size - (utf16 ? 2 : bytes.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0);
  if (text.size() * (utf16 ? 2 : 4) < body) std::abort();

  // Arbitrary UTF-16 (unpaired surrogates included) encodes to valid UTF-8.
  std::u16string units(size / 2, u'\0');
  for (size_t i = 0; i < units.size(); ++i) units[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
  const std::string utf8 = Utf16ToUtf8(units);
  if (!IsValidUtf8(utf8) || Utf16ToUtf8(Utf8ToUtf16(utf8)) != utf8) std::abort();
  return 0;
}
