#pragma once
// Converting a text file into another file.
//
// A file in an 8-bit table is read and written as its raw bytes, so that the
// programs that use that table read it; Unicode tables read and write UTF-8
// (written with a byte-order mark).
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "app/ConversionOptions.h"

namespace tavirel {

struct FileConversionResult {
  bool ok = false;
  std::u16string error;  // the message for the user when !ok
  size_t lost = 0;       // characters the target table cannot hold (written as "?")
  bool written = false;  // false when the text converted to nothing
};

// The text of a file's bytes for a source table: raw bytes (byte n as U+00n)
// for a table of bytes, else UTF-8 without its byte-order mark, each
// malformed byte read as U+FFFD. A file in the table's bytes that this program
// once wrote as UTF-8 (byte-order mark, nothing above U+00FF) reads as those
// bytes. NUL bytes are kept.
std::u16string FileTextForSource(std::string_view bytes, bool sourceIsBytes);

// Told how far a file conversion has come (units of text done of total);
// returns false to stop it, which leaves the target as it was.
using FileProgress = std::function<bool(size_t done, size_t total)>;

// Detection (when on) updates options.source; the target is replaced only
// once the whole converted text has been written beside it. Refuses a target
// that is the source file, however it is spelled.
FileConversionResult ConvertFile(ConversionOptions& options, const std::u16string& sourcePath,
                                 const std::u16string& targetPath, const FileProgress& progress = {});

// The error text of a conversion stopped through its progress function.
inline constexpr char16_t kConversionStopped[] = u"Đã dừng chuyển mã";

// Whether the two paths name the same existing file.
bool SameFile(const std::u16string& a, const std::u16string& b);

}  // namespace tavirel
