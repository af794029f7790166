#include "common/Ini.h"

#include <climits>
#include <cstdlib>
#include <sstream>

#include "common/TextFile.h"
#include "common/Utf8.h"

namespace tavirel {

const IniSyntax& StandardIniSyntax() {
  static const IniSyntax syntax;
  return syntax;
}

std::u16string TrimSpaces(const std::u16string& text) {
  size_t b = 0, e = text.size();
  while (b < e && text[b] == u' ') ++b;
  while (e > b && text[e - 1] == u' ') --e;
  return text.substr(b, e - b);
}

bool EqualsIgnoreAsciiCase(const std::u16string& a, const std::u16string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char16_t x = a[i], y = b[i];
    if (x >= u'A' && x <= u'Z') x = static_cast<char16_t>(x + 32);
    if (y >= u'A' && y <= u'Z') y = static_cast<char16_t>(y + 32);
    if (x != y) return false;
  }
  return true;
}

namespace {

// Header test on the trimmed line: starts with the opener and holds a closer.
bool IsTrimmedHeader(const IniSyntax& s, const std::u16string& line, std::u16string* name) {
  const std::u16string t = TrimSpaces(line);
  if (t.empty() || t[0] != s.SectionOpen) return false;
  const size_t close = t.find(s.SectionClose);
  if (close == std::u16string::npos) return false;
  if (name) *name = t.substr(1, close - 1);
  return true;
}

// End-of-body test on the untrimmed line.
bool IsRawHeader(const IniSyntax& s, const std::u16string& line) {
  return !line.empty() && line[0] == s.SectionOpen && line.find(s.SectionClose) != std::u16string::npos;
}

void Store(IniKeys& keys, const std::u16string& key, const std::u16string& value) {
  keys.emplace(key, value);  // a key already present keeps its first value
}

}  // namespace

void ReadIniBodyLine(const IniSyntax& s, const std::u16string& line, IniKeys& keys) {
  if (line.empty() && (s.Flags & IniSyntax::SkipEmpty)) return;
  if (s.Flags != 0 && !line.empty() && line[0] == s.Comment) return;
  const size_t sep = line.find(s.Separator);
  if (sep == std::u16string::npos && (s.Flags & IniSyntax::SkipNoSeparator)) return;
  std::u16string key = sep == std::u16string::npos ? line : line.substr(0, sep);
  std::u16string value = sep == std::u16string::npos ? std::u16string() : line.substr(sep + 1);
  if (s.Flags & IniSyntax::TrimKeys) key = TrimSpaces(key);
  if (s.Flags & IniSyntax::TrimValues) value = TrimSpaces(value);
  if (s.Flags & IniSyntax::CutComment) {
    const size_t c = value.find(s.Comment);
    if (c != std::u16string::npos) value.resize(c);
  }
  if (s.Flags & IniSyntax::SplitKeyList) {
    size_t start = 0;
    while (true) {
      const size_t amp = key.find(s.KeyListSeparator, start);
      std::u16string part = key.substr(start, amp == std::u16string::npos ? std::u16string::npos : amp - start);
      if (s.Flags & IniSyntax::TrimKeys) part = TrimSpaces(part);
      Store(keys, part, value);
      if (amp == std::u16string::npos) break;
      start = amp + 1;
    }
    return;
  }
  Store(keys, key, value);
}

IniSections ParseIniLines(const IniSyntax& s, const std::vector<std::u16string>& lines) {
  IniSections sections;
  IniKeys* body = nullptr;   // null while before the first header or in a repeated section
  bool inSection = false;
  IniKeys discard;
  for (const auto& line : lines) {
    std::u16string name;
    const bool header = inSection ? (IsRawHeader(s, line) && IsTrimmedHeader(s, line, &name))
                                  : IsTrimmedHeader(s, line, &name);
    if (header) {
      inSection = true;
      auto [it, fresh] = sections.try_emplace(name);
      body = fresh ? &it->second : nullptr;  // a later body of the same name is dropped
      discard.clear();
      continue;
    }
    if (!inSection) continue;
    ReadIniBodyLine(s, line, body ? *body : discard);
  }
  return sections;
}

