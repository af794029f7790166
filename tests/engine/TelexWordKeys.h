#pragma once
// A small Telex-like key map that drives a CWord the way the typing context
// does, and the keys a typist presses for a syllable. Shared by the word tests
// and the word benchmark, so it uses no test framework.
#include <string>
#include <string_view>
#include <utility>

#include "common/Letters.h"
#include "engine/CWord.h"

namespace tavirel::test {

// Telex keys: s f r x j tones, z removes it, a e o circumflex (and a breve
// swap), w horn/breve or ư, d stroke.
inline int TelexFunction(char16_t low) {
  switch (low) {
    case u's': return kFnDauSac;
    case u'f': return kFnDauHuyen;
    case u'r': return kFnDauHoi;
    case u'x': return kFnDauNga;
    case u'j': return kFnDauNang;
    case u'z': return kFnXoaDauThanh;
    case u'a': return kFnA_Circumflex;
    case u'e': return kFnE_Circumflex;
    case u'o': return kFnO_Circumflex;
    case u'w': return kFnUOA_HornBreve_U;
    case u'd': return kFnD_DD;
    default: return -1;
  }
}

// Telex keys for a syllable: marks right after their letter (ươ as uow) and
// the tone at the end, or the tone right after the vowel that carries it.
inline std::u16string TelexKeys(std::u16string_view syl, bool toneAfterVowel) {
  static constexpr std::u16string_view kToneKeys = u"sfrxj";
  std::u16string keys;
  char16_t toneKey = 0;
  for (size_t i = 0; i < syl.size(); ++i) {
    const char16_t c = letters::StripTone(syl[i]);
    const int t = letters::ToneOf(syl[i]);
    if (c == u'ư' && i + 1 < syl.size() && letters::StripTone(syl[i + 1]) == u'ơ') {
      keys += u"uo";
      const int t2 = letters::ToneOf(syl[i + 1]);
      if (t2 >= 0) toneKey = kToneKeys[t2];
      keys += u'w';
      if (toneAfterVowel && toneKey) keys += std::exchange(toneKey, 0);
      ++i;
      continue;
    }
    switch (c) {
      case u'â': keys += u"aa"; break;
      case u'ê': keys += u"ee"; break;
      case u'ô': keys += u"oo"; break;
      case u'ă': keys += u"aw"; break;
      case u'ơ': keys += u"ow"; break;
      case u'ư': keys += u"uw"; break;
      case u'đ': keys += u"dd"; break;
      default: keys += c;
    }
    // A literal oo (xoong) needs the third o.
    if (c == u'o' && i + 1 < syl.size() && letters::StripTone(syl[i + 1]) == u'o') keys += u'o';
    if (t >= 0) toneKey = kToneKeys[t];
    if (toneAfterVowel && toneKey) keys += std::exchange(toneKey, 0);
  }
  if (toneKey) keys += toneKey;
  return keys;
}

// One key, as the typing context applies it: a bound function, else (or when
// the function leaves it to the caller) the key as a letter. Returns the
// swallow result.
inline bool TelexKey(CWord& w, char16_t key) {
  const char16_t low = letters::ToLower(key);
  const int fn = TelexFunction(low);
  w.VTThayDoi = -1;
  w.ThemPhim = false;
  w.SetKey(key, low);
  if (w.CD0TV > 0 || fn < 0 || (w.CacKT.empty() && fn < 17)) return w.AddLetter();
  bool r = w.ApplyFunction(fn);
  if (w.ThemPhim) r = w.AddLetter();
  return r;
}

}  // namespace tavirel::test
