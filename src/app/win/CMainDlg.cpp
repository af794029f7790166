#include "app/win/CMainDlg.h"

#include <commctrl.h>

#include <chrono>
#include <vector>

#include "app/LuaChonFile.h"
#include "app/MainDlgIds.h"
#include "app/MainDlgTexts.h"
#include "app/TrayMenu.h"
#include "app/win/CKieuGoDlg.h"
#include "app/win/CTavirelApp.h"
#include "app/win/resource.h"
#include "service/CInputMethodService.h"
#include "service/ServiceTables.h"
#include "spelling/CTuDien.h"
#include "tables/CBangMa.h"
#include "tables/CKieuGo.h"

namespace tavirel {

namespace {

const wchar_t* W(const std::u16string& s) { return reinterpret_cast<const wchar_t*>(s.c_str()); }
const wchar_t* W(const char16_t* s) { return reinterpret_cast<const wchar_t*>(s); }

constexpr int kPageTemplates[kOptionPageCount] = {IDD_PAGE_GOTAT, IDD_PAGE_CHINHTA, IDD_PAGE_SUALOI,
                                                  IDD_PAGE_GOIY,  IDD_PAGE_PHIMTAT, IDD_PAGE_HETHONG};
constexpr int kPageMenuFirstCommand = 100;
// The controls below the tab area, moved by the reduced form.
constexpr int kBelowTabs[] = {IDC_RUNATLOGIN, IDOK, IDC_APPLY, IDCANCEL, IDC_ABOUT, IDC_THUNHO};

std::u16string TextOf(HWND hwnd) {
  const int n = GetWindowTextLengthW(hwnd);
  std::u16string text(static_cast<size_t>(n) + 1, u'\0');
  GetWindowTextW(hwnd, reinterpret_cast<wchar_t*>(text.data()), n + 1);
  text.resize(static_cast<size_t>(n));
  return text;
}

void FillCombo(HWND combo, const std::vector<std::u16string>& items, int selected) {
  SendMessageW(combo, CB_RESETCONTENT, 0, 0);
  for (const std::u16string& item : items) SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(W(item)));
  SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
}

int ComboSelection(HWND combo) {
  const LRESULT sel = SendMessageW(combo, CB_GETCURSEL, 0, 0);
  return sel == CB_ERR ? -1 : static_cast<int>(sel);
}

RECT ClientRectOf(HWND child) {
  RECT r{};
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

std::u16string ProgramVersion() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(path, &ignored);
  if (size == 0) return {};
  std::vector<BYTE> data(size);
  VS_FIXEDFILEINFO* info = nullptr;
  UINT len = 0;
  if (!GetFileVersionInfoW(path, 0, size, data.data()) ||
      !VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&info), &len) || info == nullptr) {
    return {};
  }
  wchar_t text[64] = {};
  swprintf(text, 64, L"%u.%u.%u", HIWORD(info->dwProductVersionMS), LOWORD(info->dwProductVersionMS),
           HIWORD(info->dwProductVersionLS));
  return reinterpret_cast<const char16_t*>(text);
}

INT_PTR CALLBACK AboutProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM) {
  if (msg == WM_INITDIALOG) {
    HWND text = GetDlgItem(hwnd, IDC_ABOUT_TEXT);
    SetWindowTextW(text, W(TextOf(text) + ProgramVersion()));
    return TRUE;
  }
  if (msg == WM_COMMAND && (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL)) {
    EndDialog(hwnd, LOWORD(wp));
    return TRUE;
  }
  return FALSE;
}

}  // namespace

CMainDlg::CMainDlg(CTavirelApp& app) : app_(app) {}

INT_PTR CMainDlg::Run(HWND owner) {
  return RunModal(app_.Instance(), IDD_MAIN, owner);
}

HWND CMainDlg::Control(int id) const {
  if (HWND own = GetDlgItem(hwnd_, id)) return own;
  for (HWND page : pages_) {
    if (HWND found = page ? GetDlgItem(page, id) : nullptr) return found;
  }
  return nullptr;
}

// A page passes its commands on to the dialog.
INT_PTR CALLBACK CMainDlg::PageProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  CMainDlg* self = DialogObject<CMainDlg>(hwnd, msg, lp);
  if (self && msg == WM_COMMAND) {
    self->OnCommand(LOWORD(wp), HIWORD(wp));
    return TRUE;
  }
  return FALSE;
}

