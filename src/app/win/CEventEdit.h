#pragma once
// An edit control of the editors that reports Enter to its dialog instead
// of pressing the default button, moves the focus on Tab and Shift+Tab (also
// when it is multi-line) and cancels the dialog on Esc. Ctrl+Enter keeps the
// edit's own meaning (a line break in a multi-line edit).
#include <windows.h>

namespace tavirel {

// The dialog receives kEnterMessage with wParam = the edit's control id.
inline constexpr UINT kEventEditEnter = WM_APP + 40;

// Subclasses the edit for as long as it lives.
void AttachEventEdit(HWND edit);

}  // namespace tavirel
