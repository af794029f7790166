#include "spelling/CSuggestionEngine.h"

#include <algorithm>
#include <array>

#include "common/Letters.h"
#include "spelling/CTuDienTuGhep.h"

namespace tavirel {

namespace {

constexpr std::u16string_view kFoldAlphabet =
    u" ABCDEGHIJKLMNOPQRSTUVWXZabcdefghijklmnopqrstuvwxyzÁÂÊÓÚÝàáâãèéêìíòóôõùúýĂăĐđĩũơưạảẤấầẩẫậắằẳẵặẹẻẽếềểễệỉịọỏỐốồổỗộớờởỡợụủứừửữựỳỵỷỹ";

const std::array<char16_t, 65536>& FoldTable() {
  static const std::array<char16_t, 65536> table = [] {
    std::array<char16_t, 65536> t{};
    for (const char16_t c : kFoldAlphabet) {
      t[c] = c == u' ' ? u' ' : letters::Bare(letters::ToLower(c));
    }
    return t;
  }();
  return table;
}

// The key an entry's second character is filed under: its fold, or the fold
// of its lower case. Every entry a step can match for a query lies in the
// bucket of the query's second character (see Match).
char16_t SecondKey(char16_t c) {
  const char16_t f = CSuggestionEngine::Fold(c);
  return f != 0 ? f : CSuggestionEngine::Fold(letters::ToLower(c));
}

uint64_t BucketKey(int32_t rangeFirst, char16_t second) {
  return (static_cast<uint64_t>(static_cast<uint32_t>(rangeFirst)) << 16) | second;
}

}  // namespace

char16_t CSuggestionEngine::Fold(char16_t c) { return FoldTable()[c]; }

bool CSuggestionEngine::BeginsWithSyllables(std::u16string_view text, std::u16string_view q) {
  if (text.size() < q.size()) return false;
  int typedTone = -1;
  int entryTone = -1;
  size_t i = 0;
  for (; i < q.size(); ++i) {
    const char16_t e = letters::ToLower(text[i]);
    const char16_t c = q[i];
    if (c == u' ' || e == u' ') {
      // A syllable ends: the same tone, wherever it sits.
      if (c != e || typedTone != entryTone) return false;
      typedTone = entryTone = -1;
      continue;
    }
    if (letters::StripTone(e) != letters::StripTone(c)) return false;
    if (letters::ToneOf(c) >= 0) typedTone = letters::ToneOf(c);
    if (letters::ToneOf(e) >= 0) entryTone = letters::ToneOf(e);
  }
  if (typedTone < 0) return true;
  for (; i < text.size() && text[i] != u' '; ++i) {
    if (letters::ToneOf(letters::ToLower(text[i])) >= 0) entryTone = letters::ToneOf(letters::ToLower(text[i]));
  }
  return typedTone == entryTone;
}

std::u16string CSuggestionEngine::InitialsKey(std::u16string_view text) {
  std::u16string key;
  if (text.empty()) return key;
  key.push_back(Fold(text[0]));
  for (size_t i = 1; i + 1 < text.size(); ++i) {
    if (text[i] == u' ') key.push_back(Fold(text[i + 1]));
  }
  return key;
}

void CSuggestionEngine::Attach(const CTuDienTuGhep& dictionary) {
  dictionary_ = &dictionary;
  const auto& entries = dictionary.Entries();
  const size_t n = entries.size();
  taken_.assign((n + 31) / 32, 0);
  base_.clear();
  offsets_.assign(1, 0);
  initials_.clear();
  initialOffsets_.assign(1, 0);
  firstSpace_.clear();
  offsets_.reserve(n + 1);
  initialOffsets_.reserve(n + 1);
  firstSpace_.reserve(n);
  size_t total = 0;
  for (const auto& entry : entries) total += entry.size();
  base_.reserve(total);
  initials_.reserve(n * 2 + n / 2);
  for (const auto& entry : entries) {
    for (const char16_t c : entry) base_.push_back(Fold(c));
    offsets_.push_back(static_cast<uint32_t>(base_.size()));
    if (!entry.empty()) {
      initials_.push_back(Fold(entry[0]));
      for (size_t i = 1; i + 1 < entry.size(); ++i) {
        if (entry[i] == u' ') initials_.push_back(Fold(entry[i + 1]));
      }
    }
    initialOffsets_.push_back(static_cast<uint32_t>(initials_.size()));
    const size_t space = entry.find(u' ');
    firstSpace_.push_back(static_cast<uint16_t>(std::min<size_t>(space == std::u16string::npos ? entry.size() : space, 0xFFFF)));
  }
  BuildBuckets();
  results_.reserve(static_cast<size_t>(limit_ > 0 ? limit_ : 256));
}

void CSuggestionEngine::SetRanking(const std::vector<uint32_t>& rank) {
  rank_ = rank;
  if (dictionary_ != nullptr) BuildBuckets();
}

void CSuggestionEngine::BuildBuckets() {
  baseBuckets_.clear();
  initialBuckets_.clear();
  bucketEntries_.clear();
  if (dictionary_ == nullptr) return;
  const auto& entries = dictionary_->Entries();
  const int32_t n = static_cast<int32_t>(entries.size());
  // Keys of each entry: 0 where it has none (fewer than two characters).
  std::vector<uint64_t> baseKey(static_cast<size_t>(n), 0);
  std::vector<uint64_t> initialKey(static_cast<size_t>(n), 0);
  std::unordered_map<uint64_t, uint32_t> baseCount;
  std::unordered_map<uint64_t, uint32_t> initialCount;
  int32_t first = 0;
  int32_t last = -1;
  for (int32_t e = 0; e < n; ++e) {
    const std::u16string& entry = entries[static_cast<size_t>(e)];
    if (entry.size() < 2) continue;
    if (e > last && !dictionary_->LetterRange(entry[0], first, last)) continue;
    if (e < first || e > last) {
      // Unsorted file: this entry lies outside its letter's range and no
      // scan of that range reaches it.
      if (!dictionary_->LetterRange(entry[0], first, last) || e < first || e > last) continue;
    }
    baseKey[static_cast<size_t>(e)] = BucketKey(first, SecondKey(entry[1])) | (uint64_t{1} << 63);
    ++baseCount[baseKey[static_cast<size_t>(e)]];
    const std::u16string_view k = Initials(e);
    if (k.size() >= 2) {
      initialKey[static_cast<size_t>(e)] = BucketKey(first, k[1]) | (uint64_t{1} << 63);
      ++initialCount[initialKey[static_cast<size_t>(e)]];
    }
  }
  uint32_t next = 0;
  auto lay = [&next](std::unordered_map<uint64_t, uint32_t>& counts, std::unordered_map<uint64_t, Bucket>& buckets) {
    buckets.reserve(counts.size());
    for (const auto& [key, count] : counts) {
      buckets[key & ~(uint64_t{1} << 63)] = Bucket{next, next};
      next += count;
    }
  };
  lay(baseCount, baseBuckets_);
  lay(initialCount, initialBuckets_);
  bucketEntries_.resize(next);
  for (int32_t e = 0; e < n; ++e) {
    if (baseKey[static_cast<size_t>(e)] != 0) {
      Bucket& b = baseBuckets_[baseKey[static_cast<size_t>(e)] & ~(uint64_t{1} << 63)];
      bucketEntries_[b.end++] = e;
    }
    if (initialKey[static_cast<size_t>(e)] != 0) {
      Bucket& b = initialBuckets_[initialKey[static_cast<size_t>(e)] & ~(uint64_t{1} << 63)];
      bucketEntries_[b.end++] = e;
    }
  }
  if (rank_.empty()) return;
  const auto rankOf = [this](int32_t e) {
    return static_cast<size_t>(e) < rank_.size() ? rank_[static_cast<size_t>(e)] : UINT32_MAX;
  };
  for (auto* buckets : {&baseBuckets_, &initialBuckets_}) {
    for (auto& [key, b] : *buckets) {
      std::stable_sort(bucketEntries_.begin() + b.begin, bucketEntries_.begin() + b.end,
                       [&](int32_t x, int32_t y) { return rankOf(x) < rankOf(y); });
    }
  }
}

std::pair<const int32_t*, const int32_t*> CSuggestionEngine::BaseBucket(int32_t rangeFirst, char16_t second) const {
  const auto it = baseBuckets_.find(BucketKey(rangeFirst, second));
  if (it == baseBuckets_.end()) return {nullptr, nullptr};
  return {bucketEntries_.data() + it->second.begin, bucketEntries_.data() + it->second.end};
}

std::pair<const int32_t*, const int32_t*> CSuggestionEngine::InitialsBucket(int32_t rangeFirst,
                                                                           char16_t second) const {
  const auto it = initialBuckets_.find(BucketKey(rangeFirst, second));
  if (it == initialBuckets_.end()) return {nullptr, nullptr};
  return {bucketEntries_.data() + it->second.begin, bucketEntries_.data() + it->second.end};
}

void CSuggestionEngine::Learn(std::u16string_view keyword, int32_t entry) {
  auto it = used_.find(keyword);
  if (it == used_.end()) it = used_.emplace(std::u16string(keyword), std::vector<int32_t>()).first;
  std::vector<int32_t>& list = it->second;
  if (!list.empty() && list.front() == entry) return;
  const auto old = std::find(list.begin(), list.end(), entry);
  if (old != list.end()) list.erase(old);
  list.insert(list.begin(), entry);
}

void CSuggestionEngine::SetQueries(const std::vector<std::u16string>& queries) {
  // Element-wise, so that the strings keep their storage.
  queries_.resize(queries.size());
  for (size_t i = 0; i < queries.size(); ++i) queries_[i].assign(queries[i]);
}

bool CSuggestionEngine::Add(int32_t e) {
  results_.push_back(e);
  taken_[static_cast<size_t>(e) >> 5] |= 1u << (e & 31);
  return !(limitActive_ && static_cast<int32_t>(results_.size()) >= limit_);
}

void CSuggestionEngine::Search() {
  results_.clear();
  groupStarts_.clear();
  limitActive_ = limit_ > 0;
  if (dictionary_ == nullptr) {
    groupStarts_.assign(queries_.size() + 1, 0);
    return;
  }
  for (const std::u16string& text : queries_) {
    const size_t before = results_.size();
    groupStarts_.push_back(static_cast<int32_t>(before));
    q_.assign(text);
    for (char16_t& c : q_) c = letters::ToLower(c);
    if (q_.size() > 2) {
      bool known = false;
      for (size_t i = 0; i < emptyCount_; ++i) {
        if (std::u16string_view(q_).starts_with(emptyQueries_[i])) known = true;
      }
      if (known) continue;
    }
    std::fill(taken_.begin(), taken_.end(), 0);
    const bool more = Match(q_);
    if (q_.size() > 2 && results_.size() == before) RememberEmpty(q_);
    if (!more) break;
  }
  groupStarts_.push_back(static_cast<int32_t>(results_.size()));
}

void CSuggestionEngine::RememberEmpty(std::u16string_view q) {
  if (emptyCount_ >= kMaxEmptyQueries) {
    // Drop the oldest three; the strings move down keeping their storage.
    std::rotate(emptyQueries_.begin(), emptyQueries_.begin() + 3, emptyQueries_.end());
    emptyCount_ -= 3;
  }
  emptyQueries_[emptyCount_++].assign(q);
}

bool CSuggestionEngine::Match(std::u16string_view q) {
  if (q.size() < 2) return true;
  const int32_t size = static_cast<int32_t>(dictionary_->Size());
  if (const auto it = used_.find(q); it != used_.end()) {
    for (const int32_t e : it->second) {
      // Numbers outside the dictionary never come from a matching file; a
      // number listed twice is shown once.
      if (e < 0 || e >= size || Taken(e)) continue;
      if (!Add(e)) return false;
    }
  }
  int first = 0;
  int last = -1;
  if (!dictionary_->LetterRange(q[0], first, last)) return true;
  const bool marked = std::any_of(q.begin(), q.end(), [](char16_t c) { return letters::HasDiacritic(c); });
  return marked ? MatchMarked(q, first) : MatchPlain(q, first);
}

bool CSuggestionEngine::MatchMarked(std::u16string_view q, int32_t rangeFirst) {
  int spaces = 0;
  int lastMarkedWord = 0;
  for (const char16_t c : q) {
    if (c == u' ') ++spaces;
    else if (letters::HasDiacritic(c)) lastMarkedWord = spaces;
  }
  const int s = q.back() == u' ' ? spaces - 1 : spaces;
  const auto& entries = dictionary_->Entries();
  const auto [begin, end] = BaseBucket(rangeFirst, Fold(q[1]));
  if (s == 0 || lastMarkedWord == s) {
    for (const int32_t* p = begin; p != end; ++p) {
      if (!Taken(*p) && BeginsWithSyllables(entries[static_cast<size_t>(*p)], q) && !Add(*p)) return false;
    }
    return true;
  }
  // The words up to the last marked one must match as typed; the rest may
  // be typed without marks.
  size_t headEnd = 0;
  for (int seen = 0; headEnd < q.size(); ++headEnd) {
    if (q[headEnd] == u' ' && ++seen == lastMarkedWord + 1) break;
  }
  const std::u16string_view head = q.substr(0, headEnd + 1);
  const std::u16string_view tail = q.substr(headEnd + 1);
  for (const int32_t* p = begin; p != end; ++p) {
    if (Taken(*p)) continue;
    const std::u16string& entry = entries[static_cast<size_t>(*p)];
    if (entry.size() < head.size() || !BeginsWithSyllables(entry, head)) continue;
    if (!Base(*p).substr(head.size()).starts_with(tail)) continue;
    if (!Add(*p)) return false;
  }
  return true;
}

bool CSuggestionEngine::MatchPlain(std::u16string_view q, int32_t rangeFirst) {
  const size_t n = q.size();
  const auto [bBegin, bEnd] = BaseBucket(rangeFirst, q[1]);
  if (q.find(u' ') != std::u16string_view::npos) {
    for (const int32_t* p = bBegin; p != bEnd; ++p) {
      if (!Taken(*p) && Base(*p).starts_with(q) && !Add(*p)) return false;
    }
    return true;
  }
  const auto [iBegin, iEnd] = InitialsBucket(rangeFirst, q[1]);
  // An entry no longer than the typed text is not completed by it.
  const auto open = [&](int32_t e) { return !Taken(e) && offsets_[e + 1] - offsets_[e] > n; };
  // One walk over each bucket gathers the candidates of every step; they
  // are then added step by step, each skipping what an earlier one took.
  for (auto* list : {&initialsEqual_, &pass1_, &pass2_, &pass3_, &pass5_, &initialsPrefix_}) list->clear();
  pass4_.clear();
  for (const int32_t* p = iBegin; p != iEnd; ++p) {
    if (!open(*p)) continue;
    const std::u16string_view k = Initials(*p);
    if (n <= 4 && k == q) initialsEqual_.push_back(*p);
    if (n < 4 && k.starts_with(q)) initialsPrefix_.push_back(*p);
    if (n <= 2 || k.size() > n || !q.starts_with(k)) continue;
    const std::u16string_view rest = q.substr(k.size() - 1);
    const std::u16string_view base = Base(*p);
    // 2. Initials of the first words, the last word in full.
    if (base.size() > rest.size() && base.ends_with(rest) && base[base.size() - rest.size() - 1] == u' ') {
      pass2_.push_back(*p);
    }
    // 3. Initials, then the second word begun.
    const size_t space = firstSpace_[*p];
    if (space < base.size() && base.substr(space + 1).starts_with(rest)) pass3_.push_back(*p);
  }
  if (n > 2) {
    const size_t lastJ = std::min<size_t>(n - 1, 7);
    for (const int32_t* p = bBegin; p != bEnd; ++p) {
      if (!open(*p)) continue;
      const std::u16string_view base = Base(*p);
      const size_t space = firstSpace_[*p];
      // 1. The first word typed in full without marks.
      if (n < 8 && space == n && base.starts_with(q)) pass1_.push_back(*p);
      // 4. The first j letters, then the second word begun: the smallest j.
      if (space < base.size()) {
        const std::u16string_view second = base.substr(space + 1);
        for (size_t j = 2; j <= lastJ && base[0] == q[0] && base[j - 1] == q[j - 1]; ++j) {
          if (second.starts_with(q.substr(j))) {
            pass4_.push_back((static_cast<int64_t>(j) << 32) | static_cast<uint32_t>(*p));
            break;
          }
        }
      }
      // 5. Plain prefix.
      if (base.starts_with(q)) pass5_.push_back(*p);
    }
  }
  const auto addAll = [this](const std::vector<int32_t>& list) {
    for (const int32_t e : list) {
      if (!Taken(e) && !Add(e)) return false;
    }
    return true;
  };
  if (!addAll(initialsEqual_) || !addAll(pass1_) || !addAll(pass2_) || !addAll(pass3_)) return false;
  // Step 4 goes by j first, then in bucket order (without a sort, which
  // would allocate).
  for (int64_t j = 2; j <= 7; ++j) {
    for (const int64_t je : pass4_) {
      if ((je >> 32) != j) continue;
      const int32_t e = static_cast<int32_t>(je & 0xFFFFFFFF);
      if (!Taken(e) && !Add(e)) return false;
    }
  }
  return addAll(pass5_) && addAll(initialsPrefix_);
}

int CSuggestionEngine::GroupOf(int p) const {
  for (size_t i = 0; i + 1 < groupStarts_.size(); ++i) {
    if (groupStarts_[i] <= p && p < groupStarts_[i + 1]) return static_cast<int>(i);
  }
  return 0;
}

const std::u16string& CSuggestionEngine::ResultText(int32_t entry) const {
  static const std::u16string kNone;
  if (dictionary_ == nullptr || entry < 0 || static_cast<size_t>(entry) >= dictionary_->Size()) return kNone;
  return dictionary_->Entry(entry);
}

}  // namespace tavirel
