#pragma once
// The clipboard conversion of the main thread, shared by the quick
// conversion of the tray and the conversion dialog: the clipboard is opened
// with the given window as its owner, and the outcome becomes a balloon.
#include <windows.h>

#include "app/ChuyenMaDlgModel.h"

namespace tavirel {

class CTrayWindow;

// Converts the clipboard in place with the options (detection updates
// options.source) and says how it went.
ConversionBalloon ConvertClipboardFor(ConversionOptions& options, HWND owner);

// The text on the clipboard (Unicode text up to its end); empty when none.
std::u16string ClipboardText(HWND owner);

// Reads the dictionary that detection scores with, once.
void LoadDetectionDictionary();

void ShowConversionBalloon(CTrayWindow& tray, const ConversionBalloon& balloon);

}  // namespace tavirel
