// The replacing UTF-8 decoder (text typed from a file or a terminal): every
// malformed byte becomes one U+FFFD and decoding goes on, so nothing after a
// bad byte is lost. Checked against the stopping decoder piece by piece.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "common/Utf8.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tavirel;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::u16string replaced = Utf8ToUtf16Replacing(bytes);
  if (IsValidUtf8(bytes) && replaced != Utf8ToUtf16(bytes)) std::abort();

  // Walk the input as the stopping decoder sees it: the longest valid
  // prefix decodes the same, then one U+FFFD for the bad byte, and so on.
  std::u16string expected;
  size_t i = 0;
  while (i < size) {
    const std::u16string part = Utf8ToUtf16(bytes.substr(i));
    expected += part;
    i += Utf16ToUtf8(part).size();
    if (i < size) {
      expected.push_back(u'\uFFFD');
      ++i;
    }
  }
  if (replaced != expected) std::abort();
  // The result is well-formed: it encodes and decodes to itself.
  const std::string again = Utf16ToUtf8(replaced);
  if (!IsValidUtf8(again) || Utf8ToUtf16(again) != replaced) std::abort();
  return 0;
}
