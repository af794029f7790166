#pragma once
// UngDung.ini: the per-program rules, one section per program named by its
// executable file name, with the keys
//   "TiengViet"  Vietnamese when the program gets the focus: 1 on, 0 off,
//                2 as the program last had it; absent: left as it is;
//   "CachGui"    how text is delivered: 1 key packets, 2 the clipboard,
//                3 a Delete before the Backspaces (auto-completing fields);
//                absent or 0: as the window and the options decide.
// Sections that are no file name, and values out of range, are left out.
#include <string>

#include "app/SettingsFileStatus.h"
#include "common/Ini.h"
#include "service/AppRules.h"

namespace tavirel {

inline constexpr char16_t kUngDungFile[] = u"UngDung.ini";

CAppRules ParseAppRules(const IniSections& sections);
IniSections FormatAppRules(const CAppRules& rules);
// rules is empty unless the status is Read.
SettingsFileStatus LoadAppRules(const std::u16string& path, CAppRules& rules);
bool SaveAppRules(const std::u16string& path, const CAppRules& rules);

}  // namespace tavirel
