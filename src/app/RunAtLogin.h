#pragma once
// The per-user run-at-login value and the command-line switches, as text.
// The registry calls are in win/CTavirelApp.cpp.
#include <string>
#include <vector>

namespace tavirel {

// HKCU\Software\Microsoft\Windows\CurrentVersion\Run, value "Tavirel".
inline constexpr char16_t kRunKey[] = u"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr char16_t kRunValueName[] = u"Tavirel";

// "\"<program path>\" /RunAtLogin"
std::u16string RunAtLoginCommand(const std::u16string& programPath);

// Whether a stored value starts this very program at login: equal to
// RunAtLoginCommand, ignoring the case of ASCII letters. A value for another
// copy, unquoted, or without the switch is not.
bool IsOwnRunAtLoginCommand(const std::u16string& value, const std::u16string& programPath);

// Whether an argument after the program name equals the switch, ignoring
// the case of ASCII and Vietnamese letters.
bool HasSwitch(const std::vector<std::u16string>& arguments, const std::u16string& name);

// The name of the mutex that marks the copy of one user in one session:
// in the session's namespace, with the user's SID in it.
std::u16string InstanceMutexName(const std::u16string& userSid);

}  // namespace tavirel
