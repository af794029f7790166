#pragma once
// The tray icon's menu and tooltip as data: which items, in which order,
// with which command numbers and check marks, and what a command number
// means. The Windows tray window only turns this into a popup menu and
// hands the chosen command back to DecodeTrayCommand.
#include <cstdint>
#include <string>
#include <vector>

#include "service/AppRules.h"
#include "service/KeyCombo.h"

namespace tavirel {

namespace traycmd {
constexpr uint16_t kMainDialog = 32775;
constexpr uint16_t kSaveNow = 32776;
constexpr uint16_t kGoTat = 32777;
constexpr uint16_t kGoTatPAD = 32778;
constexpr uint16_t kDungTuDien = 32780;
constexpr uint16_t kHotkeyEditor = 32781;
constexpr uint16_t kConversionDialog = 32784;
constexpr uint16_t kQuickConversion = 32786;
constexpr uint16_t kShorthandEditor = 32787;
constexpr uint16_t kRestartAsAdmin = 32791;
constexpr uint16_t kSuggestion = 32792;
constexpr uint16_t kCheckUpdate = 32793;
constexpr uint16_t kGoTatPAC = 32794;
constexpr uint16_t kClipboard = 32795;
constexpr uint16_t kSuaLoiTuDon = 32796;
constexpr uint16_t kSuaLoiTuGhep = 32797;
constexpr uint16_t kAppRules = 32798;
constexpr uint16_t kExit = 57665;
// Code tables and typing methods each have a range of their own, wide
// enough that neither list can run into the other or into a command.
constexpr uint16_t kFirstCodeTable = 40000;
constexpr uint16_t kFirstTypingMethod = 41000;
constexpr uint16_t kMaxListItems = 1000;
}  // namespace traycmd

struct TrayMenuItem {
  std::u16string Text;      // empty for a separator
  uint16_t Command = 0;     // 0 for a separator or a popup
  bool Checked = false;
  bool Default = false;     // shown bold; a double click runs it
  std::vector<TrayMenuItem> Popup;
  bool IsSeparator() const { return Text.empty(); }
};

// What the menu shows, read from the service and the system when it opens.
struct TrayMenuState {
  std::vector<std::u16string> TypingMethods;  // built-in then the user's
  std::vector<std::u16string> CodeTables;
  std::u16string TypingMethod;
  std::u16string CodeTable;
  bool Suggestion = false;
  bool GoTat = false;
  bool GoTatPAD = false;
  bool GoTatPAC = false;
  bool SuaLoiTuDon = false;
  bool SuaLoiTuGhep = false;
  bool DungTuDien = false;
  bool Clipboard = false;
  // The process runs with the limited token of an administrator.
  bool OfferRestartAsAdmin = false;
};

std::vector<TrayMenuItem> BuildTrayMenu(const TrayMenuState& state);

struct TrayChoice {
  enum Kind { kNone, kCommand, kTypingMethod, kCodeTable };
  Kind What = kNone;
  int Index = -1;          // of the typing method or code table
  uint16_t Command = 0;    // for kCommand
};
// A typing method or code table by its position in the lists the menu was
// built from (out of range: none); anything else is a command.
TrayChoice DecodeTrayCommand(uint16_t command, size_t typingMethods, size_t codeTables);

// The tooltip: how a click switches, the on/off hotkey, method and table,
// and a warning when the foreground window cannot be typed into. At most
// 127 characters (the notification area's limit).
// appRule: the line of AppRuleTooltipLine for the program that has the
// focus when it has a rule (empty: none).
std::u16string TrayTooltip(bool on, KeyCombo phimChuyen, const std::u16string& typingMethod,
                           const std::u16string& codeTable, bool foregroundBlocked,
                           const std::u16string& appRule = {});

// A per-program rule in a few words: "notepad.exe: luôn bật, gửi bằng phím".
std::u16string AppRuleTooltipLine(const AppRule& rule);

// The balloon after a user hotkey ran: title and text.
std::u16string ActionBalloonTitle(KeyCombo key);

}  // namespace tavirel
