#include "spelling/CGhepVan.h"

#include <algorithm>

#include "common/AppDirectory.h"
#include "common/Ini.h"
#include "common/Letters.h"
#include "common/TextFile.h"

namespace tavirel {

namespace {

const auto kIndexOf = [](const auto& entry) { return entry.second; };

constexpr std::u16string_view kVowelLetters = u"aâăeêioôơuưyAÂĂEÊIOÔƠUƯY";

// Pieces between single spaces. Two adjacent spaces give an empty piece; a
// trailing space (and so an empty text) gives no last piece.
template <typename Fn>
void ForEachPiece(std::u16string_view text, Fn&& fn) {
  size_t start = 0;
  while (start < text.size()) {
    const size_t space = text.find(u' ', start);
    if (space == std::u16string_view::npos) {
      fn(text.substr(start));
      return;
    }
    fn(text.substr(start, space - start));
    start = space + 1;
  }
}

bool StartsWith(std::u16string_view text, std::u16string_view prefix) {
  return text.size() >= prefix.size() && text.substr(0, prefix.size()) == prefix;
}

// Decimal piece of a pair table: stream reading (spaces, sign, digits up to
// the first other character). A piece without digits is not a number.
bool ParsePairPiece(std::u16string_view piece, int32_t& value) {
  size_t i = 0;
  while (i < piece.size() && (piece[i] == u' ' || piece[i] == u'\t')) ++i;
  size_t digits = i;
  if (digits < piece.size() && (piece[digits] == u'+' || piece[digits] == u'-')) ++digits;
  if (digits >= piece.size() || piece[digits] < u'0' || piece[digits] > u'9') return false;
  value = ParseInt(std::u16string(piece));
  return true;
}

// Highest i for which "<name>.<i>" is a key (i in canonical decimal), or -1.
// Entries past it would all be empty, so a huge count in a damaged file
// costs nothing.
int HighestListKey(const IniKeys& keys, const std::u16string& name) {
  const std::u16string prefix = name + u".";
  int highest = -1;
  for (auto it = keys.lower_bound(prefix); it != keys.end() && StartsWith(it->first, prefix); ++it) {
    const std::u16string_view suffix = std::u16string_view(it->first).substr(prefix.size());
    if (suffix.empty() || suffix.size() > 9) continue;
    if (suffix.size() > 1 && suffix[0] == u'0') continue;
    int value = 0;
    bool digits = true;
    for (char16_t c : suffix) {
      if (c < u'0' || c > u'9') {
        digits = false;
        break;
      }
      value = value * 10 + (c - u'0');
    }
    if (digits) highest = std::max(highest, value);
  }
  return highest;
}

// No real table comes near this; it keeps a damaged file from asking for
// millions of entries.
constexpr int kMaxEntries = 4096;

int EntryCount(const IniKeys& keys, const std::u16string& name, int declared) {
  if (declared <= 0) return 0;
  return std::min({declared, HighestListKey(keys, name) + 1, kMaxEntries});
}

const std::u16string* ValueOf(const IniKeys& keys, const std::u16string& key) {
  auto it = keys.find(key);
  return it == keys.end() ? nullptr : &it->second;
}

CGhepVan::Entries ReadEntries(const IniKeys& keys, const std::u16string& name) {
  const std::u16string* countText = ValueOf(keys, name + u".Count");
  const int count = countText ? EntryCount(keys, name, ParseInt(*countText)) : 0;
  CGhepVan::Entries entries(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) {
    const std::u16string* value = ValueOf(keys, name + u"." + FormatInt(i));
    if (!value) continue;
    ForEachPiece(*value, [&](std::u16string_view piece) { entries[i].emplace_back(piece); });
  }
  return entries;
}

CGhepVan::IndexLists ReadPairs(const IniKeys& keys, const std::u16string& name, size_t count) {
  CGhepVan::IndexLists lists(count);
  for (size_t i = 0; i < count; ++i) {
    const std::u16string* value = ValueOf(keys, name + u"." + FormatInt(static_cast<long long>(i)));
    if (!value) continue;
    ForEachPiece(*value, [&](std::u16string_view piece) {
      int32_t index = 0;
      if (ParsePairPiece(piece, index)) lists[i].push_back(index);
    });
  }
  return lists;
}

}  // namespace

size_t CGhepVan::ViewHash::operator()(std::u16string_view s) const noexcept {
  uint64_t h = 1469598103934665603ull;
  for (char16_t c : s) {
    h ^= static_cast<uint64_t>(c);
    h *= 1099511628211ull;
  }
  return static_cast<size_t>(h);
}

template <typename Map, typename ValueOf>
void CGhepVan::SpellingTable::Rebuild(const Map& map, ValueOf valueOf) {
  size_t count = 0;
  for (const auto& entry : map) count += entry.first.size() <= 3 ? 1 : 0;
  // At most a quarter of the slots taken, so that a miss ends soon.
  size_t size = 2;
  unsigned bits = 1;
  while (size < 4 * count && size < kMaxSlots) {
    size *= 2;
    ++bits;
  }
  if (size < 4 * count) {
    slots_.assign(2, Slot{kFree, kAskMap});
    mask_ = 1;
    shift_ = 63;
    return;
  }
  slots_.assign(size, Slot{kFree, -1});
  mask_ = size - 1;
  shift_ = 64 - bits;
  for (const auto& entry : map) {
    const std::u16string_view s = entry.first;
    if (s.size() > 3) continue;
    uint64_t key = s.size();
    for (size_t k = 0; k < s.size(); ++k) key |= uint64_t{s[k]} << (16 * (k + 1));
    size_t i = static_cast<size_t>((key * kMultiplier) >> shift_);
    while (slots_[i].key != kFree && slots_[i].key != key) i = (i + 1) & mask_;
    slots_[i] = Slot{key, static_cast<int32_t>(valueOf(entry))};
  }
}

CGhepVan::CGhepVan() { LoadFile(ResourcePath(u"GhepVan.ini")); }

CGhepVan::CGhepVan(const std::vector<std::u16string>& lines) { LoadLines(lines); }

bool CGhepVan::LoadFile(const std::u16string& path) {
  std::string bytes;
  if (!ReadFileBytes(path, bytes)) {
    LoadLines({});
    return false;
  }
  LoadLines(SplitTextLines(bytes));
  return true;
}

void CGhepVan::Clear() {
  bareNuclei_.clear();
  initials_.clear();
  nuclei_.clear();
  finals_.clear();
  padNa_.clear();
  naPac_.clear();
  initialAliases_.clear();
  specialWords_.clear();
  freeInitials_ = false;
  shorthandInitials_ = false;
  UODiKemPAC = false;
  uoAdded_.clear();
  padNaBits_ = {};
  initialIndex_.clear();
  nucleusIndex_.clear();
  finalIndex_.clear();
  bareIndex_.clear();
  initialFast_.Rebuild(initialIndex_, kIndexOf);
  nucleusFast_.Rebuild(nucleusIndex_, kIndexOf);
  RebuildBareFast();
  keptFinals_.clear();
  nextKept_ = 0;
  MakeFinalTables();
}

void CGhepVan::RebuildBareFast() {
  bareLists_.clear();
  bareFast_.Rebuild(bareIndex_, [this](const auto& entry) {
    bareLists_.push_back(entry.second);
    return static_cast<int>(bareLists_.size() - 1);
  });
}

void CGhepVan::LoadLines(const std::vector<std::u16string>& lines) {
  Clear();
  const IniKeys keys = ReadIniFlat(StandardIniSyntax(), lines);
  initials_ = ReadEntries(keys, u"CacPAD");
  nuclei_ = ReadEntries(keys, u"CacNA");
  finals_ = ReadEntries(keys, u"CacPAC");
  padNa_ = ReadPairs(keys, u"PAD_NA", initials_.size());
  naPac_ = ReadPairs(keys, u"NA_PAC", nuclei_.size());

  bareNuclei_.resize(nuclei_.size());
  for (size_t i = 0; i < nuclei_.size(); ++i) {
    for (const std::u16string& spelling : nuclei_[i]) {
      std::u16string bare = letters::Bare(spelling);
      Entry& list = bareNuclei_[i];
      if (std::find(list.begin(), list.end(), bare) == list.end()) list.push_back(std::move(bare));
    }
  }
  RebuildInitialIndex();
  RebuildNucleusIndex();
  RebuildFinalIndex();
  padNaBits_.Rebuild(padNa_, nuclei_.size());
  MakeFinalTables();
}

void CGhepVan::RebuildFinalTables() {
  for (FinalTables& kept : keptFinals_) {
    if (kept.builtNaPac == naPac_ && kept.builtFinals == finals_) {
      std::swap(final_, kept);
      return;
    }
  }
  // The tables in use are kept; the storage of the oldest kept make is
  // reused for the new one.
  if (keptFinals_.size() < kKeptFinalTables) keptFinals_.emplace_back();
  std::swap(final_, keptFinals_[nextKept_]);
  nextKept_ = (nextKept_ + 1) % kKeptFinalTables;
  MakeFinalTables();
}

void CGhepVan::MakeFinalTables() {
  FinalTables& t = final_;
  t.builtFinals = finals_;
  t.builtNaPac = naPac_;
  t.fast.Rebuild(finalIndex_, kIndexOf);
  t.naPacBits.Rebuild(naPac_, finals_.size());
  t.prefixIndex.clear();
  for (const Entry& entry : finals_) {
    for (const std::u16string& spelling : entry) {
      for (size_t k = 1; k <= spelling.size(); ++k) {
        t.prefixIndex.emplace(spelling.substr(0, k), static_cast<int>(t.prefixIndex.size()));
      }
    }
  }
  t.prefixFast.Rebuild(t.prefixIndex, kIndexOf);
  // The bits are set in place: no list per nucleus.
  const size_t stride = (t.prefixIndex.size() + 63) / 64;
  t.naPrefixBits.stride = stride;
  t.naPrefixBits.words.assign(naPac_.size() * stride, 0);
  for (size_t n = 0; n < naPac_.size(); ++n) {
    for (int32_t f : naPac_[n]) {
      if (f < 0 || static_cast<size_t>(f) >= finals_.size()) continue;
      for (const std::u16string& spelling : finals_[static_cast<size_t>(f)]) {
        for (size_t k = 1; k <= spelling.size(); ++k) {
          const int p = Lookup(t.prefixIndex, t.prefixFast, std::u16string_view(spelling).substr(0, k));
          if (p < 0) continue;
          t.naPrefixBits.words[n * stride + static_cast<size_t>(p) / 64] |= uint64_t{1} << (p % 64);
        }
      }
    }
  }
}

void CGhepVan::PairBits::Rebuild(const IndexLists& lists, size_t columns) {
  stride = (columns + 63) / 64;
  words.assign(lists.size() * stride, 0);
  for (size_t row = 0; row < lists.size(); ++row) {
    for (int32_t c : lists[row]) {
      if (c < 0 || static_cast<size_t>(c) >= columns) continue;
      words[row * stride + static_cast<size_t>(c) / 64] |= uint64_t{1} << (c % 64);
    }
  }
}

void CGhepVan::BuildIndex(const Entries& entries, IndexMap& index) {
  index.clear();
  for (size_t i = 0; i < entries.size(); ++i) {
    for (const std::u16string& spelling : entries[i]) index.emplace(spelling, static_cast<int>(i));
  }
}

void CGhepVan::RebuildInitialIndex() {
  BuildIndex(initials_, initialIndex_);
  initialFast_.Rebuild(initialIndex_, kIndexOf);
}

void CGhepVan::RebuildFinalIndex() { BuildIndex(finals_, finalIndex_); }

void CGhepVan::RebuildNucleusIndex() {
  BuildIndex(nuclei_, nucleusIndex_);
  nucleusFast_.Rebuild(nucleusIndex_, kIndexOf);
  bareIndex_.clear();
  for (size_t i = 0; i < bareNuclei_.size(); ++i) {
    for (const std::u16string& bare : bareNuclei_[i]) bareIndex_[bare].push_back(static_cast<int>(i));
  }
  RebuildBareFast();
}

const std::vector<int>* CGhepVan::BareEntries(std::u16string_view bare) const {
  const int value = bareFast_.Find(bare);
  if (value >= 0) return &bareLists_[static_cast<size_t>(value)];
  if (value == -1) return nullptr;
  auto it = bareIndex_.find(bare);
  return it == bareIndex_.end() ? nullptr : &it->second;
}

bool CGhepVan::Contains(const std::vector<int32_t>& list, int value) {
  return std::find(list.begin(), list.end(), value) != list.end();
}

bool CGhepVan::IsNucleus(std::u16string_view text) const {
  return text.size() <= 3 && FindNucleus(text) >= 0;
}

bool CGhepVan::IsBareNucleus(std::u16string_view text) const {
  if (text.size() >= 4) return false;
  if (text.size() == 1) return letters::IsPlainVowel(text[0]);
  return BareEntries(text) != nullptr;
}

bool CGhepVan::InitialAllowsNucleus(std::u16string_view initial, std::u16string_view nucleus) const {
  const int i = FindInitial(initial);
  if (i < 0) return false;
  const int n = FindNucleus(nucleus);
  return n >= 0 && padNaBits_.Test(i, n);
}

bool CGhepVan::InitialAllowsBareNucleus(std::u16string_view initial,
                                        std::u16string_view bareNucleus) const {
  const int i = FindInitial(initial);
  if (i < 0) return false;
  const std::vector<int>* entries = BareEntries(bareNucleus);
  if (entries == nullptr) return false;
  for (int n : *entries) {
    if (padNaBits_.Test(i, n)) return true;
  }
  return false;
}

const std::u16string* CGhepVan::SpecialFinalOf(std::u16string_view nucleus) const {
  if (specialWords_.empty()) return nullptr;
  auto it = specialWords_.find(nucleus);
  return it == specialWords_.end() ? nullptr : &it->second;
}

bool CGhepVan::NucleusAllowsFinal(std::u16string_view nucleus, std::u16string_view final) const {
  const std::u16string* special = SpecialFinalOf(nucleus);
  if (special && *special == final) return true;
  const int n = FindNucleus(nucleus);
  if (n < 0) return false;
  const int f = FindFinal(final);
  return f >= 0 && final_.naPacBits.Test(n, f);
}

bool CGhepVan::NucleusAllowsFinalPrefix(std::u16string_view nucleus, std::u16string_view prefix) const {
  const std::u16string* special = SpecialFinalOf(nucleus);
  if (special && StartsWith(*special, prefix)) return true;
  const int n = FindNucleus(nucleus);
  if (n < 0) return false;
  if (static_cast<size_t>(n) >= naPac_.size()) return false;
  if (prefix.empty()) {
    for (int32_t f : naPac_[n]) {
      if (f >= 0 && static_cast<size_t>(f) < finals_.size() && !finals_[f].empty()) return true;
    }
    return false;
  }
  const int p = Lookup(final_.prefixIndex, final_.prefixFast, prefix);
  return p >= 0 && final_.naPrefixBits.Test(n, p);
}

bool CGhepVan::BareNucleusAllowsFinal(std::u16string_view bareNucleus, std::u16string_view final) const {
  const std::u16string* special = SpecialFinalOf(bareNucleus);
  if (special && *special == final) return true;
  const int f = FindFinal(final);
  if (f < 0) return false;
  const std::vector<int>* entries = BareEntries(bareNucleus);
  if (entries == nullptr) return false;
  for (int n : *entries) {
    if (final_.naPacBits.Test(n, f)) return true;
  }
  return false;
}

std::u16string_view CGhepVan::GiENucleus(std::u16string_view initial, std::u16string_view nucleus) const {
  if (nucleus != u"ê") return nucleus;
  if (initial == u"gi") return u"iê";
  if (!initialAliases_.empty()) {
    auto it = initialAliases_.find(initial);
    if (it != initialAliases_.end() && it->second == u"gi") return u"iê";
  }
  return nucleus;
}

bool CGhepVan::IsSpecialFinal(std::u16string_view text) const {
  for (const auto& [nucleus, final] : specialWords_) {
    if (final == text) return true;
  }
  return false;
}

void CGhepVan::ClearSpecialWords() { specialWords_.clear(); }

void CGhepVan::AddSpecialWord(std::u16string_view word) {
  size_t split = 0;
  while (split < word.size() && kVowelLetters.find(word[split]) != std::u16string_view::npos) ++split;
  if (split == word.size()) return;
  std::u16string nucleus(word.substr(0, split));
  if (specialWords_.find(nucleus) != specialWords_.end()) return;
  specialWords_.emplace(std::move(nucleus), std::u16string(word.substr(split)));
}

void CGhepVan::SetSpecialWords(std::u16string_view text) {
  ClearSpecialWords();
  ForEachPiece(text, [&](std::u16string_view piece) {
    if (piece.size() > 1) AddSpecialWord(piece);
  });
}

namespace {
struct FreeInitial {
  const char16_t* spelling;
  const char16_t* joins;
  bool shorthand;  // also an initial shorthand
};
constexpr FreeInitial kFreeInitials[] = {
    {u"dz", u"d", false}, {u"z", u"d", false}, {u"f", u"ph", true}, {u"j", u"gi", true}, {u"w", u"qu", true},
};
}  // namespace

void CGhepVan::SetFreeInitials(bool on) {
  if (on == freeInitials_) return;
  freeInitials_ = on;
  SyncInitialAliases();
}

void CGhepVan::SetShorthandInitials(bool on) {
  if (on == shorthandInitials_) return;
  shorthandInitials_ = on;
  SyncInitialAliases();
}

void CGhepVan::SyncInitialAliases() {
  bool changed = false;
  for (const FreeInitial& pair : kFreeInitials) {
    const std::u16string spelling(pair.spelling);
    if (freeInitials_ || (shorthandInitials_ && pair.shorthand)) {
      changed |= AddInitialAliasEntry(spelling, pair.joins);
    } else if (initialAliases_.count(spelling) != 0) {
      changed |= RemoveInitialAliasEntry(spelling);
    }
  }
  if (changed) initialFast_.Rebuild(initialIndex_, kIndexOf);
}

void CGhepVan::SetUoWithFinals(bool on) {
  UODiKemPAC = on;
  if (naPac_.size() <= 4) return;
  std::vector<int32_t>& list = naPac_[4];
  bool changed = false;
  if (on) {
    // Only what was missing is added, so switching on twice adds nothing
    // more and switching off can take back exactly what was added.
    for (int32_t f : {1, 2}) {
      if (!Contains(list, f)) {
        list.push_back(f);
        uoAdded_.push_back(f);
        changed = true;
      }
    }
  } else {
    for (int32_t f : uoAdded_) {
      auto it = std::find(list.begin(), list.end(), f);
      if (it != list.end()) {
        list.erase(it);
        changed = true;
      }
    }
    uoAdded_.clear();
  }
  // The derived tables follow every change of the lists; an unchanged list
  // leaves them as they are (settings are applied again and again).
  if (!changed) return;
  RebuildFinalTables();
}

// The map is exact at all times (the fast index may lag inside a batch).
int CGhepVan::MapLookup(const IndexMap& index, std::u16string_view spelling) {
  auto it = index.find(spelling);
  return it == index.end() ? -1 : it->second;
}

void CGhepVan::Reindex(const Entries& entries, IndexMap& index, const std::u16string& spelling) {
  for (size_t i = 0; i < entries.size(); ++i) {
    if (std::find(entries[i].begin(), entries[i].end(), spelling) != entries[i].end()) {
      index.insert_or_assign(spelling, static_cast<int>(i));
      return;
    }
  }
  index.erase(spelling);
}

// The texts are copied first: a caller may pass a text the tables hold.
bool CGhepVan::AddInitialAliasEntry(const std::u16string& spellingText, const std::u16string& existing) {
  const std::u16string spelling = spellingText;
  if (MapLookup(initialIndex_, spelling) >= 0) return false;
  const int i = MapLookup(initialIndex_, existing);
  if (i < 0) return false;
  initialAliases_[spelling] = existing;
  initials_[i].push_back(spelling);
  initialIndex_.emplace(spelling, i);
  return true;
}

bool CGhepVan::RemoveInitialAliasEntry(const std::u16string& spellingText) {
  const std::u16string spelling = spellingText;
  const int i = MapLookup(initialIndex_, spelling);
  initialAliases_.erase(spelling);
  if (i < 0) return false;
  Entry& entry = initials_[i];
  entry.erase(std::remove(entry.begin(), entry.end(), spelling), entry.end());
  Reindex(initials_, initialIndex_, spelling);
  return true;
}

void CGhepVan::AddInitialAlias(const std::u16string& spelling, const std::u16string& existing) {
  if (AddInitialAliasEntry(spelling, existing)) initialFast_.Rebuild(initialIndex_, kIndexOf);
}

void CGhepVan::RemoveInitialAlias(const std::u16string& spelling) {
  if (RemoveInitialAliasEntry(spelling)) initialFast_.Rebuild(initialIndex_, kIndexOf);
}

void CGhepVan::AddFinalAlias(const std::u16string& spelling, const std::u16string& existing) {
  const Alias alias{spelling, existing};
  AddFinalAliases({&alias, 1});
}

void CGhepVan::RemoveFinalAlias(const std::u16string& spelling) {
  const Alias alias{spelling, {}};
  RemoveFinalAliases({&alias, 1});
}

void CGhepVan::AddFinalAliases(std::span<const Alias> aliases) {
  bool changed = false;
  for (const Alias& alias : aliases) {
    if (MapLookup(finalIndex_, alias.Spelling) >= 0 || IsSpecialFinal(alias.Spelling)) continue;
    const int f = MapLookup(finalIndex_, alias.Existing);
    if (f < 0) continue;
    std::u16string spelling(alias.Spelling);  // before the entry may move
    finals_[f].push_back(spelling);
    finalIndex_.emplace(std::move(spelling), f);
    changed = true;
  }
  if (!changed) return;
  RebuildFinalTables();
}

void CGhepVan::RemoveFinalAliases(std::span<const Alias> aliases) {
  bool changed = false;
  for (const Alias& alias : aliases) {
    const int f = MapLookup(finalIndex_, alias.Spelling);
    if (f < 0) continue;
    const std::u16string spelling(alias.Spelling);
    Entry& entry = finals_[f];
    entry.erase(std::remove(entry.begin(), entry.end(), spelling), entry.end());
    Reindex(finals_, finalIndex_, spelling);
    changed = true;
  }
  if (!changed) return;
  RebuildFinalTables();
}

}  // namespace tavirel
