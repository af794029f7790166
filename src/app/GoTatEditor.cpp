#include "app/GoTatEditor.h"

#include <algorithm>
#include <memory>

#include "common/Ini.h"
#include "service/CInputMethodService.h"
#include "service/CTypingContext.h"

namespace tavirel {

ShorthandCheck CheckShorthand(const std::u16string& abbreviation, const std::u16string& expansion) {
  if (abbreviation.empty()) return ShorthandCheck::EmptyAbbreviation;
  if (abbreviation.size() > kMaxShorthandAbbreviation) return ShorthandCheck::AbbreviationTooLong;
  if (expansion.size() > kMaxShorthandExpansion) return ShorthandCheck::ExpansionTooLong;
  return ShorthandCheck::Ok;
}

std::u16string ShorthandCheckMessage(ShorthandCheck check) {
  switch (check) {
    case ShorthandCheck::Ok: return {};
    case ShorthandCheck::EmptyAbbreviation: return u"Hãy nhập từ gõ tắt.";
    case ShorthandCheck::AbbreviationTooLong:
      return u"Từ gõ tắt dài quá: tối đa " + FormatInt(kMaxShorthandAbbreviation) + u" ký tự.";
    case ShorthandCheck::ExpansionTooLong:
      return u"Đoạn văn thay thế dài quá: tối đa " + FormatInt(kMaxShorthandExpansion) +
             u" ký tự cho một từ gõ tắt.";
  }
  return {};
}

CGoTatEditor::CGoTatEditor(const ShorthandTable& table) {
  const size_t n = std::min(table.Keys.size(), table.Values.size());
  entries_.reserve(n);
  for (size_t i = 0; i < n; ++i) entries_.push_back({table.Keys[i], table.Values[i]});
  selected_.assign(n, false);
}

bool CGoTatEditor::AnySelected() const { return FirstSelected() >= 0; }

int CGoTatEditor::FirstSelected() const {
  const auto it = std::find(selected_.begin(), selected_.end(), true);
  return it == selected_.end() ? -1 : static_cast<int>(it - selected_.begin());
}

void CGoTatEditor::SelectOnly(size_t index) {
  selected_.assign(entries_.size(), false);
  if (index < selected_.size()) selected_[index] = true;
}

void CGoTatEditor::SetAbbreviation(const std::u16string& text) {
  abbreviation_ = text;
  const auto it = std::find_if(entries_.begin(), entries_.end(),
                               [&](const Entry& e) { return e.Abbreviation == text; });
  SelectOnly(it == entries_.end() ? entries_.size() : static_cast<size_t>(it - entries_.begin()));
}

void CGoTatEditor::SetExpansion(const std::u16string& text) { expansion_ = text; }

void CGoTatEditor::SetSelection(const std::vector<size_t>& indexes) {
  selected_.assign(entries_.size(), false);
  for (const size_t i : indexes) {
    if (i < selected_.size()) selected_[i] = true;
  }
  const int first = FirstSelected();
  if (first >= 0) {
    abbreviation_ = entries_[first].Abbreviation;
    expansion_ = entries_[first].Expansion;
  }
}

bool CGoTatEditor::CanAdd() const { return !AnySelected() && !abbreviation_.empty() && !expansion_.empty(); }
bool CGoTatEditor::CanReplace() const { return AnySelected() && !abbreviation_.empty() && !expansion_.empty(); }
bool CGoTatEditor::CanDelete() const { return AnySelected(); }

ShorthandCheck CGoTatEditor::Add() {
  const ShorthandCheck check = CheckShorthand(abbreviation_, expansion_);
  if (check != ShorthandCheck::Ok) return check;
  entries_.push_back({abbreviation_, expansion_});
  SelectOnly(entries_.size() - 1);
  return check;
}

ShorthandCheck CGoTatEditor::Replace() {
  const int first = FirstSelected();
  if (first < 0) return ShorthandCheck::EmptyAbbreviation;
  const ShorthandCheck check = CheckShorthand(abbreviation_, expansion_);
  if (check == ShorthandCheck::Ok) entries_[first] = {abbreviation_, expansion_};
  return check;
}

void CGoTatEditor::Delete() {
  std::vector<Entry> kept;
  kept.reserve(entries_.size());
  for (size_t i = 0; i < entries_.size(); ++i) {
    if (!selected_[i]) kept.push_back(std::move(entries_[i]));
  }
  entries_ = std::move(kept);
  selected_.assign(entries_.size(), false);
}

CGoTatEditor::EnterResult CGoTatEditor::Enter(ShorthandCheck* refusal) {
  const bool replace = AnySelected();
  const ShorthandCheck check = replace ? Replace() : Add();
  if (refusal) *refusal = check;
  if (check != ShorthandCheck::Ok) return EnterResult::Refused;
  return replace ? EnterResult::Replaced : EnterResult::Added;
}

void CGoTatEditor::Append(const std::vector<Entry>& entries) {
  entries_.insert(entries_.end(), entries.begin(), entries.end());
  selected_.resize(entries_.size(), false);
}

ShorthandTable CGoTatEditor::Table() const {
  ShorthandTable table;
  table.Keys.reserve(entries_.size());
  table.Values.reserve(entries_.size());
  for (const Entry& e : entries_) {
    table.Keys.push_back(e.Abbreviation);
    table.Values.push_back(e.Expansion);
  }
  return table;
}

void CGoTatEditor::Apply(CInputMethodService& service) const {
  auto table = std::make_shared<ShorthandTable>(Table());
  service.Dispatcher().Post([table](CInputMethodService& s) {
    s.Context().SetShorthandTable(std::move(table->Keys), std::move(table->Values));
  });
}

}  // namespace tavirel