INT_PTR CMainDlg::Handle(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_SHOWWINDOW:
      if (wp) LoadControls();
      return FALSE;
    case WM_COMMAND:
      OnCommand(LOWORD(wp), HIWORD(wp));
      return TRUE;
    case WM_NOTIFY: {
      const auto* hdr = reinterpret_cast<const NMHDR*>(lp);
      if (hdr->hwndFrom == tabs_ && hdr->code == TCN_SELCHANGE) SelectTab(TabCtrl_GetCurSel(tabs_));
      return TRUE;
    }
    case kSelectPage: {
      const int page = static_cast<int>(wp);
      if (page < 0 || page >= kOptionPageCount) return TRUE;
      if (!menu_->IsChecked(page)) ApplyPageChange(page, menu_->Choose(page));
      const std::vector<int> tabs = menu_->Tabs();
      for (size_t i = 0; i < tabs.size(); ++i) {
        if (tabs[i] == page) SelectTab(static_cast<int>(i));
      }
      return TRUE;
    }
    case WM_HELP:
      return TRUE;  // F1 does nothing here
    case WM_DESTROY:
      app_.Options().DisplayedTabs = menu_->DisplayedTabs();
      if (tooltip_) DestroyWindow(tooltip_);
      return FALSE;
    default:
      return FALSE;
  }
}

INT_PTR CMainDlg::OnInit() {
  HINSTANCE inst = app_.Instance();
  SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(LoadIconW(inst, MAKEINTRESOURCEW(IDI_APP))));
  SendMessageW(hwnd_, WM_SETICON, ICON_SMALL,
               reinterpret_cast<LPARAM>(LoadImageW(inst, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON,
                                                   GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0)));
  tabs_ = GetDlgItem(hwnd_, IDC_TABS);
  menu_ = std::make_unique<CPageMenu>(app_.Options().DisplayedTabs);

  const std::vector<int> tabs = menu_->Tabs();
  for (size_t i = 0; i < tabs.size(); ++i) {
    TCITEMW item{};
    item.mask = TCIF_TEXT | TCIF_PARAM;
    item.pszText = const_cast<wchar_t*>(W(kOptionPageTitles[static_cast<size_t>(tabs[i])]));
    item.lParam = tabs[i];
    TabCtrl_InsertItem(tabs_, static_cast<int>(i), &item);
  }
  // The pages fill the tab control below its row of tabs (measured with a
  // tab in it, so that the row has its height even when none is shown).
  const bool none = tabs.empty();
  if (none) {
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<wchar_t*>(L"#");
    TabCtrl_InsertItem(tabs_, 0, &item);
  }
  RECT area{};
  GetClientRect(tabs_, &area);
  TabCtrl_AdjustRect(tabs_, FALSE, &area);
  if (none) TabCtrl_DeleteItem(tabs_, 0);
  for (int page = 0; page < kOptionPageCount; ++page) {
    HWND p = CreateDialogParamW(inst, MAKEINTRESOURCEW(kPageTemplates[page]), tabs_, PageProc,
                                reinterpret_cast<LPARAM>(this));
    pages_[static_cast<size_t>(page)] = p;
    SetWindowPos(p, HWND_BOTTOM, area.left, area.top, area.right - area.left, area.bottom - area.top,
                 SWP_NOACTIVATE);
  }
  if (!tabs.empty()) SelectTab(0);

  // The hotkey entries, next to their labels and after them in tab order.
  hotkeys_[0].Create(hwnd_, 0, 0, IDC_HK_PHIMCHUYEN);
  hotkeys_[0].PlaceRightOf(GetDlgItem(hwnd_, IDC_LBL_PHIMCHUYEN), 6);
  hotkeys_[1].Create(pages_[3], 0, 0, IDC_HK_PHIMGOIY);
  hotkeys_[1].PlaceBelow(GetDlgItem(pages_[3], IDC_LBL_PHIMGOIY), 6);
  hotkeys_[2].Create(pages_[4], 0, 0, IDC_HK_PHIMKHOIPHUC);
  hotkeys_[2].PlaceRightOf(GetDlgItem(pages_[4], IDC_LBL_PHIMKHOIPHUC), 6);
  hotkeys_[3].Create(pages_[4], 0, 0, IDC_HK_PHIMCLEAR);
  hotkeys_[3].PlaceRightOf(GetDlgItem(pages_[4], IDC_LBL_PHIMCLEAR), 6);

  FillMethods();
  std::vector<std::u16string> counts;
  for (const char16_t* text : kCountItemTexts) counts.emplace_back(text);
  FillCombo(Control(IDC_SOLUONGTU), counts, -1);

  tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr, inst, nullptr);
  SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, 32767);
  SendMessageW(tooltip_, TTM_SETDELAYTIME, TTDT_AUTOPOP, 20000);
  for (HWND page : pages_) AddTooltips(page);

  const RECT tabRect = ClientRectOf(tabs_);
  tabHeight_ = tabRect.bottom - tabRect.top;
  reduced_ = app_.Options().ThuNho;
  if (reduced_) LayOut();
  return TRUE;
}

