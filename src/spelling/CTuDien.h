#pragma once
// The single-word dictionary: the syllables in common use, kept sorted so a
// composed word is found by binary search. The process-wide instance is
// loaded once from Resources/TuDien.txt at start-up and read-only after that.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tavirel {

class CTuDien {
 public:
  // The process-wide dictionary read by the typing context and code conversion.
  static CTuDien& Instance();
  // Loads Instance() from Resources/TuDien.txt. A missing file gives an empty
  // dictionary.
  static void Load();

  // Replaces the entries with the lines of the file (BOM skipped, one CR
  // before LF removed, decoding of a line stops at bad UTF-8); every line,
  // empty ones included, is an entry. Returns false when the file could not
  // be read (the dictionary is then empty).
  bool LoadFile(const std::u16string& path);
  // The same from the file's bytes.
  void LoadBytes(std::string_view bytes);
  // The same from lines already decoded.
  void LoadLines(std::vector<std::u16string> lines);

  // True when an entry equals the word exactly (ordinal, case-sensitive):
  // "tiếng" is found, "Tiếng" is not.
  bool Contains(std::u16string_view word) const;

  const std::u16string& Path() const { return path_; }
  const std::vector<std::u16string>& Entries() const { return entries_; }
  size_t Size() const { return entries_.size(); }
  bool Empty() const { return entries_.empty(); }

 private:
  std::u16string path_;
  std::vector<std::u16string> entries_;  // sorted by code unit, duplicates kept
};

}  // namespace tavirel
