// Composed text on the word: appending and re-parsing text that may carry
// marks and tones, restoring the raw keys, swapping the initial or final
// consonant, and the fixed-text bindings.
#include <algorithm>

#include "common/Letters.h"
#include "engine/CWord.h"
#include "spelling/CGhepVan.h"

namespace tavirel {

using namespace letters;

namespace {

constexpr std::u16string_view kMarkedVowels = u"âăêôơư";

bool HasUpperLetter(std::u16string_view s) {
  for (char16_t c : s) {
    if (IsUpper(c)) return true;
  }
  return false;
}

// True when s has capitals and no small letters.
bool AllCaps(std::u16string_view s) {
  bool upper = false;
  for (char16_t c : s) {
    if (IsLower(c)) return false;
    if (IsUpper(c)) upper = true;
  }
  return upper;
}

}  // namespace

bool CWord::Refuse() {
  ThemPhim = true;
  return false;
}

void CWord::FromText(std::u16string_view text) {
  Reset();
  AppendComposed(text, true);
}

void CWord::AppendComposed(std::u16string_view text, bool withRaw) {
  const size_t n = text.size();
  CacKT.append(text);
  for (char16_t c : text) CacKTThuong.push_back(ToLower(c));
  if (withRaw) Raw.append(text);
  if (CD0TV > 0) {
    CD0TV += static_cast<int32_t>(n);
    return;
  }
  Reparse();
}

// Checks a nucleus candidate (a view of CacKTThuong starting at start) and,
// when it passes, takes its tone and mark as the word's.
bool CWord::ParseNucleusPrefix(std::u16string_view cand, int start, bool withInitial) {
  const CGhepVan* g = Tables();
  if (!g || cand.empty() || cand.size() > 3) return false;
  char16_t buf[3];
  const int m = static_cast<int>(cand.size());
  std::copy(cand.begin(), cand.end(), buf);
  int toneIdx = -1;
  for (int j = m - 1; j >= 0; --j) {
    if (ToneOf(buf[j]) >= 0) {
      toneIdx = j;
      break;
    }
  }
  int tone = -1;
  char16_t base = 0;
  if (toneIdx >= 0) {
    tone = ToneOf(buf[toneIdx]);
    base = StripTone(buf[toneIdx]);
    buf[toneIdx] = base;
  }
  bool diacritics = toneIdx >= 0;
  for (int j = 0; j < m; ++j) {
    if (ToneOf(buf[j]) >= 0) return false;  // a second tone
    if (HasDiacritic(buf[j])) diacritics = true;
  }
  const std::u16string_view n(buf, m);
  bool ok;
  if (!withInitial) {
    ok = diacritics ? g->IsNucleus(n) : g->IsBareNucleus(n);
  } else {
    ok = diacritics ? g->InitialAllowsNucleus(InitialView(), n)
                    : g->InitialAllowsBareNucleus(InitialView(), n);
  }
  if (!ok) return false;
  DT = tone;
  VTDT = toneIdx >= 0 ? start + toneIdx : -1;
  KTCoDT = base;
  VTDau = -1;
  if (toneIdx >= 0 && !IsPlainVowel(base)) {
    VTDau = VTDT;
  } else {
    for (int j = m - 1; j >= 0; --j) {
      if (IndexIn(kMarkedVowels, buf[j]) >= 0) {
        VTDau = start + j;
        break;
      }
    }
  }
  return true;
}

void CWord::Reparse() {
  const CGhepVan* g = Tables();
  const std::u16string_view s(CacKTThuong);
  const int len = Length();
  bool ran = false;

  if (WA == 0) {
    int k = 0;
    if (s.substr(0, 2) == u"qu") {
      k = 2;
    } else {
      while (k < len && IsConsonant(s[k])) ++k;
    }
    if (k > 0 && (!g || g->FindInitial(s.substr(0, k)) < 0)) {
      while (k > 0 && (!g || g->FindInitial(s.substr(0, k)) < 0)) --k;
      CDPAD = k;
      CDNA = CDPAC = 0;
      CD0TV = len - k;
      return;
    }
    CDPAD = k;
    ran = true;
  }

  if (ran || WA == 1) {
    int start = CDPAD;
    int e = start;
    while (e < len && IsVowelForm(s[e])) ++e;
    std::u16string_view cand = s.substr(start, e - start);
    if (cand.size() > 1 && cand[0] == u'i' && InitialView() == u"g" && g &&
        g->FindInitial(u"gi") >= 0) {
      ++CDPAD;
      ++start;
      cand.remove_prefix(1);
    }
    DT = VTDT = VTDau = -1;
    KTCoDT = 0;
    CDNA = CDPAC = 0;
    WA = 0;
    int m = static_cast<int>(cand.size());
    while (m > 0 && !ParseNucleusPrefix(cand.substr(0, m), start, CDPAD > 0)) --m;
    if (m == 0) {
      CD0TV = len - CDPAD;
      return;
    }
    CDNA = m;
    WA = 1;
    if (m < static_cast<int>(cand.size())) {
      CD0TV = len - CDPAD - CDNA;
      return;
    }
  }

  if (WA >= 1 && g) {
    const int fstart = CDPAD + CDNA;
    int e = fstart;
    while (e < len && IsConsonant(s[e])) ++e;
    const std::u16string_view cand = s.substr(fstart, e - fstart);
    const NucleusText text(*this);
    const std::u16string_view nucleus = text;
    bool diacritics = DT >= 0 || VTDau >= 0;
    for (char16_t c : nucleus) diacritics = diacritics || HasDiacritic(c);
    int m = static_cast<int>(cand.size());
    while (m > 0) {
      const std::u16string_view f = cand.substr(0, m);
      if (diacritics ? g->RhymeAllowsFinal(InitialView(), nucleus, f)
                     : g->BareNucleusAllowsFinal(nucleus, f)) {
        break;
      }
      --m;
    }
    CDPAC = m;
    WA = m > 0 ? 2 : 1;
  }
  CD0TV = len - CDPAD - CDNA - CDPAC;
}

void CWord::RestoreRaw() {
  size_t n = 0;
  while (n < CacKT.size() && n < Raw.size() && CacKT[n] == Raw[n]) ++n;
  const bool same = n == CacKT.size() && n == Raw.size();
  scratch_ = Raw;
  Reset();
  AppendComposed(scratch_, true);
  if (!same) LowerChange(static_cast<int>(n));
}

void CWord::ReplaceInitial(std::u16string_view text) {
  const int oldLen = std::min(CDPAD, Length());
  const int newLen = static_cast<int>(text.size());
  const int d = newLen - oldLen;
  if (VTDau >= 0) VTDau += d;
  if (VTDT >= 0) VTDT += d;
  const bool caps = AllCaps(std::u16string_view(CacKT).substr(oldLen));
  scratch_.clear();
  scratch2_.clear();
  for (int j = 0; j < newLen; ++j) {
    const char16_t c = ToLower(text[j]);
    const bool up = caps || (j < oldLen && IsUpper(CacKT[j]));
    scratch_.push_back(up ? ToUpper(c) : c);
    scratch2_.push_back(c);
  }
  int diff = 0;
  while (diff < oldLen && diff < newLen && CacKT[diff] == scratch_[diff]) ++diff;
  const bool same = oldLen == newLen && diff == newLen;
  CacKT.replace(0, oldLen, scratch_);
  CacKTThuong.replace(0, oldLen, scratch2_);
  CDPAD = newLen;
  if (!same) LowerChange(diff);
}

void CWord::ReplaceFinal(std::u16string_view text) {
  const int start = std::min(CDPAD + CDNA, Length());
  const int oldLen = std::min(CDPAC, Length() - start);
  const int newLen = static_cast<int>(text.size());
  const bool caps = AllCaps(std::u16string_view(CacKT).substr(0, start));
  scratch_.clear();
  scratch2_.clear();
  for (int j = 0; j < newLen; ++j) {
    const char16_t c = ToLower(text[j]);
    const bool up = caps || (j < oldLen && IsUpper(CacKT[start + j]));
    scratch_.push_back(up ? ToUpper(c) : c);
    scratch2_.push_back(c);
  }
  int diff = 0;
  while (diff < oldLen && diff < newLen && CacKT[start + diff] == scratch_[diff]) ++diff;
  const bool same = oldLen == newLen && diff == newLen;
  CacKT.replace(start, oldLen, scratch_);
  CacKTThuong.replace(start, oldLen, scratch2_);
  CDPAC = newLen;
  if (CDNA > 0) WA = CDPAC > 0 ? 2 : 1;
  if (!same) LowerChange(start + diff);
}

bool CWord::InsertText(std::u16string_view text) {
  if (text.empty()) return Refuse();
  std::u16string t(text);
  if (IsUpper(PhimGo) && !HasUpperLetter(t)) {
    for (auto& c : t) c = ToUpper(c);
  }
  const size_t n = t.size();
  const size_t len = CacKTThuong.size();
  bool again = n <= len;
  for (size_t j = 0; again && j < n; ++j) again = CacKTThuong[len - n + j] == ToLower(t[j]);
  if (again) {
    // The same binding was just used: take its text out; the key follows as a letter.
    scratch2_.assign(CacKT, 0, len - n);
    std::swap(Raw, scratch_);
    Reset();
    AppendComposed(scratch2_, false);
    std::swap(Raw, scratch_);
    LowerChange(Length());
    ThemPhim = true;
    return true;
  }
  if (CD0TV > 0) return Refuse();
  // Try the text on the word itself and roll back when it is no longer
  // Vietnamese (appending changes only the counts, the marks and the tail).
  const int oldLen = Length();
  const int32_t s[] = {CDPAD, CDNA, CDPAC, WA, VTDau, VTDT, DT};
  const char16_t oldKTCoDT = KTCoDT;
  AppendComposed(t, false);
  if (CD0TV > 0) {
    CacKT.resize(oldLen);
    CacKTThuong.resize(oldLen);
    CDPAD = s[0], CDNA = s[1], CDPAC = s[2], WA = s[3], VTDau = s[4], VTDT = s[5], DT = s[6];
    KTCoDT = oldKTCoDT;
    CD0TV = 0;
    return Refuse();
  }
  LowerChange(oldLen);
  return true;
}

}  // namespace tavirel
