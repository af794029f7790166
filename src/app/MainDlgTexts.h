#pragma once
// The help texts of the main dialog's controls and the "?" key list.
#include <string>

#include "tables/CKieuGo.h"

namespace tavirel {

// The help shown when the pointer rests on a control; null for a control
// without help. Lines break only at the line feeds.
const char16_t* MainDlgTooltip(int controlId);
// The control ids that have help, ending with 0.
extern const int kMainDlgTooltipIds[];

// One line per bound key, in key order: the key, a tab, what it does.
std::u16string KeyHelpText(const CKieuGo& method);
// The caption of the key list of a method.
std::u16string KeyHelpCaption(const std::u16string& methodName);

}  // namespace tavirel
