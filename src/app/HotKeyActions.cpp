#include "app/HotKeyActions.h"

#include <functional>

#include "app/IShellRequests.h"
#include "app/MainDlgModel.h"
#include "common/Letters.h"
#include "service/CInputMethodService.h"
#include "service/CTypingContext.h"
#include "tables/CBangMa.h"
#include "tables/CKieuGo.h"

namespace tavirel {

namespace {

IShellRequests*& Requests() {
  static IShellRequests* requests = nullptr;
  return requests;
}

}  // namespace

IShellRequests* ShellRequests() { return Requests(); }
void SetShellRequests(IShellRequests* requests) { Requests() = requests; }

// ---------------------------------------------------------------- named parameter

int CNamedParamHotKeyAction::ParamChoiceIndex() const {
  // The exact name first: "Telex" must not show (and save back) as "Telex 2",
  // which is listed before it and begins with it.
  const std::vector<std::u16string> choices = ParamChoices();
  const int picked = SelectName(choices, param_);
  if (picked >= 0) return picked;
  return choices.empty() ? -1 : 0;
}

void CNamedParamHotKeyAction::SetParamFromChoice(int index) {
  const std::vector<std::u16string> choices = ParamChoices();
  if (index >= 0 && static_cast<size_t>(index) < choices.size()) param_ = choices[index];
}

bool CChuyenBangMaHotKeyAction::Execute() {
  Service->SetCodeTable(param_);
  return true;
}

std::vector<std::u16string> CChuyenBangMaHotKeyAction::ParamChoices() const { return GetCodeTableNames(); }

bool CChuyenKieuGoHotKeyAction::Execute() {
  Service->SetTypingMethod(param_);
  return true;
}

std::vector<std::u16string> CChuyenKieuGoHotKeyAction::ParamChoices() const { return GetTypingMethodNames(); }

// ---------------------------------------------------------------- options

const std::u16string_view CBatTatLuaChonHotKeyAction::kStoredNames[kOptionCount + 1] = {
    u"GoiYTu",          u"GoTat",    u"GoTatKhiTatTavirel", u"GoTatNA",
    u"GoTatPAD",        u"GoTatPAC", u"BoDauThanhKieu2",    u"DungTuDienDeKTChinhTa",
    u"GoCacTuTVLienTuc", u"CPUCao",  u"Clipboard",          u"DetectAutoCompleteWindows",
};

const std::u16string_view CBatTatLuaChonHotKeyAction::kDisplayNames[kOptionCount] = {
    u"Gợi ý từ (Auto Complete)",
    u"Gõ tắt",
    u"Gõ tắt ngay cả khi tắt Tavirel",
    u"Gõ tắt phụ âm đầu",
    u"Gõ tắt phụ âm cuối",
    u"Đặt dấu thanh oà, uý ( thay vì òa, úy )",
    u"Dùng từ điển để kiểm tra chính tả",
    u"Cho phép gõ các từ tiếng Việt liên tục mà không cần dấu cách / chấm",
    u"Chế độ gõ cho máy / chương trình chậm",
    u"Luôn dùng Clipboard để gửi ký tự",
    u"Tự động phát hiện cửa sổ có auto complete",
};

void CBatTatLuaChonHotKeyAction::SetParam(const std::u16string& text) {
  option_ = -1;
  for (int i = 0; i < kOptionCount; ++i) {
    if (kStoredNames[i] == text) {
      option_ = i;
      return;
    }
  }
}

std::u16string CBatTatLuaChonHotKeyAction::GetParam() const {
  return option_ >= 0 && option_ < kOptionCount ? std::u16string(kStoredNames[option_]) : std::u16string();
}

std::u16string CBatTatLuaChonHotKeyAction::GetParamText() const {
  return option_ >= 0 && option_ < kOptionCount ? std::u16string(kDisplayNames[option_]) : std::u16string();
}

std::vector<std::u16string> CBatTatLuaChonHotKeyAction::ParamChoices() const {
  return std::vector<std::u16string>(std::begin(kDisplayNames), std::end(kDisplayNames));
}

void CBatTatLuaChonHotKeyAction::SetParamFromChoice(int index) {
  option_ = index >= 0 && index < kOptionCount ? index : -1;
}

bool CBatTatLuaChonHotKeyAction::Execute() {
  CInputMethodService& s = *Service;
  CTypingContext& c = s.Context();
  switch (option_) {
    case 0: s.EnableSuggestions(!s.SuggestionsOn()); break;
    case 1: c.GoTat = !c.GoTat; break;
    case 2: c.GoTatKhiTatTavirel = !c.GoTatKhiTatTavirel; break;
    case 3: c.SetInitialShorthand(!c.GoTatPAD); break;
    case 4: c.SetFinalShorthand(!c.GoTatPAC); break;
    case 5: c.BoDauThanhKieu2 = !c.BoDauThanhKieu2; break;
    // The dictionary it needs was read when the hotkeys were loaded.
    case 6: c.DungTuDienDeKTChinhTa = !c.DungTuDienDeKTChinhTa; break;
    case 7: c.GoCacTuTVLienTuc = !c.GoCacTuTVLienTuc; break;
    case 8: s.CPUCao = !s.CPUCao; break;
    case 9: s.Clipboard = !s.Clipboard; break;
    case 10: s.DetectAutoCompleteWindows = !s.DetectAutoCompleteWindows; break;
    default: return false;
  }
  return true;
}

// ---------------------------------------------------------------- no parameter

bool CTaoTuGoTatHotKeyAction::Execute() {
  // The dialog must not open with the hotkey's modifiers still held.
  Service->ReleaseModifierKeys();
  if (IShellRequests* r = ShellRequests()) r->ShowCreateShorthandDialog();
  return true;
}

bool CBatTatHotKeyAction::Execute() {
  Service->MasterSwitch = !Service->MasterSwitch;
  // What the context holds is no longer what is on screen once the keys
  // stop (or start) going through it.
  Service->Reset();
  return true;
}

bool CSuspendSuggestionHotKeyAction::Execute() {
  Service->SuggestionsSuspended = !Service->SuggestionsSuspended;
  return true;
}

bool CHienCuaSoChinhHotKeyAction::Execute() {
  if (IShellRequests* r = ShellRequests()) r->ShowMainDialog();
  return true;
}

bool CHienCuaSoChuyenMaHotKeyAction::Execute() {
  if (IShellRequests* r = ShellRequests()) r->ShowConversionDialog();
  return true;
}

// ---------------------------------------------------------------- registry

namespace {

using Factory = std::function<std::unique_ptr<CHotKeyAction>()>;

template <typename T>
Factory Make() {
  return [] { return std::make_unique<T>(); };
}

const std::vector<Factory>& Factories() {
  static const std::vector<Factory> factories = {
      Make<CChuyenBangMaHotKeyAction>(),      Make<CChuyenKieuGoHotKeyAction>(),
      Make<CBatTatLuaChonHotKeyAction>(),     Make<CTaoTuGoTatHotKeyAction>(),
      Make<CBatTatHotKeyAction>(),            Make<CSuspendSuggestionHotKeyAction>(),
      Make<CHienCuaSoChinhHotKeyAction>(),    Make<CHienCuaSoChuyenMaHotKeyAction>(),
  };
  return factories;
}

}  // namespace

const std::vector<std::u16string>& ActionNames() {
  static const std::vector<std::u16string> names = [] {
    std::vector<std::u16string> out;
    for (const Factory& make : Factories()) out.push_back(make()->GetName());
    return out;
  }();
  return names;
}

std::unique_ptr<CHotKeyAction> CreateAction(const std::u16string& name, CInputMethodService* service) {
  const std::vector<std::u16string>& names = ActionNames();
  for (size_t i = 0; i < names.size(); ++i) {
    if (names[i] == name) {
      std::unique_ptr<CHotKeyAction> action = Factories()[i]();
      action->Service = service;
      return action;
    }
  }
  return nullptr;
}

}  // namespace tavirel
