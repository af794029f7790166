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
  const size_t cut = text.size() - keep;
  const std::u16string_view units = std::u16string_view(text).substr(0, cut);
  if (byteOutput_) {
    const std::string bytes = Encode(units);
    std::fwrite(bytes.data(), 1, bytes.size(), out);
  } else {
    // Into storage kept from one flush to the next.
    if (utf8_.size() < units.size() * 3) utf8_.resize(units.size() * 3);
    const char* const end = Utf16ToUtf8(units, utf8_.data());
    std::fwrite(utf8_.data(), 1, static_cast<size_t>(end - utf8_.data()), out);
  }
  desk_.EraseTextStart(cut);
}

}  // namespace tavirel
