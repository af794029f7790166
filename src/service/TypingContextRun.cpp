// The run of words: the recent text, the finished words and the loose
// characters between them, kept in step with what the application shows.
//
// Invariant: LooseStack holds one entry per started word (the finished words
// and the current one), the number of loose characters typed before it;
// LooseCount is the number typed after the last finished word (0 while a
// word is current). RecentText is, in order, each entry's loose characters
// followed by its finished word, then LooseCount loose characters.
#include <algorithm>

#include "service/CTypingContext.h"

namespace tavirel {

void CTypingContext::StartWord() {
  LooseStack.push_back(LooseCount);
  LooseCount = 0;
  HasWord = true;
  // Word was reset when the last word left it. The before-image's fields are
  // those of an empty word; its texts are read only once a key has set them
  // (nothing is deleted before the first key).
  Word.VTThayDoi = -1;
  Word.ThemPhim = false;
  Word.CopyScalarsTo(Before);
  BeforeLength = 0;
  HasAutoRestored = false;
}

CRunWords::CRunWords(CWordOwner* owner, size_t capacity) : owner_(owner) {
  slots_.reserve(capacity);
  for (size_t i = 0; i < capacity; ++i) slots_.emplace_back(owner);
}

void CRunWords::Grow() {
  std::rotate(slots_.begin(), slots_.begin() + static_cast<std::ptrdiff_t>(head_), slots_.end());
  head_ = 0;
  const size_t grown = slots_.size() * 2 + 1;
  while (slots_.size() < grown) slots_.emplace_back(owner_);
}

void CRunWords::push_back(const CWord& word) {
  CWord& slot = NewSlot();
  word.CopyTo(slot);
  slot.PhimGo = word.PhimGo;
  slot.PhimThuong = word.PhimThuong;
  slot.ThemPhim = word.ThemPhim;
}

void CTypingContext::PushWord(const CWord& word) { Words.push_back(word); }

void CTypingContext::PopWord() { Words.pop_back(); }

void CTypingContext::ClearWords() { Words.clear(); }

void CTypingContext::FinishWord() {
  if (!HasWord) return;
  RecentText += Word.CacKT;
  Words.push_back_taking(Word);
  HasWord = false;
  BoundRun();
}

void CTypingContext::DropEmptyWord() {
  HasWord = false;
  Word.Reset();
  if (!LooseStack.empty()) {
    LooseCount = LooseStack.back();
    LooseStack.pop_back();
  } else {
    LooseCount = 0;
  }
  if (LooseCount == 0) ReactivatePrevious();
}

void CTypingContext::CutRun() {
  // Old words go first, with the loose characters before them; they go
  // kRunSlack at a time so that the text is not shifted at every word end.
  if (Words.size() > kMaxRunWords + kRunSlack) {
    const size_t dropped = std::min(Words.size() - kMaxRunWords, LooseStack.size());
    size_t cut = 0;
    for (size_t k = 0; k < dropped; ++k) {
      cut += static_cast<size_t>(std::max(LooseStack[k], 0)) + Words[k].CacKT.size();
    }
    Words.drop_front(dropped);
    RecentText.erase(0, std::min(cut, RecentText.size()));
    LooseStack.erase(LooseStack.begin(), LooseStack.begin() + static_cast<std::ptrdiff_t>(dropped));
  }
  // A long stretch of characters outside words: keep only its tail.
  if (!HasWord && static_cast<size_t>(LooseCount) > kMaxLooseText) {
    RecentText.erase(0, RecentText.size() - kMaxLooseText);
    ClearWords();
    LooseStack.clear();
    LooseCount = static_cast<int32_t>(kMaxLooseText);
  }
  if (!LooseStack.empty() && static_cast<size_t>(LooseStack.front()) > kMaxLooseText) {
    const size_t excess = static_cast<size_t>(LooseStack.front()) - kMaxLooseText;
    RecentText.erase(0, std::min(excess, RecentText.size()));
    LooseStack.front() = static_cast<int32_t>(kMaxLooseText);
  }
}

void CTypingContext::ReactivatePrevious() {
  if (Words.empty()) return;
  LongWord = false;
  Words.back().CopyTo(Word);
  PopWord();
  const size_t n = std::min(RecentText.size(), Word.CacKT.size());
  RecentText.resize(RecentText.size() - n);
  HasWord = true;
  LooseCount = 0;
  Word.VTThayDoi = -1;
  Word.ThemPhim = false;
}

void CTypingContext::AddReplacement(std::u16string_view before, std::u16string_view after) {
  Replacements.push_back(before, after);
}

void CTypingContext::ReplaceOnScreen(std::u16string_view oldText, std::u16string_view newText) {
  size_t p = 0;
  while (p < oldText.size() && p < newText.size() && oldText[p] == newText[p]) ++p;
  SendReplacing(oldText.substr(p), 0, newText.substr(p));
}

void CTypingContext::TrimRun(size_t n) {
  while (n > 0) {
    if (HasWord) {
      const size_t len = Word.CacKT.size();
      if (len <= n) {
        n -= len;
        HasWord = false;
        Word.Reset();
        LooseCount = LooseStack.empty() ? 0 : LooseStack.back();
        if (!LooseStack.empty()) LooseStack.pop_back();
        continue;
      }
      // Only the end of the word goes: what stays is the word.
      const std::u16string keep = Word.CacKT.substr(0, len - n);
      Word.FromText(keep);
      Word.VTThayDoi = -1;
      return;
    }
    if (LooseCount > 0) {
      const size_t k = std::min({static_cast<size_t>(LooseCount), n, RecentText.size()});
      if (k == 0) {
        LooseCount = 0;
        continue;
      }
      RecentText.resize(RecentText.size() - k);
      LooseCount -= static_cast<int32_t>(k);
      n -= k;
      continue;
    }
    if (!Words.empty()) {
      CWord& last = Words.back();
      const size_t len = std::min(last.CacKT.size(), RecentText.size());
      if (len <= n) {
        RecentText.resize(RecentText.size() - len);
        n -= len;
        PopWord();
        LooseCount = LooseStack.empty() ? 0 : LooseStack.back();
        if (!LooseStack.empty()) LooseStack.pop_back();
        continue;
      }
      RecentText.resize(RecentText.size() - n);
      const std::u16string keep = last.CacKT.substr(0, len - n);
      last.FromText(keep);
      last.VTThayDoi = -1;
      n = 0;
      break;
    }
    // Nothing is known about the rest.
    RecentText.resize(RecentText.size() - std::min(n, RecentText.size()));
    break;
  }
}

void CTypingContext::FeedRun(std::u16string_view text) {
  Active = true;
  // A current word (left by TrimRun) takes the letters that follow it.
  bool open = HasWord;
  bool grown = false;  // letters were added to the run
  std::u16string run;
  if (open) run = Word.CacKT;
  auto settle = [&] {
    if (grown) Word.FromText(run);
    Word.VTThayDoi = -1;
    Word.ThemPhim = false;
    HasWord = true;
  };
  auto close = [&] {
    settle();
    FinishWord();
    open = false;
  };
  for (char16_t c : text) {
    if (IsLetter(c)) {
      if (!open) {
        LooseStack.push_back(LooseCount);
        LooseCount = 0;
        open = true;
        run.clear();
      }
      run.push_back(c);
      grown = true;
      continue;
    }
    if (open) close();
    AppendLoose(c);
  }
  if (open) settle();
}

}  // namespace tavirel
