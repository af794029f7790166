#pragma once
// Sectioned INI files shared by every settings and data file of the program.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "common/TextFile.h"

namespace tavirel {

struct IniSyntax {
  char16_t SectionOpen = u'[';
  char16_t SectionClose = u']';
  char16_t Separator = u'=';
  char16_t Dot = u'.';           // carried along; the reader and writer do not use it
  char16_t KeyListSeparator = u'&';
  char16_t Comment = u';';
  uint32_t Flags = 0xF2;

  static constexpr uint32_t TrimValues = 0x80;
  static constexpr uint32_t TrimKeys = 0x40;
  static constexpr uint32_t CutComment = 0x20;
  static constexpr uint32_t SkipNoSeparator = 0x10;
  static constexpr uint32_t SplitKeyList = 0x08;
  static constexpr uint32_t SkipEmpty = 0x02;
};

// The standard syntax every caller passes.
const IniSyntax& StandardIniSyntax();

using IniKeys = std::map<std::u16string, std::u16string>;
using IniSections = std::map<std::u16string, IniKeys>;

IniSections ReadIniFile(const IniSyntax& syntax, const std::u16string& path);
// The same, telling a missing file from one that could not be read (which a
// caller must never write back: it would lose what it could not read).
TextFileStatus ReadIniFile(const IniSyntax& syntax, const std::u16string& path, IniSections& sections);
IniSections ParseIniLines(const IniSyntax& syntax, const std::vector<std::u16string>& lines);
bool WriteIniFile(const IniSyntax& syntax, const std::u16string& path, const IniSections& sections);
// The pieces WriteIniFile writes (without the byte-order mark).
std::vector<std::u16string> FormatIniPieces(const IniSyntax& syntax, const IniSections& sections);

std::vector<std::u16string> ReadIniSectionNames(const std::u16string& path);
std::vector<std::u16string> IniSectionNamesOf(const std::vector<std::u16string>& lines);
IniKeys ReadIniSection(const std::u16string& path, const std::u16string& name);
IniKeys IniSectionOf(const std::vector<std::u16string>& lines, const std::u16string& name);

// A file without sections: body rules from the first line; a "[...]" line ends it.
IniKeys ReadIniFlat(const IniSyntax& syntax, const std::vector<std::u16string>& lines);

// Applies the body rules to one line and stores the pair (first value wins).
void ReadIniBodyLine(const IniSyntax& syntax, const std::u16string& line, IniKeys& keys);

// Decimal integer the way stream extraction reads it: leading white space
// skipped, optional sign, digits up to the first other character; no digits
// gives 0, out of range gives the nearest limit.
int ParseInt(const std::u16string& text);

int GetInt(const IniKeys& keys, const std::u16string& key, int def);
bool GetBool(const IniKeys& keys, const std::u16string& key, bool def);
double GetDouble(const IniKeys& keys, const std::u16string& key, double def);
std::u16string GetString(const IniKeys& keys, const std::u16string& key, const std::u16string& def);

std::u16string FormatBool(bool value);
std::u16string FormatInt(long long value);
std::u16string FormatDouble(double value);  // default stream form: 0.7 -> "0.7"

// Removes U+0020 from both ends.
std::u16string TrimSpaces(const std::u16string& text);
// Equal without regard to the case of the ASCII letters A to Z only.
bool EqualsIgnoreAsciiCase(const std::u16string& a, const std::u16string& b);

}  // namespace tavirel
