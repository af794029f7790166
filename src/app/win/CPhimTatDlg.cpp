#include "app/win/CPhimTatDlg.h"

#include <commctrl.h>

#include <chrono>
#include <vector>

#include "app/win/CTavirelApp.h"
#include "app/win/PhimTatDlgIds.h"
#include "service/CInputMethodService.h"

namespace tavirel {

namespace {

const wchar_t* W(const std::u16string& s) { return reinterpret_cast<const wchar_t*>(s.c_str()); }
wchar_t* Wm(const std::u16string& s) { return const_cast<wchar_t*>(W(s)); }

constexpr wchar_t kCaption[] = L"Phím tắt";

}  // namespace

CPhimTatDlg::CPhimTatDlg(CTavirelApp& app, const HotkeySnapshot& snapshot)
    : app_(app), editor_(&app.Service(), snapshot) {}

void CPhimTatDlg::Run(CTavirelApp& app, HWND owner) {
  const std::optional<HotkeySnapshot> snapshot =
      app.Service().Dispatcher().Call([](CInputMethodService& s) { return SnapshotHotkeys(s); },
                                      std::chrono::milliseconds(2000));
  if (!snapshot) {
    MessageBoxW(owner, L"Tavirel đang bận, hãy thử lại.", kCaption, MB_OK | MB_ICONWARNING);
    return;
  }
  CPhimTatDlg dlg(app, *snapshot);
  dlg.RunModal(app.Instance(), IDD_PHIMTAT, owner);
}

INT_PTR CPhimTatDlg::Handle(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_COMMAND:
      OnCommand(LOWORD(wp), HIWORD(wp));
      return TRUE;
    case WM_NOTIFY: {
      const auto* h = reinterpret_cast<const NMHDR*>(lp);
      if (h->idFrom == IDC_PHIMTAT_LIST && h->code == LVN_ITEMCHANGED && !quiet_ &&
          (reinterpret_cast<const NMLISTVIEW*>(lp)->uChanged & LVIF_STATE)) {
        OnListChanged();
      }
      return TRUE;
    }
    default:
      return FALSE;
  }
}

