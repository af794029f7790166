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

}  // namespace tavirel
