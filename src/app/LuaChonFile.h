#pragma once
// LuaChon.ini: the options of the service and of the application, in the
// sections "LuaChon" and "ChuyenMa".
//
// Reading applies each key, in a fixed order, through the option's owner
// (the service, its typing context, the application's own options); a key
// that is missing, or whose value is not a number where a number belongs,
// leaves the option as it is. Numbers are kept inside their sensible ranges.
// Saving writes both sections whole from the current values.
#include <string>
#include <vector>

#include "app/AppOptions.h"
#include "app/SettingsFileStatus.h"
#include "common/Ini.h"

namespace tavirel {

class CInputMethodService;

inline constexpr char16_t kLuaChonFile[] = u"LuaChon.ini";
inline constexpr char16_t kLuaChonSection[] = u"LuaChon";
inline constexpr char16_t kChuyenMaSection[] = u"ChuyenMa";

// Ranges the read values are kept in.
inline constexpr int32_t kMaxSoLuongTuGoiY = 200;  // 0 means all
inline constexpr int32_t kMinSuggestionUIAlpha = 32;  // below it the window cannot be seen
inline constexpr int32_t kMaxSuggestionUIAlpha = 255;

// Applies parsed LuaChon.ini sections. "Enabled" is honoured only when
// runAtLogin is true, and then only to switch typing off.
void ApplyOptions(const IniSections& sections, CInputMethodService& service, AppOptions& app,
                  bool runAtLogin);

// Reads the file and applies it; nothing changes unless the status is Read.
SettingsFileStatus LoadOptions(const std::u16string& path, CInputMethodService& service, AppOptions& app,
                               bool runAtLogin);

// The two sections with every key, from the current values.
IniSections CollectOptions(CInputMethodService& service, const AppOptions& app);

// Writes CollectOptions to the file; false when it could not be written.
bool SaveOptions(const std::u16string& path, CInputMethodService& service, const AppOptions& app);

// One "LuaChon" key set from its text, as if read from the file ("Enabled"
// both ways); false for an unknown key.
bool SetOption(CInputMethodService& service, AppOptions& app, const std::u16string& key,
               const std::u16string& value);

// The "LuaChon" keys in reading order.
std::vector<std::u16string> OptionKeys();

// The number at the start of text the way the files are read (see ParseInt);
// false when text does not begin with one.
bool ParseIntStrict(const std::u16string& text, int& value);

}  // namespace tavirel
