#pragma once
// Reading the macro tables of other Vietnamese input programs into the
// shorthand editor ("Nạp từ"). Two text forms:
//
// - Colon lines: one "abbreviation:expansion" per line, split at the first
//   ":", nothing trimmed; the first line is a heading, except when it reads
//   as an entry itself (an abbreviation without spaces before its ":"), so
//   a file without heading keeps its first macro.
// - INI: the keys and values of the section "Macro Definitions" (first
//   value of a key wins; entries in the code-unit order of the keys), with
//   the program's standard INI syntax, except that a ";" inside a value is
//   kept: only a line that starts with ";" is a comment there.
//
// Files are decoded like every text file of the program (DecodeTextFile):
// UTF-8 with or without byte-order mark, UTF-16 with one, otherwise the
// Vietnamese ANSI code page; nothing is ever cut at an unexpected byte.
// Entries the editor would refuse (no abbreviation, too long) and lines that
// hold no entry are counted as skipped; blank lines, comments and the
// heading are not.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "app/GoTatEditor.h"

namespace tavirel {

struct MacroImport {
  std::vector<CGoTatEditor::Entry> Entries;  // in the order they are added
  size_t Skipped = 0;                        // lines that gave no entry
  bool Read = true;                          // false: the file could not be read
};

MacroImport ReadColonMacros(std::string_view bytes);
MacroImport ReadIniMacros(std::string_view bytes);

enum class MacroFormat { ColonLines, Ini };
MacroImport ImportMacroFile(MacroFormat format, const std::u16string& path);

// The Vietnamese summary shown after an import of one or more files:
// "Đã thêm 12 từ gõ tắt, bỏ qua 2 dòng." (and the files that could not be
// read).
std::u16string MacroImportSummary(size_t added, size_t skipped, const std::vector<std::u16string>& unreadable);

}  // namespace tavirel
