#pragma once
// GoTat.ini: the shorthand table, one "abbreviation TAB expansion" line per
// shorthand after a header line.
//
// File form. The first line is the header and is skipped only when it holds
// no TAB (a hand-made file that starts with a shorthand keeps it). A line is
// split at its first TAB; lines without a TAB are ignored; nothing is
// trimmed. An expansion may hold TABs as they are.
//
// Line breaks. An expansion with a CR or LF (a shorthand made from copied
// text) cannot be one line. Such a table is written with the escaped header
// (the plain header followed by kGoTatEscapeNote): then, in both columns,
// "\n" stands for LF, "\r" for CR, "\t" for TAB and "\\" for a backslash. A
// table without line breaks is written exactly as before (plain header, no
// escapes), and a file with any other first line is read as before.
#include <string>
#include <string_view>
#include <vector>

#include "app/SettingsFileStatus.h"

namespace tavirel {

class CTypingContext;

inline constexpr char16_t kGoTatFile[] = u"GoTat.ini";
inline constexpr std::u16string_view kGoTatHeader =
    u"Đừng xóa dòng này ! Dùng ký tự TAB để phân cách . Thông tin ở đây được lưu ở dạng UTF-8 .";
inline constexpr std::u16string_view kGoTatEscapeNote = u" \\n = xuống dòng";

struct ShorthandTable {
  std::vector<std::u16string> Keys;    // abbreviations
  std::vector<std::u16string> Values;  // expansions, parallel to Keys
};

ShorthandTable ParseShorthands(const std::vector<std::u16string>& lines);
// The pieces of the file (each ends with LF), without the byte-order mark.
std::vector<std::u16string> FormatShorthands(const ShorthandTable& table);

// Reads the file into the context's shorthand lists; they are left as they
// are unless the status is Read. An entry whose expansion is longer than
// kMaxShorthandExpansion (a hand-edited file) stays in the lists, so the
// editor shows it and a save keeps it, but it never types; *overlong, when
// given, receives the abbreviations of such entries.
SettingsFileStatus LoadShorthands(const std::u16string& path, CTypingContext& context,
                                  std::vector<std::u16string>* overlong = nullptr);
// The abbreviations whose expansion is too long to be typed, in table order.
std::vector<std::u16string> OverlongShorthands(const ShorthandTable& table);
// What the user is told at start about them ("" when there are none).
std::u16string OverlongShorthandsMessage(const std::vector<std::u16string>& abbreviations);
// Writes the context's lists; false when the file could not be written.
bool SaveShorthands(const std::u16string& path, const CTypingContext& context);

}  // namespace tavirel
