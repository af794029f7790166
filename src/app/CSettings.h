#pragma once
// The user's three settings files together: read once at start-up in the
// order LuaChon.ini, GoTat.ini, PhimTat.ini, and written back on request.
//
// A file that was there but could not be read at start-up is never written
// over by an automatic save (at exit, at the end of the session): it still
// holds the user's settings, and the program runs on defaults. An explicit
// save (the user's "save now", a dialog's OK) writes it. Every save answers
// whether the file was written, so that a failure can be shown to the user.
#include <string>
#include <vector>

#include "app/AppOptions.h"
#include "app/SettingsFileStatus.h"

namespace tavirel {

class CAppRules;
class CInputMethodService;

enum class SaveKind {
  Automatic,  // at exit, when the session ends
  Explicit,   // the user asked for it
};

enum class SaveResult {
  Written,
  Failed,           // the file could not be written
  KeptUnreadFile,   // an automatic save left a file that could not be read alone
};

class CSettings {
 public:
  // folder holds the three files (SettingsFolder() in the program).
  CSettings(CInputMethodService& service, AppOptions& app, std::u16string folder);

  // Reads the three files in order; runAtLogin: the program was started with
  // "/RunAtLogin" (then a saved "Enabled=0" starts it switched off).
  void Load(bool runAtLogin);

  SaveResult SaveOptions(SaveKind kind);
  SaveResult SaveShorthands(SaveKind kind = SaveKind::Explicit);
  SaveResult SaveHotkeys(SaveKind kind = SaveKind::Explicit);
  // UngDung.ini, the per-program rules (read at start-up with the others);
  // written only when the user changes them.
  SaveResult SaveAppRules(const CAppRules& rules);

  std::u16string OptionsPath() const;
  std::u16string ShorthandsPath() const;
  std::u16string HotkeysPath() const;
  std::u16string AppRulesPath() const;
  const std::u16string& Folder() const { return folder_; }

  SettingsFileStatus OptionsStatus() const { return options_; }
  SettingsFileStatus ShorthandsStatus() const { return shorthands_; }
  SettingsFileStatus HotkeysStatus() const { return hotkeys_; }
  SettingsFileStatus AppRulesStatus() const { return appRules_; }
  // Shorthands read at start whose expansion is too long to be typed.
  const std::vector<std::u16string>& OverlongShorthands() const { return overlongShorthands_; }

 private:
  SaveResult Save(SettingsFileStatus& status, SaveKind kind, bool (CSettings::*write)());
  bool WriteOptions();
  bool WriteShorthands();
  bool WriteHotkeys();
  bool WriteAppRules();

  CInputMethodService& service_;
  AppOptions& app_;
  std::u16string folder_;
  SettingsFileStatus options_ = SettingsFileStatus::Missing;
  SettingsFileStatus shorthands_ = SettingsFileStatus::Missing;
  SettingsFileStatus hotkeys_ = SettingsFileStatus::Missing;
  SettingsFileStatus appRules_ = SettingsFileStatus::Missing;
  const CAppRules* pendingRules_ = nullptr;  // during SaveAppRules
  std::vector<std::u16string> overlongShorthands_;
};

}  // namespace tavirel
