#pragma once
// What the hotkey editor decides, without a window.
//
// The editor works on its own copies of the user's actions: the service's
// list is read once (on the service's thread, SnapshotHotkeys) and never
// touched until Apply, which hands the service a fresh list (TakeCopies)
// through its dispatcher. Cancel simply drops the editor: whatever was
// added, replaced or deleted here was never seen by the service.
//
// A hotkey that equals a built-in one or another user hotkey is allowed
// (both then run) but the editor says so (Warning of Add and Replace).
#include <memory>
#include <string>
#include <vector>

#include "app/HotKeyActions.h"
#include "common/Ini.h"
#include "service/KeyCombo.h"

namespace tavirel {

class CInputMethodService;

struct HotkeyEntryData {
  std::u16string Name;  // stored name (ActionNames)
  KeyCombo Key;
  std::u16string Param;  // stored parameter text
};

struct BuiltInHotkey {
  KeyCombo Key;
  std::u16string DisplayName;
};

struct HotkeySnapshot {
  std::vector<HotkeyEntryData> User;  // the user's list, in order
  std::vector<BuiltInHotkey> BuiltIn;  // the six built-in keys, in matching order
};

// Reads the service's hotkeys; run it on the service's thread
// (Dispatcher().Call).
HotkeySnapshot SnapshotHotkeys(CInputMethodService& service);

class CPhimTatEditor {
 public:
  struct Result {
    bool Done = false;      // the list changed
    std::u16string Warning;  // a duplicate key, shown to the user when not empty
  };

  CPhimTatEditor(CInputMethodService* service, const HotkeySnapshot& snapshot);

  // ---- the kinds (display names in registry order) ----
  const std::vector<std::u16string>& KindNames() const { return kindNames_; }
  // The kind being edited; -1 until one is chosen or an entry selected.
  int Kind() const { return kind_; }
  // The user chose a kind: its parameter starts at the kind's default.
  void ChooseKind(int index);

  // ---- the parameter of the kind being edited ----
  const std::vector<std::u16string>& ParamChoices() const { return paramChoices_; }
  int ParamChoice() const { return paramChoice_; }
  void ChooseParam(int index);

  // ---- the hotkey control ----
  KeyCombo Key() const { return key_; }
  void SetKey(KeyCombo key) { key_ = key; }

  // ---- the list ----
  size_t Count() const { return entries_.size(); }
  const CHotKeyAction& At(size_t index) const { return *entries_[index]; }
  std::u16string KeyText(size_t index) const;
  bool IsSelected(size_t index) const { return index < selected_.size() && selected_[index]; }
  int FirstSelected() const;
  // The user changed the selection. With an entry selected, the key, kind
  // and parameter show the first selected entry's; with none, the key is
  // cleared.
  void SetSelection(const std::vector<size_t>& indexes);
  bool CanReplace() const { return FirstSelected() >= 0; }
  bool CanDelete() const { return FirstSelected() >= 0; }

  // Appends a new action of the kind with the key and parameter, and
  // selects it alone. Nothing happens without a kind or without a key.
  Result Add();
  // The first selected entry becomes a new action of the kind with the key
  // and parameter. Nothing happens without a selection or a kind.
  Result Replace();
  // Removes every selected entry.
  void Delete();

  // The text telling that key is also the key of a built-in hotkey or of
  // another entry than except; "" when it is not (or when it is empty).
  std::u16string DuplicateWarning(KeyCombo key, int except) const;

  // ---- Apply ----
  // New actions equal to the list's, in order, bound to the service: the
  // list the service takes in one step. The editor keeps its own.
  std::vector<std::unique_ptr<CHotKeyActionBase>> TakeCopies() const;
  // PhimTat.ini for the list.
  IniSections FileSections() const;
  // Hands the service TakeCopies through its dispatcher (it replaces its
  // list between two keys, on its own thread). Anything an action will read
  // in the keyboard hook is loaded here first.
  void Apply(CInputMethodService& service) const;

 private:
  std::unique_ptr<CHotKeyAction> NewAction() const;
  void ShowKind(int kind, const CHotKeyAction* from);

  CInputMethodService* service_;
  std::vector<std::unique_ptr<CHotKeyAction>> entries_;
  std::vector<bool> selected_;
  std::vector<BuiltInHotkey> builtIn_;
  std::vector<std::u16string> kindNames_;
  int kind_ = -1;
  std::vector<std::u16string> paramChoices_;
  int paramChoice_ = -1;
  KeyCombo key_;
};

}  // namespace tavirel
