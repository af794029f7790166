// Correction of the common spelling confusions (s-x, tr-ch, l-r, ng-ngh,
// g-gh, c-t, n-ng, hỏi-ngã): first across the previous and the current word
// with the compound dictionary, then within the current word with the
// single-word dictionary.
#include <array>
#include <string>
#include <string_view>

#include "common/Letters.h"
#include "service/CTypingContext.h"

namespace tavirel {

namespace {

struct Confusion {
  std::u16string_view Item;
  std::u16string_view Partner;
};

// An item is found by its first occurrence.
constexpr std::array<Confusion, 10> kInitials = {{{u"s", u"x"},
                                                  {u"x", u"s"},
                                                  {u"l", u"r"},
                                                  {u"r", u"l"},
                                                  {u"ch", u"tr"},
                                                  {u"tr", u"ch"},
                                                  {u"ng", u"ngh"},
                                                  {u"ngh", u"ng"},
                                                  {u"g", u"gh"},
                                                  {u"gh", u"g"}}};
constexpr std::array<Confusion, 4> kFinals = {{{u"c", u"t"}, {u"t", u"c"}, {u"n", u"ng"}, {u"ng", u"n"}}};

constexpr int kHoi = 2;
constexpr int kNga = 3;

template <size_t N>
std::u16string_view PartnerOf(const std::array<Confusion, N>& table, std::u16string_view item) {
  if (item.empty()) return {};
  for (const Confusion& c : table) {
    if (c.Item == item) return c.Partner;
  }
  return {};
}

int PartnerTone(int tone) {
  if (tone == kHoi) return kNga;
  if (tone == kNga) return kHoi;
  return -1;
}

std::u16string_view InitialOf(const CWord& w) {
  return std::u16string_view(w.CacKTThuong).substr(0, static_cast<size_t>(w.CDPAD));
}
std::u16string_view RestOf(const CWord& w) {
  return std::u16string_view(w.CacKTThuong).substr(static_cast<size_t>(w.CDPAD));
}
std::u16string_view FinalOf(const CWord& w) {
  if (w.CDPAC <= 0) return {};
  return std::u16string_view(w.CacKTThuong).substr(static_cast<size_t>(w.CDPAD + w.CDNA),
                                                    static_cast<size_t>(w.CDPAC));
}
std::u16string_view HeadOf(const CWord& w) {
  return std::u16string_view(w.CacKTThuong).substr(0, static_cast<size_t>(w.CDPAD + w.CDNA));
}

// CacKTThuong with the toned vowel carrying the partner tone; empty when the
// tone is neither hỏi nor ngã.
std::u16string WithPartnerTone(const CWord& w) {
  const int partner = PartnerTone(w.DT);
  if (partner < 0 || w.VTDT < 0 || w.VTDT >= w.Length() || w.KTCoDT == 0) return {};
  const char16_t toned = letters::AddTone(w.KTCoDT, partner);
  if (toned == 0) return {};
  std::u16string text = w.CacKTThuong;
  text[static_cast<size_t>(w.VTDT)] = toned;
  return text;
}

std::u16string Join(std::u16string_view a, std::u16string_view b, std::u16string_view c = {},
                    std::u16string_view d = {}) {
  std::u16string s;
  s.reserve(a.size() + b.size() + c.size() + d.size() + 1);
  s += a;
  s += b;
  s += c;
  s += d;
  return s;
}

// Consistent hỏi/ngã swap on a word: writes the toned vowel with the partner.
bool SwapTone(CWord& w) {
  const int partner = PartnerTone(w.DT);
  return partner >= 0 && w.ChangeTone(partner);
}

}  // namespace

bool CTypingContext::CorrectCompound(CWord& word, CWord* previous) {
  bool tryCompound = SuaLoiChinhTaTuGhep && previous != nullptr && previous->CD0TV == 0 &&
                     !LooseStack.empty() && LooseStack.back() == 1 && !RecentText.empty() &&
                     RecentText.back() == u' ';

  // The previous word already belongs to a known compound with the word
  // before it.
  if (tryCompound && Words.size() >= 2 && LooseStack.size() >= 2 &&
      RecentText.size() >= previous->CacKT.size() + 2) {
    const CWord& before = Words[Words.size() - 2];
    const size_t prevStart = RecentText.size() - 1 - previous->CacKT.size();
    const int32_t looseBeforePrevious = LooseStack[LooseStack.size() - 2];
    if (before.CD0TV == 0 && looseBeforePrevious == 1 && prevStart >= 1 &&
        prevStart <= RecentText.size() && RecentText[prevStart - 1] == u' ' &&
        InTuDienTuGhep(Join(before.CacKT, u" ", previous->CacKT))) {
      tryCompound = false;
    }
  }

  if (tryCompound) {
    const std::u16string pairBefore = Join(previous->CacKT, u" ", word.CacKT);
    if (!InTuDienTuGhep(pairBefore)) {
      previous->VTThayDoi = -1;
      bool applied = false;
      CWord& cur = word;
      CWord& prev = *previous;

      // Initials.
      const std::u16string_view curI = PartnerOf(kInitials, InitialOf(cur));
      const std::u16string_view prevI = PartnerOf(kInitials, InitialOf(prev));
      if (!curI.empty() && InTuDienTuGhep(Join(prev.CacKT, u" ", curI, RestOf(cur)))) {
        cur.ReplaceInitial(curI);
        applied = true;
      } else if (!prevI.empty() && InTuDienTuGhep(Join(prevI, RestOf(prev), u" ", cur.CacKT))) {
        prev.ReplaceInitial(prevI);
        applied = true;
      } else if (!curI.empty() && !prevI.empty() &&
                 InTuDienTuGhep(Join(prevI, RestOf(prev), u" ", Join(curI, RestOf(cur))))) {
        prev.ReplaceInitial(prevI);
        cur.ReplaceInitial(curI);
        applied = true;
      }

      // Finals.
      if (!applied) {
        const std::u16string_view curF = PartnerOf(kFinals, FinalOf(cur));
        const std::u16string_view prevF = PartnerOf(kFinals, FinalOf(prev));
        if (!curF.empty() && InTuDienTuGhep(Join(prev.CacKT, u" ", HeadOf(cur), curF))) {
          cur.ReplaceFinal(curF);
          applied = true;
        } else if (!prevF.empty() &&
                   InTuDienTuGhep(Join(HeadOf(prev), prevF, u" ", cur.CacKT))) {
          prev.ReplaceFinal(prevF);
          applied = true;
        } else if (!curF.empty() && !prevF.empty() &&
                   InTuDienTuGhep(Join(HeadOf(prev), prevF, u" ", Join(HeadOf(cur), curF)))) {
          prev.ReplaceFinal(prevF);
          cur.ReplaceFinal(curF);
          applied = true;
        }
      }

      // Tones.
      if (!applied) {
        const std::u16string curT = WithPartnerTone(cur);
        const std::u16string prevT = WithPartnerTone(prev);
        if (!curT.empty() && InTuDienTuGhep(Join(prev.CacKT, u" ", curT))) {
          applied = SwapTone(cur);
        } else if (!prevT.empty() && InTuDienTuGhep(Join(prevT, u" ", cur.CacKT))) {
          applied = SwapTone(prev);
        } else if (!curT.empty() && !prevT.empty() && InTuDienTuGhep(Join(prevT, u" ", curT))) {
          applied = SwapTone(prev);
          applied = SwapTone(cur) || applied;
        }
      }

      if (applied) {
        AddReplacement(pairBefore, Join(prev.CacKT, u" ", cur.CacKT));
        return true;
      }
    }
  }
  return CorrectSingle(word);
}

bool CTypingContext::CorrectSingle(CWord& word) {
  if (!SuaLoiChinhTaTuDon) return false;
  if (word.VTDau < 0 && word.DT == -1) return false;
  if (InTuDien(word.CacKTThuong)) return false;

  const std::u16string before = word.CacKT;
  bool applied = false;
  const std::u16string_view initial = PartnerOf(kInitials, InitialOf(word));
  const std::u16string_view final = PartnerOf(kFinals, FinalOf(word));
  if (!initial.empty() && InTuDien(Join(initial, RestOf(word)))) {
    word.ReplaceInitial(initial);
    applied = true;
  } else if (!final.empty() && InTuDien(Join(HeadOf(word), final))) {
    word.ReplaceFinal(final);
    applied = true;
  } else {
    const std::u16string toned = WithPartnerTone(word);
    if (!toned.empty() && InTuDien(toned)) applied = SwapTone(word);
  }
  if (applied) AddReplacement(before, word.CacKT);
  return applied;
}

}  // namespace tavirel
