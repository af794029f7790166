#include "app/CSettings.h"

#include "app/GoTatFile.h"
#include "app/LuaChonFile.h"
#include "app/PhimTatFile.h"
#include "app/SettingsFolder.h"
#include "app/UngDungFile.h"
#include "common/AppDirectory.h"
#include "service/CInputMethodService.h"
#include "service/CTypingContext.h"

namespace tavirel {

CSettings::CSettings(CInputMethodService& service, AppOptions& app, std::u16string folder)
    : service_(service), app_(app), folder_(std::move(folder)) {}

std::u16string CSettings::OptionsPath() const { return JoinPath(folder_, kLuaChonFile); }
std::u16string CSettings::ShorthandsPath() const { return JoinPath(folder_, kGoTatFile); }
std::u16string CSettings::HotkeysPath() const { return JoinPath(folder_, kPhimTatFile); }
std::u16string CSettings::AppRulesPath() const { return JoinPath(folder_, kUngDungFile); }

void CSettings::Load(bool runAtLogin) {
  options_ = LoadOptions(OptionsPath(), service_, app_, runAtLogin);
  shorthands_ = LoadShorthands(ShorthandsPath(), service_.Context(), &overlongShorthands_);
  hotkeys_ = LoadHotkeys(HotkeysPath(), service_);
  CAppRules rules;
  appRules_ = LoadAppRules(AppRulesPath(), rules);
  service_.SetAppRules(std::move(rules));
}

SaveResult CSettings::Save(SettingsFileStatus& status, SaveKind kind, bool (CSettings::*write)()) {
  if (status == SettingsFileStatus::Unreadable && kind == SaveKind::Automatic) {
    return SaveResult::KeptUnreadFile;
  }
  if (!EnsureFolder(folder_) || !(this->*write)()) return SaveResult::Failed;
  // What is in the file now is what the program holds.
  status = SettingsFileStatus::Read;
  return SaveResult::Written;
}

SaveResult CSettings::SaveOptions(SaveKind kind) { return Save(options_, kind, &CSettings::WriteOptions); }
SaveResult CSettings::SaveShorthands(SaveKind kind) {
  return Save(shorthands_, kind, &CSettings::WriteShorthands);
}
SaveResult CSettings::SaveHotkeys(SaveKind kind) { return Save(hotkeys_, kind, &CSettings::WriteHotkeys); }
SaveResult CSettings::SaveAppRules(const CAppRules& rules) {
  pendingRules_ = &rules;
  const SaveResult result = Save(appRules_, SaveKind::Explicit, &CSettings::WriteAppRules);
  pendingRules_ = nullptr;
  return result;
}

bool CSettings::WriteOptions() { return tavirel::SaveOptions(OptionsPath(), service_, app_); }
bool CSettings::WriteShorthands() { return tavirel::SaveShorthands(ShorthandsPath(), service_.Context()); }
bool CSettings::WriteHotkeys() { return tavirel::SaveHotkeys(HotkeysPath(), service_.UserHotKeys()); }
bool CSettings::WriteAppRules() { return pendingRules_ && tavirel::SaveAppRules(AppRulesPath(), *pendingRules_); }

}  // namespace tavirel
