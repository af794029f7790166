// The clipboard's "HTML Format" with any header: the reader never leaves the
// data, and whatever it writes has offsets that point at its own bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "common/Utf8.h"
#include "convert/HtmlFormat.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tavirel;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  std::u16string seen;
  // A conversion that changes the length, so the offsets must move.
  const std::string out = RewriteHtmlFormat(input, [&](std::u16string_view text) {
    seen = std::u16string(text);
    return std::u16string(text) + u"ĐƯỜNG";
  });
  if (out.empty()) return 0;
  const HtmlFormatHeader h = ParseHtmlFormatHeader(out);
  const auto at = [](long long n) { return static_cast<size_t>(n); };
  if (h.startHtml < 0 || at(h.startHtml) != h.headerEnd || h.startFragment < h.startHtml ||
      h.endFragment < h.startFragment || h.endHtml < h.endFragment || at(h.endHtml) != out.size()) {
    std::abort();
  }
  const std::string fragment = out.substr(at(h.startFragment), at(h.endFragment - h.startFragment));
  static const std::string suffix = Utf16ToUtf8(u"ĐƯỜNG");
  if (fragment.size() < suffix.size() || fragment.compare(fragment.size() - suffix.size(), suffix.size(), suffix) != 0) {
    std::abort();
  }
  if (Utf8ToUtf16(fragment).size() != seen.size() + 5) std::abort();
  return 0;
}
