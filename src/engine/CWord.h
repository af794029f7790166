#pragma once
// The syllable being typed: what the user sees, its lower-case twin, the raw
// keys, the split into initial / nucleus / final, where the mark and the tone
// sit, and the lowest position changed since the caller last took the output.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/CWordOwner.h"

namespace tavirel {

class CGhepVan;

// A map from a vowel group (nucleus) to its replacement, used by the mark
// functions that act on a whole nucleus (uo -> ươ and the like). Built once
// from two space-separated lists: the n-th key maps to the n-th value.
class CVowelGroupTable {
 public:
  // Built at compile time (CWordVowelGroups.cpp).
  constexpr CVowelGroupTable(std::u16string_view keys, std::u16string_view values);
  // The replacement of nucleus, or an empty view when it is not listed.
  std::u16string_view Find(std::u16string_view nucleus) const;
  bool Has(std::u16string_view nucleus) const { return !Find(nucleus).empty(); }

 private:
  // The keys (at most three units each) packed into numbers in an
  // open-addressed table, so that a lookup compares numbers.
  static constexpr size_t kSlots = 64;
  static constexpr uint64_t Pack(std::u16string_view s) {
    uint64_t key = s.size();
    for (size_t i = 0; i < s.size() && i < 3; ++i) key |= uint64_t{s[i]} << (16 * (i + 1));
    return key;
  }
  static constexpr size_t SlotOf(uint64_t key) {
    return static_cast<size_t>((key * 0x9E3779B97F4A7C15u) >> 58);
  }
  uint64_t keys_[kSlots] = {};  // 0: free
  std::u16string_view values_[kSlots];
};

// The eight vowel-group tables (forward and undo of four mark functions).
namespace vowelgroups {
const CVowelGroupTable& HornBreve();
const CVowelGroupTable& HornBreveUndo();
const CVowelGroupTable& Horn();
const CVowelGroupTable& HornUndo();
const CVowelGroupTable& Circumflex();
const CVowelGroupTable& CircumflexUndo();
const CVowelGroupTable& OCircumflex();
const CVowelGroupTable& OCircumflexUndo();
}  // namespace vowelgroups

// Function numbers of a typing-method binding.
enum : int {
  kFnThoat = 0,
  kFnXoaDauThanh = 1,
  kFnDauSac = 2,
  kFnDauHuyen = 3,
  kFnDauHoi = 4,
  kFnDauNga = 5,
  kFnDauNang = 6,
  kFnD_DD = 7,
  kFnAEO_Circumflex = 8,
  kFnA_Circumflex = 9,
  kFnE_Circumflex = 10,
  kFnO_Circumflex = 11,
  kFnUOA_HornBreve = 12,
  kFnUO_Horn = 13,
  kFnU_Horn = 14,
  kFnO_Horn = 15,
  kFnA_Breve = 16,
  kFnUOA_HornBreve_U = 17,
  kFnInsertFirst = 18,  // 18..33 insert fixed letters
  kFnInsertLast = 33,
  kFnCount = 34,
};

class CWord {
 public:
  explicit CWord(CWordOwner* owner = nullptr);

  // ---- fields (the caller reads CacKT, VTThayDoi, ThemPhim, CD0TV directly) ----
  CWordOwner* Owner = nullptr;  // not owned
  char16_t PhimGo = 0;          // key of the current keystroke, case kept
  char16_t PhimThuong = 0;      // the same in lower case
  std::u16string Raw;           // raw keys of this word, case kept
  int32_t CD0TV = 0;            // trailing non-Vietnamese characters
  int32_t WA = 0;               // 0 initial, 1 nucleus, 2 final
  int32_t VTDau = -1;           // position of the marked vowel
  int32_t VTDT = -1;            // position of the toned vowel
  std::u16string CacKT;         // as shown
  std::u16string CacKTThuong;   // CacKT in lower case
  int32_t VTThayDoi = -1;       // lowest changed position since last output
  bool ThemPhim = false;        // the caller must add the key as a letter
  int32_t CDPAD = 0;            // initial length (with the u of qu, the i of gi)
  int32_t CDNA = 0;             // nucleus length
  int32_t CDPAC = 0;            // final length
  int32_t DT = -1;              // tone 0 sắc .. 4 nặng, -1 none
  char16_t KTCoDT = 0;          // toned vowel without its tone (lower case)

