// Word end: the user's shorthand, the consonant shorthand, automatic sắc,
// spelling correction and the restore of raw keys of a wrong word, then the
// changes to the screen.
#include <algorithm>

#include "service/CTypingContext.h"

namespace tavirel {

namespace {

// The previous word and the space after it end the recent text; swap in the
// corrected previous word.
void ReplacePreviousInRecent(std::u16string& recent, const std::u16string& oldWord,
                             const std::u16string& newWord) {
  const size_t n = oldWord.size() + 1;
  if (recent.size() < n) return;
  recent.resize(recent.size() - n);
  recent += newWord;
  recent += u' ';
}

// Same letters and the same split, tone and mark: every question about the
// syllable has the same answer for both.
bool SameSyllable(const CWord& a, const CWord& b) {
  return a.WA == b.WA && a.CDPAD == b.CDPAD && a.CDNA == b.CDNA && a.CDPAC == b.CDPAC &&
         a.CD0TV == b.CD0TV && a.DT == b.DT && a.VTDT == b.VTDT && a.VTDau == b.VTDau &&
         a.KTCoDT == b.KTCoDT && a.CacKTThuong == b.CacKTThuong;
}

}  // namespace

bool CTypingContext::RestoreRawOf(CWord& word, const CWord& before) {
  if (!word.RawDiffers()) return false;
  word.VTThayDoi = -1;
  word.RestoreRaw();
  if (word.VTThayDoi >= 0) ReplaceOnScreen(before.CacKT, word.CacKT);
  word.VTThayDoi = -1;
  return true;
}

bool CTypingContext::EndWord(char16_t ch) {
  bool result = false;
  LongWord = false;

  if (HasWord && Word.CacKT.empty()) DropEmptyWord();

  // Finishing the word and taking it back when no shorthand matches leaves
  // the run as it was; the common case skips both.
  if (GoTat && (ShorthandKeys.empty() || !ShorthandAfterWord())) {
    if (HasWord) {
      Word.VTThayDoi = -1;
      Word.ThemPhim = false;
    } else if (LooseCount == 0) {
      ReactivatePrevious();
    }
  } else if (GoTat) {
    FinishWord();
    std::u16string& typed = shorthandTyped_;
    std::u16string& expansion = shorthandExpansion_;
    if (FindShorthand(typed, expansion)) {
      // Each word of the expansion gets the user's tone placement.
      CWord& piece = shorthandPiece_;
      size_t i = 0;
      while (i < expansion.size()) {
        if (!IsLetter(expansion[i])) {
          ++i;
          continue;
        }
        size_t j = i;
        while (j < expansion.size() && IsLetter(expansion[j])) ++j;
        piece.FromText(std::u16string_view(expansion).substr(i, j - i));
        if (piece.CD0TV == 0 && piece.DT >= 0) {
          piece.ReplaceTone();
          if (piece.CacKT.size() == j - i) expansion.replace(i, j - i, piece.CacKT);
        }
        i = j;
      }
      AddReplacement(typed, expansion);
      ReplaceOnScreen(typed, expansion);
      TrimRun(typed.size());
      FeedRun(expansion);
      result = (ch == u' ' || ch == 0) && ChanPhimKhiGoTat;
      goto finish;
    }
    if (LooseCount == 0) ReactivatePrevious();
  }

  if (!HasWord) goto finish;

  {
    // Only the corrections change the word before the restore decides; with
    // none of them on, the word stays its own before-image and no copy is
    // taken (the restore keeps one of its own in AutoRestored). These are
    // the options of the four calls below.
    const bool mayCorrect =
        GoTatPAD || GoTatPAC || TuThemDauSac || SuaLoiChinhTaTuGhep || SuaLoiChinhTaTuDon;
    if (mayCorrect) {
      // The before-image without the raw keys: nothing below changes them,
      // so the word's own stand for the before-image's where they are needed.
      Word.CopyShownTo(Before);
      Before.CacKTThuong = Word.CacKTThuong;
    }
    BeforeLength = Word.CacKT.size();
    CWord* previous = Words.empty() ? nullptr : &Words.back();
    // Only the compound correction changes the previous word; its change
    // position tells afterwards whether it did.
    if (previous != nullptr && SuaLoiChinhTaTuGhep) {
      previousText_.assign(previous->CacKT);
      for (size_t k = Words.size() >= 2 ? Words.size() - 2 : 0; k < Words.size(); ++k) {
        Words[k].VTThayDoi = -1;
        Words[k].ThemPhim = false;
      }
    }
    Word.VTThayDoi = -1;
    Word.ThemPhim = false;

    if (tablesChanged_.load(std::memory_order_relaxed)) [[unlikely]] {
      tablesChanged_.store(false, std::memory_order_relaxed);
      incompleteMemo_.Clear();
    }
    // Whether the word as typed is incomplete, once asked (-1: not asked).
    int incomplete = -1;
    if (mayCorrect && Word.CDNA > 0 && Word.CD0TV == 0) {
      incomplete = incompleteMemo_.IsIncomplete(Word) ? 1 : 0;
      if (incomplete == 0) {
        ApplyInitialShorthand(Word);
        ApplyFinalShorthand(Word);
        ApplyAutoSac(Word);
        CorrectCompound(Word, previous);
      }
    }
    const bool previousChanged = previous != nullptr && SuaLoiChinhTaTuGhep && previous->VTThayDoi >= 0;

    if (KhoiPhucPhimVoiTuSai && Word.CDNA > 0 && Word.RawDiffers()) {
      const bool marked = Word.VTDau >= 0 || Word.DT != -1;
      // Asked only where it decides; an answer already worked out stands
      // while the corrections left the word as it was.
      const auto wrong = [&] {
        if (Word.CD0TV != 0) return true;
        if (incomplete >= 0 && SameSyllable(Word, Before)) return incomplete == 1;
        return incompleteMemo_.IsIncomplete(Word);
      };
      const bool startsWithDd = !Word.CacKTThuong.empty() && Word.CacKTThuong[0] == u'đ';
      bool restore = false;
      if ((marked || startsWithDd) && wrong()) {
        restore = true;
      } else if (DungTuDienDeKTChinhTa && !InTuDien(Word.CacKTThuong)) {
        restore = true;
      }
      if (restore) {
        (mayCorrect ? Before : Word).CopyTo(AutoRestored);
        AutoRestored.Raw = Word.Raw;
        HasAutoRestored = true;
        Word.VTThayDoi = -1;
        Word.RestoreRaw();
        if (previousChanged) {
          // A correction of the previous word goes out with the restore.
          const std::u16string oldText = previousText_ + u" " + AutoRestored.CacKT;
          const std::u16string newText = previous->CacKT + u" " + Word.CacKT;
          ReplaceOnScreen(oldText, newText);
          ReplacePreviousInRecent(RecentText, previousText_, previous->CacKT);
          previous->VTThayDoi = -1;
        } else if (Word.VTThayDoi >= 0) {
          ReplaceOnScreen(AutoRestored.CacKT, Word.CacKT);
        }
        Word.VTThayDoi = -1;
        goto finish;
      }
    }

    if (previousChanged) {
      const std::u16string oldText = previousText_ + u" " + Before.CacKT;
      const std::u16string newText = previous->CacKT + u" " + Word.CacKT;
      ReplaceOnScreen(oldText, newText);
      AddReplacement(oldText, newText);
      ReplacePreviousInRecent(RecentText, previousText_, previous->CacKT);
      previous->VTThayDoi = -1;
    } else if (Word.VTThayDoi >= 0) {
      const int d = std::min(Word.VTThayDoi, Word.Length());
      SendDiff(static_cast<int>(Before.CacKT.size()) - d,
               std::u16string_view(Word.CacKT).substr(static_cast<size_t>(d)));
    }
    Word.VTThayDoi = -1;
  }

finish:
  if (!result) {
    FinishWord();
    if (ch != 0) AppendLoose(ch);
  } else if (!HasWord && LooseCount == 0) {
    ReactivatePrevious();
  }
  return result;
}

}  // namespace tavirel
