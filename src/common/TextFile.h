#pragma once
// The program's text files: read whole as lines, written as pieces, replaced
// atomically.
#include <string>
#include <string_view>
#include <vector>

namespace tavirel {

// How the bytes of a text file are decoded.
// - EF BB BF: UTF-8; a line that is not valid UTF-8 is read as code page 1258.
// - FF FE or FE FF: UTF-16 little- or big-endian (an odd last byte is U+FFFD).
// - no byte-order mark: UTF-8 when the whole file is valid UTF-8, otherwise
//   the whole file is code page 1258 (the Windows Vietnamese ANSI code page,
//   tone marks composed), so that a file saved by an editor in the ANSI code
//   page is read whole instead of being cut at its first accented letter.
// Nothing is ever dropped: every byte stands for some text.
std::u16string DecodeTextFile(std::string_view bytes);

// Splits the decoded bytes into lines: lines end at LF, one CR before the LF
// is removed. A last line without LF is returned too.
std::vector<std::u16string> SplitTextLines(std::string_view bytes);

// Reads a whole file as bytes; false when it cannot be opened or read.
bool ReadFileBytes(const std::u16string& path, std::string& bytes);

enum class TextFileStatus {
  Read,        // the file was read whole
  Missing,     // there is no such file
  Unreadable,  // the file exists but could not be read: never write it back
};

// Reads the file's lines; lines is empty unless the status is Read.
TextFileStatus ReadTextFile(const std::u16string& path, std::vector<std::u16string>& lines);

// SplitTextLines of the file's bytes; a missing or unreadable file gives no lines.
std::vector<std::u16string> ReadTextLines(const std::u16string& path);

// Replaces the file with EF BB BF followed by every piece as UTF-8, with
// nothing between pieces (they carry their own LF). The file is replaced
// atomically (see WriteFileAtomically): on any failure the old file is left
// as it was. Returns false when the file could not be written.
bool WriteTextLines(const std::u16string& path, const std::vector<std::u16string>& pieces);

// Writes the bytes to a temporary file beside path, flushes it to the disk,
// then renames it over path. A crash or a full disk leaves either the old
// file or the new one whole, never a part. False (and no temporary file left
// behind) when any step fails. One implementation per platform.
bool WriteFileAtomically(const std::u16string& path, std::string_view bytes);

}  // namespace tavirel
