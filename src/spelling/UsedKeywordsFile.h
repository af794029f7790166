#pragma once
// Suggestion_UsedKeywords.dat: the entries the user picked for each typed
// text. Binary, little-endian: the keyword count (u64), then per keyword its
// UTF-8 length (u64), the UTF-8 bytes, the entry count (u64) and the entry
// numbers (i32 each), keywords in ascending order.
//
// Entry numbers mean something only with the dictionary they were written
// for, so a stamp follows the keywords: the 8 bytes "TVUKWFP1", the
// dictionary's fingerprint (u64) and its entry count (u64). A reader of the
// plain format stops after the keywords and never sees it; this reader
// ignores a file whose stamp names another dictionary. A file without a stamp
// (written by an older version) is read, less the numbers outside the
// dictionary.
//
// The file is outside data: every count and length is checked against the
// bytes that are left before anything is allocated, and a truncated file
// keeps the keywords that were read whole.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "spelling/CSuggestionEngine.h"

namespace tavirel {

class CTuDienTuGhep;

// Larger files are not read at all: no user picks that many words.
inline constexpr size_t kMaxUsedKeywordsFileSize = size_t{32} << 20;

struct DictionaryStamp {
  uint64_t Fingerprint = 0;
  uint64_t Entries = 0;
};

// Fingerprint of the dictionary's entries, in order.
DictionaryStamp StampOf(const CTuDienTuGhep& dictionary);

enum class UsedKeywordsStatus {
  Read,       // whole, for this dictionary (or unstamped)
  Truncated,  // the keywords read whole are kept
  Stale,      // stamped for another dictionary: nothing kept
  Missing,    // no file, unreadable or too large: nothing kept
};

// Parses the bytes into used (keywords occurring twice get both lists
// joined); entry numbers outside [0, stamp.Entries) are dropped.
UsedKeywordsStatus ParseUsedKeywords(std::string_view bytes, const DictionaryStamp& stamp,
                                     CSuggestionEngine::UsedKeywords& used);
std::string FormatUsedKeywords(const CSuggestionEngine::UsedKeywords& used, const DictionaryStamp& stamp);

UsedKeywordsStatus LoadUsedKeywordsFile(const std::u16string& path, const DictionaryStamp& stamp,
                                        CSuggestionEngine::UsedKeywords& used);
// Replaces the file atomically; nothing is written for an empty map (true).
bool SaveUsedKeywordsFile(const std::u16string& path, const CSuggestionEngine::UsedKeywords& used,
                          const DictionaryStamp& stamp);

}  // namespace tavirel
