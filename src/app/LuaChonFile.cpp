#include "app/LuaChonFile.h"

#include <algorithm>
#include <cmath>
#include <functional>

#include "common/Utf8.h"
#include "service/CInputMethodService.h"
#include "service/CTypingContext.h"
#include "spelling/CTuDien.h"

namespace tavirel {

namespace {

using S = CInputMethodService;
using A = AppOptions;

// One "LuaChon" key: its text form from the current value, and the setter
// that applies a text read from the file.
struct OptionEntry {
  std::u16string_view Key;
  std::function<std::u16string(S&, const A&)> Get;
  std::function<void(S&, A&, const std::u16string&)> Set;
};

// Numbers that are not numbers leave the option alone.
template <typename F>
auto IfInt(F apply) {
  return [apply](S& s, A& a, const std::u16string& text) {
    int value = 0;
    if (ParseIntStrict(text, value)) apply(s, a, value);
  };
}

using BoolRef = std::function<bool&(S&)>;

OptionEntry Flag(std::u16string_view key, BoolRef field) {
  return {key, [field](S& s, const A&) { return FormatBool(field(s)); },
          IfInt([field](S& s, A&, int v) { field(s) = v != 0; })};
}

OptionEntry ContextFlag(std::u16string_view key, bool CTypingContext::*member) {
  return Flag(key, [member](S& s) -> bool& { return s.Context().*member; });
}

OptionEntry ServiceFlag(std::u16string_view key, bool S::*member) {
  return Flag(key, [member](S& s) -> bool& { return s.*member; });
}

OptionEntry Bool(std::u16string_view key, std::function<bool(S&)> get, std::function<void(S&, bool)> set) {
  return {key, [get](S& s, const A&) { return FormatBool(get(s)); },
          IfInt([set](S& s, A&, int v) { set(s, v != 0); })};
}

OptionEntry Combo(std::u16string_view key, KeyCombo (S::*get)() const, void (S::*set)(KeyCombo)) {
  return {key, [get](S& s, const A&) { return FormatInt((s.*get)().ToInt()); },
          IfInt([set](S& s, A&, int v) { (s.*set)(KeyCombo::FromInt(v)); })};
}

// The single-word dictionary is read when an option that needs it is on;
// it is read once, here at start-up or when the option is set, never in the
// keyboard hook.
void NeedTuDien(bool on) {
  if (on && CTuDien::Instance().Empty()) CTuDien::Load();
}

std::u16string JoinTabs(const std::vector<int32_t>& tabs) {
  std::u16string out;
  for (size_t i = 0; i < tabs.size(); ++i) {
    if (i > 0) out += u' ';
    out += FormatInt(tabs[i]);
  }
  return out;
}

// Split at each single space; every piece that is a page index is kept once.
std::vector<int32_t> ParseTabs(const std::u16string& text) {
  std::vector<int32_t> tabs;
  if (text.empty()) return tabs;
  size_t start = 0;
  for (;;) {
    const size_t space = text.find(u' ', start);
    const std::u16string piece = text.substr(start, space == std::u16string::npos ? std::u16string::npos
                                                                                   : space - start);
    int value = 0;
    if (ParseIntStrict(piece, value) && value >= 0 && value < AppOptions::kPageCount &&
        std::find(tabs.begin(), tabs.end(), value) == tabs.end()) {
      tabs.push_back(value);
    }
    if (space == std::u16string::npos) break;
    start = space + 1;
  }
  return tabs;
}

// Names never end in spaces; "KieuGo = VNI ; note" keeps the space before
// the ";" in the value.
const std::vector<OptionEntry>& Entries() {
  static const std::vector<OptionEntry> entries = {
      Bool(u"Enabled", [](S& s) { return s.IsVietnamese(); }, [](S& s, bool on) { s.SetVietnamese(on); }),
      {u"BangMa", [](S& s, const A&) { return s.CodeTable(); },
       [](S& s, A&, const std::u16string& v) { s.SetCodeTable(TrimSpaces(v)); }},
      {u"KieuGo", [](S& s, const A&) { return s.TypingMethod(); },
       [](S& s, A&, const std::u16string& v) { s.SetTypingMethod(TrimSpaces(v)); }},
      Combo(u"PhimChuyen", &S::PhimChuyen, &S::SetPhimChuyen),
      ContextFlag(u"GoTat", &CTypingContext::GoTat),
      ContextFlag(u"XuLyHoaThuongKhiGoTat", &CTypingContext::XuLyHoaThuongKhiGoTat),
      ContextFlag(u"ChanPhimKhiGoTat", &CTypingContext::ChanPhimKhiGoTat),
      ContextFlag(u"GoTatKhiTatTavirel", &CTypingContext::GoTatKhiTatTavirel),
      Bool(u"GoTatPAD", [](S& s) { return s.Context().GoTatPAD; },
           [](S& s, bool on) { s.Context().SetInitialShorthand(on); }),
      Bool(u"GoTatPAC", [](S& s) { return s.Context().GoTatPAC; },
           [](S& s, bool on) { s.Context().SetFinalShorthand(on); }),
      Bool(u"PADTuDo", [](S& s) { return s.Context().GhepVanTables().FreeInitials(); },
           [](S& s, bool on) { s.Context().GhepVanTables().SetFreeInitials(on); }),
      Bool(u"UODiKemPAC", [](S& s) { return s.Context().GhepVanTables().UODiKemPAC; },
           [](S& s, bool on) { s.Context().GhepVanTables().SetUoWithFinals(on); }),
      Flag(u"BoDauThanhKieu2", [](S& s) -> bool& { return s.Context().BoDauThanhKieu2; }),
      {u"NA_PAC_DacBiet", [](S& s, const A&) { return s.SpecialWords(); },
       [](S& s, A&, const std::u16string& v) { s.SetSpecialWords(v); }},
      ContextFlag(u"KhoiPhucPhimVoiTuSai", &CTypingContext::KhoiPhucPhimVoiTuSai),
      Bool(u"DungTuDienDeKTChinhTa", [](S& s) { return s.Context().DungTuDienDeKTChinhTa; },
           [](S& s, bool on) {
             NeedTuDien(on);
             s.Context().DungTuDienDeKTChinhTa = on;
           }),
      ContextFlag(u"GoCacTuTVLienTuc", &CTypingContext::GoCacTuTVLienTuc),
      ContextFlag(u"TuThemDauSac", &CTypingContext::TuThemDauSac),
      Bool(u"SuaLoiChinhTaTuDon", [](S& s) { return s.Context().SuaLoiChinhTaTuDon; },
           [](S& s, bool on) {
             NeedTuDien(on);
             s.Context().SuaLoiChinhTaTuDon = on;
           }),
      Bool(u"SuaLoiChinhTaTuGhep", [](S& s) { return s.Context().SuaLoiChinhTaTuGhep; },
           [](S& s, bool on) { s.Context().SetSuaLoiChinhTaTuGhep(on); }),
      Bool(u"Suggestion", [](S& s) { return s.SuggestionsOn(); }, [](S& s, bool on) { s.EnableSuggestions(on); }),
      ServiceFlag(u"SuggestionUIExpand", &S::SuggestionUIExpand),
      ServiceFlag(u"SuggestionUIManualPosition", &S::SuggestionUIManualPosition),
      ServiceFlag(u"SuggestionUIHookUpDownKey", &S::SuggestionUIHookUpDownKey),
      {u"SoLuongTuGoiY", [](S& s, const A&) { return FormatInt(s.SoLuongTuGoiY); },
       IfInt([](S& s, A&, int v) { s.SoLuongTuGoiY = std::clamp(v, 0, kMaxSoLuongTuGoiY); })},
      {u"SuggestionUIAlpha", [](S& s, const A&) { return FormatInt(s.SuggestionUIAlpha); },
       IfInt([](S& s, A&, int v) {
         s.SuggestionUIAlpha = std::clamp(v, kMinSuggestionUIAlpha, kMaxSuggestionUIAlpha);
       })},
      Combo(u"PhimGoiY", &S::PhimGoiY, &S::SetPhimGoiY),
      Combo(u"PhimKhoiPhuc", &S::PhimKhoiPhuc, &S::SetPhimKhoiPhuc),
      Combo(u"PhimClear", &S::PhimClear, &S::SetPhimClear),
      ServiceFlag(u"EnableMouseHook", &S::EnableMouseHook),
      ServiceFlag(u"CPUCao", &S::CPUCao),
      ServiceFlag(u"Clipboard", &S::Clipboard),
      ServiceFlag(u"RestoreClipboard", &S::RestoreClipboard),
      ServiceFlag(u"DetectAutoCompleteWindows", &S::DetectAutoCompleteWindows),
      {u"ThuNho", [](S&, const A& a) { return FormatBool(a.ThuNho); },
       IfInt([](S&, A& a, int v) { a.ThuNho = v != 0; })},
      {u"DisplayedTabs", [](S&, const A& a) { return JoinTabs(a.DisplayedTabs); },
       [](S&, A& a, const std::u16string& v) { a.DisplayedTabs = ParseTabs(v); }},
  };
  return entries;
}

void ApplyConversion(const IniKeys& keys, ConversionOptions& c) {
  c.clipboard = GetBool(keys, u"Clipboard", true);
  c.sourceFile = GetString(keys, u"FileNguon", u"");
  c.targetFile = GetString(keys, u"FileDich", u"");
  c.autoDetect = GetBool(keys, u"AutoDetect", true);
  const double threshold = GetDouble(keys, u"TiLeChinhXac", 0.7);
  c.threshold = std::isnan(threshold) ? 0.7 : std::clamp(threshold, 0.0, 1.0);
  c.flags = GetInt(keys, u"Flags", 0);
  c.source = TrimSpaces(GetString(keys, u"BangMaNguon", c.source));
  c.target = TrimSpaces(GetString(keys, u"BangMaDich", c.target));
}

}  // namespace

bool ParseIntStrict(const std::u16string& text, int& value) {
  size_t i = 0;
  while (i < text.size() && (text[i] == u' ' || (text[i] >= u'\t' && text[i] <= u'\r'))) ++i;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) ++i;
  if (i >= text.size() || text[i] < u'0' || text[i] > u'9') return false;
  value = ParseInt(text);
  return true;
}

