#pragma once
// Settings a user would change, by their LuaChon.ini key names, applied to a
// running service the way the settings file applies them.
#include <string>
#include <vector>

namespace tavirel {

class CInputMethodService;
struct AppOptions;

// Applies KEY=VALUE; false with a message when the key is unknown.
bool ApplyTypeOption(CInputMethodService& service, AppOptions& app, const std::string& key,
                     const std::string& value, std::string& error);
// The keys ApplyTypeOption accepts.
std::vector<std::string> TypeOptionKeys();

}  // namespace tavirel