void CMainDlg::AddTooltips(HWND page) {
  for (const int* id = kMainDlgTooltipIds; *id != 0; ++id) {
    HWND control = GetDlgItem(page, *id);
    if (!control) continue;
    TOOLINFOW info{};
    info.cbSize = sizeof info;
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = page;
    info.uId = reinterpret_cast<UINT_PTR>(control);
    info.lpszText = const_cast<wchar_t*>(W(MainDlgTooltip(*id)));
    SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
  }
}

void CMainDlg::FillMethods() {
  const int method = SelectName(GetTypingMethodNames(), options_.count(u"KieuGo") ? options_.at(u"KieuGo") : u"");
  shown_.Methods = GetTypingMethodNames();
  shown_.Method = method;
  FillCombo(GetDlgItem(hwnd_, IDC_KIEUGO), shown_.Methods, method);
  shown_.Tables = GetCodeTableNames();
  shown_.Table = SelectName(shown_.Tables, options_.count(u"BangMa") ? options_.at(u"BangMa") : u"");
  FillCombo(GetDlgItem(hwnd_, IDC_BANGMA), shown_.Tables, shown_.Table);
}

void CMainDlg::LoadControls() {
  auto read = [](CInputMethodService& s) {
    AppOptions unused;
    return CollectOptions(s, unused)[kLuaChonSection];
  };
  auto values = app_.Service().Dispatcher().Call(read, std::chrono::milliseconds(2000));
  loaded_ = values.has_value();
  if (!loaded_) {
    MessageBoxW(hwnd_, L"Không đọc được các lựa chọn đang dùng; hãy mở lại cửa sổ này.", L"Tavirel",
                MB_OK | MB_ICONWARNING);
    return;
  }
  options_ = *values;
  shown_ = LoadState(options_, GetTypingMethodNames(), GetCodeTableNames(), CTavirelApp::IsRunAtLoginRegistered());
  FillCombo(GetDlgItem(hwnd_, IDC_KIEUGO), shown_.Methods, shown_.Method);
  FillCombo(GetDlgItem(hwnd_, IDC_BANGMA), shown_.Tables, shown_.Table);
  for (const auto& [id, on] : shown_.Checks) {
    CheckDlgButton(GetParent(Control(id)), id, on ? BST_CHECKED : BST_UNCHECKED);
  }
  SetWindowTextW(Control(IDC_NA_PAC_DACBIET), W(shown_.SpecialWords));
  SendMessageW(Control(IDC_SOLUONGTU), CB_SETCURSEL, static_cast<WPARAM>(shown_.Count), 0);
  for (size_t i = 0; i < hotkeys_.size(); ++i) hotkeys_[i].SetKeyCombo(shown_.HotKeys.at(kMainDlgHotKeys[i]));
  CheckDlgButton(hwnd_, IDC_RUNATLOGIN, shown_.RunAtLogin ? BST_CHECKED : BST_UNCHECKED);
}

