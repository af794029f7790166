#pragma once
// UTF-8 <-> UTF-16 conversion for the program's own files.
#include <string>
#include <string_view>

namespace tavirel {

// Decodes UTF-8. Decoding stops at the first malformed sequence (bad lead
// byte, bad or missing continuation, overlong form, surrogate code point or a
// value above U+10FFFF); what precedes it is returned. Never reads past the end.
std::u16string Utf8ToUtf16(std::string_view bytes);

// Decodes UTF-8 for input that must not be cut short (text typed from a
// file or a terminal): each malformed byte becomes U+FFFD.
std::u16string Utf8ToUtf16Replacing(std::string_view bytes);

// The same into a buffer with room for bytes.size() units; returns the end
// of what was written (for long input read in blocks).
char16_t* Utf8ToUtf16Replacing(std::string_view bytes, char16_t* out);

// True when the bytes are well-formed UTF-8 from end to end.
bool IsValidUtf8(std::string_view bytes);

// Encodes UTF-16. An unpaired surrogate is written as U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text);
// The same into a buffer with room for three bytes a unit; returns the end
// of what was written.
char* Utf16ToUtf8(std::u16string_view text, char* out);

}  // namespace tavirel
