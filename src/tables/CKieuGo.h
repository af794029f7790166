#pragma once
// Typing methods: which keys act as Vietnamese key functions (tones, marks,
// letters to create, the escape key) instead of being typed as themselves.
// A method is only a table from a key character to a binding; the methods
// themselves are data in two KieuGo.ini files: the built-in one in the
// Resources folder and the user's own one in the program's folder.
#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/Ini.h"

namespace tavirel {

// Number of key functions (0 .. 33).
inline constexpr int kKieuGoFunctionCount = 34;

// One entry of a typing method.
struct KeyBinding {
  int32_t function = -1;  // key function 0..33; -1 for a text binding
  std::u16string text;    // the text to insert; empty for a function binding
  bool isText = false;    // true for a text binding

  static KeyBinding Function(int32_t number) { return KeyBinding{number, std::u16string(), false}; }
  static KeyBinding Text(std::u16string value) { return KeyBinding{-1, std::move(value), true}; }

  // The function's ini name, or the text as it stands.
  std::u16string IniValue() const;
  // The value written in KieuGo.ini: the function's ini name, or the text,
  // quoted when it would not read back the same (see CKieuGo::FromSection).
  std::u16string FileValue() const;
  // What the editor and the main dialog show: the text, or the function's
  // display name.
  std::u16string DisplayText() const;

  bool operator==(const KeyBinding&) const = default;
};

// The ini names ("Thoat", "DauSac", "__ươ", ...) indexed by function number.
extern const std::array<std::u16string_view, kKieuGoFunctionCount> FunctionIniNames;
// The texts shown in the editor's function list, indexed by function number.
extern const std::array<std::u16string_view, kKieuGoFunctionCount> FunctionDisplayNames;

// Function number of an ini name (exact, case-sensitive), or -1.
int32_t FindFunctionIniName(std::u16string_view value);

// A typing method: an ordered map from a key character to its binding.
class CKieuGo {
 public:
  using Map = std::map<char16_t, KeyBinding>;

  Map Bindings;

  // The binding stored under exactly this key character, or null.
  const KeyBinding* Find(char16_t key) const {
    const auto it = Bindings.find(key);
    return it == Bindings.end() ? nullptr : &it->second;
  }
  // The binding a typed character finds: the lookup uses its lower-case form
  // (ASCII and the Vietnamese letters), so Shift does not change the binding.
  const KeyBinding* FindTyped(char16_t typed) const { return Find(LookupKey(typed)); }
  static char16_t LookupKey(char16_t typed);

  // Stores the binding unless the key already has one; true when stored.
  bool Add(char16_t key, KeyBinding binding) { return Bindings.emplace(key, std::move(binding)).second; }

  bool empty() const { return Bindings.empty(); }
  size_t size() const { return Bindings.size(); }
  Map::const_iterator begin() const { return Bindings.begin(); }
  Map::const_iterator end() const { return Bindings.end(); }

  bool operator==(const CKieuGo&) const = default;

  // Builds a method from the key/value pairs of one INI section.
  // Key: a key text of exactly the form \uXXXX (four hex digits) stands for
  // that UTF-16 unit; any other key text for its first unit (0 when empty).
  // Value: a value that begins and ends with a double quote, and holds no
  // backslash other than \\ (a backslash) and \uXXXX (that unit), is quoted
  // text: a text binding of what is between the quotes, even when it spells a
  // function's ini name. Any other value equal to an ini name gives a function
  // binding, and any other value a text binding of the value as it stands.
  // The first pair of a key character wins.
  static CKieuGo FromSection(const IniKeys& section);
  // The section a method is written as, one pair per binding, which
  // FromSection reads back as the same method: keys the INI reader would
  // take for something else ("=", ";", space, line breaks, NUL, a lone
  // surrogate, "[" before a "]") are written \uXXXX, and texts that would
  // not come back the same (an ini name, spaces at either end, ";", line
  // breaks, a lone surrogate, quotes at both ends) are written quoted.
  IniKeys ToSection() const;
};

// A method name that a section header gives back unchanged: no "]", no line
// break, no lone surrogate. The editor refuses other names.
bool IsStorableMethodName(const std::u16string& name);

// Method name -> method, in ordinal order of the names.
using KieuGoMethods = std::map<std::u16string, CKieuGo>;

// The two KieuGo.ini files and the built-in method names, read once.
class CKieuGoRegistry {
 public:
  CKieuGoRegistry(std::u16string builtInPath, std::u16string userPath);

  const std::u16string& BuiltInPath() const { return builtInPath_; }
  const std::u16string& UserPath() const { return userPath_; }
  const std::vector<std::u16string>& BuiltInMethodNames() const { return builtInNames_; }

  // Built-in names followed by the user file's section names (not cached,
  // duplicates kept).
  std::vector<std::u16string> GetTypingMethodNames() const;
  // The user file's section names; empty when the file does not exist.
  std::vector<std::u16string> GetUserMethodNames() const;
  // The built-in method of that exact name, else the user method, else an
  // empty method.
  CKieuGo LoadKieuGo(const std::u16string& name) const;
  // The section of that name in the built-in file, whatever the lists say.
  CKieuGo LoadBuiltInKieuGo(const std::u16string& name) const;
  // Replaces the user file with these methods, atomically; false (and the
  // file left as it was) when it cannot be written, when the present file
  // exists but cannot be read, or when a name is not IsStorableMethodName.
  bool SaveUserMethods(const KieuGoMethods& methods) const;

 private:
  std::u16string builtInPath_;
  std::u16string userPath_;
  std::vector<std::u16string> builtInNames_;
};

// The process-wide registry on ResourcePath("KieuGo.ini") and
// AppFilePath("KieuGo.ini"), built at the first use.
const CKieuGoRegistry& KieuGoRegistry();
// Rebuilds the process-wide registry from the current program folder. Called
// at start-up (and by tests and tools that move the program folder) before
// any other thread reads the registry.
void InitKieuGoRegistry();

std::vector<std::u16string> GetTypingMethodNames();
std::vector<std::u16string> GetUserMethodNames();
CKieuGo LoadKieuGo(const std::u16string& name);
CKieuGo LoadBuiltInKieuGo(const std::u16string& name);
bool SaveUserMethods(const KieuGoMethods& methods);

// Name of the default method.
inline constexpr std::u16string_view kDefaultKieuGo = u"Telex 2";

}  // namespace tavirel