void ApplyOptions(const IniSections& sections, CInputMethodService& service, AppOptions& app,
                  bool runAtLogin) {
  static const IniKeys kNone;
  const auto luaChon = sections.find(kLuaChonSection);
  const IniKeys& keys = luaChon == sections.end() ? kNone : luaChon->second;
  for (const OptionEntry& entry : Entries()) {
    const auto it = keys.find(std::u16string(entry.Key));
    if (it == keys.end()) continue;
    if (entry.Key == u"Enabled") {
      // A copy started by hand always starts on; one started at log-in
      // resumes the saved state.
      int enabled = 1;
      if (runAtLogin && ParseIntStrict(it->second, enabled) && enabled == 0) service.SetVietnamese(false);
      continue;
    }
    entry.Set(service, app, it->second);
  }
  const auto chuyenMa = sections.find(kChuyenMaSection);
  if (chuyenMa != sections.end()) ApplyConversion(chuyenMa->second, app.Conversion);
}

SettingsFileStatus LoadOptions(const std::u16string& path, CInputMethodService& service, AppOptions& app,
                               bool runAtLogin) {
  std::vector<std::u16string> lines;
  const SettingsFileStatus status = ReadSettingsLines(path, lines);
  if (status == SettingsFileStatus::Read) {
    ApplyOptions(ParseIniLines(StandardIniSyntax(), lines), service, app, runAtLogin);
  }
  return status;
}

