#pragma once
// The clipboard's Unicode text, read and closed at once: the clipboard is
// held open only while the text is copied out, so no other program's copy
// or paste (nor Tavirel's own paste) ever finds it locked by a dialog.
#include <windows.h>

#include <optional>
#include <string>

namespace tavirel {

// Nothing when the clipboard holds no text or stays busy for about 200 ms.
std::optional<std::u16string> ReadClipboardText(HWND owner);

}  // namespace tavirel
