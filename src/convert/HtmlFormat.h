#pragma once
// The clipboard's "HTML Format": a header of "Name:value" lines with byte
// offsets, then an HTML document in UTF-8 whose fragment is the copied text.
#include <functional>
#include <string>
#include <string_view>

#include "app/ConversionOptions.h"

namespace tavirel {

struct HtmlFormatHeader {
  std::string version;    // as read, without line end; empty when absent
  std::string sourceUrl;  // as read, without line end; empty when absent
  long long startHtml = 0;
  long long endHtml = 0;
  long long startFragment = -1;  // -1: absent or not a number
  long long endFragment = -1;
  size_t headerEnd = 0;   // first byte after the header lines read
  bool crlf = false;      // the header lines end with CR LF
};

// Reads at most eight header lines; a line without a colon ends the header.
HtmlFormatHeader ParseHtmlFormatHeader(std::string_view data);

// Rebuilds the data with the fragment replaced by convert(fragment text).
// Every offset of the new header is counted from the bytes written. Empty
// when the offsets do not describe a fragment inside the data (nothing to
// convert).
std::string RewriteHtmlFormat(std::string_view data,
                              const std::function<std::u16string(std::u16string_view)>& convert);

// The fragment converted with ConvertText of the options.
std::string ConvertHtmlFormat(const ConversionOptions& options, std::string_view data);

}  // namespace tavirel
