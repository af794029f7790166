#include "convert/ConvertFile.h"

#include <filesystem>
#include <system_error>

#include "common/AppDirectory.h"
#include "common/TextFile.h"
#include "common/Utf8.h"
#include "convert/ConvertText.h"

namespace tavirel {
namespace {

bool StartsWithBom(std::string_view bytes) {
  return bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF";
}

std::u16string Formatted(const std::u16string& pattern, const std::u16string& arg) {
  std::u16string out = pattern;
  const size_t at = out.find(u"%s");
  if (at != std::u16string::npos) out.replace(at, 2, arg);
  return out;
}

}  // namespace

std::u16string FileTextForSource(std::string_view bytes, bool sourceIsBytes) {
  if (sourceIsBytes) {
    if (StartsWithBom(bytes)) {
      const std::string_view body = bytes.substr(3);
      const std::u16string decoded = Utf8ToUtf16(body);
      bool bytesOnly = Utf16ToUtf8(decoded).size() == body.size();  // well-formed throughout
      for (const char16_t c : decoded) bytesOnly = bytesOnly && c <= 0xFF;
      if (bytesOnly) return decoded;
    }
    std::u16string text(bytes.size(), u'\0');
    for (size_t i = 0; i < bytes.size(); ++i) text[i] = static_cast<unsigned char>(bytes[i]);
    return text;
  }
  if (StartsWithBom(bytes)) bytes.remove_prefix(3);
  return Utf8ToUtf16Replacing(bytes);
}

bool SameFile(const std::u16string& a, const std::u16string& b) {
  std::error_code ec;
  const bool same = std::filesystem::equivalent(ToFsPath(a), ToFsPath(b), ec);
  return !ec && same;
}

FileConversionResult ConvertFile(ConversionOptions& options, const std::u16string& sourcePath,
                                 const std::u16string& targetPath, const FileProgress& progress) {
  FileConversionResult result;
  if (sourcePath.empty() || targetPath.empty()) {
    result.error = u"Tập tin nguồn và đích không hợp lệ";
    return result;
  }
  if (!FileExists(sourcePath)) {
    result.error = Formatted(u"Tập tin \"%s\" không tồn tại", sourcePath);
    return result;
  }
  if (SameFile(sourcePath, targetPath)) {
    result.error = Formatted(u"Tập tin đích \"%s\" là chính tập tin nguồn", targetPath);
    return result;
  }
  std::string bytes;
  if (!ReadFileBytes(sourcePath, bytes)) {
    result.error = Formatted(u"Không đọc được tập tin \"%s\"", sourcePath);
    return result;
  }
  if (options.autoDetect) {
    // Well-formed UTF-8 is read as such for the guess, anything else as bytes.
    const std::string_view body = StartsWithBom(bytes) ? std::string_view(bytes).substr(3) : std::string_view(bytes);
    const bool utf8 = Utf16ToUtf8(Utf8ToUtf16(body)).size() == body.size();
    options.source = DetectSourceTable(options, FileTextForSource(bytes, !utf8));
  }
  CTextConverter converter(options);
  converter.SetLostReplacement(u'?');
  const std::u16string text = FileTextForSource(bytes, converter.SourceIsBytes());
  std::string().swap(bytes);
  // In pieces cut where the converter allows, so that a caller can show how
  // far it has come and stop it.
  constexpr size_t kPiece = size_t{1} << 20;
  std::u16string converted;
  converted.reserve(text.size());
  for (size_t at = 0; at < text.size();) {
    if (progress && !progress(at, text.size())) {
      result.error = kConversionStopped;
      return result;
    }
    size_t end = text.size();
    if (end - at > kPiece) {
      const size_t cut = converter.SafeCut(std::u16string_view(text).substr(at, kPiece));
      if (cut != 0) end = at + cut;
    }
    converter.Convert(std::u16string_view(text).substr(at, end - at), converted);
    at = end;
  }
  if (progress) progress(text.size(), text.size());
  if (converted.empty()) {
    result.ok = true;
    return result;
  }
  std::string out;
  if (converter.TargetIsBytes()) {
    out.resize(converted.size());
    for (size_t i = 0; i < converted.size(); ++i) {
      const char16_t c = converted[i];
      // Only a character the table lacks can be above 255; the count of those
      // is the converter's.
      out[i] = static_cast<char>(c <= 0xFF ? c : u'?');
    }
  } else {
    out = "\xEF\xBB\xBF" + Utf16ToUtf8(converted);
  }
  result.lost = converter.LostCount();
  if (!WriteFileAtomically(targetPath, out)) {
    result.error = Formatted(u"Không ghi được tập tin \"%s\"", targetPath);
    return result;
  }
  result.ok = true;
  result.written = true;
  return result;
}

}  // namespace tavirel
