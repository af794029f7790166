#pragma once
// Per-program rules: what Vietnamese typing and the delivery of text become
// while a program's window has the focus, found by the program's executable
// file name ("notepad.exe", compared without regard to ASCII case).
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tavirel {

enum class AppVietnamese : uint8_t {
  Keep,      // no rule: the state stays as it is
  On,        // switched on when the program gets the focus
  Off,       // switched off when the program gets the focus
  Remember,  // the state the program had when it last lost the focus
};

enum class AppDelivery : uint8_t {
  Default,       // as the window's class and the options decide
  KeyPackets,    // always Unicode key packets, never the clipboard
  Clipboard,     // always pasted
  AutoComplete,  // a Delete before the Backspaces (fields that select a suggested tail)
};

struct AppRule {
  std::u16string Program;  // executable file name, no folder
  AppVietnamese Vietnamese = AppVietnamese::Keep;
  AppDelivery Delivery = AppDelivery::Default;
  bool operator==(const AppRule&) const = default;
};

class CAppRules {
 public:
  // The rule for a program; null when there is none. A later rule for the
  // same program replaces an earlier one.
  const AppRule* Find(std::u16string_view program) const;
  // Adds or replaces the rule for its program; a rule that changes nothing
  // removes it. False for a name that cannot be a file name.
  bool Set(const AppRule& rule);
  void Remove(std::u16string_view program);
  const std::vector<AppRule>& Rules() const { return rules_; }
  bool Empty() const { return rules_.empty(); }

  // Whether two program names are the same, ignoring ASCII case.
  static bool SameProgram(std::u16string_view a, std::u16string_view b);
  // A file name without folder: not empty, at most 260 units, none of
  // \ / : * ? " < > | [ ] or control characters, not ending in a dot or
  // space.
  static bool IsProgramName(std::u16string_view name);

 private:
  std::vector<AppRule> rules_;
};

}  // namespace tavirel