IniSections ReadIniFile(const IniSyntax& syntax, const std::u16string& path) {
  return ParseIniLines(syntax, ReadTextLines(path));
}

TextFileStatus ReadIniFile(const IniSyntax& syntax, const std::u16string& path, IniSections& sections) {
  std::vector<std::u16string> lines;
  const TextFileStatus status = ReadTextFile(path, lines);
  sections = ParseIniLines(syntax, lines);
  return status;
}

std::vector<std::u16string> FormatIniPieces(const IniSyntax& s, const IniSections& sections) {
  std::vector<std::u16string> pieces;
  for (const auto& [name, keys] : sections) {
    pieces.push_back(std::u16string(1, s.SectionOpen) + name + s.SectionClose + u'\n');
    for (const auto& [key, value] : keys) pieces.push_back(key + s.Separator + value + u'\n');
    pieces.push_back(u"\n");
  }
  return pieces;
}

bool WriteIniFile(const IniSyntax& syntax, const std::u16string& path, const IniSections& sections) {
  return WriteTextLines(path, FormatIniPieces(syntax, sections));
}

std::vector<std::u16string> IniSectionNamesOf(const std::vector<std::u16string>& lines) {
  std::vector<std::u16string> names;
  const IniSyntax& s = StandardIniSyntax();
  for (const auto& line : lines) {
    std::u16string name;
    if (IsTrimmedHeader(s, line, &name)) names.push_back(name);
  }
  return names;
}

std::vector<std::u16string> ReadIniSectionNames(const std::u16string& path) {
  return IniSectionNamesOf(ReadTextLines(path));
}

IniKeys IniSectionOf(const std::vector<std::u16string>& lines, const std::u16string& wanted) {
  IniKeys keys;
  const IniSyntax& s = StandardIniSyntax();
  size_t i = 0;
  for (; i < lines.size(); ++i) {
    std::u16string name;
    if (IsTrimmedHeader(s, lines[i], &name) && EqualsIgnoreAsciiCase(name, wanted)) break;
  }
  if (i == lines.size()) return keys;
  for (++i; i < lines.size() && !IsRawHeader(s, lines[i]); ++i) ReadIniBodyLine(s, lines[i], keys);
  return keys;
}

IniKeys ReadIniSection(const std::u16string& path, const std::u16string& name) {
  return IniSectionOf(ReadTextLines(path), name);
}

IniKeys ReadIniFlat(const IniSyntax& s, const std::vector<std::u16string>& lines) {
  IniKeys keys;
  for (const auto& line : lines) {
    if (IsRawHeader(s, line)) break;
    ReadIniBodyLine(s, line, keys);
  }
  return keys;
}

int ParseInt(const std::u16string& text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == u' ' || (text[i] >= u'\t' && text[i] <= u'\r'))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
  long long value = 0;
  bool digits = false;
  for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
    digits = true;
    if (value <= static_cast<long long>(INT_MAX) + 1) value = value * 10 + (text[i] - u'0');
  }
  if (!digits) return 0;
  if (negative) value = -value;
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

int GetInt(const IniKeys& keys, const std::u16string& key, int def) {
  const auto it = keys.find(key);
  return it == keys.end() ? def : ParseInt(it->second);
}

bool GetBool(const IniKeys& keys, const std::u16string& key, bool def) {
  return GetInt(keys, key, def ? 1 : 0) != 0;
}

double GetDouble(const IniKeys& keys, const std::u16string& key, double def) {
  const auto it = keys.find(key);
  if (it == keys.end()) return def;
  std::istringstream in(Utf16ToUtf8(it->second));
  double value = 0;
  in >> value;
  return in.fail() ? 0.0 : value;
}

std::u16string GetString(const IniKeys& keys, const std::u16string& key, const std::u16string& def) {
  const auto it = keys.find(key);
  return it == keys.end() ? def : it->second;
}

std::u16string FormatBool(bool value) { return value ? u"1" : u"0"; }

std::u16string FormatInt(long long value) {
  const std::string s = std::to_string(value);
  return std::u16string(s.begin(), s.end());
}

std::u16string FormatDouble(double value) {
  std::ostringstream out;
  out << value;
  const std::string s = out.str();
  return std::u16string(s.begin(), s.end());
}

}  // namespace tavirel
