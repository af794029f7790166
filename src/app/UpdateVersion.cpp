#include "app/UpdateVersion.h"

#include <algorithm>

namespace tavirel {

namespace {
bool IsBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }
constexpr size_t kMaxParts = 4;
constexpr size_t kMaxDigits = 9;
}  // namespace

std::u16string_view TrimVersionText(std::u16string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

std::optional<VersionParts> ParseVersion(std::u16string_view text) {
  text = TrimVersionText(text);
  VersionParts parts;
  uint32_t value = 0;
  size_t digits = 0;
  for (size_t i = 0; i <= text.size(); ++i) {
    if (i == text.size() || text[i] == u'.') {
      if (digits == 0 || parts.size() == kMaxParts) return std::nullopt;
      parts.push_back(value);
      value = 0;
      digits = 0;
      continue;
    }
    const char16_t c = text[i];
    if (c < u'0' || c > u'9' || digits == kMaxDigits) return std::nullopt;
    value = value * 10 + static_cast<uint32_t>(c - u'0');
    ++digits;
  }
  return parts;
}

int CompareVersions(const VersionParts& a, const VersionParts& b) {
  const size_t n = std::max(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    const uint32_t x = i < a.size() ? a[i] : 0;
    const uint32_t y = i < b.size() ? b[i] : 0;
    if (x != y) return x < y ? -1 : 1;
  }
  return 0;
}

}  // namespace tavirel
