#pragma once
// PhimTat.ini: the user's hotkeys, one section per action named by its
// position ("0", "1", ...) with the keys "HotKey", "Name" and "Param".
// Sections are taken in the numeric order of their names, so a list of more
// than ten reads back in the order it was written.
#include <memory>
#include <string>
#include <vector>

#include "app/SettingsFileStatus.h"
#include "common/Ini.h"
#include "service/CHotKeyActionBase.h"

namespace tavirel {

class CInputMethodService;

inline constexpr char16_t kPhimTatFile[] = u"PhimTat.ini";

// The section names in the order their actions are read: names that are
// decimal numbers by value (then as written), any other names after them in
// code-unit order.
std::vector<std::u16string> HotkeySectionOrder(const IniSections& sections);

// The actions of the parsed file, bound to service. Sections whose "Name" is
// none of the eight action names are skipped.
std::vector<std::unique_ptr<CHotKeyActionBase>> ParseHotkeys(const IniSections& sections,
                                                             CInputMethodService* service);

// Empties the service's user hotkeys and refills them from the file (left
// empty unless the status is Read). Reads now what the actions will need
// later in the keyboard hook (the single-word dictionary).
SettingsFileStatus LoadHotkeys(const std::u16string& path, CInputMethodService& service);

// The sections for a list of actions, in list order; entries that are not
// user actions are left out.
IniSections FormatHotkeys(const std::vector<std::unique_ptr<CHotKeyActionBase>>& actions);
bool SaveHotkeys(const std::u16string& path, const std::vector<std::unique_ptr<CHotKeyActionBase>>& actions);

}  // namespace tavirel
