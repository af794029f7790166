#include "app/PhimTatEditor.h"

#include <algorithm>

#include "app/FormatKeyCombo.h"
#include "app/PhimTatFile.h"
#include "service/CInputMethodService.h"
#include "spelling/CTuDien.h"

namespace tavirel {

namespace {

// The built-in hotkeys as the user knows them, in the service's matching order.
constexpr std::u16string_view kBuiltInNames[] = {
    u"Xóa từ đang gõ",          u"Khôi phục phím của từ vừa gõ", u"Chọn từ gợi ý",
    u"Đóng cửa sổ gợi ý",       u"Bật tắt tiếng Việt",          u"Chuyển mã nhanh",
};

std::unique_ptr<CHotKeyAction> Copy(const CHotKeyAction& a, CInputMethodService* service) {
  std::unique_ptr<CHotKeyAction> copy = CreateAction(a.GetName(), service);
  copy->Key = a.Key;
  copy->SetParam(a.GetParam());
  return copy;
}

}  // namespace

HotkeySnapshot SnapshotHotkeys(CInputMethodService& service) {
  HotkeySnapshot snap;
  for (const auto& base : service.UserHotKeys()) {
    if (const auto* a = dynamic_cast<const CHotKeyAction*>(base.get())) {
      snap.User.push_back({a->GetName(), a->Key, a->GetParam()});
    }
  }
  const auto& builtIn = service.BuiltInHotKeys();
  for (size_t i = 0; i < builtIn.size(); ++i) {
    snap.BuiltIn.push_back(
        {builtIn[i]->Key, i < std::size(kBuiltInNames) ? std::u16string(kBuiltInNames[i]) : std::u16string()});
  }
  return snap;
}

CPhimTatEditor::CPhimTatEditor(CInputMethodService* service, const HotkeySnapshot& snapshot)
    : service_(service), builtIn_(snapshot.BuiltIn) {
  for (const HotkeyEntryData& d : snapshot.User) {
    std::unique_ptr<CHotKeyAction> a = CreateAction(d.Name, service_);
    if (!a) continue;
    a->Key = d.Key;
    a->SetParam(d.Param);
    entries_.push_back(std::move(a));
  }
  selected_.assign(entries_.size(), false);
  for (const std::u16string& name : ActionNames()) kindNames_.push_back(CreateAction(name, nullptr)->GetDisplayName());
}

void CPhimTatEditor::ShowKind(int kind, const CHotKeyAction* from) {
  kind_ = kind;
  paramChoices_.clear();
  paramChoice_ = -1;
  if (kind_ < 0) return;
  std::unique_ptr<CHotKeyAction> fresh = from ? nullptr : CreateAction(ActionNames()[kind_], service_);
  const CHotKeyAction& a = from ? *from : *fresh;
  paramChoices_ = a.ParamChoices();
  paramChoice_ = a.ParamChoiceIndex();
}

void CPhimTatEditor::ChooseKind(int index) {
  ShowKind(index >= 0 && static_cast<size_t>(index) < kindNames_.size() ? index : -1, nullptr);
}

void CPhimTatEditor::ChooseParam(int index) {
  paramChoice_ = index >= 0 && static_cast<size_t>(index) < paramChoices_.size() ? index : -1;
}

std::u16string CPhimTatEditor::KeyText(size_t index) const { return FormatKeyCombo(entries_[index]->Key); }

int CPhimTatEditor::FirstSelected() const {
  const auto it = std::find(selected_.begin(), selected_.end(), true);
  return it == selected_.end() ? -1 : static_cast<int>(it - selected_.begin());
}

void CPhimTatEditor::SetSelection(const std::vector<size_t>& indexes) {
  selected_.assign(entries_.size(), false);
  for (const size_t i : indexes) {
    if (i < selected_.size()) selected_[i] = true;
  }
  const int first = FirstSelected();
  if (first < 0) {
    key_ = KeyCombo();
    return;
  }
  const CHotKeyAction& a = *entries_[first];
  key_ = a.Key;
  const auto& names = ActionNames();
  ShowKind(static_cast<int>(std::find(names.begin(), names.end(), a.GetName()) - names.begin()), &a);
}

std::unique_ptr<CHotKeyAction> CPhimTatEditor::NewAction() const {
  std::unique_ptr<CHotKeyAction> a = CreateAction(ActionNames()[kind_], service_);
  a->Key = key_;
  a->SetParamFromChoice(paramChoice_);
  return a;
}

CPhimTatEditor::Result CPhimTatEditor::Add() {
  Result r;
  if (kind_ < 0 || key_ == KeyCombo()) return r;
  r.Warning = DuplicateWarning(key_, -1);
  entries_.push_back(NewAction());
  selected_.assign(entries_.size(), false);
  selected_.back() = true;
  r.Done = true;
  return r;
}

CPhimTatEditor::Result CPhimTatEditor::Replace() {
  Result r;
  const int first = FirstSelected();
  if (kind_ < 0 || first < 0) return r;
  r.Warning = DuplicateWarning(key_, first);
  entries_[first] = NewAction();
  r.Done = true;
  return r;
}

void CPhimTatEditor::Delete() {
  size_t kept = 0;
  for (size_t i = 0; i < entries_.size(); ++i) {
    if (!selected_[i]) entries_[kept++] = std::move(entries_[i]);
  }
  entries_.resize(kept);
  selected_.assign(kept, false);
  key_ = KeyCombo();
}

std::u16string CPhimTatEditor::DuplicateWarning(KeyCombo key, int except) const {
  if (key == KeyCombo()) return {};
  const std::u16string head = u"Phím tắt " + FormatKeyCombo(key) + u" trùng với ";
  const std::u16string tail = u". Khi nhấn phím này, cả hai cùng chạy.";
  for (const BuiltInHotkey& b : builtIn_) {
    if (b.Key == key) return head + u"phím có sẵn \"" + b.DisplayName + u"\"" + tail;
  }
  for (size_t i = 0; i < entries_.size(); ++i) {
    if (static_cast<int>(i) == except || !(entries_[i]->Key == key)) continue;
    std::u16string what = entries_[i]->GetDisplayName();
    const std::u16string param = entries_[i]->GetParamText();
    if (!param.empty()) what += u": " + param;
    return head + u"phím tắt \"" + what + u"\"" + tail;
  }
  return {};
}

std::vector<std::unique_ptr<CHotKeyActionBase>> CPhimTatEditor::TakeCopies() const {
  std::vector<std::unique_ptr<CHotKeyActionBase>> copies;
  copies.reserve(entries_.size());
  for (const auto& a : entries_) copies.push_back(Copy(*a, service_));
  return copies;
}

IniSections CPhimTatEditor::FileSections() const {
  std::vector<std::unique_ptr<CHotKeyActionBase>> list;
  for (const auto& a : entries_) list.push_back(Copy(*a, nullptr));
  return FormatHotkeys(list);
}

}  // namespace tavirel

namespace tavirel {

void CPhimTatEditor::Apply(CInputMethodService& service) const {
  for (const auto& a : entries_) {
    const auto* toggle = dynamic_cast<const CBatTatLuaChonHotKeyAction*>(a.get());
    // Option 6 switches the dictionary check on from the keyboard hook.
    if (toggle != nullptr && toggle->Option() == 6 && CTuDien::Instance().Empty()) CTuDien::Load();
  }
  auto list = std::make_shared<std::vector<std::unique_ptr<CHotKeyActionBase>>>(TakeCopies());
  service.Dispatcher().Post([list](CInputMethodService& s) { s.UserHotKeys() = std::move(*list); });
}

}  // namespace tavirel
