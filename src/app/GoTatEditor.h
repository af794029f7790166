#pragma once
// What the shorthand editor decides, without a window: the list of
// shorthands being edited, which entries are selected, the two edit texts,
// which buttons are enabled and what Add, Replace, Delete, Enter and the
// imports do to the list. The Windows dialog copies the controls into this
// class and shows what it answers. The service's table is touched only on
// Apply, by the dialog, with the lists of Table().
#include <cstddef>
#include <string>
#include <vector>

#include "app/GoTatFile.h"
#include "service/ShorthandLimits.h"  // kMaxShorthandExpansion

namespace tavirel {

class CInputMethodService;

// The longest abbreviation: a shorthand is found at the end of the word
// being typed, and no word is this long.
inline constexpr size_t kMaxShorthandAbbreviation = 100;

// Why an entry is refused (a message tells the user); Ok when it is not.
enum class ShorthandCheck {
  Ok,
  EmptyAbbreviation,
  AbbreviationTooLong,
  ExpansionTooLong,
};
ShorthandCheck CheckShorthand(const std::u16string& abbreviation, const std::u16string& expansion);
// The Vietnamese message for a refusal ("" for Ok).
std::u16string ShorthandCheckMessage(ShorthandCheck check);

class CGoTatEditor {
 public:
  struct Entry {
    std::u16string Abbreviation;
    std::u16string Expansion;
    bool operator==(const Entry&) const = default;
  };

  enum class EnterResult { Added, Replaced, Refused };

  explicit CGoTatEditor(const ShorthandTable& table);

  // ---- the list ----
  const std::vector<Entry>& Entries() const { return entries_; }
  bool IsSelected(size_t index) const { return index < selected_.size() && selected_[index]; }
  bool AnySelected() const;
  // The first selected entry; -1 when none is.
  int FirstSelected() const;

  // ---- the edits ----
  const std::u16string& Abbreviation() const { return abbreviation_; }
  const std::u16string& Expansion() const { return expansion_; }
  // The user changed the abbreviation: the first entry with exactly this
  // abbreviation becomes the only selected one (the edits keep their text),
  // or nothing is selected when none has it.
  void SetAbbreviation(const std::u16string& text);
  void SetExpansion(const std::u16string& text);

  // The user changed the list's selection. When some entry is selected, the
  // edits take the first selected entry's texts. Indexes out of range are
  // ignored.
  void SetSelection(const std::vector<size_t>& indexes);

  // ---- the buttons ----
  bool CanAdd() const;      // nothing selected and both edits filled
  bool CanReplace() const;  // something selected and both edits filled
  bool CanDelete() const;   // something selected

  // Appends the edits as a new entry and selects it alone. Refused (list
  // unchanged) as CheckShorthand says; the expansion may be empty.
  ShorthandCheck Add();
  // The first selected entry takes the edit texts; refused like Add, and
  // when nothing is selected.
  ShorthandCheck Replace();
  // Removes every selected entry; nothing is selected afterwards.
  void Delete();
  // Enter in either edit: Replace when an entry is selected, otherwise Add,
  // whatever the buttons show; *refusal receives the check of the entry.
  EnterResult Enter(ShorthandCheck* refusal = nullptr);

  // Appends imported entries at the end of the list, unselected.
  void Append(const std::vector<Entry>& entries);

  // The list in order, as the service and GoTat.ini take it.
  ShorthandTable Table() const;
  // Hands the service the list through its dispatcher: its two lists are
  // replaced between two keys, on its own thread.
  void Apply(CInputMethodService& service) const;

 private:
  void SelectOnly(size_t index);

  std::vector<Entry> entries_;
  std::vector<bool> selected_;  // parallel to entries_
  std::u16string abbreviation_;
  std::u16string expansion_;
};

}  // namespace tavirel
