// Backspace inside the run: loose characters, the current word, and the
// previous word when the Backspace reaches it. A character Backspace removes
// takes its keys with it (the tone and mark keys that only changed it too),
// so that a restore never brings deleted letters back.
#include "service/CTypingContext.h"

namespace tavirel {

namespace {

bool Apply(CWord& w, const CTypingContext::Binding& b) {
  return b.IsText ? w.InsertText(b.Text) : w.ApplyFunction(b.Function);
}

// Key sets tried when the keys of the removed character are searched for.
constexpr size_t kMaxDroppedKeys = 4;
constexpr int kMaxReplays = 256;

}  // namespace

bool CTypingContext::Backspace() {
  if (LooseCount > 0) {
    if (!RecentText.empty()) RecentText.pop_back();
    --LooseCount;
    if (LooseCount == 0) ReactivatePrevious();
    return false;
  }
  if (!HasWord) {
    ReactivatePrevious();
    if (!HasWord) {
      // The application deletes a character the run may still hold.
      if (!RecentText.empty()) RecentText.pop_back();
      return false;
    }
  }
  if (Word.CacKT.empty()) {
    // A word that shows nothing: the Backspace is for what precedes it.
    DropEmptyWord();
    return Backspace();
  }

  TakeBefore();
  const char16_t deleted = Word.CacKT.back();
  const size_t units = EncodedLength(std::u16string_view(&deleted, 1));
  keysBefore_.assign(Word.Raw);
  if (Word.RemoveLast()) {
    if (units > 1) Send(static_cast<int>(units - 1), std::u16string_view());
    DropEmptyWord();
    return false;
  }
  FitRawToText();
  const int d = Word.VTThayDoi;
  if (d >= 0 && d <= Word.Length()) {
    SendDiff(Word.Length() - d + 1, std::u16string_view(Word.CacKT).substr(static_cast<size_t>(d)));
    Word.VTThayDoi = -1;
    return true;
  }
  Word.VTThayDoi = -1;
  if (units > 1) Send(static_cast<int>(units - 1), std::u16string_view());
  return false;
}

bool CTypingContext::Replay(std::u16string_view keys) {
  CWord& w = replay_;
  w.Reset();
  for (size_t i = 0; i < keys.size(); ++i) {
    const char16_t ch = keys[i];
    const char16_t low = LookupKey(ch);
    const bool letter = IsLetter(ch) || IsDigit(ch);
    w.VTThayDoi = -1;
    w.ThemPhim = false;
    if (w.CD0TV != 0) {
      if (!letter) return false;
      w.Raw.push_back(ch);
      w.CacKT.push_back(ch);
      w.CacKTThuong.push_back(low);
      ++w.CD0TV;
      continue;
    }
    const Binding* b = FindBinding(low);
    if (i == 0 ? !(b != nullptr && CreatesLetter(*b)) && !IsLetter(ch) : b == nullptr && !letter) {
      return false;  // the key would not have been part of the word
    }
    if (b != nullptr && !b->IsText && b->Function == kFnThoat) return false;
    w.SetKey(ch, low);
    if (b != nullptr && (i > 0 || CreatesLetter(*b))) {
      Apply(w, *b);
    } else {
      w.AddLetter();
    }
    if (w.ThemPhim) {
      w.ThemPhim = false;
      if (!letter) return false;
      w.AddLetter();
    }
  }
  return true;
}

bool CTypingContext::ReplayGives(std::u16string_view keys, std::u16string_view text) {
  return Replay(keys) && replay_.CacKT == text;
}

void CTypingContext::FitRawToText() {
  if (!Word.RawDiffers() || ReplayGives(Word.Raw, Word.CacKT)) return;
  // Drop the fewest keys, the latest first, so that the rest compose to
  // what is shown: "tieengs" less the g is "tieens".
  const std::u16string_view keys = keysBefore_;
  const size_t n = keys.size();
  int budget = kMaxReplays;
  size_t drop[kMaxDroppedKeys];
  for (size_t k = 1; k <= kMaxDroppedKeys && k < n; ++k) {
    for (size_t j = 0; j < k; ++j) drop[j] = n - 1 - j;  // descending positions
    for (;;) {
      if (budget-- <= 0) break;
      keysTried_.clear();
      size_t next = k;  // drop[next - 1] is the next position left out
      for (size_t p = 0; p < n; ++p) {
        if (next > 0 && drop[next - 1] == p) {
          --next;
          continue;
        }
        keysTried_.push_back(keys[p]);
      }
      if (ReplayGives(keysTried_, Word.CacKT)) {
        Word.Raw.assign(keysTried_);
        return;
      }
      // The next set in descending order: lower the last position that can go lower.
      size_t j = k;
      while (j > 0 && drop[j - 1] == k - j) --j;
      if (j == 0) break;
      --drop[j - 1];
      for (size_t m = j; m < k; ++m) drop[m] = drop[m - 1] - 1;
    }
  }
  // No keys found: the text stands for its own keys.
  Word.Raw.assign(Word.CacKT);
}

}  // namespace tavirel