IniSections CollectOptions(CInputMethodService& service, const AppOptions& app) {
  IniSections sections;
  IniKeys& luaChon = sections[kLuaChonSection];
  for (const OptionEntry& entry : Entries()) luaChon[std::u16string(entry.Key)] = entry.Get(service, app);
  IniKeys& chuyenMa = sections[kChuyenMaSection];
  const ConversionOptions& c = app.Conversion;
  chuyenMa[u"Clipboard"] = FormatBool(c.clipboard);
  chuyenMa[u"FileNguon"] = c.sourceFile;
  chuyenMa[u"FileDich"] = c.targetFile;
  chuyenMa[u"AutoDetect"] = FormatBool(c.autoDetect);
  chuyenMa[u"TiLeChinhXac"] = FormatDouble(c.threshold);
  chuyenMa[u"Flags"] = FormatInt(c.flags);
  chuyenMa[u"BangMaNguon"] = c.source;
  chuyenMa[u"BangMaDich"] = c.target;
  return sections;
}

bool SaveOptions(const std::u16string& path, CInputMethodService& service, const AppOptions& app) {
  return WriteIniFile(StandardIniSyntax(), path, CollectOptions(service, app));
}

bool SetOption(CInputMethodService& service, AppOptions& app, const std::u16string& key,
               const std::u16string& value) {
  for (const OptionEntry& entry : Entries()) {
    if (entry.Key == key) {
      entry.Set(service, app, value);
      return true;
    }
  }
  return false;
}

std::vector<std::u16string> OptionKeys() {
  std::vector<std::u16string> keys;
  for (const OptionEntry& entry : Entries()) keys.emplace_back(entry.Key);
  return keys;
}

}  // namespace tavirel
