#include "tables/CKieuGo.h"

#include <memory>

#include "common/AppDirectory.h"
#include "common/Letters.h"

namespace tavirel {

const std::array<std::u16string_view, kKieuGoFunctionCount> FunctionIniNames = {
    u"Thoat",   u"XoaDauThanh", u"DauSac",     u"DauHuyen", u"DauHoi", u"DauNga",
    u"DauNang", u"D_Đ",         u"AEO_ÂÊÔ",    u"A_Â",      u"E_Ê",    u"O_Ô",
    u"UOA_ƯƠĂ", u"UO_ƯƠ",       u"U_Ư",        u"O_Ơ",      u"A_Ă",    u"UOA_ƯƠĂ__Ư",
    u"__đ",     u"__â",         u"__ă",        u"__ê",      u"__ô",    u"__ơ",
    u"__ư",     u"__ươ",        u"_Đ",         u"_Â",       u"_Ă",     u"_Ê",
    u"_Ô",      u"_Ơ",          u"_Ư",         u"_ƯƠ",
};

const std::array<std::u16string_view, kKieuGoFunctionCount> FunctionDisplayNames = {
    u"Phím thoát : Bỏ qua phím chức năng kế tiếp",
    u"Xóa dấu thanh đang có",
    u"Dấu sắc",
    u"Dấu huyền",
    u"Dấu hỏi",
    u"Dấu ngã",
    u"Dấu nặng",
    u"Dấu gạch : D thành Đ",
    u"Dấu mũ : AEO thành ÂÊÔ",
    u"Dấu mũ : A thành Â",
    u"Dấu mũ : E thành Ê",
    u"Dấu mũ : O thành Ô",
    u"Dấu móc : UOA thành ƯƠĂ",
    u"Dấu móc : UO thành ƯƠ",
    u"Dấu móc : U thành Ư",
    u"Dấu móc : O thành Ơ",
    u"Dấu móc : A thành Ă",
    u"Dấu móc : UOA thành ƯƠĂ , hoặc tạo chữ Ư",
    u"Chữ đ",
    u"Chữ â",
    u"Chữ ă",
    u"Chữ ê",
    u"Chữ ô",
    u"Chữ ơ",
    u"Chữ ư",
    u"Chữ ươ",
    u"Chữ Đ",
    u"Chữ Â",
    u"Chữ Ă",
    u"Chữ Ê",
    u"Chữ Ô",
    u"Chữ Ơ",
    u"Chữ Ư",
    u"Chữ ƯƠ",
};

int32_t FindFunctionIniName(std::u16string_view value) {
  for (int32_t i = 0; i < kKieuGoFunctionCount; ++i)
    if (FunctionIniNames[i] == value) return i;
  return -1;
}

namespace {

bool IsFunctionNumber(int32_t f) { return f >= 0 && f < kKieuGoFunctionCount; }

}  // namespace

std::u16string KeyBinding::IniValue() const {
  if (isText || !IsFunctionNumber(function)) return text;
  return std::u16string(FunctionIniNames[function]);
}

std::u16string KeyBinding::DisplayText() const {
  if (isText || !IsFunctionNumber(function)) return text;
  return std::u16string(FunctionDisplayNames[function]);
}

char16_t CKieuGo::LookupKey(char16_t typed) { return letters::ToLower(typed); }

namespace {

bool IsHex(char16_t c) { return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F') || (c >= u'a' && c <= u'f'); }

int HexValue(char16_t c) { return c <= u'9' ? c - u'0' : (c | 0x20) - u'a' + 10; }

// "\uXXXX" at text[i]: the unit it stands for, or -1.
int EscapedUnitAt(std::u16string_view text, size_t i) {
  if (text.size() - i < 6 || text[i] != u'\\' || text[i + 1] != u'u') return -1;
  int unit = 0;
  for (size_t k = i + 2; k < i + 6; ++k) {
    if (!IsHex(text[k])) return -1;
    unit = unit * 16 + HexValue(text[k]);
  }
  return unit;
}

void AppendEscapedUnit(std::u16string& out, char16_t unit) {
  static constexpr char16_t kHex[] = u"0123456789ABCDEF";
  out += u"\\u";
  for (int shift = 12; shift >= 0; shift -= 4) out.push_back(kHex[(unit >> shift) & 0xF]);
}

bool IsSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDFFF; }

// A high surrogate at text[i] followed by a low one: one character.
bool PairAt(std::u16string_view text, size_t i) {
  return text[i] >= 0xD800 && text[i] <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
         text[i + 1] <= 0xDFFF;
}

// The key character of a key text: "\uXXXX" stands for that unit, any
// other text for its first unit (0 for an empty key).
char16_t KeyOfText(const std::u16string& key) {
  if (key.size() == 6) {
    const int unit = EscapedUnitAt(key, 0);
    if (unit >= 0) return static_cast<char16_t>(unit);
  }
  return key.empty() ? char16_t(0) : key[0];
}

// The text of a quoted value ("..." with \\ and \uXXXX inside), or false
// when the value is not in that form.
bool UnquoteText(std::u16string_view value, std::u16string& text) {
  if (value.size() < 2 || value.front() != u'"' || value.back() != u'"') return false;
  const std::u16string_view inner = value.substr(1, value.size() - 2);
  text.clear();
  for (size_t i = 0; i < inner.size(); ++i) {
    if (inner[i] != u'\\') {
      text.push_back(inner[i]);
    } else if (i + 1 < inner.size() && inner[i + 1] == u'\\') {
      text.push_back(u'\\');
      ++i;
    } else {
      const int unit = EscapedUnitAt(inner, i);
      if (unit < 0) return false;
      text.push_back(static_cast<char16_t>(unit));
      i += 5;
    }
  }
  return true;
}

// True when the text, written as it stands, reads back as the same text.
bool PlainTextReadsBack(const std::u16string& text) {
  const IniSyntax& s = StandardIniSyntax();
  if (FindFunctionIniName(text) >= 0) return false;
  if (!text.empty() && (text.front() == u' ' || text.back() == u' ')) return false;
  if (text.size() >= 2 && text.front() == u'"' && text.back() == u'"') return false;
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c == s.Comment || c == u'\r' || c == u'\n') return false;
    if (PairAt(text, i)) {
      ++i;
    } else if (IsSurrogate(c)) {
      return false;
    }
  }
  return true;
}

