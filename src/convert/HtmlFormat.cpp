#include "convert/HtmlFormat.h"

#include <array>

#include "common/Utf8.h"
#include "convert/ConvertText.h"

namespace tavirel {
namespace {

// A decimal number with leading zeros allowed; -1 for anything else (no
// digits, a sign, other characters, or a value too large for any data).
long long ReadOffset(std::string_view value) {
  while (!value.empty() && (value.back() == '\r' || value.back() == ' ')) value.remove_suffix(1);
  while (!value.empty() && value.front() == ' ') value.remove_prefix(1);
  if (value.empty()) return -1;
  long long n = 0;
  for (const char c : value) {
    if (c < '0' || c > '9') return -1;
    n = n * 10 + (c - '0');
    if (n > (1LL << 40)) return -1;
  }
  return n;
}


}  // namespace

HtmlFormatHeader ParseHtmlFormatHeader(std::string_view data) {
  HtmlFormatHeader h;
  static constexpr std::string_view kNames[] = {"Version",       "StartHTML",      "EndHTML",      "StartFragment",
                                                "EndFragment",   "StartSelection", "EndSelection", "SourceURL"};
  bool seen[8] = {};
  size_t pos = 0;
  for (int line = 0; line < 8 && pos < data.size(); ++line) {
    // Once StartHTML is known, the document begins there: a line of the
    // document that looks like a header field is its text.
    if (seen[1] && h.startHtml >= 0 && pos >= static_cast<size_t>(h.startHtml)) break;
    size_t end = data.find('\n', pos);
    const bool last = end == std::string_view::npos;
    if (last) end = data.size();
    const std::string_view text = data.substr(pos, end - pos);
    const size_t colon = text.find(':');
    if (colon == std::string_view::npos) break;
    if (line == 0) h.crlf = !text.empty() && text.back() == '\r';
    const std::string_view name = text.substr(0, colon);
    const std::string_view value = text.substr(colon + 1);
    pos = last ? end : end + 1;
    size_t field = 0;
    while (field < 8 && kNames[field] != name) ++field;
    if (field == 8) continue;  // another name: skipped, but it counts
    if (seen[field]) break;    // a field named twice is the document's text
    seen[field] = true;
    // The header ends after its last field; a skipped line after it (the
    // document's first line may hold a colon) belongs to the document.
    h.headerEnd = pos;
    std::string_view bare = value;
    while (!bare.empty() && bare.back() == '\r') bare.remove_suffix(1);
    switch (field) {
      case 0: h.version = std::string(bare); break;
      case 1: h.startHtml = ReadOffset(value); break;
      case 2: h.endHtml = ReadOffset(value); break;
      case 3: h.startFragment = ReadOffset(value); break;
      case 4: h.endFragment = ReadOffset(value); break;
      case 7: h.sourceUrl = std::string(bare); break;
      default: break;
    }
  }
  return h;
}

std::string RewriteHtmlFormat(std::string_view data,
                              const std::function<std::u16string(std::u16string_view)>& convert) {
  const HtmlFormatHeader h = ParseHtmlFormatHeader(data);
  const long long size = static_cast<long long>(data.size());
  const long long headerEnd = static_cast<long long>(h.headerEnd);
  // StartHTML and EndHTML may be missing or -1 (no context): the document
  // then runs from the end of the header to the end of the data.
  const long long startHtml = h.startHtml >= headerEnd && h.startHtml <= size ? h.startHtml : headerEnd;
  const long long endHtml = h.endHtml >= startHtml && h.endHtml <= size ? h.endHtml : size;
  // The fragment must lie inside the document; there is no guessing it.
  if (h.startFragment < startHtml || h.endFragment < h.startFragment || h.endFragment > endHtml) return {};

  const auto at = [](long long n) { return static_cast<size_t>(n); };
  const std::string_view prefix = data.substr(at(startHtml), at(h.startFragment - startHtml));
  const std::string_view fragment = data.substr(at(h.startFragment), at(h.endFragment - h.startFragment));
  const std::string_view tail = data.substr(at(h.endFragment), at(endHtml - h.endFragment));
  const std::string converted = Utf16ToUtf8(convert(Utf8ToUtf16Replacing(fragment)));

  const std::string eol = h.crlf ? "\r\n" : "\n";
  const std::string version = h.version.empty() ? std::string("0.9") : h.version;
  // The header's own length depends on the widths of the numbers in it:
  // grow the width until every number fits.
  size_t width = 8;
  for (;;) {
    const auto field = [&](const char* name, size_t n) {
      std::string digits = std::to_string(n);
      if (digits.size() < width) digits.insert(0, width - digits.size(), '0');
      return std::string(name) + ":" + digits + eol;
    };
    std::string header = "Version:" + version + eol;
    const size_t fixed = header.size() + (h.sourceUrl.empty() ? 0 : 10 + h.sourceUrl.size() + eol.size()) +
                         4 * (width + eol.size()) + 10 + 8 + 14 + 12;
    const size_t newStartHtml = fixed;
    const size_t newStartFragment = newStartHtml + prefix.size();
    const size_t newEndFragment = newStartFragment + converted.size();
    const size_t newEndHtml = newEndFragment + tail.size();
    if (std::to_string(newEndHtml).size() > width) {
      ++width;
      continue;
    }
    header += field("StartHTML", newStartHtml);
    header += field("EndHTML", newEndHtml);
    header += field("StartFragment", newStartFragment);
    header += field("EndFragment", newEndFragment);
    if (!h.sourceUrl.empty()) header += "SourceURL:" + h.sourceUrl + eol;
    std::string out;
    out.reserve(newEndHtml);
    out += header;
    out.append(prefix);
    out += converted;
    out.append(tail);
    return out;
  }
}

std::string ConvertHtmlFormat(const ConversionOptions& options, std::string_view data) {
  CTextConverter converter(options);
  return RewriteHtmlFormat(data, [&](std::u16string_view text) { return converter.Convert(text); });
}

}  // namespace tavirel
