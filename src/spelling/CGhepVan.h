#pragma once
// The rhyme tables: which initial consonants (PAD), vowel nuclei (NA) and
// final consonants (PAC) exist, which initial may precede which nucleus and
// which nucleus may precede which final. The content is data from
// Resources/GhepVan.ini; the code only knows the gi + ê rule, the optional
// free initials, the optional widening of nucleus 4 ("uơ") and the user's
// list of extra allowed words.
//
// Every text is lower case, precomposed, compared code unit by code unit.
// Queries never change the tables and do not allocate.
#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tavirel {

class CGhepVan {
 public:
  using Entry = std::vector<std::u16string>;
  using Entries = std::vector<Entry>;
  using IndexLists = std::vector<std::vector<int32_t>>;
  using TextMap = std::map<std::u16string, std::u16string, std::less<>>;

  // Loads ResourcePath(u"GhepVan.ini"); a missing file gives empty tables.
  CGhepVan();
  // Loads the given lines (the content of a GhepVan.ini file).
  explicit CGhepVan(const std::vector<std::u16string>& lines);

  // Replaces the tables with the content of a file; false when the file
  // cannot be read (the tables are then empty). Options are reset.
  bool LoadFile(const std::u16string& path);
  // Replaces the tables with the content of the lines. Options are reset.
  void LoadLines(const std::vector<std::u16string>& lines);

  // Index of the first entry listing the spelling, or -1.
  int FindInitial(std::u16string_view spelling) const { return Lookup(initialIndex_, initialFast_, spelling); }
  int FindNucleus(std::u16string_view spelling) const { return Lookup(nucleusIndex_, nucleusFast_, spelling); }
  int FindFinal(std::u16string_view spelling) const { return Lookup(finalIndex_, final_.fast, spelling); }

  // At most 3 characters and a listed nucleus.
  bool IsNucleus(std::u16string_view text) const;
  // Bare (diacritic-free) form of some nucleus; one letter: one of "aeiouy".
  bool IsBareNucleus(std::u16string_view text) const;

  bool InitialAllowsNucleus(std::u16string_view initial, std::u16string_view nucleus) const;
  bool InitialAllowsBareNucleus(std::u16string_view initial, std::u16string_view bareNucleus) const;
  bool NucleusAllowsFinal(std::u16string_view nucleus, std::u16string_view final) const;
  bool NucleusAllowsFinalPrefix(std::u16string_view nucleus, std::u16string_view prefix) const;
  bool BareNucleusAllowsFinal(std::u16string_view bareNucleus, std::u16string_view final) const;
  // As NucleusAllowsFinal / NucleusAllowsFinalPrefix after the gi + ê rule
  // (initial "gi", or an alias of "gi", with nucleus "ê" means nucleus "iê").
  bool RhymeAllowsFinal(std::u16string_view initial, std::u16string_view nucleus,
                        std::u16string_view final) const {
    return NucleusAllowsFinal(IsE(nucleus) ? GiENucleus(initial, nucleus) : nucleus, final);
  }
  bool RhymeAllowsFinalPrefix(std::u16string_view initial, std::u16string_view nucleus,
                              std::u16string_view prefix) const {
    return NucleusAllowsFinalPrefix(IsE(nucleus) ? GiENucleus(initial, nucleus) : nucleus, prefix);
  }
  // The final of some allowed word.
  bool IsSpecialFinal(std::u16string_view text) const;

  // The user's allowed words ("ah uh ưh"): nucleus followed by final.
  void ClearSpecialWords();
  void AddSpecialWord(std::u16string_view word);
  // ClearSpecialWords, then AddSpecialWord for every space-separated piece
  // longer than one character.
  void SetSpecialWords(std::u16string_view text);

  // dz, z -> d; f -> ph; j -> gi; w -> qu.
  void SetFreeInitials(bool on);
  bool FreeInitials() const { return freeInitials_; }
  // f -> ph, j -> gi, w -> qu for the initial shorthand. An alias stays while
  // either this or the free initials need it, so the two switches commute.
  void SetShorthandInitials(bool on);
  bool ShorthandInitials() const { return shorthandInitials_; }
  // Stores UODiKemPAC; on adds finals 1 and 2 to nucleus 4.
  void SetUoWithFinals(bool on);

