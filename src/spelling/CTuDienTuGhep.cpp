#include "spelling/CTuDienTuGhep.h"

#include <algorithm>

#include "common/Ini.h"
#include "common/Letters.h"
#include "common/TextFile.h"
#include "common/Utf8.h"

namespace tavirel {

namespace {

// Next line of bytes from pos (without LF and one CR before it); pos moves
// past the LF, or to the end.
std::string_view NextLine(std::string_view bytes, size_t& pos) {
  size_t end = bytes.find('\n', pos);
  const size_t next = end == std::string_view::npos ? bytes.size() : end + 1;
  if (end == std::string_view::npos) end = bytes.size();
  std::string_view line = bytes.substr(pos, end - pos);
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  pos = next;
  return line;
}

}  // namespace

bool CTuDienTuGhep::Load(const std::u16string& path) {
  if (!entries_.empty()) return true;
  std::string bytes;
  if (!ReadFileBytes(path, bytes)) return false;
  LoadBytes(bytes);
  return true;
}

void CTuDienTuGhep::LoadBytes(std::string_view bytes) {
  if (!entries_.empty()) return;
  if (bytes.size() >= 3 && static_cast<unsigned char>(bytes[0]) == 0xEF &&
      static_cast<unsigned char>(bytes[1]) == 0xBB && static_cast<unsigned char>(bytes[2]) == 0xBF) {
    bytes.remove_prefix(3);
  }
  size_t pos = 0;
  const int count = ParseInt(Utf8ToUtf16(NextLine(bytes, pos)));
  if (count <= 0) return;
  // A count beyond what the rest of the file could hold (one LF per line)
  // is not believed: it would only pad the list with empty entries.
  const size_t n = std::min(static_cast<size_t>(count), bytes.size() - pos + 1);
  entries_.reserve(n);

  char16_t previousFirst = 0;
  char16_t lastBase = 0;
  bool haveBase = false;
  for (size_t i = 0; i < n; ++i) {
    if (pos < bytes.size()) {
      entries_.push_back(Utf8ToUtf16(NextLine(bytes, pos)));
    } else {
      entries_.emplace_back();
    }
    const std::u16string& entry = entries_.back();
    if (entry.empty()) continue;  // starts with no letter
    const char16_t first = letters::ToLower(entry[0]);
    if (first == previousFirst && haveBase) continue;
    previousFirst = first;
    const char16_t base = letters::Bare(first);
    if (haveBase && base == lastBase) continue;
    lastBase = base;
    haveBase = true;
    if (index_.emplace(base, static_cast<int>(i)).second) starts_.push_back(static_cast<int>(i));
  }
  // Ranges begin in file order already; keep them sorted for unsorted files too.
  std::sort(starts_.begin(), starts_.end());
}

void CTuDienTuGhep::BuildHashes() const {
  hashes_.clear();
  hashes_.reserve(entries_.size());
  for (const auto& entry : entries_) hashes_.push_back(Hash(entry));
  byHash_.clear();
  byHash_.reserve(entries_.size());
  for (size_t i = 0; i < hashes_.size(); ++i) byHash_.emplace_back(hashes_[i], static_cast<int>(i));
  std::sort(byHash_.begin(), byHash_.end());
}

bool CTuDienTuGhep::LetterRange(char16_t ch, int& first, int& last) const {
  const auto it = index_.find(letters::Bare(letters::ToLower(ch)));
  if (it == index_.end()) return false;
  first = it->second;
  // The range ends where the next letter's range begins, or at the final entry.
  const auto next = std::upper_bound(starts_.begin(), starts_.end(), first);
  last = next == starts_.end() ? static_cast<int>(entries_.size()) - 1 : *next - 1;
  return true;
}

int CTuDienTuGhep::Find(std::u16string_view word) const {
  if (word.empty()) return -1;
  if (hashes_.size() != entries_.size()) BuildHashes();
  int first = 0;
  int last = -1;
  if (!LetterRange(word[0], first, last)) return -1;
  const uint64_t h = Hash(word);
  // The entry with this hash and the lowest number not below first.
  const auto it = std::lower_bound(byHash_.begin(), byHash_.end(), std::make_pair(h, first));
  return it != byHash_.end() && it->first == h && it->second <= last ? it->second : -1;
}

void CTuDienTuGhep::Clear() {
  entries_.clear();
  entries_.shrink_to_fit();
  hashes_.clear();
  hashes_.shrink_to_fit();
  byHash_.clear();
  byHash_.shrink_to_fit();
  index_.clear();
  starts_.clear();
}

}  // namespace tavirel
