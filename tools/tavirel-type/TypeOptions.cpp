#include "TypeOptions.h"

#include "app/LuaChonFile.h"
#include "common/Utf8.h"

namespace tavirel {

bool ApplyTypeOption(CInputMethodService& service, AppOptions& app, const std::string& key,
                     const std::string& value, std::string& error) {
  if (!SetOption(service, app, Utf8ToUtf16(key), Utf8ToUtf16(value))) {
    error = "unknown option '" + key + "' (see --help for the list)";
    return false;
  }
  return true;
}

std::vector<std::string> TypeOptionKeys() {
  std::vector<std::string> keys;
  for (const std::u16string& key : OptionKeys()) keys.push_back(Utf16ToUtf8(key));
  return keys;
}

}  // namespace tavirel
