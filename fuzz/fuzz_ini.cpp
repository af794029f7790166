// Random bytes as an INI file: the section reader, the flat reader and the
// section lookup must neither crash nor read out of bounds.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "common/Ini.h"
#include "common/TextFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tavirel;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const auto lines = SplitTextLines(bytes);
  const IniSyntax& syntax = StandardIniSyntax();
  const IniSections sections = ParseIniLines(syntax, lines);
  const IniKeys flat = ReadIniFlat(syntax, lines);
  for (const auto& name : IniSectionNamesOf(lines)) {
    const IniKeys keys = IniSectionOf(lines, name);
    for (const auto& [key, value] : keys) {
      GetInt(keys, key, 0);
      GetDouble(keys, key, 0);
    }
  }
  // The writer accepts whatever the reader produced.
  (void)FormatIniPieces(syntax, sections);
  (void)GetInt(flat, u"Count", 0);
  return 0;
}
