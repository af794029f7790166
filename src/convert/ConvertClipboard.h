#pragma once
// Converting the clipboard's text and its "HTML Format" in place.
#include <cstddef>
#include <string>

#include "app/ConversionOptions.h"

namespace tavirel {

class IDesktop;

enum class ClipboardConversion {
  Converted,  // the converted data replaced the clipboard's
  Nothing,    // no text and no HTML that could be converted: clipboard untouched
  Unchanged,  // the conversion gave back the same data: clipboard untouched
  Busy,       // another program holds the clipboard: clipboard untouched
  WriteFailed,
};

struct ClipboardConversionResult {
  ClipboardConversion outcome = ClipboardConversion::Nothing;
  size_t lost = 0;  // characters the target table cannot hold
};

// Reads the Unicode text and "HTML Format", detects the source when asked
// (options.source then names the detected table), converts both, and only
// when there is converted data that differs from what is there, empties the
// clipboard and writes it. Legacy bytes that reached the clipboard through
// code page 1252 are read as the bytes they were.
ClipboardConversionResult ConvertClipboard(ConversionOptions& options, IDesktop& desktop);

}  // namespace tavirel