  void AddInitialAlias(const std::u16string& spelling, const std::u16string& existing);
  void RemoveInitialAlias(const std::u16string& spelling);
  void AddFinalAlias(const std::u16string& spelling, const std::u16string& existing);
  void RemoveFinalAlias(const std::u16string& spelling);
  // As AddFinalAlias / RemoveFinalAlias for each alias in turn, with one
  // rebuild of the derived tables for all of them.
  struct Alias {
    std::u16string_view Spelling;
    std::u16string_view Existing;
  };
  void AddFinalAliases(std::span<const Alias> aliases);
  void RemoveFinalAliases(std::span<const Alias> aliases);  // Existing is not read

  // Read-only views of the tables.
  const Entries& Initials() const { return initials_; }
  const Entries& Nuclei() const { return nuclei_; }
  const Entries& Finals() const { return finals_; }
  const Entries& BareNuclei() const { return bareNuclei_; }
  const IndexLists& InitialNuclei() const { return padNa_; }
  const IndexLists& NucleusFinals() const { return naPac_; }
  const TextMap& InitialAliases() const { return initialAliases_; }
  const TextMap& SpecialWords() const { return specialWords_; }

  // Read by the word model: while set, "uơ" followed by a final stays "uơ".
  bool UODiKemPAC = false;

 private:
  struct ViewHash {
    using is_transparent = void;
    size_t operator()(std::u16string_view s) const noexcept;
  };
  struct ViewEq {
    using is_transparent = void;
    bool operator()(std::u16string_view a, std::u16string_view b) const noexcept { return a == b; }
  };
  using IndexMap = std::unordered_map<std::u16string, int, ViewHash, ViewEq>;
  using BareMap = std::unordered_map<std::u16string, std::vector<int>, ViewHash, ViewEq>;

  // A copy of a map's spellings of at most three units in an open-addressed
  // hash table keyed by the units packed into one number, rebuilt whenever
  // the map changes: a lookup packs the spelling and compares numbers. A
  // longer spelling is looked up in the map itself.
  class SpellingTable {
   public:
    // Find's answer for a spelling the table does not cover.
    static constexpr int kAskMap = -2;
    template <typename Map, typename ValueOf>
    void Rebuild(const Map& map, ValueOf valueOf);
    // The value of the spelling, -1 when it is not listed, or kAskMap.
    int Find(std::u16string_view s) const {
      uint64_t key = s.size();
      // GCC sees the longer cases for a short literal and warns of reads
      // that the switch never makes.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Warray-bounds"
      switch (s.size()) {
        case 3: key |= uint64_t{s[2]} << 48; [[fallthrough]];
        case 2: key |= uint64_t{s[1]} << 32; [[fallthrough]];
        case 1: key |= uint64_t{s[0]} << 16; [[fallthrough]];
        case 0: break;
        default: return kAskMap;
      }
#pragma GCC diagnostic pop
      for (size_t i = static_cast<size_t>((key * kMultiplier) >> shift_);; i = (i + 1) & mask_) {
        const Slot& slot = slots_[i];
        if (slot.key == key) return slot.value;
        if (slot.key == kFree) return slot.value;  // -1, or kAskMap before the first Rebuild
      }
    }

   private:
    static constexpr uint64_t kFree = ~uint64_t{0};  // no packed spelling is all ones
    static constexpr uint64_t kMultiplier = 0x9E3779B97F4A7C15u;
    // A map this large (only a damaged file makes one) is not copied: every
    // spelling is looked up in the map.
    static constexpr size_t kMaxSlots = size_t{1} << 20;
    struct Slot {
      uint64_t key;
      int32_t value;
    };
    // Until the first Rebuild: free slots that send everything to the map.
    std::vector<Slot> slots_ = std::vector<Slot>(2, Slot{kFree, kAskMap});
    size_t mask_ = 1;
    unsigned shift_ = 63;
  };