MainDlgState CMainDlg::ReadControls() const {
  MainDlgState s = shown_;
  s.Method = ComboSelection(GetDlgItem(hwnd_, IDC_KIEUGO));
  s.Table = ComboSelection(GetDlgItem(hwnd_, IDC_BANGMA));
  for (auto& [id, on] : s.Checks) on = IsDlgButtonChecked(GetParent(Control(id)), id) == BST_CHECKED;
  s.SpecialWords = TextOf(Control(IDC_NA_PAC_DACBIET));
  s.Count = ComboSelection(Control(IDC_SOLUONGTU));
  for (size_t i = 0; i < hotkeys_.size(); ++i) s.HotKeys[kMainDlgHotKeys[i]] = hotkeys_[i].GetKeyCombo();
  s.RunAtLogin = IsDlgButtonChecked(hwnd_, IDC_RUNATLOGIN) == BST_CHECKED;
  return s;
}

bool CMainDlg::ApplyControls() {
  if (!loaded_) {
    LoadControls();
    return false;
  }
  const MainDlgState s = ReadControls();
  const auto changes = ApplyChanges(s, options_);
  // Dictionaries are read here, not on the hook thread.
  if (NeedsSingleWordDictionary(changes) && CTuDien::Instance().Empty()) CTuDien::Load();
  auto apply = [changes](CInputMethodService& service) {
    AppOptions unused;  // the dialog sets no option of the application here
    for (const auto& [key, value] : changes) SetOption(service, unused, key, value);
  };
  if (!app_.Service().Dispatcher().Call(apply, std::chrono::milliseconds(5000))) {
    MessageBoxW(hwnd_, L"Tavirel đang bận, các lựa chọn chưa được áp dụng. Hãy thử lại.", L"Tavirel",
                MB_OK | MB_ICONWARNING);
    return false;
  }
  app_.Options().DisplayedTabs = menu_->DisplayedTabs();
  if (!CTavirelApp::SetRunAtLogin(s.RunAtLogin)) {
    MessageBoxW(hwnd_, L"Không ghi được lựa chọn \"Tự động chạy khi đăng nhập\" vào Registry.", L"Tavirel",
                MB_OK | MB_ICONWARNING);
  }
  if (app_.Settings().SaveOptions(SaveKind::Explicit) == SaveResult::Failed) {
    const std::u16string text = u"Không lưu được các lựa chọn vào " + app_.Settings().OptionsPath();
    MessageBoxW(hwnd_, W(text), L"Tavirel", MB_OK | MB_ICONWARNING);
  }
  LoadControls();  // what the service took (a dictionary that could not be read stays off)
  return true;
}

void CMainDlg::OnCommand(int id, int code) {
  switch (id) {
    case IDOK:
      if (ApplyControls()) EndDialog(hwnd_, IDOK);
      break;
    case IDCANCEL:
      EndDialog(hwnd_, IDCANCEL);
      break;
    case IDC_APPLY:
      ApplyControls();
      break;
    case IDC_KEYHELP:
      ShowKeyHelp();
      break;
    case IDC_TAOKIEUGO:
      OpenEditor();
      break;
    case IDC_PAGEMENU:
      ShowPageMenu();
      break;
    case IDC_THUNHO:
      reduced_ = !reduced_;
      app_.Options().ThuNho = reduced_;
      LayOut();
      break;
    case IDC_ABOUT:
      ShowAbout();
      break;
    case IDC_SOANGOTAT:
      if (code == BN_CLICKED) PostMessageW(GetWindow(hwnd_, GW_OWNER), WM_COMMAND, traycmd::kShorthandEditor, 0);
      break;
    default:
      break;
  }
}

void CMainDlg::ShowKeyHelp() {
  HWND list = GetDlgItem(hwnd_, IDC_KIEUGO);
  const int sel = ComboSelection(list);
  if (sel < 0) return;
  const std::u16string name = shown_.Methods[static_cast<size_t>(sel)];
  MessageBoxW(hwnd_, W(KeyHelpText(LoadKieuGo(name))), W(KeyHelpCaption(name)), MB_OK);
}

