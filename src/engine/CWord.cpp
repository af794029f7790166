// The word model: fields, the letter-by-letter parse, Backspace, the
// syllable checks and the read-only views.
#include "engine/CWord.h"

#include <algorithm>
#include <iterator>

#include "common/Letters.h"
#include "spelling/CGhepVan.h"

namespace tavirel {

using namespace letters;

namespace {

// Texts of at most three units packed into one number (length on top), so
// that a short list is searched by comparing numbers.
constexpr uint64_t PackShort(std::u16string_view s) {
  uint64_t key = s.size();
  for (char16_t c : s) key = (key << 16) | c;
  return key;
}

template <size_t N>
struct ShortList {
  uint64_t keys[N] = {};
  constexpr explicit ShortList(const std::u16string_view (&list)[N]) {
    for (size_t i = 0; i < N; ++i) keys[i] = PackShort(list[i]);
  }
  bool Has(std::u16string_view s) const {
    if (s.size() > 3) return false;
    const uint64_t key = PackShort(s);
    for (uint64_t k : keys) {
      if (k == key) return true;
    }
    return false;
  }
};

// Nucleus clusters a typed vowel may extend a bare nucleus into.
constexpr std::u16string_view kPlainClusters[] = {
    u"ai",  u"ao",  u"au",  u"ay", u"eo",  u"eu",  u"ia",  u"ie",  u"ieu", u"iu", u"oa",
    u"oai", u"oao", u"oay", u"oe", u"oeo", u"oi",  u"oo",  u"ua",  u"uay", u"ue", u"ui",
    u"uo",  u"uoi", u"uou", u"uu", u"uy",  u"uya", u"uye", u"uyu", u"ye",  u"yeu"};

// Nuclei that cannot end a syllable.
constexpr std::u16string_view kNeedFinal[] = {u"â",  u"ă",  u"iê", u"oă",  u"oo",
                                             u"uâ", u"uô", u"ươ", u"uyê", u"yê"};

constexpr ShortList kNeedFinalKeys(kNeedFinal);

// kNeedFinalKeys.Has for a nucleus of one to three units, decided by its last
// unit first (most nuclei end in a letter no listed one ends in).
inline bool NeedsFinal(const char16_t* n, size_t size) {
  const char16_t last = n[size - 1];
  if (size == 1) return last == u'â' || last == u'ă';
  if (size == 3) return last == u'ê' && n[0] == u'u' && n[1] == u'y';
  switch (last) {
    case u'ê': return n[0] == u'i' || n[0] == u'y';
    case u'ă': return n[0] == u'o';
    case u'o': return n[0] == u'o';
    case u'â':
    case u'ô': return n[0] == u'u';
    case u'ơ': return n[0] == u'ư';
    default: return false;
  }
}

// The clusters as bits: two or three plain vowels (a e i o u y, numbered 0
// to 5) make a number below 252, the three-letter ones counted after the 36
// two-letter ones.
constexpr int PlainVowelNumber(char16_t c) {
  switch (c) {
    case u'a': return 0;
    case u'e': return 1;
    case u'i': return 2;
    case u'o': return 3;
    case u'u': return 4;
    case u'y': return 5;
    default: return -1;
  }
}

constexpr int ClusterNumber(std::u16string_view s) {
  if (s.size() < 2 || s.size() > 3) return -1;
  int n = 0;
  for (char16_t c : s) {
    const int v = PlainVowelNumber(c);
    if (v < 0) return -1;
    n = n * 6 + v;
  }
  return s.size() == 3 ? 36 + n : n;
}

struct ClusterBits {
  uint64_t bits[4] = {};
  constexpr ClusterBits() {
    for (std::u16string_view s : kPlainClusters) {
      const int n = ClusterNumber(s);
      bits[n / 64] |= uint64_t{1} << (n % 64);
    }
  }
  bool Has(std::u16string_view s) const {
    const int n = ClusterNumber(s);
    return n >= 0 && ((bits[n / 64] >> (n % 64)) & 1) != 0;
  }
};

constexpr ClusterBits kPlainClusterKeys;

bool IsStopFinal(std::u16string_view final) {
  return final == u"c" || final == u"ch" || final == u"p" || final == u"t";
}

// Whether some final that the bare nucleus may take begins with prefix. The
// first letter of a final is often a final of its own (c, n) but not after
// every nucleus: "ich", "oong", "uych" only exist with the whole final.
bool BareAllowsFinalPrefix(const CGhepVan& g, std::u16string_view bare, std::u16string_view prefix) {
  if (g.BareNucleusAllowsFinal(bare, prefix)) return true;
  for (const auto& entry : g.Finals()) {
    for (const auto& f : entry) {
      if (f.size() > prefix.size() && std::u16string_view(f).substr(0, prefix.size()) == prefix &&
          g.BareNucleusAllowsFinal(bare, f)) {
        return true;
      }
    }
  }
  const auto it = g.SpecialWords().find(bare);
  return it != g.SpecialWords().end() &&
         std::u16string_view(it->second).substr(0, prefix.size()) == prefix;
}

}  // namespace

CWord::CWord(CWordOwner* owner) : Owner(owner) {
  Raw.reserve(32);
  CacKT.reserve(32);
  CacKTThuong.reserve(32);
  scratch_.reserve(32);
}

void CWord::NucleusText::Own() {
  if (owned_) return;
  owned_ = true;
  if (size_ <= std::size(units_)) {
    for (size_t i = 0; i < size_; ++i) units_[i] = data_[i];
    data_ = units_;
  } else {
    long_.emplace(data_, size_);
    data_ = long_->data();
  }
}

void CWord::NucleusText::Set(size_t i, char16_t c) {
  if (i >= size_) return;
  Own();
  (data_ == units_ ? units_ : long_->data())[i] = c;
}

void CWord::CopyTo(CWord& other) const {
  other.Raw = Raw;
  other.CacKTThuong = CacKTThuong;
  CopyShownTo(other);
}

void CWord::CopyShownTo(CWord& other) const {
  other.CacKT = CacKT;
  CopyScalarsTo(other);
}

void CWord::WriteAt(int i, char16_t c) {
  if (i < 0 || i >= Length()) return;
  const bool upper = CacKT[i] != CacKTThuong[i];
  CacKTThuong[i] = c;
  CacKT[i] = upper ? ToUpper(c) : c;
  LowerChange(i);
}

// ---- views ----

std::u16string_view CWord::InitialView() const {
  return std::u16string_view(CacKTThuong).substr(0, CDPAD);
}

std::u16string_view CWord::FinalView(int cdpac) const {
  const size_t start = static_cast<size_t>(CDPAD + CDNA);
  if (start >= CacKTThuong.size()) return {};
  return std::u16string_view(CacKTThuong).substr(start, cdpac);
}

std::u16string CWord::Nucleus() const {
  std::u16string n;
  if (CDNA <= 0 || CDPAD + CDNA > Length()) return n;
  n.assign(CacKTThuong, CDPAD, CDNA);
  if (VTDT >= CDPAD && VTDT < CDPAD + CDNA && KTCoDT != 0) n[VTDT - CDPAD] = KTCoDT;
  return n;
}

std::u16string CWord::Initial() const { return std::u16string(InitialView()); }
std::u16string CWord::Final() const { return std::u16string(FinalView(CDPAC)); }

std::u16string CWord::Rhyme() const {
  if (CDPAD >= Length()) return {};
  return CacKTThuong.substr(CDPAD);
}

bool CWord::RawDiffers() const { return Raw != CacKTThuong; }

// ---- checks ----

bool CWord::CheckSyllableImpl(std::u16string_view nucleus, bool exact, int cdpac) const {
  const CGhepVan* g = Tables();
  if (!g) return false;
  const std::u16string_view initial = InitialView();
  const std::u16string_view final = FinalView(cdpac);
  if (initial.empty() && final.empty()) return nucleus.size() < 4 && g->FindNucleus(nucleus) >= 0;
  if (initial.empty()) {
    return exact ? g->NucleusAllowsFinal(nucleus, final) : g->NucleusAllowsFinalPrefix(nucleus, final);
  }
  if (!g->InitialAllowsNucleus(initial, nucleus)) return false;
  if (final.empty()) return true;
  return exact ? g->RhymeAllowsFinal(initial, nucleus, final)
               : g->RhymeAllowsFinalPrefix(initial, nucleus, final);
}

bool CWord::CheckSyllable(std::u16string_view nucleus) const {
  return CheckSyllableImpl(nucleus, false, CDPAC);
}

bool CWord::CheckSyllableExact(std::u16string_view nucleus) const {
  return CheckSyllableImpl(nucleus, true, CDPAC);
}

bool CWord::CheckMark(int i, char16_t c) const {
  if (i < CDPAD || i >= CDPAD + CDNA) return false;
  NucleusText n(*this);
  n.Set(static_cast<size_t>(i - CDPAD), c);
  return CheckSyllable(n);
}

bool CWord::IsIncomplete() const {
  if (WA != 1 && WA != 2) return false;
  // Asked once per word end: the nucleus goes into a local buffer, and the
  // rhyme tables are asked the one question left once the split is known.
  const int end = CDPAD + CDNA;
  if (CDNA > 3 || CDPAD < 0 || end > Length() || (WA == 1 && CDPAC != 0)) [[unlikely]] {
    const NucleusText n(*this);
    if (WA == 1) return kNeedFinalKeys.Has(n) || (CDNA != 1 && !CheckSyllableExact(n));
    const std::u16string_view final = FinalView(CDPAC);
    if (DT >= 1 && DT <= 3 && IsStopFinal(final)) return true;
    const CGhepVan* g = Tables();
    return CDNA > 0 && (!g || !g->RhymeAllowsFinal(InitialView(), n, final));
  }
  char16_t units[3];
  const size_t size = CDNA > 0 ? static_cast<size_t>(CDNA) : 0;
  for (size_t i = 0; i < size; ++i) units[i] = CacKTThuong[static_cast<size_t>(CDPAD) + i];
  if (VTDT >= CDPAD && VTDT < end && KTCoDT != 0) units[VTDT - CDPAD] = KTCoDT;
  const std::u16string_view nucleus(units, size);
  const CGhepVan* g = Tables();

  if (WA == 1) {
    if (size > 0 && NeedsFinal(units, size)) return true;
    if (CDNA == 1) return false;
    // A syllable without a final: the initial and the nucleus decide (the
    // nucleus alone when there is no initial).
    if (!g) return true;
    if (CDPAD == 0) return g->FindNucleus(nucleus) < 0;
    return !g->InitialAllowsNucleus(InitialView(), nucleus);
  }
  const std::u16string_view final = FinalView(CDPAC);
  // A falling tone on a stop final cannot end a syllable.
  if (DT >= 1 && DT <= 3 && IsStopFinal(final)) return true;
  if (CDNA <= 0) return false;
  if (!g) return true;
  // Only "ê" reads the initial (gi + ê is the nucleus iê).
  if (size == 1 && units[0] == u'ê') return !g->RhymeAllowsFinal(InitialView(), nucleus, final);
  return !g->NucleusAllowsFinal(nucleus, final);
}

// ---- tone helpers shared with the mark functions ----

void CWord::MoveTone(int i) {
  if (DT < 0 || i < 0 || i >= Length()) return;
  if (VTDT >= 0 && VTDT != i) WriteAt(VTDT, KTCoDT);
  KTCoDT = StripTone(CacKTThuong[i]);
  const char16_t toned = AddTone(KTCoDT, DT);
  if (toned) WriteAt(i, toned);
  VTDT = i;
}

void CWord::DropTone() {
  if (VTDT >= 0 && KTCoDT != 0) WriteAt(VTDT, KTCoDT);
  DT = VTDT = -1;
  KTCoDT = 0;
}

// Moves an existing tone to p, lowering VTThayDoi to both positions.
void CWord::ReplaceToneAt(int p) {
  if (DT < 0 || VTDT < 0 || p < 0 || p == VTDT) return;
  MoveTone(p);
}

bool CWord::ReplaceTone() {
  if (DT < 0 || VTDT < 0) return false;
  const int p = TonePosition();
  if (p < 0 || p == VTDT) return false;
  ReplaceToneAt(p);
  return true;
}

bool CWord::ChangeTone(int t) {
  if (DT < 0 || VTDT < 0 || t < 0 || t > 4 || t == DT) return false;
  const char16_t toned = AddTone(KTCoDT, t);
  if (!toned) return false;
  DT = t;
  WriteAt(VTDT, toned);
  return true;
}

// ---- letter by letter ----

bool CWord::AddLetter() {
  const char16_t c = PhimThuong;
  CacKT.push_back(PhimGo);
  CacKTThuong.push_back(c);
  if (CD0TV > 0) {
    ++CD0TV;
    return false;
  }
  const CGhepVan* g = Tables();

  if (IsPlainVowel(c)) {
    if (WA == 0) {
      if (CDPAD == 1 && CacKTThuong[0] == u'q' && c == u'u') {
        CDPAD = 2;
        CDNA = 0;
        return false;
      }
      if (CDPAD > 0 && (!g || g->FindInitial(InitialView()) < 0)) {
        // The initial is unknown (a lone q): the word is not Vietnamese.
        CD0TV = 1;
        return false;
      }
      WA = 1;
      CDNA = 1;
      return false;
    }
    if (WA == 2) {
      CD0TV = 1;
      return false;
    }
    // WA == 1
    if (CDNA >= 3) {
      CD0TV = 1;
      return false;
    }
    const NucleusText nucleus(*this);
    const std::u16string_view n = nucleus;
    if (VTDau < 0) {
      if (CDPAD == 1 && CDNA == 1 && CacKTThuong[0] == u'g' && n == u"i") {
        CDPAD = 2;
        CDNA = 1;
        if (DT >= 0) {
          MoveTone(2);
          LowerChange(1);
          return true;
        }
        return false;
      }
      ++CDNA;
      if (!kPlainClusterKeys.Has(NucleusText(*this))) {
        --CDNA;
        CD0TV = 1;
        return false;
      }
      if (DT >= 0) {
        const int p = TonePosition();
        if (p >= 0 && p != VTDT) {
          MoveTone(p);
          return CDPAD + CDNA == p + 1;
        }
      }
      return false;
    }
    // A mark exists.
    if (n == u"ư" && c == u'o') {
      CDNA = 2;  // "ưo" waits for the next key
      return false;
    }
    // n has at most two letters here (three already went to CD0TV).
    char16_t buf[4];
    const std::u16string_view base = (n == u"ưo" || n == u"uơ") ? std::u16string_view(u"ươ") : n;
    const size_t m = std::min(base.size(), std::size(buf) - 1);
    for (size_t j = 0; j < m; ++j) buf[j] = base[j];
    buf[m] = c;
    const std::u16string_view cand(buf, m + 1);
    if (base.size() < 3 && g && g->FindNucleus(cand) >= 0) {
      ++CDNA;
      if (n == u"ưo") {
        WriteAt(CDPAD + 1, u'ơ');
        VTDau = CDPAD + 1;
        if (DT >= 0) {
          MoveTone(CDPAD + 1);
          LowerChange(CDPAD);
        }
      } else if (n == u"uơ") {
        WriteAt(CDPAD, u'ư');
      }
      return false;
    }
    CD0TV = 1;
    return false;
  }

  // Consonant (or any other character).
  if (WA == 0) {
    if (CDPAD == 0 && c == u'q') {
      CDPAD = 1;
      return false;
    }
    if (g && g->FindInitial(std::u16string_view(CacKTThuong).substr(0, CDPAD + 1)) >= 0) {
      ++CDPAD;
    } else {
      CD0TV = 1;
    }
    return false;
  }
  if (WA == 2) {
    const std::u16string_view final = FinalView(CDPAC + 1);
    bool ok = false;
    // A nucleus without a mark is judged by its bare form even when it
    // carries a tone: "tiéng" may still get its circumflex ("tiếng").
    if (g) {
      const NucleusText n(*this);
      ok = VTDau < 0 ? g->BareNucleusAllowsFinal(n, final)
                     : g->RhymeAllowsFinalPrefix(InitialView(), n, final);
    }
    if (ok) {
      ++CDPAC;
    } else {
      CD0TV = 1;
    }
    return false;
  }
  // WA == 1: the first letter of the final.
  const std::u16string_view one = FinalView(1);
  if (!g || (g->FindFinal(one) < 0 && !g->IsSpecialFinal(one))) {
    CD0TV = 1;
    return false;
  }
  int fix = 0;
  const NucleusText nucleus(*this);
  std::u16string_view cand = nucleus;
  if (CDNA >= 2) {
    if (cand == u"ưo") {
      fix = 1;
      cand = u"ươ";
    } else if (cand == u"uơ" && (!g->UODiKemPAC || !CheckSyllableImpl(cand, false, 1))) {
      // Widened, "uơ" keeps only the finals it was given (n, ng); any
      // other final makes it ươ as without the option (được).
      fix = 2;
      cand = u"ươ";
    }
  }
  const bool ok = VTDau < 0 ? BareAllowsFinalPrefix(*g, cand, one)
                            : CheckSyllableImpl(cand, false, 1);
  if (!ok) {
    CD0TV = 1;
    return false;
  }
  WA = 2;
  if (fix == 1) {
    WriteAt(CDPAD + 1, u'ơ');
    VTDau = CDPAD + 1;
    if (DT >= 0) MoveTone(CDPAD + 1);
    LowerChange(CDPAD);
  } else if (fix == 2) {
    WriteAt(CDPAD, u'ư');
  } else if (DT >= 0) {
    const int p = TonePositionWithFinal(1);
    if (p >= 0 && p != VTDT) MoveTone(p);
  }
  CDPAC = 1;
  return false;
}

bool CWord::RemoveLast() {
  if (CacKT.empty()) {
    Reset();
    return true;
  }
  if (!Raw.empty() && Raw.back() == CacKT.back()) Raw.pop_back();
  CacKT.pop_back();
  CacKTThuong.pop_back();
  if (CacKT.empty()) {
    Reset();
    return true;
  }
  const int removed = Length();
  if (CD0TV > 0) {
    --CD0TV;
    if (CD0TV == 0 && DT >= 0) ReplaceTone();
  } else if (CDPAC > 0) {
    --CDPAC;
    if (CDPAC == 0) {
      WA = 1;
      if (DT >= 0 && VTDau < 0) ReplaceTone();
    }
  } else if (CDNA == 0) {
    if (CDPAD > 0) --CDPAD;
  } else {
    --CDNA;
    if (VTDT == removed) {
      DT = VTDT = -1;
      KTCoDT = 0;
    }
    if (VTDau == removed) {
      VTDau = -1;
      if (CDNA > 0 && StripTone(CacKTThuong[CDPAD + CDNA - 1]) == u'ư') VTDau = CDPAD + CDNA - 1;
    }
    if (CDNA == 0) {
      WA = 0;
      if (CDPAD == 2 && CacKTThuong[0] == u'g' && CacKTThuong[1] == u'i') {
        CDPAD = 1;
        CDNA = 1;
        WA = 1;
      }
    } else if (CDNA == 2 && DT >= 0) {
      ReplaceTone();
    }
  }
  return false;
}

// ---- debug ----

namespace {
void AppendNumber(std::u16string& out, int v) {
  if (v < 0) {
    out.push_back(u'-');
    v = -v;
  }
  char16_t buf[12];
  int n = 0;
  do {
    buf[n++] = static_cast<char16_t>(u'0' + v % 10);
    v /= 10;
  } while (v > 0);
  while (n > 0) out.push_back(buf[--n]);
}
}  // namespace

std::u16string CWord::Dump() const {
  std::u16string s = u"CacKT = ";
  s += CacKT;
  s += u"\r\nRaw = ";
  s += Raw;
  const std::pair<std::u16string_view, int> fields[] = {
      {u"\r\nWA = ", WA},       {u"\r\nCDPAD = ", CDPAD}, {u"\r\nCDNA = ", CDNA},
      {u"\r\nCDPAC = ", CDPAC}, {u"\r\nCD0TV = ", CD0TV}, {u"\r\nVTDau = ", VTDau},
      {u"\r\nVTDT = ", VTDT},   {u"\r\nDT = ", DT}};
  for (const auto& [label, value] : fields) {
    s += label;
    AppendNumber(s, value);
  }
  if (KTCoDT != 0) {
    s += u"\r\nKTCoDT = ";
    s.push_back(KTCoDT);
  }
  return s;
}

}  // namespace tavirel
