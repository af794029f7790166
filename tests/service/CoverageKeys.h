#pragma once
// The keys a typist presses for a Vietnamese syllable in each shipped typing
// method, and the forms the syllable must compose to.
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/Letters.h"

namespace tavirel::coverage {

enum class KeyOrder {
  ToneAtEnd,       // marks after their letter, the tone key last: tieengs
  ToneAfterVowel,  // the tone key right after the toned vowel: tieesng
};
enum class LetterCase { Lower, Title, Upper };

// How one method spells marks and tones.
struct Spelling {
  std::u16string_view name;
  char16_t tones[5];     // sắc huyền hỏi ngã nặng
  char16_t circumflex;   // 0: the letter again (Telex aa ee oo)
  char16_t breve;
  char16_t horn;
  char16_t stroke;       // after the d
  bool hornOnEachLetter;  // ươ as u+o+ (VIQR) rather than uo + one horn key
  bool literalDoubles;    // a plain vowel doubled is typed three times (ooo)
};

inline const Spelling* SpellingOf(std::u16string_view method) {
  static const Spelling spellings[] = {
      {u"Telex 2", {u's', u'f', u'r', u'x', u'j'}, 0, u'w', u'w', u'd', false, true},
      {u"Telex", {u's', u'f', u'r', u'x', u'j'}, 0, u'w', u'w', u'd', false, true},
      {u"VNI", {u'1', u'2', u'3', u'4', u'5'}, u'6', u'8', u'7', u'9', false, false},
      {u"VIQR", {u'\'', u'`', u'?', u'~', u'.'}, u'^', u'(', u'+', u'd', true, false},
  };
  for (const auto& s : spellings)
    if (s.name == method) return &s;
  return nullptr;
}

// One letter of a syllable: its plain base, its mark and its tone.
struct Letter {
  char16_t base = 0;   // a..z
  char16_t mark = 0;   // '^' circumflex, '(' breve, '+' horn, '-' stroke
  int tone = -1;
};

inline std::vector<Letter> Decompose(std::u16string_view lowerForm) {
  std::vector<Letter> out;
  for (char16_t c : lowerForm) {
    Letter l;
    l.tone = letters::ToneOf(c);
    const char16_t untoned = l.tone >= 0 ? letters::StripTone(c) : letters::ToLower(c);
    l.base = letters::RemoveMark(untoned);
    switch (untoned) {
      case u'â': case u'ê': case u'ô': l.mark = u'^'; break;
      case u'ă': l.mark = u'('; break;
      case u'ơ': case u'ư': l.mark = u'+'; break;
      case u'đ': l.mark = u'-'; break;
      default: break;
    }
    out.push_back(l);
  }
  return out;
}

inline std::u16string WithCase(std::u16string_view lowerForm, LetterCase lc) {
  std::u16string s(lowerForm);
  if (lc == LetterCase::Upper) return letters::ToUpper(s);
  if (lc == LetterCase::Title && !s.empty()) s[0] = letters::ToUpper(s[0]);
  return s;
}

// True when the syllable holds ươ (with or without a tone).
inline bool HasHornPair(std::u16string_view form) {
  const std::vector<Letter> ls = Decompose(letters::ToLower(form));
  for (size_t i = 0; i + 1 < ls.size(); ++i)
    if (ls[i].base == u'u' && ls[i].mark == u'+' && ls[i + 1].base == u'o' && ls[i + 1].mark == u'+') return true;
  return false;
}

// The key sequence for a lower-case syllable form.
inline std::u16string Keys(const Spelling& sp, std::u16string_view form, KeyOrder order, LetterCase lc) {
  const std::vector<Letter> ls = Decompose(letters::ToLower(form));
  std::u16string keys;
  auto key = [&](char16_t k) {
    const bool upper = lc == LetterCase::Upper || (lc == LetterCase::Title && keys.empty());
    keys.push_back(upper ? letters::ToUpper(k) : k);
  };
  int tone = -1;  // the tone key still to press
  for (size_t i = 0; i < ls.size(); ++i) {
    const Letter& l = ls[i];
    // Telex: a plain vowel typed right after the same plain vowel would add a
    // circumflex; the third press takes it off again and leaves the pair.
    if (sp.literalDoubles && i > 0 && l.mark == 0 && ls[i - 1].mark == 0 && ls[i - 1].base == l.base &&
        (l.base == u'a' || l.base == u'e' || l.base == u'o'))
      key(l.base);
    key(l.base);
    // The ư of a ươ pair takes its horn from the one key after the o.
    const bool hornLater = !sp.hornOnEachLetter && l.mark == u'+' && l.base == u'u' && i + 1 < ls.size() &&
                           ls[i + 1].base == u'o' && ls[i + 1].mark == u'+';
    switch (l.mark) {
      case u'^': key(sp.circumflex ? sp.circumflex : l.base); break;
      case u'(': key(sp.breve); break;
      case u'-': key(sp.stroke); break;
      case u'+':
        if (!hornLater) key(sp.horn);
        break;
      default: break;
    }
    if (l.tone >= 0) tone = l.tone;
    if (order == KeyOrder::ToneAfterVowel && tone >= 0 && !hornLater) {
      key(sp.tones[tone]);
      tone = -1;
    }
  }
  if (tone >= 0) key(sp.tones[tone]);
  return keys;
}

// The forms a dictionary syllable must compose to: (new tone style, form).
// Where the styles differ (oa, oe, uy at the end without a final: hòa / hoà)
// both are listed; otherwise the syllable itself with the classic style.
inline std::vector<std::pair<bool, std::u16string>> ExpectedForms(std::u16string_view syllable) {
  std::u16string lower = letters::ToLower(syllable);
  int tone = -1;
  std::u16string plain;
  for (char16_t c : lower) {
    const int t = letters::ToneOf(c);
    if (t >= 0) tone = t;
    plain.push_back(t >= 0 ? letters::StripTone(c) : c);
  }
  const size_t n = plain.size();
  bool differs = false;
  if (tone >= 0 && n >= 2) {
    const std::u16string_view pair = std::u16string_view(plain).substr(n - 2);
    differs = pair == u"oa" || pair == u"oe" || pair == u"uy";
    if (differs && n >= 3) {
      const char16_t before = plain[n - 3];
      if (letters::IsVowelForm(before) || (pair == u"uy" && before == u'q')) differs = false;
    }
  }
  if (!differs) return {{false, lower}};
  std::u16string classic = plain, modern = plain;
  classic[n - 2] = letters::AddTone(classic[n - 2], tone);
  modern[n - 1] = letters::AddTone(modern[n - 1], tone);
  return {{false, classic}, {true, modern}};
}

}  // namespace tavirel::coverage