  // ---- word model ----
  void Reset() {
    Raw.clear();
    CacKT.clear();
    CacKTThuong.clear();
    VTDau = VTDT = DT = -1;
    CDPAD = CDNA = CDPAC = CD0TV = WA = 0;
    KTCoDT = 0;
  }
  void CopyTo(CWord& other) const;
  // CopyTo without Raw and CacKTThuong: what a before-image needs to work out
  // the characters to replace (the shown text and the scalar fields).
  void CopyShownTo(CWord& other) const;
  // The split, tone, mark and change fields alone (not the texts).
  void CopyScalarsTo(CWord& other) const {
    other.CDPAD = CDPAD;
    other.CDNA = CDNA;
    other.CDPAC = CDPAC;
    other.CD0TV = CD0TV;
    other.VTThayDoi = VTThayDoi;
    other.WA = WA;
    other.VTDau = VTDau;
    other.DT = DT;
    other.VTDT = VTDT;
    other.KTCoDT = KTCoDT;
  }
  void SetKey(char16_t key, char16_t lowerKey) {
    Raw.push_back(key);
    PhimGo = key;
    PhimThuong = lowerKey;
  }
  bool AddLetter();
  bool RemoveLast();
  bool InsertText(std::u16string_view text);
  void AppendComposed(std::u16string_view text, bool withRaw);
  void FromText(std::u16string_view text);
  void RestoreRaw();
  void ReplaceInitial(std::u16string_view text);
  void ReplaceFinal(std::u16string_view text);
  // Writes the toned vowel with tone t when a different tone exists; true when changed.
  bool ChangeTone(int t);
  // Moves an existing tone to TonePosition(); true when it moved.
  bool ReplaceTone();

  std::u16string Nucleus() const;
  std::u16string Initial() const;
  std::u16string Final() const;
  std::u16string Rhyme() const;
  bool IsIncomplete() const;
  bool RawDiffers() const;
  std::u16string Dump() const;

  bool CheckSyllable(std::u16string_view nucleus) const;
  bool CheckSyllableExact(std::u16string_view nucleus) const;
  bool CheckMark(int i, char16_t c) const;

  // ---- tone and mark placement ----
  int TonePosition() const;
  bool SetTone(int t);
  bool RemoveTone();
  bool ToggleStroke();
  bool ApplyMark2(char16_t base, char16_t marked);
  bool ApplyMark3(char16_t base, char16_t marked, char16_t other);
  bool ApplyMarkGroup(const CVowelGroupTable& forward, const CVowelGroupTable& undo);
  bool HornOrU();
  // Runs function 1..33 on the word; returns whether the key is swallowed.
  // 0 (escape) and unknown numbers refuse (ThemPhim set, false).
  bool ApplyFunction(int function);

  bool SetMark(int i, char16_t c);
  bool RemoveMarkAt();
  void MoveTone(int i);
  void DropTone();

  // ---- edit helpers ----
  // Writes lower-case c at i by the case rule and lowers VTThayDoi to i.
  void WriteAt(int i, char16_t c);
  // VTThayDoi becomes i when it is -1 or greater than i.
  void LowerChange(int i) {
    if (VTThayDoi < 0 || VTThayDoi > i) VTThayDoi = i;
  }
  int Length() const { return static_cast<int>(CacKT.size()); }

 private:
  // The nucleus as Nucleus() gives it, without building a string: a view of
  // CacKTThuong while the tone sits elsewhere, else a copy held here.
  class NucleusText {
   public:
    explicit NucleusText(const CWord& w) {
      if (w.CDNA <= 0 || w.CDPAD < 0 || w.CDPAD + w.CDNA > w.Length()) return;
      data_ = w.CacKTThuong.data() + w.CDPAD;
      size_ = static_cast<size_t>(w.CDNA);
      if (w.VTDT >= w.CDPAD && w.VTDT < w.CDPAD + w.CDNA && w.KTCoDT != 0) {
        Set(static_cast<size_t>(w.VTDT - w.CDPAD), w.KTCoDT);
      }
    }
    NucleusText(const NucleusText&) = delete;
    NucleusText& operator=(const NucleusText&) = delete;
    std::u16string_view View() const { return {data_, size_}; }
    operator std::u16string_view() const { return View(); }
    // Takes a copy of the units (if not held yet) and writes c at i < size.
    void Set(size_t i, char16_t c);
    // Takes a copy of the units if not held yet.
    void Own();

   private:
    const char16_t* data_ = u"";
    size_t size_ = 0;
    bool owned_ = false;
    char16_t units_[8];  // written by Own before it is read
    std::optional<std::u16string> long_;  // a longer nucleus (only damaged tables make one)
  };

  const CGhepVan* Tables() const { return Owner ? Owner->GhepVan : nullptr; }
  bool AppendedVowelCannotStand(char16_t v) const;
  std::u16string_view InitialView() const;
  std::u16string_view FinalView(int cdpac) const;
  int TonePositionWithFinal(int cdpac) const;
  bool CheckSyllableImpl(std::u16string_view nucleus, bool exact, int cdpac) const;
  bool Refuse();
  void ReplaceToneAt(int p);
  void RewriteNucleus(std::u16string_view from, std::u16string_view to, bool keepMark);
  void Reparse();
  bool ParseNucleusPrefix(std::u16string_view cand, int start, bool withInitial);

  // Reused by the rebuilding operations so that they do not allocate.
  std::u16string scratch_;
  std::u16string scratch2_;
};

}  // namespace tavirel