std::u16string QuoteText(const std::u16string& text) {
  const IniSyntax& s = StandardIniSyntax();
  std::u16string out = u"\"";
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (PairAt(text, i)) {
      out += text.substr(i, 2);
      ++i;
    } else if (c == u'\\') {
      out += u"\\\\";
    } else if (c == s.Comment || c == u'\r' || c == u'\n' || IsSurrogate(c)) {
      AppendEscapedUnit(out, c);
    } else {
      out.push_back(c);
    }
  }
  out.push_back(u'"');
  return out;
}

}  // namespace

CKieuGo CKieuGo::FromSection(const IniKeys& section) {
  CKieuGo method;
  std::u16string quoted;
  for (const auto& [key, value] : section) {
    const char16_t c = KeyOfText(key);
    if (UnquoteText(value, quoted)) {
      method.Add(c, KeyBinding::Text(quoted));
      continue;
    }
    const int32_t f = FindFunctionIniName(value);
    method.Add(c, f >= 0 ? KeyBinding::Function(f) : KeyBinding::Text(value));
  }
  return method;
}

std::u16string KeyBinding::FileValue() const {
  if (!isText && function >= 0 && function < kKieuGoFunctionCount) return IniValue();
  return PlainTextReadsBack(text) ? text : QuoteText(text);
}

bool IsStorableMethodName(const std::u16string& name) {
  const IniSyntax& s = StandardIniSyntax();
  for (size_t i = 0; i < name.size(); ++i) {
    const char16_t c = name[i];
    if (c == s.SectionClose || c == u'\r' || c == u'\n') return false;
    if (PairAt(name, i)) {
      ++i;
    } else if (IsSurrogate(c)) {
      return false;
    }
  }
  return true;
}

