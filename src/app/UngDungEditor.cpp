#include "app/UngDungEditor.h"

#include <algorithm>
#include <memory>

#include "service/CInputMethodService.h"

namespace tavirel {

namespace {

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'"'; }

char16_t FoldAscii(char16_t c) { return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c; }

bool LessIgnoringAsciiCase(const std::u16string& a, const std::u16string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                      [](char16_t x, char16_t y) { return FoldAscii(x) < FoldAscii(y); });
}

}  // namespace

std::u16string AppRuleCheckMessage(AppRuleCheck check) {
  switch (check) {
    case AppRuleCheck::Ok: return {};
    case AppRuleCheck::EmptyName: return u"Hãy nhập tên tập tin của chương trình, ví dụ notepad.exe.";
    case AppRuleCheck::NotAFileName:
      return u"Tên chương trình phải là tên một tập tin, không chứa các ký tự \\ / : * ? \" < > | [ ].";
    case AppRuleCheck::NothingToChange:
      return u"Quy tắc này không thay đổi gì: hãy chọn Tiếng Việt hoặc Cách gửi cho chương trình.";
  }
  return {};
}

std::u16string NormalizeProgramName(const std::u16string& typed, AppRuleCheck* check) {
  size_t first = 0, last = typed.size();
  while (first < last && IsBlank(typed[first])) ++first;
  while (last > first && IsBlank(typed[last - 1])) --last;
  std::u16string name = typed.substr(first, last - first);
  // A path: its file name. A name that ends in a separator stays as it is
  // and is refused below.
  const size_t slash = name.find_last_of(u"\\/");
  if (slash != std::u16string::npos && slash + 1 < name.size()) name.erase(0, slash + 1);
  if (!name.empty() && name.find_first_of(u".\\/") == std::u16string::npos) name += u".exe";
  if (check) {
    *check = name.empty() ? AppRuleCheck::EmptyName
             : CAppRules::IsProgramName(name) ? AppRuleCheck::Ok
                                              : AppRuleCheck::NotAFileName;
  }
  return name;
}

const std::vector<std::u16string>& AppVietnameseChoices() {
  static const std::vector<std::u16string> choices = {
      u"Giữ nguyên", u"Luôn bật", u"Luôn tắt", u"Nhớ như lần trước ở chương trình này"};
  return choices;
}

const std::vector<std::u16string>& AppDeliveryChoices() {
  static const std::vector<std::u16string> choices = {
      u"Tự động (theo loại cửa sổ và lựa chọn)", u"Gửi bằng phím (Unicode)", u"Qua Clipboard",
      u"Ô tự hoàn thành (Delete trước Backspace)"};
  return choices;
}

std::u16string AppVietnameseCell(AppVietnamese value) {
  switch (value) {
    case AppVietnamese::Keep: return u"giữ nguyên";
    case AppVietnamese::On: return u"luôn bật";
    case AppVietnamese::Off: return u"luôn tắt";
    case AppVietnamese::Remember: return u"nhớ bật/tắt";
  }
  return {};
}

std::u16string AppDeliveryCell(AppDelivery value) {
  switch (value) {
    case AppDelivery::Default: return u"tự động";
    case AppDelivery::KeyPackets: return u"gửi bằng phím";
    case AppDelivery::Clipboard: return u"gửi qua clipboard";
    case AppDelivery::AutoComplete: return u"ô tự hoàn thành";
  }
  return {};
}

std::vector<std::u16string> ProgramChoices(std::vector<std::u16string> running) {
  std::erase_if(running, [](const std::u16string& name) { return !CAppRules::IsProgramName(name); });
  std::stable_sort(running.begin(), running.end(), LessIgnoringAsciiCase);
  running.erase(std::unique(running.begin(), running.end(), CAppRules::SameProgram), running.end());
  return running;
}

CUngDungEditor::CUngDungEditor(const CAppRules& rules) : rules_(rules.Rules()) {}

