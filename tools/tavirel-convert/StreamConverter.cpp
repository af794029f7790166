#include "StreamConverter.h"

#include <algorithm>

#include "common/Utf8.h"

namespace tavirel {
namespace {

// Text with no place to cut is converted anyway once it is this long: only
// a text with no line end, space or plain letter could grow so far, and a
// match split there costs at most one character.
constexpr size_t kForceCutAbove = 1 << 22;

// Length of the whole UTF-8 sequences at the start of bytes: a lead byte
// near the end whose continuation bytes have not arrived yet is left out.
size_t CompleteUtf8(std::string_view bytes) {
  const size_t n = bytes.size();
  for (size_t back = 1; back <= 3 && back <= n; ++back) {
    const auto b = static_cast<unsigned char>(bytes[n - back]);
    if ((b & 0xC0) == 0x80) continue;  // continuation: keep looking for the lead
    const size_t need = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
    return need > back ? n - back : n;
  }
  return n;
}

size_t CountReplacement(std::string_view bytes) {
  size_t count = 0;
  for (size_t at = bytes.find("\xEF\xBF\xBD"); at != std::string_view::npos; at = bytes.find("\xEF\xBF\xBD", at + 3)) {
    ++count;
  }
  return count;
}

}  // namespace

CStreamConverter::CStreamConverter(const ConversionOptions& options, bool utf8Input)
    : converter_(options), bytesIn_(converter_.SourceIsBytes() && !utf8Input) {
  converter_.SetLostReplacement(u'?');
}

void CStreamConverter::Decode(std::string_view bytes, bool final) {
  if (bytesIn_) {
    const size_t at = pending_.size();
    pending_.resize(at + bytes.size());
    for (size_t i = 0; i < bytes.size(); ++i) pending_[at + i] = static_cast<unsigned char>(bytes[i]);
    return;
  }
  std::string joined;
  if (!byteTail_.empty()) {
    joined = byteTail_ + std::string(bytes);
    bytes = joined;
    byteTail_.clear();
  }
  if (start_ && bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
  if (start_ && bytes.size() < 3 && !final && std::string_view("\xEF\xBB\xBF").starts_with(bytes)) {
    byteTail_ = std::string(bytes);  // too short to tell whether it is a byte-order mark
    return;
  }
  start_ = false;
  const size_t whole = final ? bytes.size() : CompleteUtf8(bytes);
  byteTail_ = std::string(bytes.substr(whole));
  const std::string_view part = bytes.substr(0, whole);
  const std::u16string text = Utf8ToUtf16Replacing(part);
  const auto replaced = static_cast<size_t>(std::count(text.begin(), text.end(), u'\uFFFD'));
  malformed_ += replaced - std::min(replaced, CountReplacement(part));
  pending_ += text;
}

void CStreamConverter::Emit(std::u16string_view text, std::string& out) {
  converted_.clear();
  converter_.Convert(text, converted_);
  if (converter_.TargetIsBytes()) {
    const size_t at = out.size();
    out.resize(at + converted_.size());
    for (size_t i = 0; i < converted_.size(); ++i) {
      const char16_t c = converted_[i];
      out[at + i] = static_cast<char>(c <= 0xFF ? c : u'?');  // counted as lost by the converter
    }
  } else {
    out += Utf16ToUtf8(converted_);
  }
}

void CStreamConverter::Feed(std::string_view bytes, std::string& out) {
  Decode(bytes, false);
  size_t cut = converter_.SafeCut(pending_);
  if (cut == 0 && pending_.size() > kForceCutAbove) cut = pending_.size();
  // Never between the halves of a surrogate pair.
  if (cut > 0 && cut < pending_.size() && pending_[cut - 1] >= 0xD800 && pending_[cut - 1] <= 0xDBFF) --cut;
  if (cut == 0) return;
  Emit(std::u16string_view(pending_).substr(0, cut), out);
  pending_.erase(0, cut);
}

void CStreamConverter::Finish(std::string& out) {
  Decode({}, true);
  Emit(pending_, out);
  pending_.clear();
}

}  // namespace tavirel
