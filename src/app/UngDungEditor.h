#pragma once
// What the per-program rules dialog ("Quy tắc theo chương trình") decides,
// without a window: the list of rules being edited, the selected one, the
// program name box and the two choices, which buttons are enabled, and what
// Add, Replace, Delete and Enter do to the list.
//
// The editor works on its own copy of the rules: the service's rules are
// read once and replaced only on Apply, which hands the service a new set
// through its dispatcher; Cancel simply drops the editor.
#include <string>
#include <vector>

#include "service/AppRules.h"

namespace tavirel {

class CInputMethodService;

// Why a rule is refused (a message tells the user); Ok when it is not.
enum class AppRuleCheck {
  Ok,
  EmptyName,        // no program name
  NotAFileName,     // a character a file name cannot hold
  NothingToChange,  // "keep" and "as the window decides": not a rule
};
std::u16string AppRuleCheckMessage(AppRuleCheck check);

// The program name as the rules compare it, from what the user typed or
// pasted: spaces and quotes around it removed, a folder in front dropped
// ("C:\Tools\app.exe" gives "app.exe"), and ".exe" added to a name without
// any extension (Windows names the program "notepad.exe", never "notepad").
// *check says whether the result can be a rule's name.
std::u16string NormalizeProgramName(const std::u16string& typed, AppRuleCheck* check = nullptr);

// The texts of the two choice lists, in the order of the enumerations.
const std::vector<std::u16string>& AppVietnameseChoices();
const std::vector<std::u16string>& AppDeliveryChoices();
// A rule's settings in the list's columns.
std::u16string AppVietnameseCell(AppVietnamese value);
std::u16string AppDeliveryCell(AppDelivery value);

// The names offered in the program box's drop-down: the running programs
// that can have a rule, each once (ASCII case ignored), in alphabetical
// order without regard to case.
std::vector<std::u16string> ProgramChoices(std::vector<std::u16string> running);

class CUngDungEditor {
 public:
  enum class EnterResult { Added, Replaced, Refused };

  explicit CUngDungEditor(const CAppRules& rules);

  // ---- the list ----
  const std::vector<AppRule>& Rules() const { return rules_; }
  // The selected rule; -1 when none is.
  int Selected() const { return selected_; }
  // The user selected a rule in the list (-1 or out of range: none). With a
  // rule selected, the name and the two choices show it.
  void Select(int index);

  // ---- the name and the two choices ----
  const std::u16string& Program() const { return program_; }
  // The user changed the name: the rule of the same program (as the name
  // will be stored) becomes the selected one, or none is; the choices stay.
  void SetProgram(const std::u16string& text);
  AppVietnamese Vietnamese() const { return vietnamese_; }
  void SetVietnamese(AppVietnamese value) { vietnamese_ = value; }
  AppDelivery Delivery() const { return delivery_; }
  void SetDelivery(AppDelivery value) { delivery_ = value; }

  // ---- the buttons ----
  bool CanAdd() const { return selected_ < 0 && HasName(); }
  bool CanReplace() const { return selected_ >= 0 && HasName(); }
  bool CanDelete() const { return selected_ >= 0; }

  // A new rule from the name and the choices, at the end of the list and
  // selected; a rule the program already has is replaced where it stands.
  // The name box then shows the name as stored.
  AppRuleCheck Add();
  // The selected rule takes the name and the choices; another rule of the
  // same program goes. Refused without a selection like an empty name.
  AppRuleCheck Replace();
  // Removes the selected rule; nothing is selected afterwards and the name
  // and the choices are cleared.
  void Delete();
  // Enter in the name box: Replace with a selection, otherwise Add.
  EnterResult Enter(AppRuleCheck* refusal = nullptr);
  // A name is typed and the list does not hold it with these choices yet:
  // Enter in the name box adds or replaces (otherwise it is OK), and OK and
  // Apply do that first, so what the user typed is never dropped unseen.
  bool Pending() const;
  // Enter when Pending, otherwise nothing (Ok).
  AppRuleCheck CommitPending();

  // ---- Apply ----
  // The rules in list order, as the service and UngDung.ini take them.
  CAppRules Result() const;
  // Hands the service Result() through its dispatcher: its rules are
  // replaced between two keys, on its own thread.
  void Apply(CInputMethodService& service) const;

 private:
  bool HasName() const;
  AppRuleCheck Take(size_t index);  // rule index takes the fields
  int IndexOf(const std::u16string& program) const;

  std::vector<AppRule> rules_;
  int selected_ = -1;
  std::u16string program_;
  AppVietnamese vietnamese_ = AppVietnamese::Keep;
  AppDelivery delivery_ = AppDelivery::Default;
};

}  // namespace tavirel
