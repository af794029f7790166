#include "spelling/UsedKeywordsFile.h"

#include <cstring>
#include <filesystem>
#include <system_error>

#include "common/AppDirectory.h"
#include "common/TextFile.h"
#include "common/Utf8.h"
#include "spelling/CTuDienTuGhep.h"

namespace tavirel {

namespace {

constexpr std::string_view kStampMagic = "TVUKWFP1";
constexpr size_t kStampSize = 24;

class Reader {
 public:
  explicit Reader(std::string_view bytes) : bytes_(bytes) {}
  size_t Left() const { return bytes_.size() - pos_; }
  bool U64(uint64_t& v) {
    if (Left() < 8) return false;
    v = 0;
    for (int i = 7; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(bytes_[pos_ + static_cast<size_t>(i)]);
    pos_ += 8;
    return true;
  }
  bool I32(int32_t& v) {
    if (Left() < 4) return false;
    uint32_t u = 0;
    for (int i = 3; i >= 0; --i) u = (u << 8) | static_cast<unsigned char>(bytes_[pos_ + static_cast<size_t>(i)]);
    v = static_cast<int32_t>(u);
    pos_ += 4;
    return true;
  }
  std::string_view Take(size_t n) {
    const std::string_view s = bytes_.substr(pos_, n);
    pos_ += n;
    return s;
  }

 private:
  std::string_view bytes_;
  size_t pos_ = 0;
};

void PutU64(std::string& out, uint64_t v) {
  for (int i = 0; i < 8; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

void PutI32(std::string& out, int32_t v) {
  const uint32_t u = static_cast<uint32_t>(v);
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((u >> (8 * i)) & 0xFF));
}

}  // namespace

DictionaryStamp StampOf(const CTuDienTuGhep& dictionary) {
  uint64_t h = 0xCBF29CE484222325u;
  for (const auto& entry : dictionary.Entries()) {
    for (const char16_t c : entry) h = (h ^ c) * 0x100000001B3u;
    h = (h ^ 0x0Au) * 0x100000001B3u;
  }
  return DictionaryStamp{h, dictionary.Size()};
}

UsedKeywordsStatus ParseUsedKeywords(std::string_view bytes, const DictionaryStamp& stamp,
                                     CSuggestionEngine::UsedKeywords& used) {
  used.clear();
  Reader r(bytes);
  uint64_t count = 0;
  if (!r.U64(count)) return bytes.empty() ? UsedKeywordsStatus::Read : UsedKeywordsStatus::Truncated;
  CSuggestionEngine::UsedKeywords read;
  bool whole = true;
  // Each keyword takes at least 16 bytes, so a huge count ends with the bytes.
  for (uint64_t k = 0; k < count; ++k) {
    uint64_t length = 0;
    if (!r.U64(length) || length > r.Left()) {
      whole = false;
      break;
    }
    const std::string_view key = r.Take(static_cast<size_t>(length));
    uint64_t entries = 0;
    if (!r.U64(entries) || entries > r.Left() / 4) {
      whole = false;
      break;
    }
    std::vector<int32_t> list;
    list.reserve(static_cast<size_t>(entries));
    for (uint64_t i = 0; i < entries; ++i) {
      int32_t e = 0;
      r.I32(e);
      if (e >= 0 && static_cast<uint64_t>(e) < stamp.Entries) list.push_back(e);
    }
    const std::u16string keyword = Utf8ToUtf16Replacing(key);
    if (keyword.empty() || list.empty()) continue;
    auto& target = read[keyword];
    target.insert(target.end(), list.begin(), list.end());
  }
  if (whole && r.Left() == kStampSize && r.Take(kStampMagic.size()) == kStampMagic) {
    DictionaryStamp written;
    r.U64(written.Fingerprint);
    r.U64(written.Entries);
    if (written.Fingerprint != stamp.Fingerprint || written.Entries != stamp.Entries) return UsedKeywordsStatus::Stale;
  }
  used = std::move(read);
  return whole ? UsedKeywordsStatus::Read : UsedKeywordsStatus::Truncated;
}

std::string FormatUsedKeywords(const CSuggestionEngine::UsedKeywords& used, const DictionaryStamp& stamp) {
  std::string out;
  PutU64(out, used.size());
  // The map orders keywords by UTF-16 code units, as the format asks.
  for (const auto& [keyword, list] : used) {
    const std::string key = Utf16ToUtf8(keyword);
    PutU64(out, key.size());
    out += key;
    PutU64(out, list.size());
    for (const int32_t e : list) PutI32(out, e);
  }
  out += kStampMagic;
  PutU64(out, stamp.Fingerprint);
  PutU64(out, stamp.Entries);
  return out;
}

UsedKeywordsStatus LoadUsedKeywordsFile(const std::u16string& path, const DictionaryStamp& stamp,
                                        CSuggestionEngine::UsedKeywords& used) {
  used.clear();
  std::error_code ec;
  const auto size = std::filesystem::file_size(ToFsPath(path), ec);
  if (ec || size > kMaxUsedKeywordsFileSize) return UsedKeywordsStatus::Missing;
  std::string bytes;
  if (!ReadFileBytes(path, bytes)) return UsedKeywordsStatus::Missing;
  if (bytes.size() > kMaxUsedKeywordsFileSize) return UsedKeywordsStatus::Missing;
  return ParseUsedKeywords(bytes, stamp, used);
}

bool SaveUsedKeywordsFile(const std::u16string& path, const CSuggestionEngine::UsedKeywords& used,
                          const DictionaryStamp& stamp) {
  if (used.empty()) return true;
  return WriteFileAtomically(path, FormatUsedKeywords(used, stamp));
}

}  // namespace tavirel
