#pragma once
// The suggestion engine: finds compound words of the compound dictionary that
// complete what the user typed, with or without marks, by prefix, by the
// initials of the syllables ("ct" finds "chương trình") and by mixtures of
// both, with the user's earlier choices for the same typed text first.
//
// The engine reads the dictionary it was attached to and never changes it;
// the owner keeps that dictionary alive as long as the engine. All calls come
// from one thread (the key-processing thread once the engine is published).
// A warm Search does not allocate: results, group starts, the lower-cased
// query and the remembered empty queries reuse their storage.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tavirel {

class CTuDienTuGhep;

class CSuggestionEngine {
 public:
  using UsedKeywords = std::map<std::u16string, std::vector<int32_t>, std::less<>>;
  static constexpr size_t kMaxEmptyQueries = 6;

  explicit CSuggestionEngine(int32_t limit = 24) : limit_(limit) {}

  // Builds the folded forms, the initials keys and the per-range indexes of
  // the dictionary's entries. The dictionary must outlive the engine (or the
  // next Attach).
  void Attach(const CTuDienTuGhep& dictionary);
  const CTuDienTuGhep* Dictionary() const { return dictionary_; }

  // Orders the candidates of each matching step by rank (lower first, then
  // entry number) instead of entry number alone. rank[i] is entry i's rank;
  // a shorter list leaves the other entries last. Empty: dictionary order.
  void SetRanking(const std::vector<uint32_t>& rank);

  // The used keywords: typed text (lower case) -> entry numbers picked for
  // it, most recent first.
  const UsedKeywords& Used() const { return used_; }
  void SetUsed(UsedKeywords used) { used_ = std::move(used); }
  // Move-to-front of the entry in the keyword's list.
  void Learn(std::u16string_view keyword, int32_t entry);

  void SetLimit(int32_t limit) { limit_ = limit; }
  int32_t Limit() const { return limit_; }

  void SetQueries(const std::vector<std::u16string>& queries);
  const std::vector<std::u16string>& Queries() const { return queries_; }
  // Fills Results() and GroupStarts() for the query texts.
  void Search();

  const std::vector<int32_t>& Results() const { return results_; }
  // For each query text the number of results before its search, then the
  // final count.
  const std::vector<int32_t>& GroupStarts() const { return groupStarts_; }
  // Index of the query text that produced result position p; 0 when none.
  int GroupOf(int p) const;
  const std::u16string& ResultText(int32_t entry) const;
  // Oldest first.
  std::vector<std::u16string> EmptyQueries() const {
    return std::vector<std::u16string>(emptyQueries_.begin(), emptyQueries_.begin() + static_cast<long>(emptyCount_));
  }

  // The matching fold: base letter in lower case for the 128 characters of
  // the folding alphabet (space stays space), 0 for every other character.
  static char16_t Fold(char16_t c);
  // Whether text begins with q (lower case) letter for letter, case ignored,
  // where each syllable's tone may sit on another of its vowels than in q
  // ("hoà" and "hòa"); the last syllable of q may still lack its tone.
  static bool BeginsWithSyllables(std::u16string_view text, std::u16string_view q);
  // The initials key of a text: its folded first character and the folded
  // character after each space from the second character on.
  static std::u16string InitialsKey(std::u16string_view text);

 private:
  struct Bucket {
    uint32_t begin = 0;
    uint32_t end = 0;
  };
  std::u16string_view Base(int32_t e) const {
    return std::u16string_view(base_).substr(offsets_[e], offsets_[e + 1] - offsets_[e]);
  }
  std::u16string_view Initials(int32_t e) const {
    return std::u16string_view(initials_).substr(initialOffsets_[e], initialOffsets_[e + 1] - initialOffsets_[e]);
  }
  // Entries of the range starting at rangeFirst with the given second key,
  // in rank order; empty when none.
  std::pair<const int32_t*, const int32_t*> BaseBucket(int32_t rangeFirst, char16_t second) const;
  std::pair<const int32_t*, const int32_t*> InitialsBucket(int32_t rangeFirst, char16_t second) const;
  void BuildBuckets();
  bool Taken(int32_t e) const { return (taken_[static_cast<size_t>(e) >> 5] >> (e & 31)) & 1u; }
  // Appends e and marks it; false when the limit is reached (search ends).
  bool Add(int32_t e);
  // Runs the matching steps for q; false when the limit ended the search.
  bool Match(std::u16string_view q);
  bool MatchMarked(std::u16string_view q, int32_t rangeFirst);
  bool MatchPlain(std::u16string_view q, int32_t rangeFirst);
  void RememberEmpty(std::u16string_view q);

  const CTuDienTuGhep* dictionary_ = nullptr;
  std::u16string base_;               // folded entries, back to back
  std::vector<uint32_t> offsets_;     // entry e is base_[offsets_[e], offsets_[e + 1])
  std::u16string initials_;           // initials keys, back to back
  std::vector<uint32_t> initialOffsets_;
  std::vector<uint16_t> firstSpace_;  // position of the first space, or the length
  std::vector<uint32_t> rank_;
  // (range first entry << 16 | second key) -> slice of bucketEntries_.
  std::unordered_map<uint64_t, Bucket> baseBuckets_;
  std::unordered_map<uint64_t, Bucket> initialBuckets_;
  std::vector<int32_t> bucketEntries_;
  std::vector<uint32_t> taken_;

  UsedKeywords used_;
  int32_t limit_ = 24;
  bool limitActive_ = false;
  std::vector<std::u16string> queries_;
  std::u16string q_;  // the lower-cased query text being matched
  std::vector<int32_t> results_;
  // Candidates of the steps for a plain query (see MatchPlain).
  std::vector<int32_t> initialsEqual_, pass1_, pass2_, pass3_, pass5_, initialsPrefix_;
  std::vector<int64_t> pass4_;  // j << 32 | entry
  std::vector<int32_t> groupStarts_;
  // The first emptyCount_ are in use; the others keep their storage.
  std::vector<std::u16string> emptyQueries_ = std::vector<std::u16string>(kMaxEmptyQueries);
  size_t emptyCount_ = 0;
};

}  // namespace tavirel
