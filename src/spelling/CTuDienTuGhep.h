#pragma once
// The compound-word dictionary shared by compound correction and suggestion.
// Entries are compound words ("chương trình"), lower case with marks and tones,
// syllables separated by single spaces, numbered from 0 in file order. The file
// keeps all entries whose first letter folds to the same base letter together
// (d and đ share d); a first-letter index gives each base letter its range, and
// a lookup compares 64-bit hashes within that range only. The hashes are also
// kept sorted, so a lookup is a binary search, not a scan of the range.
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tavirel {

class CTuDienTuGhep {
 public:
  // Loads the file: first line the number of entries N, then N lines (LF
  // separated). Does nothing when entries are already loaded. Returns false
  // when the file could not be read.
  bool Load(const std::u16string& path);
  // The same from the file's bytes. A first line that is not a non-negative
  // number gives no entries; lines after the N-th are ignored; when fewer are
  // present the missing ones are empty entries (at most as many as the bytes
  // could have held). A leading EF BB BF and one CR before each LF are dropped.
  void LoadBytes(std::string_view bytes);

  // Computes the hash of every entry and the hash-ordered index (done by Find
  // when needed).
  void BuildHashes() const;
  bool HasHashes() const { return !hashes_.empty() || entries_.empty(); }

  // Range of entries whose first letter folds to the base letter of ch:
  // false when there is none, else true with the first and last entry number.
  bool LetterRange(char16_t ch, int& first, int& last) const;

  // Number of the first entry in the range of the word's first letter whose
  // hash equals the word's hash, or -1. Only hashes are compared, so two
  // words with the same hash are not told apart. O(log n).
  int Find(std::u16string_view word) const;

  // Empties entries, hashes and index.
  void Clear();

  bool Empty() const { return entries_.empty(); }
  size_t Size() const { return entries_.size(); }
  const std::vector<std::u16string>& Entries() const { return entries_; }
  const std::u16string& Entry(int i) const { return entries_[static_cast<size_t>(i)]; }
  // Base letter -> number of the first entry starting with it.
  const std::map<char16_t, int>& Index() const { return index_; }

  // 64-bit hash of a text: from 0x811C9DC5, for each code unit multiply by
  // 16777619 (mod 2^64), then xor the unit.
  static uint64_t Hash(std::u16string_view text) {
    uint64_t h = 0x811C9DC5u;
    for (char16_t c : text) h = (h * 16777619u) ^ c;
    return h;
  }

 private:
  std::vector<std::u16string> entries_;
  // Filled on first need by a lookup; the key thread is the only reader.
  mutable std::vector<uint64_t> hashes_;
  // (hash, entry number) of every entry, ordered by hash then number.
  mutable std::vector<std::pair<uint64_t, int>> byHash_;
  std::map<char16_t, int> index_;
  // Start numbers of the letter ranges in ascending order, to end a range
  // where the next one begins.
  std::vector<int> starts_;
};

}  // namespace tavirel
