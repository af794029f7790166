#include "TypeSession.h"

#include "common/Utf8.h"
#include "tables/CBangMa.h"

namespace tavirel {

TypeSession::TypeSession() {
  desk_.RecordAppKeys = false;
  desk_.InstallHooks(&service_);
}

void TypeSession::UpdateOutputKind() {
  byteOutput_ = !IsWide(LoadBangMa(service_.CodeTable()));
}

std::string TypeSession::Encode(std::u16string_view units) const {
  if (!byteOutput_) return Utf16ToUtf8(units);
  std::string out;
  out.reserve(units.size());
  for (const char16_t u : units) {
    if (u <= 0xFF) {
      out.push_back(static_cast<char>(u));
    } else {
      out += Utf16ToUtf8(std::u16string_view(&u, 1));
    }
  }
  return out;
}

void TypeSession::Flush(std::FILE* out, size_t keep) {
  const std::u16string& text = desk_.Text();
  if (text.size() <= keep) return;
  std::u16string all = desk_.TakeText();
  const size_t cut = all.size() - keep;
  const std::string bytes = Encode(std::u16string_view(all).substr(0, cut));
  std::fwrite(bytes.data(), 1, bytes.size(), out);
  desk_.SetText(all.substr(cut));
}

std::u16string DecodeUtf8Lenient(std::string_view bytes) {
  std::u16string out;
  out.reserve(bytes.size());
  size_t i = 0;
  while (i < bytes.size()) {
    const auto b0 = static_cast<unsigned char>(bytes[i]);
    if (b0 < 0x80) {
      out.push_back(b0);
      ++i;
      continue;
    }
    int extra = 0;
    char32_t cp = 0;
    char32_t min = 0;
    if ((b0 & 0xE0) == 0xC0) {
      extra = 1, cp = b0 & 0x1F, min = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
      extra = 2, cp = b0 & 0x0F, min = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
      extra = 3, cp = b0 & 0x07, min = 0x10000;
    } else {
      out.push_back(0xFFFD);
      ++i;
      continue;
    }
    bool ok = i + static_cast<size_t>(extra) < bytes.size();
    for (int k = 1; ok && k <= extra; ++k) {
      const auto b = static_cast<unsigned char>(bytes[i + static_cast<size_t>(k)]);
      if ((b & 0xC0) != 0x80) ok = false;
      cp = (cp << 6) | (b & 0x3F);
    }
    if (!ok || cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
      out.push_back(0xFFFD);
      ++i;
      continue;
    }
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(cp));
    }
    i += static_cast<size_t>(extra) + 1;
  }
  return out;
}

}  // namespace tavirel
