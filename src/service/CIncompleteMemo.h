#pragma once
// Whether a word can end where it stands (CWord::IsIncomplete), remembered
// per syllable: prose repeats a few hundred syllables, and the answer needs
// two lookups in the rhyme tables. A syllable is its initial, its nucleus
// with the tone taken off and its final (at most three, three and two
// letters), the split and whether a falling tone sits on it; other words are
// asked directly.
//
// The answer also depends on the rhyme tables. The owner calls Clear after
// anything may have changed them; a word reading other tables than the ones
// remembered clears the memo too.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "engine/CWord.h"

namespace tavirel {

class CIncompleteMemo {
 public:
  bool IsIncomplete(const CWord& w) {
    uint64_t a = 0;
    uint64_t b = 0;
    if (w.Owner == nullptr || !Key(w, a, b)) [[unlikely]] return w.IsIncomplete();
    if (w.Owner->GhepVan != tables_) [[unlikely]] {
      Clear();
      tables_ = w.Owner->GhepVan;
    }
    Entry& e = entries_[Index(a, b)];
    if (e.b == b && (e.a & ~kAnswer) == a) return (e.a & kAnswer) != 0;
    const bool answer = w.IsIncomplete();
    e.a = answer ? a | kAnswer : a;
    e.b = b;
    return answer;
  }

  void Clear() {
    for (Entry& e : entries_) e = Entry{};
  }

 private:
  static constexpr size_t kEntries = 256;
  static constexpr uint64_t kAnswer = uint64_t{1} << 63;
  // The syllable's letters, four in each key word, 16 bits each. A letter
  // is below 0x200, so the top seven bits of each key's last letter are
  // free: b holds the split and the tone bit there, a the answer.
  struct Entry {
    uint64_t a = 0;
    uint64_t b = 0;
  };

  static bool Key(const CWord& w, uint64_t& a, uint64_t& b) {
    const int pad = w.CDPAD;
    const int na = w.CDNA;
    const int pac = w.CDPAC;
    // WA 1 has no final here and WA 2 one of one or two letters, so the
    // final's length tells the two apart.
    if (w.WA == 1 ? pac != 0 : (w.WA != 2 || static_cast<unsigned>(pac - 1) > 1u)) return false;
    if (static_cast<unsigned>(pad) > 3u || static_cast<unsigned>(na - 1) > 2u) return false;
    const int len = pad + na + pac;
    if (len > w.Length()) return false;
    const char16_t* s = w.CacKTThuong.data();
    char16_t units[8] = {};
    // Unrolled: a copy loop would become a call.
    switch (len) {
      case 8: units[7] = s[7]; [[fallthrough]];
      case 7: units[6] = s[6]; [[fallthrough]];
      case 6: units[5] = s[5]; [[fallthrough]];
      case 5: units[4] = s[4]; [[fallthrough]];
      case 4: units[3] = s[3]; [[fallthrough]];
      case 3: units[2] = s[2]; [[fallthrough]];
      case 2: units[1] = s[1]; [[fallthrough]];
      default: units[0] = s[0];
    }
    if (w.VTDT >= pad && w.VTDT < pad + na && w.KTCoDT != 0) units[w.VTDT] = w.KTCoDT;
    std::memcpy(&a, units, sizeof a);
    std::memcpy(&b, units + 4, sizeof b);
    if (((a | b) & 0xFE00FE00FE00FE00u) != 0) return false;
    const uint64_t fallingTone = pac > 0 && w.DT >= 1 && w.DT <= 3;
    const uint64_t split = static_cast<uint64_t>(pad) | static_cast<uint64_t>(na) << 2 |
                           static_cast<uint64_t>(pac) << 4 | fallingTone << 6;
    b |= split << 57;
    return true;
  }

  static size_t Index(uint64_t a, uint64_t b) {
    return static_cast<size_t>((a * 0x9E3779B97F4A7C15u ^ b * 0xC2B2AE3D27D4EB4Fu) >> 56);
  }

  Entry entries_[kEntries];
  const CGhepVan* tables_ = nullptr;
};

}  // namespace tavirel
