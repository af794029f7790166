// The per-key step: a character goes through the typing method's bindings
// into the current word, and the changed tail of the word goes to the screen.
#include <algorithm>

#include "service/CTypingContext.h"

namespace tavirel {

bool CTypingContext::ProcessCharUnmarked(char16_t ch) {
  // Vietnamese typing is off: only shorthand is expanded.
  if (!IsLetter(ch) && !IsDigit(ch)) return EndWord(ch);
  if (HasWord) FinishWord();
  AppendLoose(ch);
  return false;
}

void CTypingContext::TakeBefore() {
  Word.VTThayDoi = -1;
  Word.ThemPhim = false;
  // Per key only the before-image's CD0TV (a word run together with the
  // next) and the length of its text are read; the replaced characters
  // themselves only matter to a byte code table (their encoded lengths). The
  // word end and the restore take a full copy of their own.
  if (codeTable_->Empty()) [[likely]] {
    Before.CD0TV = Word.CD0TV;
  } else {
    Word.CopyShownTo(Before);
  }
  BeforeLength = Word.CacKT.size();
}

bool CTypingContext::ApplyBinding(const Binding& binding) {
  if (binding.IsText) return Word.InsertText(binding.Text);
  return Word.ApplyFunction(binding.Function);
}

bool CTypingContext::AddKeyAsLetter(char16_t ch) {
  if (!IsLetter(ch) && !IsDigit(ch)) return EndWord(ch);
  TakeBefore();
  Word.SetKey(ch, LookupKey(ch));
  return Word.AddLetter();
}

bool CTypingContext::ComposeKey(char16_t ch) {
  const char16_t low = LookupKey(ch);
  bool result = false;
  // The binding of low: most keys are ASCII, looked up here without a call.
  const auto findBinding = [this](char16_t key) -> const Binding* {
    if (key < 128) [[likely]] {
      const int index = asciiBindings_[key];
      return index < 0 ? nullptr : &bindings_[static_cast<size_t>(index)];
    }
    return FindBinding(key);
  };

  if (LongWord && !HasWord) {
    if (IsLetter(ch) || IsDigit(ch)) {
      AppendLoose(ch);
      return false;
    }
    LongWord = false;
    return EndWord(ch);
  }
  if (!HasWord) {
    // Only letters and the letter-creating bindings start a word. A key of
    // the numeric keypad has no binding (the service is asked only when the
    // key has one).
    const Binding* b = findBinding(low);
    if (b != nullptr && Numpad()) b = nullptr;
    if (b != nullptr && CreatesLetter(*b)) {
      StartWord();
      Word.SetKey(ch, low);
      result = ApplyBinding(*b);
    } else if (IsLetter(ch)) {
      StartWord();
      Word.SetKey(ch, low);
      result = Word.AddLetter();
    } else {
      AppendLoose(ch);
      return false;
    }
  } else if (Word.CD0TV == 0) {
    const Binding* b = findBinding(low);
    if (b == nullptr) {
      EscapePending = false;
      if (!IsLetter(ch)) {
        result = AddKeyAsLetter(ch);
      } else {
        // The most common key: a letter the method does not bind.
        TakeBefore();
        Word.SetKey(ch, low);
        result = Word.AddLetter();
      }
    } else if (const bool numpad = Numpad(); !numpad && !b->IsText && b->Function == kFnThoat) {
      if (!EscapePending) {
        EscapePending = true;
        return true;
      }
      EscapePending = false;
      result = AddKeyAsLetter(ch);
    } else if (EscapePending) {
      EscapePending = false;
      result = AddKeyAsLetter(ch);
    } else if (numpad) {
      result = AddKeyAsLetter(ch);
    } else {
      TakeBefore();
      Word.SetKey(ch, low);
      result = ApplyBinding(*b);
    }
  } else {
    // Not Vietnamese any more: letters and digits are only appended. The
    // escape key acts as in any word: once it is swallowed, twice it types.
    const Binding* b = findBinding(low);
    if (b != nullptr && Numpad()) b = nullptr;
    if (b != nullptr && !b->IsText && b->Function == kFnThoat && !EscapePending) {
      EscapePending = true;
      return true;
    }
    EscapePending = false;
    if (!IsLetter(ch) && !IsDigit(ch)) return EndWord(ch);
    if (Word.CacKT.size() >= kMaxWordLength) {
      // Too long for a word: it ends here as at a word end, and the rest of
      // it is typed as it comes, so that nothing grows without bound.
      EndWord(0);
      if (HasWord) FinishWord();
      LongWord = true;
      AppendLoose(ch);
      return false;
    }
    TakeBefore();
    Word.Raw.push_back(ch);
    Word.CacKT.push_back(ch);
    Word.CacKTThuong.push_back(low);
    ++Word.CD0TV;
    return false;
  }
  // AddKeyAsLetter may have ended the word.
  if (!HasWord) return result;

  bool wordBreak = false;
  if (Word.ThemPhim) {
    Word.ThemPhim = false;
    if (IsLetter(ch) || IsDigit(ch)) {
      result = Word.AddLetter();  // the key itself, after what the binding did
    } else {
      wordBreak = true;
    }
  }

  // Several words typed without a separator: the key that made the word not
  // Vietnamese starts the next word.
  bool split = false;
  if (GoCacTuTVLienTuc && !wordBreak && Before.CD0TV == 0 && Word.CD0TV == 1 &&
      Word.CacKT.size() >= 2) {
    Word.Raw.pop_back();
    Word.CacKT.pop_back();
    Word.CacKTThuong.pop_back();
    Word.CD0TV = 0;
    split = true;
  }

  const int d = Word.VTThayDoi;
  if (d >= 0) {
    const int len = Word.Length();
    const int from = std::min(d, len);
    int end = (result || split || wordBreak) ? len : len - 1;
    end = std::max(end, from);
    SendDiff(static_cast<int>(BeforeLength) - from,
             std::u16string_view(Word.CacKT).substr(static_cast<size_t>(from),
                                                   static_cast<size_t>(end - from)));
    Word.VTThayDoi = -1;
  }

  if (wordBreak) {
    // The key ends the word: it follows the word on screen and is not one of
    // the word's keys, or a restore would type it twice.
    if (!Word.Raw.empty() && Word.Raw.back() == ch) Word.Raw.pop_back();
    return EndWord(ch);
  }
  if (split) return ContinueWord(ch, true);
  return result;
}

bool CTypingContext::ContinueWord(char16_t ch, bool again) {
  FinishWord();
  if (again) return ComposeKey(ch);
  return false;
}

}  // namespace tavirel