  void Clear();
  void RebuildInitialIndex();
  void RebuildFinalIndex();
  void RebuildNucleusIndex();
  static void BuildIndex(const Entries& entries, IndexMap& index);
  // index as BuildIndex would make it after spelling was added to or taken
  // from entries: the first entry listing it, or no key.
  static void Reindex(const Entries& entries, IndexMap& index, const std::u16string& spelling);
  static int MapLookup(const IndexMap& index, std::u16string_view spelling);
  // The entry changes alone; the callers rebuild the derived tables once.
  bool AddInitialAliasEntry(const std::u16string& spelling, const std::u16string& existing);
  bool RemoveInitialAliasEntry(const std::u16string& spelling);
  static int Lookup(const IndexMap& index, const SpellingTable& fast, std::u16string_view spelling) {
    const int value = fast.Find(spelling);
    if (value != SpellingTable::kAskMap) [[likely]] return value;
    return MapLookup(index, spelling);
  }
  void RebuildBareFast();
  // The nucleus entries listing a bare spelling, or null.
  const std::vector<int>* BareEntries(std::u16string_view bare) const;
  static bool Contains(const std::vector<int32_t>& list, int value);
  // The pair lists as bit rows (row i, bit n), so that a pair question tests
  // one bit; rebuilt whenever a list changes.
  struct PairBits {
    std::vector<uint64_t> words;
    size_t stride = 0;  // words per row
    void Rebuild(const IndexLists& lists, size_t columns);
    // row and column must be valid indices.
    bool Test(int row, int column) const {
      const size_t c = static_cast<size_t>(column);
      return (words[static_cast<size_t>(row) * stride + c / 64] >> (c % 64)) & 1u;
    }
  };
  const std::u16string* SpecialFinalOf(std::u16string_view nucleus) const;
  std::u16string_view GiENucleus(std::u16string_view initial, std::u16string_view nucleus) const;
  static bool IsE(std::u16string_view nucleus) { return nucleus.size() == 1 && nucleus[0] == u'ê'; }

  Entries bareNuclei_;
  Entries initials_;
  Entries nuclei_;
  Entries finals_;
  IndexLists padNa_;
  IndexLists naPac_;
  TextMap initialAliases_;
  TextMap specialWords_;
  bool freeInitials_ = false;
  bool shorthandInitials_ = false;
  // Adds the aliases the two switches need, in their fixed order, and takes
  // away the ones neither needs.
  void SyncInitialAliases();
  // Finals that SetUoWithFinals(true) added to nucleus 4 (taken back on false).
  std::vector<int32_t> uoAdded_;
  PairBits padNaBits_;
  // The tables made from finals_ and naPac_ (and finalIndex_, which follows
  // finals_), with the lists they were made from.
  struct FinalTables {
    Entries builtFinals;
    IndexLists builtNaPac;
    SpellingTable fast;  // finalIndex_ by packed spelling
    PairBits naPacBits;
    // Every beginning of a final's spelling (c, ch, n, ng, ...) and, per
    // nucleus, which of them an allowed final starts with.
    IndexMap prefixIndex;
    SpellingTable prefixFast;
    PairBits naPrefixBits;
  };
  FinalTables final_;
  // Earlier makes of final_, kept so that an option switched off and on
  // again (final shorthand, UODiKemPAC) finds its tables made; a kept make
  // is taken only for lists equal to the ones it was made from.
  static constexpr size_t kKeptFinalTables = 3;
  std::vector<FinalTables> keptFinals_;
  size_t nextKept_ = 0;
  // After any change of finals_ or naPac_.
  void RebuildFinalTables();
  void MakeFinalTables();

  IndexMap initialIndex_;
  IndexMap nucleusIndex_;
  IndexMap finalIndex_;
  // Bare nucleus -> every nucleus entry that lists it, in order.
  BareMap bareIndex_;
  SpellingTable initialFast_;
  SpellingTable nucleusFast_;
  SpellingTable bareFast_;               // index into bareLists_
  std::vector<std::vector<int>> bareLists_;
};

}  // namespace tavirel
