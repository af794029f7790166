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

CKieuGo CKieuGo::FromSection(const IniKeys& section) {
  CKieuGo method;
  for (const auto& [key, value] : section) {
    const char16_t c = key.empty() ? char16_t(0) : key[0];
    const int32_t f = FindFunctionIniName(value);
    method.Add(c, f >= 0 ? KeyBinding::Function(f) : KeyBinding::Text(value));
  }
  return method;
}

namespace {

bool HasLineBreak(std::u16string_view text) { return text.find_first_of(u"\r\n") != std::u16string_view::npos; }

// True when "key=value" is read back by the INI reader as a pair of this key
// inside the same section.
bool Storable(char16_t key, const std::u16string& value) {
  const IniSyntax& s = StandardIniSyntax();
  if (key == s.Separator || key == s.Comment || key == u' ' || key == u'\r' || key == u'\n') return false;
  if (HasLineBreak(value)) return false;
  if (key == s.SectionOpen && value.find(s.SectionClose) != std::u16string::npos) return false;
  return true;
}

// A name the reader gives back unchanged from "[name]".
bool StorableName(const std::u16string& name) {
  const IniSyntax& s = StandardIniSyntax();
  return !HasLineBreak(name) && name.find(s.SectionClose) == std::u16string::npos;
}

}  // namespace

IniKeys CKieuGo::ToSection() const {
  IniKeys section;
  for (const auto& [key, binding] : Bindings) {
    std::u16string value = binding.IniValue();
    if (!Storable(key, value)) continue;
    section.emplace(std::u16string(1, key), std::move(value));
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
  if (Contains(GetUserMethodNames(), name)) return CKieuGo::FromSection(ReadIniSection(userPath_, name));
  return CKieuGo();
}

CKieuGo CKieuGoRegistry::LoadBuiltInKieuGo(const std::u16string& name) const {
  return CKieuGo::FromSection(ReadIniSection(builtInPath_, name));
}

bool CKieuGoRegistry::SaveUserMethods(const KieuGoMethods& methods) const {
  IniSections sections;
  for (const auto& [name, method] : methods) {
    if (!StorableName(name)) continue;
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
