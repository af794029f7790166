// A user KieuGo.ini made of random bytes: every method it holds, saved the
// way the registry saves user methods and read back, is the same method;
// and the saved file, saved again, is the same file.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "common/Ini.h"
#include "common/TextFile.h"
#include "common/Utf8.h"
#include "tables/CKieuGo.h"

namespace {

using namespace tavirel;

// The methods of a file as LoadKieuGo finds them in the user file: the first
// section of each exact name.
KieuGoMethods MethodsOf(const std::vector<std::u16string>& lines) {
  KieuGoMethods methods;
  for (const auto& [name, keys] : ParseIniLines(StandardIniSyntax(), lines)) {
    methods.emplace(name, CKieuGo::FromSection(keys));
  }
  return methods;
}

std::string FileBytes(const KieuGoMethods& methods) {
  IniSections sections;
  for (const auto& [name, method] : methods) sections.emplace(name, method.ToSection());
  std::string bytes = "\xEF\xBB\xBF";
  for (const auto& piece : FormatIniPieces(StandardIniSyntax(), sections)) bytes += Utf16ToUtf8(piece);
  return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  KieuGoMethods loaded = MethodsOf(SplitTextLines(bytes));
  // Names a header cannot hold are refused by the editor and by the save.
  for (auto it = loaded.begin(); it != loaded.end();) {
    it = IsStorableMethodName(it->first) ? std::next(it) : loaded.erase(it);
  }
  const std::string saved = FileBytes(loaded);
  const KieuGoMethods back = MethodsOf(SplitTextLines(saved));
  if (back != loaded) std::abort();
  if (FileBytes(back) != saved) std::abort();
  // Every binding looks up as itself.
  for (const auto& [name, method] : back) {
    for (const auto& [key, binding] : method) {
      const KeyBinding* found = method.Find(key);
      if (found == nullptr || !(*found == binding)) std::abort();
      (void)binding.DisplayText();
    }
  }
  return 0;
}
