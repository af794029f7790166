// What the suggestion engine is asked for after a key, and the text that
// replaces the typed one when the user picks a candidate.
#include "common/Letters.h"
#include "service/CTypingContext.h"

namespace tavirel {

void CTypingContext::SuggestionCandidates(std::vector<std::u16string>& texts) const {
  size_t n = 0;
  const auto put = [&texts, &n](std::u16string_view a, std::u16string_view b = {}, std::u16string_view c = {}) {
    if (texts.size() <= n) texts.emplace_back();
    std::u16string& t = texts[n++];
    t.assign(a);
    t.append(b);
    t.append(c);
  };
  if (HasWord && !Word.CacKT.empty()) {
    // Exactly one space between the previous word and this one.
    const bool joined = !Words.empty() && Words.back().CD0TV == 0 && !LooseStack.empty() && LooseStack.back() == 1 &&
                        !RecentText.empty() && RecentText.back() == u' ';
    if (joined) put(Words.back().CacKT, u" ", Word.CacKT);
    put(Word.CacKT);
  } else if (!HasWord && !Words.empty() && Words.back().CD0TV == 0 && !Words.back().CacKT.empty()) {
    if (LooseCount == 0) {
      put(Words.back().CacKT);
    } else if (LooseCount == 1 && !RecentText.empty() && RecentText.back() == u' ') {
      put(Words.back().CacKT, u" ");
    }
  }
  texts.resize(n);
}

std::u16string CTypingContext::AcceptSuggestion(std::u16string_view typed, std::u16string_view candidate) {
  std::u16string text(candidate);
  // Each word with the user's tone placement.
  CWord piece(this);
  for (size_t i = 0; i < text.size();) {
    if (!IsLetter(text[i])) {
      ++i;
      continue;
    }
    size_t j = i;
    while (j < text.size() && IsLetter(text[j])) ++j;
    piece.FromText(std::u16string_view(text).substr(i, j - i));
    if (piece.CD0TV == 0 && piece.DT >= 0) {
      piece.ReplaceTone();
      if (piece.CacKT.size() == j - i) text.replace(i, j - i, piece.CacKT);
    }
    i = j;
  }
  // The case of what was typed.
  bool anyLetter = false;
  bool allUpper = true;
  for (const char16_t c : typed) {
    if (!IsLetter(c)) continue;
    anyLetter = true;
    if (!letters::IsUpper(c)) allUpper = false;
  }
  if (anyLetter && allUpper) {
    text = letters::ToUpper(text);
  } else if (!typed.empty() && letters::IsUpper(typed[0]) && !text.empty() && letters::IsLower(text[0])) {
    text[0] = letters::ToUpper(text[0]);
  }
  std::u16string replacement = text + u' ';
  AddReplacement(typed, replacement);
  ReplaceOnScreen(typed, replacement);
  TrimRun(typed.size());
  FeedRun(replacement);
  return text;
}

}  // namespace tavirel
