// The user's shorthand table, consonant shorthand (f j w at the start, k g h
// at the end) and the automatic sắc tone.
#include <algorithm>
#include <array>
#include <string_view>

#include "common/Letters.h"
#include "service/CTypingContext.h"
#include "service/ShorthandLimits.h"

namespace tavirel {

namespace {

using Pair = CGhepVan::Alias;

constexpr std::array<Pair, 3> kInitialShorthand = {{{u"f", u"ph"}, {u"j", u"gi"}, {u"w", u"qu"}}};
constexpr std::array<Pair, 3> kFinalShorthand = {{{u"k", u"ch"}, {u"g", u"ng"}, {u"h", u"nh"}}};
constexpr std::array<std::u16string_view, 4> kSacOnlyFinals = {u"c", u"ch", u"p", u"t"};

bool IsLetterOrDigit(char16_t c) {
  if ((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9')) return true;
  return c >= 128 && (letters::IsLower(c) || letters::IsUpper(c));
}

bool IsCased(char16_t c) { return letters::IsUpper(c) || letters::IsLower(c); }

}  // namespace

bool CTypingContext::FindShorthand(std::u16string& typed, std::u16string& expansion) const {
  return FindShorthandIn(RecentText, typed, expansion);
}

bool CTypingContext::ShorthandAfterWord() {
  if (ShorthandKeys.empty()) return false;
  // A match looks at most at the longest abbreviation and the character
  // before it.
  size_t longest = 0;
  for (const std::u16string& key : ShorthandKeys) longest = std::max(longest, key.size());
  const size_t word = HasWord ? Word.CacKT.size() : 0;
  const size_t fromRecent = word > longest ? 0 : std::min(RecentText.size(), longest + 1 - word);
  shorthandTail_.assign(RecentText, RecentText.size() - fromRecent, fromRecent);
  if (HasWord) shorthandTail_ += Word.CacKT;
  std::u16string typed;
  std::u16string expansion;
  return FindShorthandIn(shorthandTail_, typed, expansion);
}

bool CTypingContext::FindShorthandIn(std::u16string_view recent, std::u16string& typed,
                                     std::u16string& expansion) const {
  for (size_t k = 0; k < ShorthandKeys.size() && k < ShorthandValues.size(); ++k) {
    const std::u16string_view key = ShorthandKeys[k];
    const size_t n = key.size();
    // An empty abbreviation would match everywhere; an over-long expansion
    // (a hand-edited GoTat.ini) is never typed.
    if (n == 0 || recent.size() < n || ShorthandValues[k].size() > kMaxShorthandExpansion) continue;
    // Only a whole token matches.
    if (recent.size() > n && IsLetterOrDigit(recent[recent.size() - n - 1])) continue;
    const std::u16string_view tail = recent.substr(recent.size() - n);
    bool match = true;
    for (size_t i = 0; i < n && match; ++i) {
      match = XuLyHoaThuongKhiGoTat ? letters::ToLower(tail[i]) == letters::ToLower(key[i])
                                    : tail[i] == key[i];
    }
    if (!match) continue;

    typed.assign(tail);
    expansion = ShorthandValues[k];
    if (XuLyHoaThuongKhiGoTat) {
      bool hasLetter = false;
      bool hasLower = false;
      for (char16_t c : typed) {
        if (IsCased(c)) hasLetter = true;
        if (letters::IsLower(c)) hasLower = true;
      }
      if (hasLetter && !hasLower) {
        expansion = letters::ToUpper(expansion);
      } else if (!expansion.empty() && letters::IsLower(expansion[0]) && letters::IsUpper(typed[0])) {
        expansion[0] = letters::ToUpper(expansion[0]);
      }
    }
    return true;
  }
  return false;
}

void CTypingContext::SetInitialShorthand(bool on) {
  GoTatPAD = on;
  TablesChanged();
  ghepVan_.SetShorthandInitials(on);
}

void CTypingContext::SetFinalShorthand(bool on) {
  if (on == GoTatPAC) return;
  GoTatPAC = on;
  TablesChanged();
  if (on) {
    ghepVan_.AddFinalAliases(kFinalShorthand);
  } else {
    ghepVan_.RemoveFinalAliases(kFinalShorthand);
  }
}

bool CTypingContext::ApplyInitialShorthand(CWord& word) {
  if (!GoTatPAD || word.CDPAD == 0) return false;
  const std::u16string initial = word.Initial();
  for (const Pair& p : kInitialShorthand) {
    if (initial != p.Spelling) continue;
    if (!ghepVan_.InitialAllowsNucleus(p.Existing, word.Nucleus())) return false;
    word.ReplaceInitial(p.Existing);
    return true;
  }
  return false;
}

bool CTypingContext::ApplyFinalShorthand(CWord& word) {
  if (!GoTatPAC || word.CDPAC == 0) return false;
  const std::u16string final = word.Final();
  if (word.CDPAD == 0) {
    // A word of the user's allowed list ("ah") is typed as it stands.
    const auto allowed = ghepVan_.SpecialWords().find(word.Nucleus());
    if (allowed != ghepVan_.SpecialWords().end() && allowed->second == final) return false;
  }
  for (const Pair& p : kFinalShorthand) {
    if (final != p.Spelling) continue;
    if (!ghepVan_.RhymeAllowsFinal(word.Initial(), word.Nucleus(), p.Existing)) return false;
    word.ReplaceFinal(p.Existing);
    return true;
  }
  return false;
}

bool CTypingContext::ApplyAutoSac(CWord& word) {
  if (!TuThemDauSac || word.DT != -1 || word.CDPAC == 0) return false;
  const std::u16string final = word.Final();
  for (std::u16string_view f : kSacOnlyFinals) {
    if (final == f) {
      const bool changed = word.SetTone(0);
      word.ThemPhim = false;
      return changed;
    }
  }
  return false;
}

}  // namespace tavirel
