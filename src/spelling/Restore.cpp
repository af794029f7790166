// The restore hotkey: undo the last replacement, turn the current word back
// into its keys, bring back a word whose keys were restored automatically, or
// turn the last word back into its keys.
#include <algorithm>

#include "common/Letters.h"
#include "service/CTypingContext.h"

namespace tavirel {

namespace {

bool EndsWith(std::u16string_view text, std::u16string_view tail) {
  return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

bool IsLetterOrDigit(char16_t c) {
  if ((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9')) return true;
  return c >= 128 && (letters::IsLower(c) || letters::IsUpper(c));
}

}  // namespace

void CTypingContext::RestoreLastWord() {
  // The loose characters after the last finished word.
  auto trailingText = [this]() -> std::u16string {
    if (HasWord) return {};
    const size_t n = std::min(static_cast<size_t>(LooseCount), RecentText.size());
    return RecentText.substr(RecentText.size() - n);
  };

  while (!Replacements.empty()) {
    const Replacement pair = std::move(Replacements.back());
    Replacements.pop_back();
    const std::u16string& before = pair.first;
    const std::u16string& after = pair.second;
    if (after.empty()) continue;
    const bool alnum = IsLetterOrDigit(after.back());
    std::u16string text = RecentText;
    if (HasWord) {
      text += Word.CacKT;
    } else if (alnum) {
      text.resize(text.size() - std::min(text.size(), static_cast<size_t>(LooseCount)));
    }
    if (!EndsWith(text, after)) continue;
    std::u16string from = after;
    std::u16string to = before;
    if (alnum) {
      const std::u16string trailing = trailingText();
      from += trailing;
      to += trailing;
    }
    ReplaceOnScreen(from, to);
    TrimRun(from.size());
    FeedRun(to);
    return;
  }

  if (HasWord) {
    Word.CopyTo(Before);
    BeforeLength = Before.CacKT.size();
    RestoreRawOf(Word, Before);
    return;
  }

  if (HasAutoRestored) {
    HasAutoRestored = false;
    if (Words.empty()) return;
    const std::u16string trailing = trailingText();
    const std::u16string from = Words.back().CacKT + trailing;
    const bool cut = AutoRestored.CD0TV != 0 || AutoRestored.IsIncomplete();
    std::u16string to = AutoRestored.CacKT;
    if (cut) {
      to.resize(to.size() - std::min(to.size(), static_cast<size_t>(AutoRestored.CD0TV)));
    } else {
      to += trailing;
    }
    ReplaceOnScreen(from, to);
    RecentText.resize(RecentText.size() - std::min(RecentText.size(), from.size()));
    PopWord();
    if (cut) {
      // The Vietnamese part becomes the current word again, without the space.
      AutoRestored.CopyTo(Word);
      const size_t keep = to.size();
      Word.CacKT.resize(keep);
      Word.CacKTThuong.resize(keep);
      Word.CD0TV = 0;
      Word.VTThayDoi = -1;
      Word.ThemPhim = false;
      HasWord = true;
      LooseCount = 0;
    } else {
      RecentText += to;
      PushWord(AutoRestored);
      Words.back().VTThayDoi = -1;
    }
    return;
  }

  if (!Words.empty() && Words.back().RawDiffers()) {
    CWord& last = Words.back();
    const std::u16string trailing = trailingText();
    const std::u16string from = last.CacKT + trailing;
    last.VTThayDoi = -1;
    last.RestoreRaw();
    last.VTThayDoi = -1;
    const std::u16string to = last.CacKT + trailing;
    ReplaceOnScreen(from, to);
    RecentText.resize(RecentText.size() - std::min(RecentText.size(), from.size()));
    RecentText += to;
  }
}

}  // namespace tavirel