IniKeys CKieuGo::ToSection() const {
  const IniSyntax& s = StandardIniSyntax();
  IniKeys section;
  for (const auto& [key, binding] : Bindings) {
    std::u16string value = binding.FileValue();
    // A key the reader would take for something else is written escaped:
    // "=" (empty key), ";" (comment), a space (trimmed), a line break, NUL,
    // half of a surrogate pair, and "[" on a line holding "]" (a header).
    const bool escape = key == s.Separator || key == s.Comment || key == u' ' || key == u'\r' ||
                        key == u'\n' || key == 0 || IsSurrogate(key) ||
                        (key == s.SectionOpen && value.find(s.SectionClose) != std::u16string::npos);
    std::u16string keyText;
    if (escape) {
      AppendEscapedUnit(keyText, key);
    } else {
      keyText.assign(1, key);
    }
    section.emplace(std::move(keyText), std::move(value));
  }
  return section;
}

// ---- registry ----

CKieuGoRegistry::CKieuGoRegistry(std::u16string builtInPath, std::u16string userPath)
    : builtInPath_(std::move(builtInPath)), userPath_(std::move(userPath)) {
  builtInNames_ = ReadIniSectionNames(builtInPath_);
}

std::vector<std::u16string> CKieuGoRegistry::GetUserMethodNames() const {
  if (!FileExists(userPath_)) return {};
  return ReadIniSectionNames(userPath_);
}

std::vector<std::u16string> CKieuGoRegistry::GetTypingMethodNames() const {
  std::vector<std::u16string> names = builtInNames_;
  for (auto& n : GetUserMethodNames()) names.push_back(std::move(n));
  return names;
}

namespace {

bool Contains(const std::vector<std::u16string>& list, const std::u16string& name) {
  for (const auto& n : list)
    if (n == name) return true;
  return false;
}

}  // namespace

CKieuGo CKieuGoRegistry::LoadKieuGo(const std::u16string& name) const {
  if (Contains(builtInNames_, name)) return CKieuGo::FromSection(ReadIniSection(builtInPath_, name));
  // The user's section of exactly this name: "abc" is not "ABC".
  const IniSections user = ParseIniLines(StandardIniSyntax(), ReadTextLines(userPath_));
  const auto it = user.find(name);
  return it == user.end() ? CKieuGo() : CKieuGo::FromSection(it->second);
}

CKieuGo CKieuGoRegistry::LoadBuiltInKieuGo(const std::u16string& name) const {
  return CKieuGo::FromSection(ReadIniSection(builtInPath_, name));
}

bool CKieuGoRegistry::SaveUserMethods(const KieuGoMethods& methods) const {
  // A user file that exists but could not be read is never replaced: the
  // methods given here cannot hold what was in it.
  std::vector<std::u16string> present;
  if (ReadTextFile(userPath_, present) == TextFileStatus::Unreadable) return false;
  IniSections sections;
  for (const auto& [name, method] : methods) {
    if (!IsStorableMethodName(name)) return false;
    sections.emplace(name, method.ToSection());
  }
  return WriteIniFile(StandardIniSyntax(), userPath_, sections);
}

namespace {

std::unique_ptr<CKieuGoRegistry>& RegistrySlot() {
  static std::unique_ptr<CKieuGoRegistry> registry;
  return registry;
}

}  // namespace

void InitKieuGoRegistry() {
  RegistrySlot() = std::make_unique<CKieuGoRegistry>(ResourcePath(u"KieuGo.ini"), AppFilePath(u"KieuGo.ini"));
}

const CKieuGoRegistry& KieuGoRegistry() {
  // Built on the first use when start-up did not build it explicitly.
  static const bool once = [] {
    if (!RegistrySlot()) InitKieuGoRegistry();
    return true;
  }();
  (void)once;
  return *RegistrySlot();
}

std::vector<std::u16string> GetTypingMethodNames() { return KieuGoRegistry().GetTypingMethodNames(); }
std::vector<std::u16string> GetUserMethodNames() { return KieuGoRegistry().GetUserMethodNames(); }
CKieuGo LoadKieuGo(const std::u16string& name) { return KieuGoRegistry().LoadKieuGo(name); }
CKieuGo LoadBuiltInKieuGo(const std::u16string& name) { return KieuGoRegistry().LoadBuiltInKieuGo(name); }
bool SaveUserMethods(const KieuGoMethods& methods) { return KieuGoRegistry().SaveUserMethods(methods); }

}  // namespace tavirel
