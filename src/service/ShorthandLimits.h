#pragma once
// The longest shorthand expansion, in UTF-16 units. An expansion is typed
// as one burst of key packets from inside the keyboard hook; a longer text
// would hold every key of the desktop for too long, so the editors refuse
// it and typing never expands one that came in by other ways (a file edited
// by hand).
#include <cstddef>

namespace tavirel {

inline constexpr size_t kMaxShorthandExpansion = 4000;

}  // namespace tavirel
