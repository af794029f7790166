#pragma once
// The program's UTF-8 text files: read as lines, written as pieces.
#include <string>
#include <string_view>
#include <vector>

namespace tavirel {

// Splits UTF-8 bytes into lines: a leading EF BB BF is skipped, lines end at
// LF, one CR before the LF is removed, each line is decoded (stopping at the
// first malformed sequence). A last line without LF is returned too.
std::vector<std::u16string> SplitTextLines(std::string_view bytes);

// Reads a whole file as bytes; false when it cannot be opened.
bool ReadFileBytes(const std::u16string& path, std::string& bytes);

// SplitTextLines of the file's bytes; a missing or unreadable file gives no lines.
std::vector<std::u16string> ReadTextLines(const std::u16string& path);

// Creates or truncates the file, writes EF BB BF and then every piece as
// UTF-8, with nothing between pieces (they carry their own LF).
// Returns false when the file could not be written.
bool WriteTextLines(const std::u16string& path, const std::vector<std::u16string>& pieces);

}  // namespace tavirel
