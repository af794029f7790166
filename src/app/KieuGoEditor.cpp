#include "app/KieuGoEditor.h"

#include "common/Ini.h"
#include "common/Letters.h"

namespace tavirel {

CKieuGoEditor::CKieuGoEditor(std::vector<Method> userMethods, std::vector<std::u16string> builtInNames)
    : methods_(std::move(userMethods)), builtInNames_(std::move(builtInNames)) {}

int CKieuGoEditor::AddMethod() {
  std::u16string name = kNewName;
  for (int n = 2; !NameProblem(-1, name).empty(); ++n) {
    name = std::u16string(kNewName) + u" " + FormatInt(n);
  }
  methods_.push_back(Method{name, CKieuGo()});
  return static_cast<int>(methods_.size()) - 1;
}

std::u16string CKieuGoEditor::NameProblem(int index, const std::u16string& name) const {
  if (name.empty()) return u"Tên kiểu gõ không được để trống.";
  if (!IsStorableMethodName(name)) return u"Tên kiểu gõ không được có dấu ] hay xuống dòng.";
  const std::u16string folded = letters::ToLower(name);
  for (const std::u16string& builtIn : builtInNames_) {
    if (letters::ToLower(builtIn) == folded) return u"Đã có kiểu gõ sẵn tên \"" + builtIn + u"\".";
  }
  for (size_t i = 0; i < methods_.size(); ++i) {
    if (static_cast<int>(i) != index && letters::ToLower(methods_[i].Name) == folded) {
      return u"Đã có kiểu gõ tên \"" + methods_[i].Name + u"\".";
    }
  }
  return {};
}

std::u16string CKieuGoEditor::Rename(int index, const std::u16string& name) {
  if (index < 0 || static_cast<size_t>(index) >= methods_.size()) return u"Không có kiểu gõ này.";
  const std::u16string trimmed = TrimSpaces(name);
  std::u16string problem = NameProblem(index, trimmed);
  if (problem.empty()) methods_[static_cast<size_t>(index)].Name = trimmed;
  return problem;
}

void CKieuGoEditor::DeleteMethod(int index) {
  if (index < 0 || static_cast<size_t>(index) >= methods_.size()) return;
  if (index == current_) {
    // Its rows go with it; nothing is written into a neighbour.
    rows_.clear();
    selectedRow_ = -1;
    current_ = -1;
  } else if (index < current_) {
    --current_;
  }
  methods_.erase(methods_.begin() + index);
  UpdateButtons();
}

void CKieuGoEditor::WriteBack() {
  if (current_ < 0 || static_cast<size_t>(current_) >= methods_.size()) return;
  CKieuGo& method = methods_[static_cast<size_t>(current_)].Bindings;
  method.Bindings.clear();
  for (const Row& row : rows_) method.Add(CKieuGo::LookupKey(row.Key), row.Binding);
}

void CKieuGoEditor::FillRows() {
  rows_.clear();
  selectedRow_ = -1;
  if (current_ >= 0) {
    for (const auto& [key, binding] : methods_[static_cast<size_t>(current_)].Bindings) rows_.push_back({key, binding});
  }
}

void CKieuGoEditor::Select(int index) {
  if (index < -1 || index >= static_cast<int>(methods_.size())) index = -1;
  WriteBack();
  current_ = index;
  FillRows();
  UpdateButtons();
}

void CKieuGoEditor::UpdateButtons() {
  if (current_ < 0 || keyText_.empty()) {
    canAdd_ = canReplace_ = false;
    return;
  }
  canReplace_ = selectedRow_ >= 0;
  canAdd_ = true;
  for (const Row& row : rows_) {
    if (row.Key == keyText_[0]) canAdd_ = false;
  }
}

void CKieuGoEditor::SetKeyText(const std::u16string& text) {
  keyText_ = text.substr(0, 1);
  if (!keyText_.empty() && keyText_[0] == u' ') keyText_.clear();
  if (!keyText_.empty()) {
    for (size_t i = 0; i < rows_.size(); ++i) {
      if (rows_[i].Key == keyText_[0]) {
        selectedRow_ = static_cast<int>(i);
        break;
      }
    }
  }
  UpdateButtons();
}

void CKieuGoEditor::SelectRow(int row) {
  selectedRow_ = row >= 0 && static_cast<size_t>(row) < rows_.size() ? row : -1;
  if (selectedRow_ >= 0) keyText_ = std::u16string(1, rows_[static_cast<size_t>(selectedRow_)].Key);
  UpdateButtons();
}

bool CKieuGoEditor::Add(const std::optional<KeyBinding>& binding) {
  // A second row for the very same key would be dropped on saving.
  if (!canAdd_ || !binding) return false;
  rows_.push_back({keyText_[0], *binding});
  selectedRow_ = static_cast<int>(rows_.size()) - 1;
  UpdateButtons();
  return true;
}

bool CKieuGoEditor::Replace(const std::optional<KeyBinding>& binding) {
  if (current_ < 0 || keyText_.empty() || !binding || selectedRow_ < 0) return false;
  rows_[static_cast<size_t>(selectedRow_)] = {keyText_[0], *binding};
  UpdateButtons();
  return true;
}

void CKieuGoEditor::DeleteRow() {
  if (selectedRow_ < 0) return;
  rows_.erase(rows_.begin() + selectedRow_);
  selectedRow_ = -1;
  UpdateButtons();
}

void CKieuGoEditor::DeleteAllRows() {
  rows_.clear();
  selectedRow_ = -1;
  UpdateButtons();
}

void CKieuGoEditor::Load(const CKieuGo& other) {
  if (current_ < 0) return;
  for (const auto& [key, binding] : other) {
    bool bound = false;
    for (const Row& row : rows_) bound = bound || row.Key == key;
    if (!bound) rows_.push_back({key, binding});
  }
  UpdateButtons();
}

KieuGoMethods CKieuGoEditor::ToSave() {
  WriteBack();
  KieuGoMethods out;
  for (const Method& m : methods_) out.emplace(m.Name, m.Bindings);
  return out;
}

bool CKieuGoEditor::HasMethod(const std::u16string& name) const {
  for (const Method& m : methods_) {
    if (m.Name == name) return true;
  }
  return false;
}

}  // namespace tavirel
