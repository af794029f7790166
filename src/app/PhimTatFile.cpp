#include "app/PhimTatFile.h"

#include <algorithm>

#include "app/HotKeyActions.h"
#include "service/CInputMethodService.h"
#include "spelling/CTuDien.h"

namespace tavirel {

namespace {

bool IsDecimal(const std::u16string& name) {
  return !name.empty() && std::all_of(name.begin(), name.end(), [](char16_t c) { return c >= u'0' && c <= u'9'; });
}

// Compares two decimal texts by value without converting (any length).
bool DecimalLess(const std::u16string& a, const std::u16string& b) {
  const size_t za = std::min(a.find_first_not_of(u'0'), a.size());
  const size_t zb = std::min(b.find_first_not_of(u'0'), b.size());
  const size_t la = a.size() - za;
  const size_t lb = b.size() - zb;
  if (la != lb) return la < lb;
  const int c = a.compare(za, la, b, zb, lb);
  if (c != 0) return c < 0;
  return a < b;  // "01" and "1": as written
}

}  // namespace

std::vector<std::u16string> HotkeySectionOrder(const IniSections& sections) {
  std::vector<std::u16string> names;
  names.reserve(sections.size());
  for (const auto& [name, keys] : sections) names.push_back(name);
  std::stable_sort(names.begin(), names.end(), [](const std::u16string& a, const std::u16string& b) {
    const bool da = IsDecimal(a);
    const bool db = IsDecimal(b);
    if (da != db) return da;
    return da ? DecimalLess(a, b) : a < b;
  });
  return names;
}

std::vector<std::unique_ptr<CHotKeyActionBase>> ParseHotkeys(const IniSections& sections,
                                                             CInputMethodService* service) {
  std::vector<std::unique_ptr<CHotKeyActionBase>> actions;
  for (const std::u16string& name : HotkeySectionOrder(sections)) {
    const IniKeys& keys = sections.at(name);
    std::unique_ptr<CHotKeyAction> action = CreateAction(GetString(keys, u"Name", u""), service);
    if (!action) continue;
    action->Key = KeyCombo::FromInt(GetInt(keys, u"HotKey", 0));
    action->SetParam(GetString(keys, u"Param", u""));
    actions.push_back(std::move(action));
  }
  return actions;
}

SettingsFileStatus LoadHotkeys(const std::u16string& path, CInputMethodService& service) {
  service.UserHotKeys().clear();
  std::vector<std::u16string> lines;
  const SettingsFileStatus status = ReadSettingsLines(path, lines);
  if (status != SettingsFileStatus::Read) return status;
  service.UserHotKeys() = ParseHotkeys(ParseIniLines(StandardIniSyntax(), lines), &service);
  for (const auto& action : service.UserHotKeys()) {
    const auto* toggle = dynamic_cast<const CBatTatLuaChonHotKeyAction*>(action.get());
    // Option 6 switches the dictionary check on from the keyboard hook.
    if (toggle != nullptr && toggle->Option() == 6 && CTuDien::Instance().Empty()) CTuDien::Load();
  }
  return status;
}

IniSections FormatHotkeys(const std::vector<std::unique_ptr<CHotKeyActionBase>>& actions) {
  IniSections sections;
  int index = 0;
  for (const auto& base : actions) {
    const auto* action = dynamic_cast<const CHotKeyAction*>(base.get());
    if (action == nullptr) continue;
    IniKeys& keys = sections[FormatInt(index++)];
    keys[u"HotKey"] = FormatInt(action->Key.ToInt());
    keys[u"Name"] = action->GetName();
    keys[u"Param"] = action->GetParam();
  }
  return sections;
}

bool SaveHotkeys(const std::u16string& path, const std::vector<std::unique_ptr<CHotKeyActionBase>>& actions) {
  return WriteIniFile(StandardIniSyntax(), path, FormatHotkeys(actions));
}

}  // namespace tavirel
