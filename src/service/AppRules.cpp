#include "service/AppRules.h"

#include <algorithm>

namespace tavirel {

namespace {

char16_t FoldAscii(char16_t c) { return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c; }

}  // namespace

bool CAppRules::SameProgram(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
  }
  return true;
}

bool CAppRules::IsProgramName(std::u16string_view name) {
  if (name.empty() || name.size() > 260) return false;
  if (name.back() == u'.' || name.back() == u' ') return false;
  return std::none_of(name.begin(), name.end(), [](char16_t c) {
    // Brackets too: the name is a section of UngDung.ini.
    return c < 0x20 || std::u16string_view(u"\\/:*?\"<>|[]").find(c) != std::u16string_view::npos;
  });
}

const AppRule* CAppRules::Find(std::u16string_view program) const {
  for (const AppRule& rule : rules_) {
    if (SameProgram(rule.Program, program)) return &rule;
  }
  return nullptr;
}

bool CAppRules::Set(const AppRule& rule) {
  if (!IsProgramName(rule.Program)) return false;
  Remove(rule.Program);
  if (rule.Vietnamese != AppVietnamese::Keep || rule.Delivery != AppDelivery::Default) rules_.push_back(rule);
  return true;
}

void CAppRules::Remove(std::u16string_view program) {
  std::erase_if(rules_, [program](const AppRule& r) { return SameProgram(r.Program, program); });
}

}  // namespace tavirel
