#include "convert/ConvertClipboard.h"

#include <vector>

#include "convert/ConvertText.h"
#include "convert/HtmlFormat.h"
#include "service/IDesktop.h"

namespace tavirel {
namespace {

std::u16string TextUpToZero(const std::vector<uint8_t>& bytes) {
  std::u16string text;
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const char16_t c = static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8));
    if (c == 0) break;
    text.push_back(c);
  }
  return text;
}

std::string BytesUpToZero(const std::vector<uint8_t>& bytes) {
  std::string data;
  for (const uint8_t b : bytes) {
    if (b == 0) break;
    data.push_back(static_cast<char>(b));
  }
  return data;
}

}  // namespace

ClipboardConversionResult ConvertClipboard(ConversionOptions& options, IDesktop& desktop) {
  ClipboardConversionResult result;
  // Registering a name again gives the number it already has.
  const uint32_t htmlFormat = desktop.RegisterClipboardFormat(u"HTML Format");
  if (!desktop.OpenClipboard()) {
    result.outcome = ClipboardConversion::Busy;
    return result;
  }
  std::vector<uint8_t> bytes;
  const std::u16string text =
      desktop.GetClipboardBytes(clipfmt::kUnicodeText, bytes) ? TextUpToZero(bytes) : std::u16string();
  bytes.clear();
  const std::string html =
      htmlFormat != 0 && desktop.GetClipboardBytes(htmlFormat, bytes) ? BytesUpToZero(bytes) : std::string();

  std::u16string newText;
  if (!text.empty()) {
    if (options.autoDetect) options.source = DetectSourceTable(options, text, TextOrigin::AnsiClipboard);
    CTextConverter converter(options, TextOrigin::AnsiClipboard);
    converter.Convert(text, newText);
    result.lost += converter.LostCount();
  }
  std::string newHtml;
  bool htmlChanged = false;
  const bool convertHtml = !html.empty() && ((options.flags & convflag::kDropHtml) == 0 || newText.empty());
  if (convertHtml) {
    CTextConverter converter(options, TextOrigin::AnsiClipboard);
    newHtml = RewriteHtmlFormat(html, [&](std::u16string_view t) {
      std::u16string out = converter.Convert(t);
      htmlChanged = htmlChanged || out != t;
      return out;
    });
    result.lost += converter.LostCount();
  }

  // Nothing converted, or the conversion gives back what is there: the
  // clipboard, with every other format the user had on it, stays as it is.
  const bool htmlSame = html.empty() || (convertHtml && !newHtml.empty() && !htmlChanged);
  if ((newText.empty() && newHtml.empty()) || (newText == text && htmlSame)) {
    desktop.CloseClipboard();
    result.outcome = newText.empty() && newHtml.empty() ? ClipboardConversion::Nothing : ClipboardConversion::Unchanged;
    return result;
  }
  bool ok = desktop.EmptyClipboard();
  if (ok && !newText.empty()) ok = desktop.SetClipboardUnicodeText(newText);
  if (ok && !newHtml.empty()) ok = desktop.SetClipboardBytes(htmlFormat, std::vector<uint8_t>(newHtml.begin(), newHtml.end()));
  desktop.CloseClipboard();
  result.outcome = ok ? ClipboardConversion::Converted : ClipboardConversion::WriteFailed;
  return result;
}

}  // namespace tavirel
