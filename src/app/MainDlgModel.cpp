#include "app/MainDlgModel.h"

#include "app/LuaChonFile.h"
#include "app/MainDlgIds.h"
#include "common/Letters.h"
#include "tables/CKieuGo.h"

namespace tavirel {

const char16_t* const kCountItemTexts[kCountItems] = {u"12", u"24 - Nên chọn", u"Tất cả"};

namespace {

std::u16string Get(const IniKeys& options, const char16_t* key) {
  const auto it = options.find(key);
  return it == options.end() ? std::u16string() : it->second;
}

int GetInt(const IniKeys& options, const char16_t* key, int fallback) {
  int value = fallback;
  return ParseIntStrict(Get(options, key), value) ? value : fallback;
}

// Page order of Apply; the lists, edits and hotkeys of a page go where the
// settings put them among its check boxes.
constexpr int kPageHash = 4;

}  // namespace

const std::vector<MainDlgCheck>& MainDlgChecks() {
  static const std::vector<MainDlgCheck> checks = {
      {IDC_GOTAT, 0, u"GoTat"},
      {IDC_XULYHOATHUONG, 0, u"XuLyHoaThuongKhiGoTat"},
      {IDC_GOTATKHITAT, 0, u"GoTatKhiTatTavirel"},
      {IDC_GOTATPAD, 0, u"GoTatPAD"},
      {IDC_GOTATPAC, 0, u"GoTatPAC"},
      {IDC_BODAUTHANHKIEU2, 1, u"BoDauThanhKieu2"},
      {IDC_PADTUDO, 1, u"PADTuDo"},
      {IDC_UODIKEMPAC, 1, u"UODiKemPAC"},
      {IDC_KHOIPHUCPHIM, 1, u"KhoiPhucPhimVoiTuSai"},
      {IDC_DUNGTUDIEN, 1, u"DungTuDienDeKTChinhTa"},
      {IDC_GOLIENTUC, 1, u"GoCacTuTVLienTuc"},
      {IDC_TUTHEMDAUSAC, 2, u"TuThemDauSac"},
      {IDC_SUALOITUDON, 2, u"SuaLoiChinhTaTuDon"},
      {IDC_SUALOITUGHEP, 2, u"SuaLoiChinhTaTuGhep"},
      {IDC_SUGGESTION, 3, u"Suggestion"},
      {IDC_MANUALPOSITION, 3, u"SuggestionUIManualPosition"},
      {IDC_HOOKUPDOWN, 3, u"SuggestionUIHookUpDownKey"},
      {IDC_MOUSEHOOK, 5, u"EnableMouseHook"},
      {IDC_CPUCAO, 5, u"CPUCao"},
      {IDC_CLIPBOARD, 5, u"Clipboard"},
      {IDC_RESTORECLIPBOARD, 5, u"RestoreClipboard"},
      {IDC_DETECTAUTOCOMPLETE, 5, u"DetectAutoCompleteWindows"},
  };
  return checks;
}

const char16_t* OptionKey(MainDlgHotKey which) {
  switch (which) {
    case MainDlgHotKey::PhimChuyen: return u"PhimChuyen";
    case MainDlgHotKey::PhimGoiY: return u"PhimGoiY";
    case MainDlgHotKey::PhimKhoiPhuc: return u"PhimKhoiPhuc";
    case MainDlgHotKey::PhimClear: return u"PhimClear";
  }
  return u"";
}

int CountItemOf(int32_t count) {
  for (int i = 0; i < kCountItems; ++i) {
    if (kCountItemValues[i] == count) return i;
  }
  return -1;
}

int SelectName(const std::vector<std::u16string>& items, const std::u16string& name) {
  if (name.empty()) return -1;
  const std::u16string wanted = letters::ToLower(name);
  for (size_t i = 0; i < items.size(); ++i) {
    if (letters::ToLower(items[i]) == wanted) return static_cast<int>(i);
  }
  for (size_t i = 0; i < items.size(); ++i) {
    if (items[i].size() >= name.size() && letters::ToLower(items[i].substr(0, name.size())) == wanted) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

MainDlgState LoadState(const IniKeys& options, std::vector<std::u16string> methods,
                       std::vector<std::u16string> tables, bool runAtLogin) {
  MainDlgState s;
  s.Methods = std::move(methods);
  s.Tables = std::move(tables);
  s.Method = SelectName(s.Methods, Get(options, u"KieuGo"));
  s.Table = SelectName(s.Tables, Get(options, u"BangMa"));
  for (const MainDlgCheck& c : MainDlgChecks()) s.Checks[c.Id] = GetInt(options, c.Key, 0) != 0;
  s.SpecialWords = Get(options, u"NA_PAC_DacBiet");
  s.Count = CountItemOf(GetInt(options, u"SoLuongTuGoiY", -1));
  for (MainDlgHotKey which : kMainDlgHotKeys) {
    s.HotKeys[which] = KeyCombo::FromInt(GetInt(options, OptionKey(which), 0));
  }
  s.RunAtLogin = runAtLogin;
  return s;
}

std::vector<std::pair<std::u16string, std::u16string>> ApplyChanges(const MainDlgState& shown,
                                                                    const IniKeys& options) {
  std::vector<std::pair<std::u16string, std::u16string>> out;
  auto pick = [](const std::vector<std::u16string>& items, int index) {
    return index >= 0 && static_cast<size_t>(index) < items.size() ? &items[static_cast<size_t>(index)] : nullptr;
  };
  if (const std::u16string* table = pick(shown.Tables, shown.Table)) out.emplace_back(u"BangMa", *table);
  if (const std::u16string* method = pick(shown.Methods, shown.Method)) out.emplace_back(u"KieuGo", *method);
  auto hotkey = [&](MainDlgHotKey which) {
    const auto it = shown.HotKeys.find(which);
    if (it != shown.HotKeys.end()) out.emplace_back(OptionKey(which), FormatInt(it->second.ToInt()));
  };
  hotkey(MainDlgHotKey::PhimChuyen);
  for (int page = 0; page < 6; ++page) {
    if (page == kPageHash) {
      hotkey(MainDlgHotKey::PhimKhoiPhuc);
      hotkey(MainDlgHotKey::PhimClear);
    }
    for (const MainDlgCheck& c : MainDlgChecks()) {
      if (c.Page != page) continue;
      const auto it = shown.Checks.find(c.Id);
      if (it == shown.Checks.end()) continue;
      const std::u16string value = FormatBool(it->second);
      if (c.Id == IDC_SUALOITUGHEP && (GetInt(options, c.Key, 0) != 0) == it->second) continue;
      out.emplace_back(c.Key, value);
      if (c.Id == IDC_UODIKEMPAC) out.emplace_back(u"NA_PAC_DacBiet", shown.SpecialWords);
      if (c.Id == IDC_SUGGESTION) {
        if (shown.Count >= 0 && shown.Count < kCountItems) {
          out.emplace_back(u"SoLuongTuGoiY", FormatInt(kCountItemValues[shown.Count]));
        }
        hotkey(MainDlgHotKey::PhimGoiY);
      }
    }
  }
  return out;
}

std::optional<std::u16string> MethodAfterEdit(const std::u16string& active,
                                              const std::vector<std::u16string>& names) {
  for (const std::u16string& name : names) {
    if (name == active) return std::nullopt;
  }
  return std::u16string(kDefaultKieuGo);
}

bool NeedsSingleWordDictionary(const std::vector<std::pair<std::u16string, std::u16string>>& changes) {
  for (const auto& [key, value] : changes) {
    if ((key == u"DungTuDienDeKTChinhTa" || key == u"SuaLoiChinhTaTuDon") && value != u"0") return true;
  }
  return false;
}

}  // namespace tavirel
