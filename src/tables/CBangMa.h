#pragma once
// Code tables: how each Unicode character is written in one output encoding,
// and the maps that read such text back or convert it between two tables.
//
// An encoded form is a UTF-16 string; code units up to 255 stand for the
// bytes of an 8-bit encoding. "Unicode" is the empty table, the identity.
#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/Ini.h"

namespace tavirel {

// A table from every UTF-16 code unit to a 64-bit code, 0 for most: pages of
// 256 codes for the high bytes that hold anything, and one shared page of
// zeros for the rest, so that a lookup is two loads and no branch.
class CUnitTable {
 public:
  // Only after a first Set (Ready()).
  uint64_t Get(char16_t c) const { return pages_[pageOf_[c >> 8]][c & 0xFF]; }
  void Set(char16_t c, uint64_t code);
  bool Ready() const { return !pages_.empty(); }

 private:
  std::array<uint16_t, 256> pageOf_{};
  std::vector<std::array<uint64_t, 256>> pages_;  // pages_[0] stays zero
};

// One code table: an ordered map character -> encoded form, with a flat
// table beside it so that encoding never searches the map. Forms of up to
// three units are held in the flat table itself.
class CBangMa {
 public:
  using Entries = std::map<char16_t, std::u16string>;

  // Adds the form for c unless c already has one. An empty form is refused:
  // it would make the character vanish from encoded text.
  bool Insert(char16_t c, std::u16string_view form);

  // The encoded form of c, or an empty view when c has no entry.
  std::u16string_view Find(char16_t c) const {
    const auto it = entries_.find(c);
    return it == entries_.end() ? std::u16string_view() : std::u16string_view(it->second);
  }
  bool Has(char16_t c) const { return entries_.count(c) != 0; }

  const Entries& Map() const { return entries_; }
  size_t Size() const { return entries_.size(); }
  bool Empty() const { return entries_.empty(); }
  // Some form holds a code unit above 255.
  bool HasWideForm() const { return wide_; }
  // Every form is a single code unit.
  bool OneUnitForms() const { return oneUnit_; }

  // Encoding internals (see CBangMa.cpp).
  const CUnitTable& Codes() const { return codes_; }
  std::u16string_view LongForm(uint64_t code) const;

 private:
  Entries entries_;
  CUnitTable codes_;
  std::u16string longPool_;  // forms of more than three units, back to back
  std::vector<std::pair<uint32_t, uint32_t>> longForms_;  // offset, length in longPool_
  bool wide_ = false;
  bool oneUnit_ = true;
};

// A decode or transcode map: encoded form -> replacement text. Built once,
// then read by DecodeLongestMatch: a flat table on the first code unit
// replaces one-unit keys directly, and a trie serves the longer keys, so
// matching builds no strings.
class CDecodeMap {
 public:
  using Entries = std::map<std::u16string, std::u16string>;

  CDecodeMap() = default;
  // Empty keys are dropped: they would match everywhere without consuming text.
  explicit CDecodeMap(Entries entries);

  const Entries& Map() const { return entries_; }
  size_t Size() const { return entries_.size(); }
  bool Empty() const { return entries_.empty(); }
  size_t MinKeyLength() const { return minKey_; }
  size_t MaxKeyLength() const { return maxKey_; }

  // DecodeLongestMatch.
  std::u16string Decode(std::u16string_view text) const;
  // The same, appended to out; text must not point into out.
  void DecodeTo(std::u16string_view text, std::u16string& out) const;

 private:
  struct Node {
    uint32_t value;       // 1 + index into values_, 0 when no key ends here
    uint32_t firstChild;  // children are edges_[firstChild, firstChild + childCount)
    uint32_t childCount;
    uint32_t dense;       // 1 + block of dense_ when every child unit is below 256, else 0
  };
  struct Edge {
    char16_t unit;
    uint32_t node;
  };
  Entries entries_;
  CUnitTable root_;  // first code unit -> direct replacement or trie node
  std::vector<Node> nodes_;
  std::vector<Edge> edges_;
  std::vector<uint32_t> dense_;  // blocks of 256: child unit -> 1 + node index, 0 none
  std::u16string valuePool_;  // values back to back
  std::vector<std::pair<uint32_t, uint32_t>> values_;  // offset, length in valuePool_
  size_t minKey_ = 0;
  size_t maxKey_ = 0;
  size_t maxValue_ = 0;
  bool oneUnit_ = false;  // every key and every value is a single unit
};
using CTranscodeMap = CDecodeMap;

// ---- registry -------------------------------------------------------------

// Path of the shipped tables: <program folder>/Resources/BangMa.ini.
std::u16string BangMaPath();

// "Unicode" followed by the section names of BangMa.ini in file order
// (duplicates kept). Read on first use and never refreshed.
const std::vector<std::u16string>& CodeTableNames();
std::vector<std::u16string> GetCodeTableNames();

// The table for a name listed in CodeTableNames (exact match); any other name,
// "Unicode" and a missing section give the empty table.
CBangMa LoadBangMa(const std::u16string& name);
// The same against an explicit list of names and file.
CBangMa LoadBangMa(const std::vector<std::u16string>& names, const std::u16string& path,
                   const std::u16string& name);
// Converts one INI section: the character is the first code unit of the key,
// the form is the whole value; the first entry of a character wins; entries
// with an empty key or an empty value are ignored.
CBangMa BangMaFromSection(const IniKeys& section);

// ---- operations -----------------------------------------------------------

std::u16string Encode(const CBangMa& table, std::u16string_view text);
// Appends the encoded text to out (no allocation beyond out's growth); text
// must not point into out.
void EncodeTo(const CBangMa& table, std::u16string_view text, std::u16string& out);
size_t EncodedLength(const CBangMa& table, std::u16string_view text);
size_t EncodedLength(const CBangMa& table, char16_t ch);
// True for the empty table (Unicode) or when some form holds a unit above 255.
bool IsWide(const CBangMa& table);

CDecodeMap BuildDecodeMap(const CBangMa& table, bool preferLower);
CTranscodeMap BuildTranscodeMap(const CBangMa& source, const CBangMa& target, bool preferLower);
// At each position the longest key that starts there is replaced by its
// value; text that matches no key is copied unchanged.
std::u16string DecodeLongestMatch(std::u16string_view text, const CDecodeMap& map);

}  // namespace tavirel
