// Random bytes as a macro file of both import forms (colon lines, INI
// section). Nothing may crash, and every entry an import offers must be one
// the shorthand editor accepts and GoTat.ini keeps as it is.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "app/GoTatFile.h"
#include "app/MacroImport.h"
#include "common/TextFile.h"
#include "common/Utf8.h"

namespace {

void Check(const tavirel::MacroImport& got) {
  using namespace tavirel;
  ShorthandTable table;
  for (const auto& e : got.Entries) {
    if (CheckShorthand(e.Abbreviation, e.Expansion) != ShorthandCheck::Ok) std::abort();
    table.Keys.push_back(e.Abbreviation);
    table.Values.push_back(e.Expansion);
  }
  std::string bytes;
  for (const auto& piece : FormatShorthands(table)) bytes += Utf16ToUtf8(piece);
  const ShorthandTable back = ParseShorthands(SplitTextLines(bytes));
  if (back.Keys != table.Keys || back.Values != table.Values) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  Check(tavirel::ReadColonMacros(bytes));
  Check(tavirel::ReadIniMacros(bytes));
  return 0;
}
