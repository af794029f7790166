#pragma once
// The create-from-clipboard dialog's decisions: the text it starts with,
// whether OK may add the shorthand, and the addition itself.
//
// The clipboard is read once, as the dialog opens, and closed at once (the
// Windows side): a clipboard left open blocks every other program's copy
// and paste, and Tavirel's own paste path.
#include <cstddef>
#include <optional>
#include <string>

#include "app/GoTatEditor.h"

namespace tavirel {

class CTypingContext;

// The text of a clipboard block of units: up to the first NUL, never past
// count (a block without NUL is taken whole).
std::u16string ClipboardTextOf(const char16_t* units, size_t count);

struct TaoTuGoTatStart {
  std::u16string Expansion;  // what the expansion edit starts with
  std::u16string Message;    // shown to the user when not empty
};
// From the clipboard's text (nothing when it holds no text). A text longer
// than an expansion may be is not offered: the edit starts empty and the
// message says why. Line breaks and TABs are kept as they are.
TaoTuGoTatStart StartFromClipboard(const std::optional<std::u16string>& text);

// OK: the shorthand is added only when both texts are filled and
// CheckShorthand accepts them. EmptyAbbreviation also stands for an empty
// expansion (the dialog stays open without a message for both).
ShorthandCheck CheckNewShorthand(const std::u16string& abbreviation, const std::u16string& expansion);

// Appends the shorthand to the context's table (on the service's thread)
// and gives the whole table, for GoTat.ini.
ShorthandTable AppendShorthand(CTypingContext& context, const std::u16string& abbreviation,
                               const std::u16string& expansion);

}  // namespace tavirel