void CUngDungEditor::Select(int index) {
  selected_ = index >= 0 && static_cast<size_t>(index) < rules_.size() ? index : -1;
  if (selected_ < 0) return;
  const AppRule& rule = rules_[static_cast<size_t>(selected_)];
  program_ = rule.Program;
  vietnamese_ = rule.Vietnamese;
  delivery_ = rule.Delivery;
}

int CUngDungEditor::IndexOf(const std::u16string& program) const {
  for (size_t i = 0; i < rules_.size(); ++i) {
    if (CAppRules::SameProgram(rules_[i].Program, program)) return static_cast<int>(i);
  }
  return -1;
}

void CUngDungEditor::SetProgram(const std::u16string& text) {
  program_ = text;
  AppRuleCheck check = AppRuleCheck::Ok;
  const std::u16string name = NormalizeProgramName(text, &check);
  selected_ = check == AppRuleCheck::Ok ? IndexOf(name) : -1;
}

bool CUngDungEditor::HasName() const {
  return std::any_of(program_.begin(), program_.end(), [](char16_t c) { return !IsBlank(c); });
}

AppRuleCheck CUngDungEditor::Take(size_t index) {
  AppRuleCheck check = AppRuleCheck::Ok;
  const std::u16string name = NormalizeProgramName(program_, &check);
  if (check != AppRuleCheck::Ok) return check;
  if (vietnamese_ == AppVietnamese::Keep && delivery_ == AppDelivery::Default) return AppRuleCheck::NothingToChange;
  if (index == rules_.size()) rules_.push_back({});
  rules_[index] = AppRule{name, vietnamese_, delivery_};
  // One rule per program: another of the same program goes.
  for (size_t i = rules_.size(); i-- > 0;) {
    if (i != index && CAppRules::SameProgram(rules_[i].Program, name)) {
      rules_.erase(rules_.begin() + static_cast<std::ptrdiff_t>(i));
      if (i < index) --index;
    }
  }
  selected_ = static_cast<int>(index);
  program_ = name;
  return AppRuleCheck::Ok;
}

AppRuleCheck CUngDungEditor::Add() {
  const std::u16string name = NormalizeProgramName(program_);
  const int existing = IndexOf(name);
  return Take(existing >= 0 ? static_cast<size_t>(existing) : rules_.size());
}

AppRuleCheck CUngDungEditor::Replace() {
  if (selected_ < 0) return AppRuleCheck::EmptyName;
  return Take(static_cast<size_t>(selected_));
}

void CUngDungEditor::Delete() {
  if (selected_ < 0) return;
  rules_.erase(rules_.begin() + selected_);
  selected_ = -1;
  // The fields showed the rule that went: left there, OK would add it back.
  program_.clear();
  vietnamese_ = AppVietnamese::Keep;
  delivery_ = AppDelivery::Default;
}

CUngDungEditor::EnterResult CUngDungEditor::Enter(AppRuleCheck* refusal) {
  const bool replace = selected_ >= 0;
  const AppRuleCheck check = replace ? Replace() : Add();
  if (refusal) *refusal = check;
  if (check != AppRuleCheck::Ok) return EnterResult::Refused;
  return replace ? EnterResult::Replaced : EnterResult::Added;
}

bool CUngDungEditor::Pending() const {
  if (!HasName()) return false;
  if (selected_ < 0) return true;
  return rules_[static_cast<size_t>(selected_)] != AppRule{NormalizeProgramName(program_), vietnamese_, delivery_};
}

AppRuleCheck CUngDungEditor::CommitPending() {
  AppRuleCheck check = AppRuleCheck::Ok;
  if (Pending()) Enter(&check);
  return check;
}

CAppRules CUngDungEditor::Result() const {
  CAppRules rules;
  for (const AppRule& rule : rules_) rules.Set(rule);
  return rules;
}

void CUngDungEditor::Apply(CInputMethodService& service) const {
  auto rules = std::make_shared<CAppRules>(Result());
  service.Dispatcher().Post([rules](CInputMethodService& s) { s.SetAppRules(std::move(*rules)); });
}

}  // namespace tavirel
