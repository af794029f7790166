#include "app/MacroImport.h"

#include "common/Ini.h"
#include "common/TextFile.h"

namespace tavirel {

namespace {

constexpr std::u16string_view kMacroSection = u"Macro Definitions";

bool IsBlank(const std::u16string& line) {
  return line.find_first_not_of(u" \t") == std::u16string::npos;
}

bool HasSpace(std::u16string_view text) { return text.find_first_of(u" \t") != std::u16string_view::npos; }

// Half a surrogate pair (a damaged UTF-16 file) becomes U+FFFD, as it
// would when GoTat.ini is written: the list shows what will be saved.
std::u16string Whole(std::u16string text) {
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    const bool high = c >= 0xD800 && c <= 0xDBFF;
    const bool low = c >= 0xDC00 && c <= 0xDFFF;
    if (high && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      ++i;
    } else if (high || low) {
      text[i] = u'\uFFFD';
    }
  }
  return text;
}

// Adds the pair, or counts it as skipped when the editor would refuse it.
void Take(MacroImport& out, std::u16string key, std::u16string value) {
  key = Whole(std::move(key));
  value = Whole(std::move(value));
  if (CheckShorthand(key, value) != ShorthandCheck::Ok) {
    ++out.Skipped;
    return;
  }
  out.Entries.push_back({std::move(key), std::move(value)});
}

// The section header test of the INI reader: "[name]" after trimming; once
// inside a section, only a line that starts with "[" ends it.
bool IsHeader(const std::u16string& line, bool inSection, std::u16string& name) {
  if (inSection && (line.empty() || line[0] != u'[')) return false;
  const std::u16string t = TrimSpaces(line);
  if (t.empty() || t[0] != u'[') return false;
  const size_t close = t.find(u']');
  if (close == std::u16string::npos) return false;
  name = t.substr(1, close - 1);
  return true;
}

}  // namespace

MacroImport ReadColonMacros(std::string_view bytes) {
  MacroImport out;
  const std::vector<std::u16string> lines = SplitTextLines(bytes);
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::u16string& line = lines[i];
    const size_t colon = line.find(u':');
    if (i == 0 && (colon == std::u16string::npos || colon == 0 ||
                   HasSpace(std::u16string_view(line).substr(0, colon)))) {
      continue;  // the heading
    }
    if (IsBlank(line)) continue;
    if (colon == std::u16string::npos) {
      ++out.Skipped;
      continue;
    }
    Take(out, line.substr(0, colon), line.substr(colon + 1));
  }
  return out;
}

MacroImport ReadIniMacros(std::string_view bytes) {
  MacroImport out;
  // In these files only a line that starts with ";" is a comment: a ";"
  // inside a value is text ("tks=cảm ơn; hẹn gặp lại").
  IniSyntax syntax = StandardIniSyntax();
  syntax.Flags &= ~IniSyntax::CutComment;
  IniKeys keys;
  bool inSection = false;
  bool inMacros = false;
  bool seen = false;  // a later section of the same name is ignored, as by the INI reader
  for (const std::u16string& line : SplitTextLines(bytes)) {
    std::u16string name;
    if (IsHeader(line, inSection, name)) {
      inSection = true;
      inMacros = name == kMacroSection && !seen;
      seen = seen || inMacros;
      continue;
    }
    if (!inMacros || IsBlank(line) || line[0] == syntax.Comment) continue;
    IniKeys one;
    ReadIniBodyLine(syntax, line, one);
    if (one.size() != 1 || one.begin()->first.empty() || keys.count(one.begin()->first) != 0) {
      ++out.Skipped;  // no "=", no key, or a key already given
      continue;
    }
    keys.insert(*one.begin());
  }
  for (auto& [key, value] : keys) Take(out, key, value);
  return out;
}

MacroImport ImportMacroFile(MacroFormat format, const std::u16string& path) {
  std::string bytes;
  if (!ReadFileBytes(path, bytes)) {
    MacroImport failed;
    failed.Read = false;
    return failed;
  }
  return format == MacroFormat::ColonLines ? ReadColonMacros(bytes) : ReadIniMacros(bytes);
}

std::u16string MacroImportSummary(size_t added, size_t skipped, const std::vector<std::u16string>& unreadable) {
  std::u16string text = u"Đã thêm " + FormatInt(static_cast<long long>(added)) + u" từ gõ tắt";
  text += skipped == 0 ? u"." : u", bỏ qua " + FormatInt(static_cast<long long>(skipped)) + u" dòng.";
  if (!unreadable.empty()) {
    text += u"\nKhông đọc được:";
    for (const std::u16string& path : unreadable) text += u"\n" + path;
  }
  return text;
}

}  // namespace tavirel
