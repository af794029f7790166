#pragma once
// What the main dialog shows and what its Apply changes, without a window.
//
// The dialog reads the options once each time it is shown (LoadControls:
// the "LuaChon" keys as CollectOptions writes them, read on the service's
// thread) into a MainDlgState; the Win32 dialog copies that state into its
// controls and, on Apply, back out of them. ApplyChanges then lists the
// options to set, in the order the settings are applied (code table, typing
// method, on/off hotkey, then page by page), as "LuaChon" key and text
// pairs that SetOption takes, so the dialog and the settings file can never
// disagree on what a value means.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "common/Ini.h"
#include "service/KeyCombo.h"

namespace tavirel {

// One check box and the option it mirrors.
struct MainDlgCheck {
  int Id;
  int Page;  // index of its option page
  const char16_t* Key;
};

// The check boxes, in the order Apply sets them within their pages.
const std::vector<MainDlgCheck>& MainDlgChecks();

// The four hotkey controls.
enum class MainDlgHotKey { PhimChuyen, PhimGoiY, PhimKhoiPhuc, PhimClear };
inline constexpr MainDlgHotKey kMainDlgHotKeys[] = {MainDlgHotKey::PhimChuyen, MainDlgHotKey::PhimGoiY,
                                                    MainDlgHotKey::PhimKhoiPhuc, MainDlgHotKey::PhimClear};
const char16_t* OptionKey(MainDlgHotKey which);

// The suggestion count list: its items and the count each stands for.
inline constexpr int kCountItems = 3;
extern const char16_t* const kCountItemTexts[kCountItems];
inline constexpr int32_t kCountItemValues[kCountItems] = {12, 24, 0};
// The item whose count is this, or -1.
int CountItemOf(int32_t count);

// The item of a list to select for a name: the first that equals it,
// ignoring the case of ASCII and Vietnamese letters; when none does, the
// first that begins with it; -1 when none does either (or the name is
// empty). So "Telex" picks "Telex" even when "Telex 2" is listed before it.
int SelectName(const std::vector<std::u16string>& items, const std::u16string& name);

struct MainDlgState {
  std::vector<std::u16string> Methods;  // list 1068
  std::vector<std::u16string> Tables;   // list 1064
  int Method = -1;                      // selected item, -1 none
  int Table = -1;
  std::map<int, bool> Checks;           // by control id
  std::u16string SpecialWords;          // edit 1079
  int Count = -1;                       // item of list 1071, -1 none
  std::map<MainDlgHotKey, KeyCombo> HotKeys;
  bool RunAtLogin = false;

  bool operator==(const MainDlgState&) const = default;
};

// LoadControls: the state shown for the current options.
MainDlgState LoadState(const IniKeys& options, std::vector<std::u16string> methods,
                       std::vector<std::u16string> tables, bool runAtLogin);

// ApplyControls: the options to set, in order, for what the controls show.
// A list without a selection leaves its option alone; the compound-word
// correction is set only when it changes (turning it on loads a dictionary).
// Run at login is not an option of the file: the caller sets it.
std::vector<std::pair<std::u16string, std::u16string>> ApplyChanges(const MainDlgState& shown,
                                                                    const IniKeys& options);

// After the user's methods were edited: the method to switch to when the
// one in use is no longer listed (the default method), or nothing.
std::optional<std::u16string> MethodAfterEdit(const std::u16string& active,
                                              const std::vector<std::u16string>& names);

// The options among changes that need the single-word dictionary read
// before they are set (it is read on the dialog's thread, never the hook's).
bool NeedsSingleWordDictionary(const std::vector<std::pair<std::u16string, std::u16string>>& changes);

}  // namespace tavirel
