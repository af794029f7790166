// Random bytes through the UTF-8 line reader: decoding never reads out of
// bounds, and encoding what was decoded decodes to the same text again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "common/TextFile.h"
#include "common/Utf8.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tavirel;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::u16string decoded = Utf8ToUtf16(bytes);
  const std::string encoded = Utf16ToUtf8(decoded);
  // Decoding stops at the first malformed sequence, so what came out is a
  // prefix of the input, byte for byte.
  if (bytes.substr(0, encoded.size()) != encoded) std::abort();
  if (Utf8ToUtf16(encoded) != decoded) std::abort();

  for (const std::u16string& line : SplitTextLines(bytes)) {
    if (line.find(u'\n') != std::u16string::npos) std::abort();
    const std::string again = Utf16ToUtf8(line);
    if (Utf8ToUtf16(again) != line) std::abort();
  }
  // Arbitrary UTF-16 (unpaired surrogates included) encodes to valid UTF-8.
  std::u16string units(size / 2, u'\0');
  for (size_t i = 0; i < units.size(); ++i) units[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
  const std::string utf8 = Utf16ToUtf8(units);
  if (Utf16ToUtf8(Utf8ToUtf16(utf8)) != utf8) std::abort();
  return 0;
}
