#include "app/UngDungFile.h"

namespace tavirel {

namespace {

constexpr char16_t kTiengViet[] = u"TiengViet";
constexpr char16_t kCachGui[] = u"CachGui";

// The number a key holds; -1 when it is absent or holds no number (a value
// the user mistyped changes nothing, rather than meaning 0, "off").
int NumberOf(const IniKeys& keys, const std::u16string& key) {
  const std::u16string text = GetString(keys, key, u"");
  const size_t first = text.find_first_not_of(u" \t");
  if (first == std::u16string::npos || text[first] < u'0' || text[first] > u'9') return -1;
  return ParseInt(text);
}

}  // namespace

CAppRules ParseAppRules(const IniSections& sections) {
  CAppRules rules;
  for (const auto& [program, keys] : sections) {
    AppRule rule;
    rule.Program = program;
    switch (NumberOf(keys, kTiengViet)) {
      case 0: rule.Vietnamese = AppVietnamese::Off; break;
      case 1: rule.Vietnamese = AppVietnamese::On; break;
      case 2: rule.Vietnamese = AppVietnamese::Remember; break;
      default: break;
    }
    const int delivery = NumberOf(keys, kCachGui);
    if (delivery >= 1 && delivery <= 3) rule.Delivery = static_cast<AppDelivery>(delivery);
    rules.Set(rule);  // refuses what is no file name
  }
  return rules;
}

IniSections FormatAppRules(const CAppRules& rules) {
  IniSections sections;
  for (const AppRule& rule : rules.Rules()) {
    IniKeys& keys = sections[rule.Program];
    switch (rule.Vietnamese) {
      case AppVietnamese::Off: keys[kTiengViet] = u"0"; break;
      case AppVietnamese::On: keys[kTiengViet] = u"1"; break;
      case AppVietnamese::Remember: keys[kTiengViet] = u"2"; break;
      case AppVietnamese::Keep: break;
    }
    if (rule.Delivery != AppDelivery::Default) keys[kCachGui] = FormatInt(static_cast<int>(rule.Delivery));
  }
  return sections;
}

SettingsFileStatus LoadAppRules(const std::u16string& path, CAppRules& rules) {
  rules = CAppRules();
  std::vector<std::u16string> lines;
  const SettingsFileStatus status = ReadSettingsLines(path, lines);
  if (status == SettingsFileStatus::Read) rules = ParseAppRules(ParseIniLines(StandardIniSyntax(), lines));
  return status;
}

bool SaveAppRules(const std::u16string& path, const CAppRules& rules) {
  return WriteIniFile(StandardIniSyntax(), path, FormatAppRules(rules));
}

}  // namespace tavirel
