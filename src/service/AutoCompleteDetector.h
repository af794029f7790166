#pragma once
// Tells fields that complete what the user types (address bars, spreadsheet
// cells, run boxes) from the way they answer our keys: after a typed
// character they append a suggested tail and select it, so that the next
// key replaces it. A Backspace we send then removes only that selection, and
// every replacement after it lands one character off, unless a Delete goes
// first.
//
// The sign: a reading of the focused field, taken a little after a typed key
// of ours, shows a selection that starts after at least one character and
// runs to the end of the text. The user cannot have made that selection:
// any key or click that selects (Shift+arrows, Ctrl+A, a drag) counts as
// other input, and a reading asked for before other input proves nothing.
//
// Readings are taken away from the hook thread (the field belongs to
// another program, which may be slow to answer); this class only decides.
// It runs on the hook thread with the service.
#include <cstdint>
#include <string>
#include <vector>

#include "service/IDesktop.h"

namespace tavirel {

// A reading of an edit field: its selection and text length in UTF-16
// units (the length the smaller of one read before and one after the
// selection). Negative values: the field did not answer (or is no edit
// field).
struct FieldSelection {
  int32_t Start = -1;
  int32_t End = -1;
  int32_t Length = -1;
};

// How many Deletes go before a replacement in a field that may complete
// what is typed, from a reading taken just before the replacement goes in:
// one when nothing unselected follows the caret (a suggested tail is
// selected, or the caret is at the end of the text, where a Delete can only
// take a suggestion the field is still about to show), none when text
// follows the caret, which a Delete would take. A reading may be a little
// old (the program answers a reading before input still in its queue), or
// its length taken after more typing: text grows at the caret, so that is
// no text after it. A field that did not answer (no edit control, or busy)
// gets one when it is known to complete (marked), else none.
inline int DeletesBeforeReplacement(const FieldSelection& s, bool marked) {
  const bool answered = s.Start >= 0 && s.Start <= s.End && s.Length >= 0;
  if (!answered) return marked ? 1 : 0;
  return s.End >= s.Length ? 1 : 0;
}

class CAutoCompleteDetector {
 public:
  // Windows found completing that are known again when they get the focus
  // back (a window handle with its class name, so a reused handle of another
  // kind of window is not taken for one).
  static constexpr size_t kRemembered = 16;

  // Whether the selection is the one such a field makes: not empty, ending
  // at the end of the text, after at least one character.
  static bool IsSuggestedTail(const FieldSelection& s) {
    return s.Start > 0 && s.End > s.Start && s.End == s.Length;
  }

  // The focus moved to window (0: none). True when it is a window already
  // found completing.
  bool FocusChanged(WindowHandle window, const std::u16string& className);

  // A character key the user typed reached the focused field, directly or
  // as our replacement. True: ask for a reading now, tagged with Serial()
  // (no reading is out and the field is not known yet).
  bool AfterTypedKey();
  // The reading could not be asked for.
  void ReadingNotAsked() { readingOut_ = false; }
  // Any other key-down or a mouse click: readings asked for before it tell
  // nothing.
  void AfterOtherInput() { ++serial_; }
  uint32_t Serial() const { return serial_; }

  // A reading asked for with serial came back. True when it newly shows the
  // focused field completing.
  bool OnReading(uint32_t serial, const FieldSelection& selection);

  // The focused field is known to complete.
  bool Detected() const { return detected_; }

 private:
  struct Known {
    WindowHandle Window = 0;
    std::u16string ClassName;
  };
  WindowHandle window_ = 0;
  std::u16string className_;
  uint32_t serial_ = 0;
  bool readingOut_ = false;
  bool detected_ = false;
  std::vector<Known> known_;  // most recent last, at most kRemembered
};

}  // namespace tavirel
