// Backspace inside the run: loose characters, the current word, and the
// previous word when the Backspace reaches it.
#include "service/CTypingContext.h"

namespace tavirel {

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
  if (Word.RemoveLast()) {
    if (units > 1) Send(static_cast<int>(units - 1), std::u16string_view());
    DropEmptyWord();
    return false;
  }
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

}  // namespace tavirel
