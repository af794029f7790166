#pragma once
// Text in the Windows Vietnamese ANSI code page (1258): how files that were
// saved by programs that do not write UTF-8 are read back.
#include <string>
#include <string_view>

namespace tavirel {

// Decodes code page 1258 bytes. Every byte gives one unit (bytes the code page
// leaves undefined give the C1 control of the same value), then the combining
// tone marks the code page uses for toned vowels are composed with the vowel
// before them (see ComposeVietnameseTones).
std::u16string Cp1258ToUtf16(std::string_view bytes);

// Composes an untoned Vietnamese vowel followed by a combining tone mark
// (U+0301 sắc, U+0300 huyền, U+0309 hỏi, U+0303 ngã, U+0323 nặng) into the
// precomposed toned letter of the letter tables. Any other pair is left as it is.
void ComposeVietnameseTones(std::u16string& text);

}  // namespace tavirel
