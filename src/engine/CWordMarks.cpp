// Tones and marks on the word: where the tone goes, the tone, stroke and
// vowel-mark functions, and the dispatch of a binding's function number.
#include "common/Letters.h"
#include "engine/CWord.h"
#include "spelling/CGhepVan.h"

namespace tavirel {

using namespace letters;

namespace {

constexpr std::u16string_view kMarkLetters = u"âăêôơưđ";

bool IsStopFinal(std::u16string_view final) {
  return final == u"c" || final == u"ch" || final == u"p" || final == u"t";
}

constexpr std::u16string_view kInsertLower[] = {u"đ", u"â", u"ă", u"ê", u"ô", u"ơ", u"ư", u"ươ"};
constexpr std::u16string_view kInsertUpper[] = {u"Đ", u"Â", u"Ă", u"Ê", u"Ô", u"Ơ", u"Ư", u"ƯƠ"};

}  // namespace

int CWord::TonePositionWithFinal(int cdpac) const {
  if (CDNA <= 0) return -1;
  if (VTDau >= 0) return VTDau;
  if (CDNA == 1) return CDPAD;
  if (Owner && Owner->BoDauThanhKieu2) {
    const NucleusText text(*this);
    const std::u16string_view n = text;
    if (n == u"oa" || n == u"oe" || n == u"uy") return CDPAD + 1;
  }
  if (cdpac > 0) return CDPAD + 1;
  return CDNA >= 3 ? CDPAD + 1 : CDPAD;
}

int CWord::TonePosition() const { return TonePositionWithFinal(CDPAC); }

bool CWord::SetTone(int t) {
  if (t < 0 || t > 4 || CDNA <= 0 || CD0TV > 0) return Refuse();
  if (t == DT) {
    DropTone();  // a second press takes the tone off and types the key
    return Refuse();
  }
  if (CDPAC > 0 && t >= 1 && t <= 3 && IsStopFinal(FinalView(CDPAC))) return Refuse();
  if (VTDau >= 0) {
    const NucleusText n(*this);
    if (n.View() != u"ưo" && !CheckSyllable(n)) return Refuse();
  }
  const int p = TonePosition();
  if (p < 0 || p >= Length()) return Refuse();
  const char16_t base = (VTDT == p && KTCoDT != 0) ? KTCoDT : StripTone(CacKTThuong[p]);
  const char16_t toned = AddTone(base, t);
  if (!toned) return Refuse();
  if (VTDT >= 0 && VTDT != p && KTCoDT != 0) WriteAt(VTDT, KTCoDT);
  KTCoDT = base;
  DT = t;
  VTDT = p;
  WriteAt(p, toned);
  return true;
}

bool CWord::RemoveTone() {
  if (DT < 0 || CD0TV > 0) return Refuse();
  DropTone();
  return true;
}

bool CWord::ToggleStroke() {
  if (CDPAD == 1 && Length() >= 1) {
    if (CacKTThuong[0] == u'd') {
      WriteAt(0, u'đ');
      return true;
    }
    if (CacKTThuong[0] == u'đ') {
      WriteAt(0, u'd');
      return Refuse();
    }
  }
  return Refuse();
}

bool CWord::SetMark(int i, char16_t c) {
  if (!CheckMark(i, c)) return Refuse();
  WriteAt(i, c);
  if (DT >= 0) MoveTone(i);
  VTDau = i;
  return true;
}

bool CWord::RemoveMarkAt() {
  if (VTDau < 0 || VTDau >= Length()) return Refuse();
  const int p = VTDau;
  if (p == VTDT && DT >= 0) {
    char16_t x = RemoveMarkToned(CacKTThuong[p]);
    if (!x) x = AddTone(RemoveMark(KTCoDT), DT);
    if (x) {
      WriteAt(p, x);
      KTCoDT = StripTone(x);
    }
  } else {
    WriteAt(p, RemoveMark(CacKTThuong[p]));
  }
  VTDau = -1;
  return Refuse();  // undo, then the key is typed as a letter
}

namespace {
// Marks the toned vowel when it is base, else the first nucleus letter equal to base.
int FirstBase(const CWord& w, char16_t base) {
  if (w.DT >= 0 && w.KTCoDT == base) return w.VTDT;
  for (int i = w.CDPAD; i < w.CDPAD + w.CDNA && i < w.Length(); ++i) {
    if (w.CacKTThuong[i] == base) return i;
  }
  return -1;
}
}  // namespace

bool CWord::ApplyMark2(char16_t base, char16_t marked) {
  if (CDNA <= 0) return Refuse();
  if (VTDau < 0) {
    const int i = FirstBase(*this, base);
    return i >= 0 ? SetMark(i, marked) : Refuse();
  }
  if (marked == KTCoDT || (VTDau < Length() && marked == CacKTThuong[VTDau])) return RemoveMarkAt();
  return Refuse();
}

bool CWord::ApplyMark3(char16_t base, char16_t marked, char16_t other) {
  if (CDNA <= 0) return Refuse();
  if (VTDau < 0) {
    const int i = FirstBase(*this, base);
    return i >= 0 ? SetMark(i, marked) : Refuse();
  }
  if (VTDau >= Length()) return Refuse();
  const char16_t cur = DT >= 0 ? KTCoDT : CacKTThuong[VTDau];
  if (cur == marked) return RemoveMarkAt();
  if (cur == other) return SetMark(VTDau, marked);
  return Refuse();
}

// Rewrites the nucleus from one spelling to another of the same length,
// from the end towards the start, then puts the tone where it now belongs.
void CWord::RewriteNucleus(std::u16string_view from, std::u16string_view to, bool keepMark) {
  VTDau = -1;
  if (keepMark) {
    for (int j = static_cast<int>(to.size()) - 1; j >= 0; --j) {
      if (IndexIn(kMarkLetters, to[j]) >= 0) {
        VTDau = CDPAD + j;
        break;
      }
    }
  }
  for (int j = static_cast<int>(to.size()) - 1; j >= 0; --j) {
    if (to[j] == from[j]) continue;
    const int pos = CDPAD + j;
    if (pos == VTDT && DT >= 0) {
      KTCoDT = to[j];
      WriteAt(pos, AddTone(to[j], DT));
    } else {
      WriteAt(pos, to[j]);
    }
  }
  if (DT >= 0) ReplaceTone();
}

bool CWord::ApplyMarkGroup(const CVowelGroupTable& forward, const CVowelGroupTable& undo) {
  if (CDNA <= 0) return Refuse();
  // A copy: the rewrite below writes over the letters it reads.
  NucleusText text(*this);
  text.Own();
  const std::u16string_view n = text;
  const std::u16string_view q = forward.Find(n);
  if (q.size() == n.size()) {
    if (CheckSyllable(q)) {
      RewriteNucleus(n, q, true);
      return true;
    }
    // uo / uô with the horn go straight to ươ where uơ cannot stand.
    if (q == u"uơ" && CheckSyllable(u"ươ")) {
      RewriteNucleus(n, u"ươ", true);
      return true;
    }
  }
  const std::u16string_view r = undo.Find(n);
  if (!r.empty() && r.size() == n.size()) {
    RewriteNucleus(n, r, false);
    return Refuse();  // undo, then the key is typed as a letter
  }
  return Refuse();
}

// True when appending the vowel v (lower case) could never leave the word
// Vietnamese, so that trying it (a whole reparse) can be skipped. A necessary
// condition of InsertText's success only: false does not promise success.
bool CWord::AppendedVowelCannotStand(char16_t v) const {
  if (CD0TV > 0) return false;  // InsertText decides these itself
  const size_t len = CacKTThuong.size();
  // The same letter again takes the first one back: that path must run.
  if (len > 0 && CacKTThuong[len - 1] == v) return false;
  // After a final the new vowel is never part of the final: it is left over.
  if (WA == 2) return true;
  if (WA != 1) return false;
  const CGhepVan* g = Tables();
  if (g == nullptr) return true;
  // The new nucleus is the old one (less the i of "gi") and v, without tones.
  size_t start = static_cast<size_t>(CDPAD);
  if (start >= len) return false;
  if (CacKTThuong[start] == u'i' && InitialView() == u"g") ++start;
  if (len - start + 1 > 3) return true;
  char16_t buf[3];
  size_t m = 0;
  for (size_t i = start; i < len; ++i) buf[m++] = StripTone(CacKTThuong[i]);
  buf[m++] = v;
  return g->FindNucleus(std::u16string_view(buf, m)) < 0;
}

bool CWord::HornOrU() {
  const bool afterUO =
      WA == 1 && Raw.size() >= 3 && ToLower(Raw[Raw.size() - 3]) == u'u';
  if (!afterUO && !AppendedVowelCannotStand(u'ư') && InsertText(u"ư")) return true;
  ThemPhim = false;
  return ApplyMarkGroup(vowelgroups::HornBreve(), vowelgroups::HornBreveUndo());
}

bool CWord::ApplyFunction(int function) {
  using namespace vowelgroups;
  switch (function) {
    case kFnXoaDauThanh: return RemoveTone();
    case kFnDauSac:
    case kFnDauHuyen:
    case kFnDauHoi:
    case kFnDauNga:
    case kFnDauNang: return SetTone(function - kFnDauSac);
    case kFnD_DD: return ToggleStroke();
    case kFnAEO_Circumflex: return ApplyMarkGroup(Circumflex(), CircumflexUndo());
    case kFnA_Circumflex: return ApplyMark3(u'a', u'â', u'ă');
    case kFnE_Circumflex: return ApplyMark2(u'e', u'ê');
    case kFnO_Circumflex: return ApplyMarkGroup(OCircumflex(), OCircumflexUndo());
    case kFnUOA_HornBreve: return ApplyMarkGroup(HornBreve(), HornBreveUndo());
    case kFnUO_Horn: return ApplyMarkGroup(Horn(), HornUndo());
    case kFnU_Horn: return ApplyMark2(u'u', u'ư');
    case kFnO_Horn: return ApplyMark3(u'o', u'ơ', u'ô');
    case kFnA_Breve: return ApplyMark3(u'a', u'ă', u'â');
    case kFnUOA_HornBreve_U: return HornOrU();
    default: break;
  }
  if (function >= kFnInsertFirst && function < kFnInsertFirst + 8) {
    return InsertText(kInsertLower[function - kFnInsertFirst]);
  }
  if (function >= kFnInsertFirst + 8 && function <= kFnInsertLast) {
    return InsertText(kInsertUpper[function - kFnInsertFirst - 8]);
  }
  return Refuse();
}

}  // namespace tavirel
