#include "TypeOptions.h"

#include <functional>
#include <map>

#include "common/Ini.h"
#include "common/Utf8.h"
#include "service/CInputMethodService.h"
#include "service/CTypingContext.h"
#include "spelling/CTuDien.h"

namespace tavirel {

namespace {

using Setter = std::function<void(CInputMethodService&, const std::u16string&)>;

bool AsBool(const std::u16string& v) { return ParseInt(v) != 0; }

Setter Flag(bool CTypingContext::*field) {
  return [field](CInputMethodService& s, const std::u16string& v) { s.Context().*field = AsBool(v); };
}

Setter ServiceFlag(bool CInputMethodService::*field) {
  return [field](CInputMethodService& s, const std::u16string& v) { s.*field = AsBool(v); };
}

const std::map<std::string, Setter>& Setters() {
  static const std::map<std::string, Setter> setters = {
      {"Enabled", [](CInputMethodService& s, const std::u16string& v) { s.SetVietnamese(AsBool(v)); }},
      {"BangMa", [](CInputMethodService& s, const std::u16string& v) { s.SetCodeTable(v); }},
      {"KieuGo", [](CInputMethodService& s, const std::u16string& v) { s.SetTypingMethod(v); }},
      {"GoTat", Flag(&CTypingContext::GoTat)},
      {"XuLyHoaThuongKhiGoTat", Flag(&CTypingContext::XuLyHoaThuongKhiGoTat)},
      {"ChanPhimKhiGoTat", Flag(&CTypingContext::ChanPhimKhiGoTat)},
      {"GoTatKhiTatTavirel", Flag(&CTypingContext::GoTatKhiTatTavirel)},
      {"GoTatPAD",
       [](CInputMethodService& s, const std::u16string& v) { s.Context().SetInitialShorthand(AsBool(v)); }},
      {"GoTatPAC",
       [](CInputMethodService& s, const std::u16string& v) { s.Context().SetFinalShorthand(AsBool(v)); }},
      {"PADTuDo",
       [](CInputMethodService& s, const std::u16string& v) {
         s.Context().GhepVanTables().SetFreeInitials(AsBool(v));
       }},
      {"UODiKemPAC",
       [](CInputMethodService& s, const std::u16string& v) {
         s.Context().GhepVanTables().SetUoWithFinals(AsBool(v));
       }},
      {"BoDauThanhKieu2", Flag(&CTypingContext::BoDauThanhKieu2)},
      {"NA_PAC_DacBiet", [](CInputMethodService& s, const std::u16string& v) { s.SetSpecialWords(v); }},
      {"KhoiPhucPhimVoiTuSai", Flag(&CTypingContext::KhoiPhucPhimVoiTuSai)},
      {"DungTuDienDeKTChinhTa",
       [](CInputMethodService& s, const std::u16string& v) {
         s.Context().DungTuDienDeKTChinhTa = AsBool(v);
         if (AsBool(v)) CTuDien::Load();
       }},
      {"GoCacTuTVLienTuc", Flag(&CTypingContext::GoCacTuTVLienTuc)},
      {"TuThemDauSac", Flag(&CTypingContext::TuThemDauSac)},
      {"SuaLoiChinhTaTuDon",
       [](CInputMethodService& s, const std::u16string& v) {
         s.Context().SuaLoiChinhTaTuDon = AsBool(v);
         if (AsBool(v)) CTuDien::Load();
       }},
      {"SuaLoiChinhTaTuGhep",
       [](CInputMethodService& s, const std::u16string& v) { s.Context().SetSuaLoiChinhTaTuGhep(AsBool(v)); }},
      {"CPUCao", ServiceFlag(&CInputMethodService::CPUCao)},
      {"Clipboard", ServiceFlag(&CInputMethodService::Clipboard)},
      {"RestoreClipboard", ServiceFlag(&CInputMethodService::RestoreClipboard)},
      {"DetectAutoCompleteWindows", ServiceFlag(&CInputMethodService::DetectAutoCompleteWindows)},
      {"PhimChuyen",
       [](CInputMethodService& s, const std::u16string& v) { s.SetPhimChuyen(KeyCombo::FromInt(ParseInt(v))); }},
      {"PhimClear",
       [](CInputMethodService& s, const std::u16string& v) { s.SetPhimClear(KeyCombo::FromInt(ParseInt(v))); }},
      {"PhimKhoiPhuc",
       [](CInputMethodService& s, const std::u16string& v) { s.SetPhimKhoiPhuc(KeyCombo::FromInt(ParseInt(v))); }},
      {"PhimGoiY",
       [](CInputMethodService& s, const std::u16string& v) { s.SetPhimGoiY(KeyCombo::FromInt(ParseInt(v))); }},
  };
  return setters;
}

}  // namespace

bool ApplyTypeOption(CInputMethodService& service, const std::string& key, const std::string& value,
                     std::string& error) {
  const auto it = Setters().find(key);
  if (it == Setters().end()) {
    error = "unknown option '" + key + "' (see --help for the list)";
    return false;
  }
  it->second(service, Utf8ToUtf16(value));
  return true;
}

std::vector<std::string> TypeOptionKeys() {
  std::vector<std::string> keys;
  for (const auto& [key, setter] : Setters()) keys.push_back(key);
  return keys;
}

}  // namespace tavirel