INT_PTR CPhimTatDlg::OnInit() {
  list_ = GetDlgItem(hwnd_, IDC_PHIMTAT_LIST);
  ListView_SetExtendedListViewStyle(list_, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
  RECT rc{};
  GetClientRect(list_, &rc);
  const int width = rc.right - rc.left - GetSystemMetrics(SM_CXVSCROLL);
  const wchar_t* const titles[3] = {L"Phím tắt", L"Tính năng", L"Tham số"};
  const int widths[3] = {width * 2 / 8, width * 3 / 8, width - width * 2 / 8 - width * 3 / 8};
  for (int i = 0; i < 3; ++i) {
    LVCOLUMNW col{};
    col.mask = LVCF_TEXT | LVCF_WIDTH;
    col.cx = widths[i];
    col.pszText = const_cast<wchar_t*>(titles[i]);
    ListView_InsertColumn(list_, i, &col);
  }
  const HWND label = GetDlgItem(hwnd_, IDC_PHIMTAT_KEY_LABEL);
  if (hotkey_.Create(hwnd_, 0, 0, IDC_PHIMTAT_KEY)) hotkey_.PlaceRightOf(label, 6);
  for (const std::u16string& name : editor_.KindNames()) {
    SendDlgItemMessageW(hwnd_, IDC_PHIMTAT_KIND, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(W(name)));
  }
  FillList();
  ShowKind();
  UpdateButtons();
  return TRUE;
}

void CPhimTatDlg::FillList() {
  quiet_ = true;
  ListView_DeleteAllItems(list_);
  for (size_t i = 0; i < editor_.Count(); ++i) {
    const CHotKeyAction& a = editor_.At(i);
    const std::u16string key = editor_.KeyText(i), name = a.GetDisplayName(), param = a.GetParamText();
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_STATE;
    item.iItem = static_cast<int>(i);
    item.pszText = Wm(key);
    item.state = editor_.IsSelected(i) ? LVIS_SELECTED | LVIS_FOCUSED : 0;
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    ListView_InsertItem(list_, &item);
    ListView_SetItemText(list_, static_cast<int>(i), 1, Wm(name));
    ListView_SetItemText(list_, static_cast<int>(i), 2, Wm(param));
  }
  const int first = editor_.FirstSelected();
  if (first >= 0) ListView_EnsureVisible(list_, first, FALSE);
  quiet_ = false;
}

// The kind, its parameter list and the key from the editor.
void CPhimTatDlg::ShowKind() {
  quiet_ = true;
  SendDlgItemMessageW(hwnd_, IDC_PHIMTAT_KIND, CB_SETCURSEL, static_cast<WPARAM>(editor_.Kind()), 0);
  const HWND param = GetDlgItem(hwnd_, IDC_PHIMTAT_PARAM);
  SendMessageW(param, CB_RESETCONTENT, 0, 0);
  for (const std::u16string& choice : editor_.ParamChoices()) {
    SendMessageW(param, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(W(choice)));
  }
  SendMessageW(param, CB_SETCURSEL, static_cast<WPARAM>(editor_.ParamChoice()), 0);
  const int show = editor_.ParamChoices().empty() ? SW_HIDE : SW_SHOW;
  ShowWindow(param, show);
  ShowWindow(GetDlgItem(hwnd_, IDC_PHIMTAT_PARAM_LABEL), show);
  quiet_ = false;
}

void CPhimTatDlg::UpdateButtons() {
  EnableWindow(GetDlgItem(hwnd_, IDC_PHIMTAT_REPLACE), editor_.CanReplace());
  EnableWindow(GetDlgItem(hwnd_, IDC_PHIMTAT_DELETE), editor_.CanDelete());
}

void CPhimTatDlg::OnListChanged() {
  std::vector<size_t> selected;
  for (int i = ListView_GetNextItem(list_, -1, LVNI_SELECTED); i >= 0; i = ListView_GetNextItem(list_, i, LVNI_SELECTED)) {
    selected.push_back(static_cast<size_t>(i));
  }
  editor_.SetSelection(selected);
  hotkey_.SetKeyCombo(editor_.Key());
  if (!selected.empty()) ShowKind();
  UpdateButtons();
}

void CPhimTatDlg::Done(const CPhimTatEditor::Result& r) {
  if (!r.Done) {
    MessageBeep(MB_OK);
    return;
  }
  FillList();
  UpdateButtons();
  if (!r.Warning.empty()) MessageBoxW(hwnd_, W(r.Warning), kCaption, MB_OK | MB_ICONINFORMATION);
}

void CPhimTatDlg::OnCommand(int id, int code) {
  switch (id) {
    case IDC_PHIMTAT_KIND:
      if (code == CBN_SELCHANGE && !quiet_) {
        editor_.ChooseKind(static_cast<int>(SendDlgItemMessageW(hwnd_, id, CB_GETCURSEL, 0, 0)));
        ShowKind();
      }
      break;
    case IDC_PHIMTAT_PARAM:
      if (code == CBN_SELCHANGE && !quiet_) {
        editor_.ChooseParam(static_cast<int>(SendDlgItemMessageW(hwnd_, id, CB_GETCURSEL, 0, 0)));
      }
      break;
    case IDC_PHIMTAT_ADD:
      editor_.SetKey(hotkey_.GetKeyCombo());
      Done(editor_.Add());
      break;
    case IDC_PHIMTAT_REPLACE:
      editor_.SetKey(hotkey_.GetKeyCombo());
      Done(editor_.Replace());
      break;
    case IDC_PHIMTAT_DELETE:
      editor_.Delete();
      hotkey_.SetKeyCombo(editor_.Key());
      FillList();
      UpdateButtons();
      break;
    case IDC_PHIMTAT_APPLY: Apply(); break;
    case IDOK:
      if (Apply()) EndDialog(hwnd_, IDOK);
      break;
    case IDCANCEL: EndDialog(hwnd_, IDCANCEL); break;
    default: break;
  }
}

bool CPhimTatDlg::Apply() {
  editor_.Apply(app_.Service());
  const std::u16string path = app_.Settings().HotkeysPath();
  if (WriteIniFile(StandardIniSyntax(), path, editor_.FileSections())) return true;
  const std::u16string text = u"Không lưu được các phím tắt vào " + path;
  MessageBoxW(hwnd_, W(text), kCaption, MB_OK | MB_ICONERROR);
  return false;
}

}  // namespace tavirel