void CMainDlg::OpenEditor() {
  CKieuGoDlg editor(app_);
  if (editor.Run(hwnd_) != IDOK) return;
  // The service picks methods from tables read once: read them again here
  // and hand them over.
  auto tables = ServiceTables::Reload();
  CServiceDispatcher& d = app_.Service().Dispatcher();
  d.Post([tables](CInputMethodService& s) { s.SetTables(tables); });
  const std::u16string active = options_.count(u"KieuGo") ? options_.at(u"KieuGo") : u"";
  const std::vector<std::u16string> names = GetTypingMethodNames();
  if (const auto fallback = MethodAfterEdit(active, names)) {
    d.Post([name = *fallback](CInputMethodService& s) { s.SetTypingMethod(name); });
    options_[u"KieuGo"] = *fallback;
    const std::u16string text = u"Kiểu gõ \"" + active + u"\" không còn nữa; Tavirel chuyển sang kiểu gõ \"" +
                                *fallback + u"\".";
    MessageBoxW(hwnd_, W(text), L"Tavirel", MB_OK | MB_ICONINFORMATION);
  }
  FillMethods();
}

void CMainDlg::ShowPageMenu() {
  HMENU menu = CreatePopupMenu();
  for (int page = 0; page < kOptionPageCount; ++page) {
    AppendMenuW(menu, MF_STRING | (menu_->IsChecked(page) ? MF_CHECKED : 0),
                static_cast<UINT_PTR>(kPageMenuFirstCommand + page), W(kOptionPageTitles[static_cast<size_t>(page)]));
  }
  POINT at{};
  GetCursorPos(&at);
  const int chosen = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_NONOTIFY, at.x, at.y, 0, hwnd_, nullptr);
  DestroyMenu(menu);
  const int page = chosen - kPageMenuFirstCommand;
  if (page >= 0 && page < kOptionPageCount) ApplyPageChange(page, menu_->Choose(page));
}

void CMainDlg::ApplyPageChange(int page, CPageMenu::TabChange change) {
  if (change.Tab < 0) return;
  if (change.Insert) {
    TCITEMW item{};
    item.mask = TCIF_TEXT | TCIF_PARAM;
    item.pszText = const_cast<wchar_t*>(W(kOptionPageTitles[static_cast<size_t>(page)]));
    item.lParam = page;
    TabCtrl_InsertItem(tabs_, change.Tab, &item);
    if (TabCtrl_GetItemCount(tabs_) == 1) SelectTab(0);
  } else {
    const int count = TabCtrl_GetItemCount(tabs_);
    if (TabCtrl_GetCurSel(tabs_) == change.Tab && count > 1) {
      SelectTab(change.Tab + 1 < count ? change.Tab + 1 : change.Tab - 1);
    }
    TabCtrl_DeleteItem(tabs_, change.Tab);
    ShowWindow(pages_[static_cast<size_t>(page)], SW_HIDE);
  }
  app_.Options().DisplayedTabs = menu_->DisplayedTabs();
}

void CMainDlg::SelectTab(int tab) {
  TabCtrl_SetCurSel(tabs_, tab);
  TCITEMW item{};
  item.mask = TCIF_PARAM;
  int shown = -1;
  if (TabCtrl_GetItem(tabs_, tab, &item)) shown = static_cast<int>(item.lParam);
  for (int page = 0; page < kOptionPageCount; ++page) {
    ShowWindow(pages_[static_cast<size_t>(page)], page == shown ? SW_SHOW : SW_HIDE);
  }
}

void CMainDlg::LayOut() {
  const int shift = reduced_ ? -tabHeight_ : tabHeight_;
  ShowWindow(tabs_, reduced_ ? SW_HIDE : SW_SHOW);
  ShowWindow(GetDlgItem(hwnd_, IDC_PAGEMENU), reduced_ ? SW_HIDE : SW_SHOW);
  for (int id : kBelowTabs) {
    HWND control = GetDlgItem(hwnd_, id);
    const RECT r = ClientRectOf(control);
    SetWindowPos(control, nullptr, r.left, r.top + shift, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  RECT window{};
  GetWindowRect(hwnd_, &window);
  SetWindowPos(hwnd_, nullptr, 0, 0, window.right - window.left, window.bottom - window.top + shift,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  SetDlgItemTextW(hwnd_, IDC_THUNHO, reduced_ ? L"Mở &rộng" : L"Thu &nhỏ");
}

void CMainDlg::ShowAbout() { DialogBoxParamW(app_.Instance(), MAKEINTRESOURCEW(IDD_ABOUT), hwnd_, AboutProc, 0); }

}  // namespace tavirel
