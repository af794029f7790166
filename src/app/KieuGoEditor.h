#pragma once
// The typing-method editor without its window: the user's methods, the
// rows (key bindings) of the method being edited, the key box and which
// buttons are enabled. The Win32 dialog (tables/win/CKieuGoDlg) copies the
// controls to and from it.
//
// What the user file cannot hold is refused where it is typed, with the
// reason, instead of being dropped when the file is written: a method name
// that is empty, holds "]" or a line break, or names another method (a
// user method or a built-in one, ignoring case). A key box that begins with
// a space is emptied.
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "tables/CKieuGo.h"

namespace tavirel {

class CKieuGoEditor {
 public:
  struct Method {
    std::u16string Name;
    CKieuGo Bindings;
  };
  struct Row {
    char16_t Key;
    KeyBinding Binding;
  };

  // The name a new method gets until the user renames it.
  static constexpr char16_t kNewName[] = u"Tên kiểu gõ";

  CKieuGoEditor(std::vector<Method> userMethods, std::vector<std::u16string> builtInNames);

  // ---- the list of methods ----
  const std::vector<Method>& Methods() const { return methods_; }
  // Appends a method with kNewName (numbered when that name is taken) and
  // no bindings; its index. It is not selected.
  int AddMethod();
  // "" when the name was taken (spaces at both ends removed); otherwise why
  // it was refused, and the old name stays.
  std::u16string Rename(int index, const std::u16string& name);
  // Removes a method with its bindings. Deleting the current method drops
  // its rows; the current index follows the method it pointed at.
  void DeleteMethod(int index);
  // Makes a method current (-1: none): the rows of the old one are written
  // back into it first, the rows of the new one are its bindings in key
  // order.
  void Select(int index);
  int Current() const { return current_; }

  // ---- the rows of the current method ----
  const std::vector<Row>& Rows() const { return rows_; }
  int SelectedRow() const { return selectedRow_; }
  // Selects a row (-1 none); the key box then shows its key.
  void SelectRow(int row);
  // The key box changed: a leading space empties it; a row with exactly
  // this key (case counts) becomes selected.
  void SetKeyText(const std::u16string& text);
  const std::u16string& KeyText() const { return keyText_; }
  bool CanAdd() const { return canAdd_; }
  bool CanReplace() const { return canReplace_; }
  // Appends a row for the key box and selects it; false when there is no
  // method, no key or nothing to bind.
  bool Add(const std::optional<KeyBinding>& binding);
  // The selected row takes the key box's key and this binding.
  bool Replace(const std::optional<KeyBinding>& binding);
  void DeleteRow();
  void DeleteAllRows();
  // Appends the bindings of another method for the keys no row has.
  void Load(const CKieuGo& other);

  // ---- OK ----
  // The rows written back, then the methods by name; a method whose name
  // repeats an earlier one (possible only in a file edited by hand) is left
  // out.
  KieuGoMethods ToSave();
  // Whether the method of this name is still there after ToSave.
  bool HasMethod(const std::u16string& name) const;

  // Why a method name cannot be stored for method index ("" when it can).
  std::u16string NameProblem(int index, const std::u16string& name) const;

 private:
  void WriteBack();
  void FillRows();
  void UpdateButtons();

  std::vector<Method> methods_;
  std::vector<std::u16string> builtInNames_;
  int current_ = -1;
  std::vector<Row> rows_;
  int selectedRow_ = -1;
  std::u16string keyText_;
  bool canAdd_ = false;
  bool canReplace_ = false;
};

}  // namespace tavirel
