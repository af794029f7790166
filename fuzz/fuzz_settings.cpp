// Random bytes as each of the three settings files: LuaChon.ini, GoTat.ini
// and PhimTat.ini. Nothing may crash, and what the program would write back
// must read back the same: the options re-applied from what was collected
// collect the same again, a shorthand table survives its own file form, and
// the hotkeys saved read back as saved.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "app/AppOptions.h"
#include "app/GoTatFile.h"
#include "app/LuaChonFile.h"
#include "app/PhimTatFile.h"
#include "common/Ini.h"
#include "common/TextFile.h"
#include "common/Utf8.h"
#include "service/CInputMethodService.h"
#include "sim/SimDesktop.h"

using namespace tavirel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static SimDesktop desk;
  static CInputMethodService service(&desk);
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const auto lines = SplitTextLines(bytes);
  IniSections sections = ParseIniLines(StandardIniSyntax(), lines);

  // LuaChon.ini. The compound dictionary is large; loading it per input
  // would only slow the search down.
  if (auto it = sections.find(kLuaChonSection); it != sections.end()) it->second.erase(u"SuaLoiChinhTaTuGhep");
  AppOptions app;
  ApplyOptions(sections, service, app, size % 2 == 0);
  const IniSections collected = CollectOptions(service, app);
  ApplyOptions(collected, service, app, true);
  if (CollectOptions(service, app) != collected) std::abort();

  // GoTat.ini
  const ShorthandTable table = ParseShorthands(lines);
  std::u16string joined;
  for (const auto& piece : FormatShorthands(table)) joined += piece;
  const ShorthandTable back = ParseShorthands(SplitTextLines("\xEF\xBB\xBF" + Utf16ToUtf8(joined)));
  if (back.Keys.size() != table.Keys.size()) std::abort();
  // Lone surrogates become U+FFFD in UTF-8; everything else comes back.
  const bool surrogates = std::any_of(joined.begin(), joined.end(), [](char16_t c) { return c >= 0xD800 && c < 0xE000; });
  if (!surrogates && (back.Keys != table.Keys || back.Values != table.Values)) std::abort();

  // PhimTat.ini
  auto actions = ParseHotkeys(sections, &service);
  const IniSections saved = FormatHotkeys(actions);
  if (FormatHotkeys(ParseHotkeys(saved, &service)) != saved) std::abort();
  return 0;
}
