#include "app/RunAtLogin.h"

#include "common/Ini.h"
#include "common/Letters.h"

namespace tavirel {

std::u16string RunAtLoginCommand(const std::u16string& programPath) {
  return u"\"" + programPath + u"\" /RunAtLogin";
}

bool IsOwnRunAtLoginCommand(const std::u16string& value, const std::u16string& programPath) {
  return !programPath.empty() && EqualsIgnoreAsciiCase(value, RunAtLoginCommand(programPath));
}

bool HasSwitch(const std::vector<std::u16string>& arguments, const std::u16string& name) {
  const std::u16string wanted = letters::ToLower(name);
  for (size_t i = 1; i < arguments.size(); ++i) {
    if (letters::ToLower(arguments[i]) == wanted) return true;
  }
  return false;
}

std::u16string InstanceMutexName(const std::u16string& userSid) {
  return u"Local\\Tavirel-" + (userSid.empty() ? std::u16string(u"unknown-user") : userSid);
}

}  // namespace tavirel
