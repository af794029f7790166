#include "app/win/CUngDungDlg.h"

#include <commctrl.h>

#include <chrono>
#include <optional>
#include <vector>

#include "app/win/CTavirelApp.h"
#include "app/win/UngDungDlgIds.h"
#include "service/CInputMethodService.h"

namespace tavirel {

namespace {

constexpr wchar_t kCaption[] = L"Quy tắc theo chương trình";

const wchar_t* W(const std::u16string& s) { return reinterpret_cast<const wchar_t*>(s.c_str()); }
wchar_t* Wm(const std::u16string& s) { return const_cast<wchar_t*>(W(s)); }

std::u16string TextOf(HWND control) {
  const int n = GetWindowTextLengthW(control);
  std::u16string text(static_cast<size_t>(n) + 1, u'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(control, reinterpret_cast<wchar_t*>(text.data()), n + 1)));
  return text;
}

// The file names of the programs that show a window now, this one aside.
std::vector<std::u16string> RunningPrograms() {
  std::vector<DWORD> pids;
  EnumWindows(
      [](HWND w, LPARAM lp) -> BOOL {
        DWORD pid = 0;
        if (IsWindowVisible(w) && GetWindowThreadProcessId(w, &pid) && pid != GetCurrentProcessId()) {
          reinterpret_cast<std::vector<DWORD>*>(lp)->push_back(pid);
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&pids));
  std::vector<std::u16string> names;
  for (size_t i = 0; i < pids.size(); ++i) {
    bool seen = false;
    for (size_t j = 0; j < i && !seen; ++j) seen = pids[j] == pids[i];
    if (seen) continue;
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pids[i]);
    if (!process) continue;
    wchar_t path[MAX_PATH * 2];
    DWORD size = MAX_PATH * 2;
    if (QueryFullProcessImageNameW(process, 0, path, &size) && size > 0) {
      const std::u16string full(reinterpret_cast<const char16_t*>(path), size);
      const size_t slash = full.find_last_of(u"\\/");
      names.push_back(slash == std::u16string::npos ? full : full.substr(slash + 1));
    }
    CloseHandle(process);
  }
  return ProgramChoices(std::move(names));
}

}  // namespace

void CUngDungDlg::Run(CTavirelApp& app, HWND owner) {
  const std::optional<CAppRules> rules = app.Service().Dispatcher().Call(
      [](CInputMethodService& s) { return s.AppRules(); }, std::chrono::milliseconds(2000));
  if (!rules) {
    MessageBoxW(owner, L"Tavirel đang bận, hãy thử lại.", kCaption, MB_OK | MB_ICONWARNING);
    return;
  }
  CUngDungDlg dlg(app, *rules);
  dlg.RunModal(app.Instance(), IDD_UNGDUNG, owner);
}

INT_PTR CUngDungDlg::Handle(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_COMMAND:
      OnCommand(LOWORD(wp), HIWORD(wp));
      return TRUE;
    case WM_NOTIFY: {
      const auto* h = reinterpret_cast<const NMHDR*>(lp);
      if (h->idFrom == IDC_UNGDUNG_LIST && h->code == LVN_ITEMCHANGED && !quiet_ &&
          (reinterpret_cast<const NMLISTVIEW*>(lp)->uChanged & LVIF_STATE)) {
        OnListChanged();
      }
      return TRUE;
    }
    default:
      return FALSE;
  }
}

INT_PTR CUngDungDlg::OnInit() {
  list_ = GetDlgItem(hwnd_, IDC_UNGDUNG_LIST);
  ListView_SetExtendedListViewStyle(list_, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
  RECT rc{};
  GetClientRect(list_, &rc);
  const int width = rc.right - rc.left - GetSystemMetrics(SM_CXVSCROLL);
  const wchar_t* const titles[3] = {L"Chương trình", L"Tiếng Việt", L"Cách gửi"};
  const int widths[3] = {width * 2 / 5, width / 4, width - width * 2 / 5 - width / 4};
  for (int i = 0; i < 3; ++i) {
    LVCOLUMNW col{};
    col.mask = LVCF_TEXT | LVCF_WIDTH;
    col.cx = widths[i];
    col.pszText = const_cast<wchar_t*>(titles[i]);
    ListView_InsertColumn(list_, i, &col);
  }
  SendDlgItemMessageW(hwnd_, IDC_UNGDUNG_PROGRAM, CB_LIMITTEXT, 260, 0);
  for (const std::u16string& text : AppVietnameseChoices()) {
    SendDlgItemMessageW(hwnd_, IDC_UNGDUNG_VIETNAMESE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(W(text)));
  }
  for (const std::u16string& text : AppDeliveryChoices()) {
    SendDlgItemMessageW(hwnd_, IDC_UNGDUNG_DELIVERY, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(W(text)));
  }
  FillList();
  ShowFields();
  UpdateButtons();
  // Typing starts in the program box.
  SetFocus(GetDlgItem(hwnd_, IDC_UNGDUNG_PROGRAM));
  return FALSE;
}

void CUngDungDlg::FillList() {
  quiet_ = true;
  SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
  ListView_DeleteAllItems(list_);
  const std::vector<AppRule>& rules = editor_.Rules();
  for (size_t i = 0; i < rules.size(); ++i) {
    const std::u16string vietnamese = AppVietnameseCell(rules[i].Vietnamese);
    const std::u16string delivery = AppDeliveryCell(rules[i].Delivery);
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = static_cast<int>(i);
    item.pszText = Wm(rules[i].Program);
    ListView_InsertItem(list_, &item);
    ListView_SetItemText(list_, static_cast<int>(i), 1, Wm(vietnamese));
    ListView_SetItemText(list_, static_cast<int>(i), 2, Wm(delivery));
  }
  SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
  quiet_ = false;
  ShowSelection();
}

// The list's selection from the editor's.
void CUngDungDlg::ShowSelection() {
  quiet_ = true;
  const int selected = editor_.Selected();
  ListView_SetItemState(list_, -1, 0, LVIS_SELECTED);
  if (selected >= 0) {
    ListView_SetItemState(list_, selected, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_EnsureVisible(list_, selected, FALSE);
  }
  quiet_ = false;
}

void CUngDungDlg::ShowFields() {
  quiet_ = true;
  SetDlgItemTextW(hwnd_, IDC_UNGDUNG_PROGRAM, W(editor_.Program()));
  SendDlgItemMessageW(hwnd_, IDC_UNGDUNG_VIETNAMESE, CB_SETCURSEL, static_cast<WPARAM>(editor_.Vietnamese()), 0);
  SendDlgItemMessageW(hwnd_, IDC_UNGDUNG_DELIVERY, CB_SETCURSEL, static_cast<WPARAM>(editor_.Delivery()), 0);
  quiet_ = false;
}

void CUngDungDlg::UpdateButtons() {
  EnableWindow(GetDlgItem(hwnd_, IDC_UNGDUNG_ADD), editor_.CanAdd());
  EnableWindow(GetDlgItem(hwnd_, IDC_UNGDUNG_REPLACE), editor_.CanReplace());
  EnableWindow(GetDlgItem(hwnd_, IDC_UNGDUNG_DELETE), editor_.CanDelete());
}

void CUngDungDlg::OnListChanged() {
  editor_.Select(ListView_GetNextItem(list_, -1, LVNI_SELECTED));
  if (editor_.Selected() >= 0) ShowFields();
  UpdateButtons();
}

// The running programs in the drop-down, the typed text kept.
void CUngDungDlg::FillRunningPrograms() {
  const HWND box = GetDlgItem(hwnd_, IDC_UNGDUNG_PROGRAM);
  const std::u16string typed = TextOf(box);
  quiet_ = true;
  SendMessageW(box, CB_RESETCONTENT, 0, 0);
  for (const std::u16string& name : RunningPrograms()) {
    SendMessageW(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(W(name)));
  }
  SetWindowTextW(box, W(typed));
  quiet_ = false;
}

bool CUngDungDlg::Done(AppRuleCheck check) {
  if (check != AppRuleCheck::Ok) {
    MessageBoxW(hwnd_, W(AppRuleCheckMessage(check)), kCaption, MB_OK | MB_ICONWARNING);
    return false;
  }
  FillList();
  ShowFields();
  UpdateButtons();
  return true;
}

void CUngDungDlg::OnCommand(int id, int code) {
  switch (id) {
    case IDC_UNGDUNG_PROGRAM:
      if (code == CBN_DROPDOWN) FillRunningPrograms();
      if (quiet_) break;
      if (code == CBN_EDITCHANGE || code == CBN_SELCHANGE) {
        const HWND box = GetDlgItem(hwnd_, id);
        std::u16string text = TextOf(box);
        // A choice from the list is not in the edit yet.
        const LRESULT i = SendMessageW(box, CB_GETCURSEL, 0, 0);
        if (code == CBN_SELCHANGE && i != CB_ERR) {
          const LRESULT n = SendMessageW(box, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
          if (n != CB_ERR) {
            text.assign(static_cast<size_t>(n) + 1, u'\0');
            SendMessageW(box, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
            text.resize(static_cast<size_t>(n));
          }
        }
        editor_.SetProgram(text);
        ShowSelection();
        UpdateButtons();
      }
      break;
    case IDC_UNGDUNG_VIETNAMESE:
      if (code == CBN_SELCHANGE && !quiet_) {
        const LRESULT i = SendDlgItemMessageW(hwnd_, id, CB_GETCURSEL, 0, 0);
        if (i >= 0 && i < 4) editor_.SetVietnamese(static_cast<AppVietnamese>(i));
      }
      break;
    case IDC_UNGDUNG_DELIVERY:
      if (code == CBN_SELCHANGE && !quiet_) {
        const LRESULT i = SendDlgItemMessageW(hwnd_, id, CB_GETCURSEL, 0, 0);
        if (i >= 0 && i < 4) editor_.SetDelivery(static_cast<AppDelivery>(i));
      }
      break;
    case IDC_UNGDUNG_ADD: Done(editor_.Add()); break;
    case IDC_UNGDUNG_REPLACE: Done(editor_.Replace()); break;
    case IDC_UNGDUNG_DELETE:
      editor_.Delete();
      FillList();
      ShowFields();
      UpdateButtons();
      break;
    case IDC_UNGDUNG_APPLY: Apply(); break;
    case IDOK: {
      // Enter in the program box adds or replaces what is typed there;
      // when nothing is pending it is OK, as everywhere else.
      const HWND box = GetDlgItem(hwnd_, IDC_UNGDUNG_PROGRAM);
      const HWND focus = GetFocus();
      if ((focus == box || IsChild(box, focus)) && editor_.Pending()) {
        if (Done(editor_.CommitPending())) SendMessageW(box, CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
        break;
      }
      if (Apply()) EndDialog(hwnd_, IDOK);
      break;
    }
    case IDCANCEL: EndDialog(hwnd_, IDCANCEL); break;
    default: break;
  }
}

bool CUngDungDlg::Apply() {
  // What is typed but not added yet is part of what the user asked for.
  if (editor_.Pending() && !Done(editor_.CommitPending())) return false;
  CSettings& settings = app_.Settings();
  if (settings.AppRulesStatus() == SettingsFileStatus::Unreadable) {
    const std::u16string text = u"Lúc khởi động Tavirel không đọc được " + settings.AppRulesPath() +
                                u".\nGhi các quy tắc trong cửa sổ này đè lên tập tin đó?";
    if (MessageBoxW(hwnd_, W(text), kCaption, MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) != IDYES) return false;
  }
  editor_.Apply(app_.Service());
  if (settings.SaveAppRules(editor_.Result()) != SaveResult::Failed) return true;
  const std::u16string text = u"Không lưu được các quy tắc vào " + settings.AppRulesPath();
  MessageBoxW(hwnd_, W(text), kCaption, MB_OK | MB_ICONERROR);
  return false;
}

}  // namespace tavirel
