#include "app/win/CGoTatDlg.h"

#include <commctrl.h>
#include <commdlg.h>

#include <chrono>
#include <vector>

#include "app/MacroImport.h"
#include "app/win/CEventEdit.h"
#include "app/win/CTavirelApp.h"
#include "app/win/GoTatDlgIds.h"
#include "common/TextFile.h"
#include "service/CInputMethodService.h"
#include "service/CTypingContext.h"

namespace tavirel {

namespace {

const wchar_t* W(const std::u16string& s) { return reinterpret_cast<const wchar_t*>(s.c_str()); }

std::u16string TextOf(HWND control) {
  const int n = GetWindowTextLengthW(control);
  std::u16string text(static_cast<size_t>(n) + 1, u'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(control, reinterpret_cast<wchar_t*>(text.data()), n + 1)));
  return text;
}

// A text in one list row: a line break shows as a pilcrow, a TAB as a space.
std::u16string OneLine(const std::u16string& text) {
  std::u16string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') continue;
    if (text[i] == u'\r' || text[i] == u'\n') {
      out += u" ¶ ";
    } else {
      out += text[i] == u'\t' ? u' ' : text[i];
    }
  }
  return out;
}

// A multi-line edit shows only CR LF as a line break.
std::u16string ForEdit(const std::u16string& text) {
  std::u16string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'\n' && (i == 0 || text[i - 1] != u'\r')) out += u'\r';
    out += text[i];
  }
  return out;
}

}  // namespace

void CGoTatDlg::Run(CTavirelApp& app, HWND owner) {
  std::optional<ShorthandTable> table = app.Service().Dispatcher().Call(
      [](CInputMethodService& s) {
        return ShorthandTable{s.Context().ShorthandKeys, s.Context().ShorthandValues};
      },
      std::chrono::milliseconds(2000));
  if (!table) {
    MessageBoxW(owner, L"Tavirel đang bận, hãy thử lại.", L"Soạn bảng gõ tắt", MB_OK | MB_ICONWARNING);
    return;
  }
  CGoTatDlg dlg(app, *table);
  dlg.RunModal(app.Instance(), IDD_GOTAT, owner);
}

INT_PTR CGoTatDlg::Handle(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_COMMAND:
      OnCommand(LOWORD(wp), HIWORD(wp));
      return TRUE;
    case kEventEditEnter:
      Enter();
      return TRUE;
    case WM_NOTIFY: {
      const auto* h = reinterpret_cast<const NMHDR*>(lp);
      if (h->idFrom != IDC_GOTAT_LIST) return FALSE;
      if (h->code == LVN_ITEMCHANGED && !quiet_ &&
          (reinterpret_cast<const NMLISTVIEW*>(lp)->uChanged & LVIF_STATE)) {
        OnListChanged();
      }
      // The list never keeps the focus: typing goes to the abbreviation.
      if (h->code == NM_SETFOCUS) PostMessageW(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(hwnd_, IDC_GOTAT_KEY)), TRUE);
      return TRUE;
    }
    default:
      return FALSE;
  }
}

INT_PTR CGoTatDlg::OnInit() {
  list_ = GetDlgItem(hwnd_, IDC_GOTAT_LIST);
  AttachEventEdit(GetDlgItem(hwnd_, IDC_GOTAT_KEY));
  AttachEventEdit(GetDlgItem(hwnd_, IDC_GOTAT_VALUE));
  SendDlgItemMessageW(hwnd_, IDC_GOTAT_KEY, EM_SETLIMITTEXT, kMaxShorthandAbbreviation, 0);
  ListView_SetExtendedListViewStyle(list_, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
  RECT rc{};
  GetClientRect(list_, &rc);
  const int width = rc.right - rc.left - GetSystemMetrics(SM_CXVSCROLL);
  LVCOLUMNW col{};
  col.mask = LVCF_TEXT | LVCF_WIDTH;
  col.cx = width / 4;
  col.pszText = const_cast<wchar_t*>(L"Thay thế");
  ListView_InsertColumn(list_, 0, &col);
  col.cx = width - width / 4;
  col.pszText = const_cast<wchar_t*>(L"Bởi");
  ListView_InsertColumn(list_, 1, &col);
  FillList();
  UpdateButtons();
  return TRUE;
}

void CGoTatDlg::FillList() {
  quiet_ = true;
  SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
  ListView_DeleteAllItems(list_);
  const auto& entries = editor_.Entries();
  for (size_t i = 0; i < entries.size(); ++i) {
    const std::u16string key = OneLine(entries[i].Abbreviation);
    const std::u16string value = OneLine(entries[i].Expansion);
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = static_cast<int>(i);
    item.pszText = const_cast<wchar_t*>(W(key));
    ListView_InsertItem(list_, &item);
    ListView_SetItemText(list_, static_cast<int>(i), 1, const_cast<wchar_t*>(W(value)));
  }
  SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
  quiet_ = false;
  ShowSelection();
}

// The list's selection from the editor's.
void CGoTatDlg::ShowSelection() {
  quiet_ = true;
  const int n = static_cast<int>(editor_.Entries().size());
  for (int i = 0; i < n; ++i) {
    ListView_SetItemState(list_, i, editor_.IsSelected(i) ? LVIS_SELECTED : 0, LVIS_SELECTED);
  }
  const int first = editor_.FirstSelected();
  if (first >= 0) {
    ListView_SetItemState(list_, first, LVIS_FOCUSED, LVIS_FOCUSED);
    ListView_EnsureVisible(list_, first, FALSE);
  }
  quiet_ = false;
}

void CGoTatDlg::ShowEdits() {
  quiet_ = true;
  SetDlgItemTextW(hwnd_, IDC_GOTAT_KEY, W(editor_.Abbreviation()));
  SetDlgItemTextW(hwnd_, IDC_GOTAT_VALUE, W(ForEdit(editor_.Expansion())));
  quiet_ = false;
}

void CGoTatDlg::UpdateButtons() {
  EnableWindow(GetDlgItem(hwnd_, IDC_GOTAT_ADD), editor_.CanAdd());
  EnableWindow(GetDlgItem(hwnd_, IDC_GOTAT_REPLACE), editor_.CanReplace());
  EnableWindow(GetDlgItem(hwnd_, IDC_GOTAT_DELETE), editor_.CanDelete());
}

void CGoTatDlg::OnListChanged() {
  std::vector<size_t> selected;
  for (int i = ListView_GetNextItem(list_, -1, LVNI_SELECTED); i >= 0; i = ListView_GetNextItem(list_, i, LVNI_SELECTED)) {
    selected.push_back(static_cast<size_t>(i));
  }
  editor_.SetSelection(selected);
  if (!selected.empty()) ShowEdits();
  UpdateButtons();
}

void CGoTatDlg::OnCommand(int id, int code) {
  switch (id) {
    case IDC_GOTAT_KEY:
      if (code == EN_CHANGE && !quiet_) {
        editor_.SetAbbreviation(TextOf(GetDlgItem(hwnd_, IDC_GOTAT_KEY)));
        ShowSelection();
        UpdateButtons();
      }
      if (code == EN_SETFOCUS) SendDlgItemMessageW(hwnd_, id, EM_SETSEL, 0, -1);
      break;
    case IDC_GOTAT_VALUE:
      if (code == EN_CHANGE && !quiet_) {
        editor_.SetExpansion(TextOf(GetDlgItem(hwnd_, IDC_GOTAT_VALUE)));
        UpdateButtons();
      }
      if (code == EN_SETFOCUS) SendDlgItemMessageW(hwnd_, id, EM_SETSEL, 0, -1);
      break;
    case IDC_GOTAT_ADD: Add(); break;
    case IDC_GOTAT_REPLACE: Replace(); break;
    case IDC_GOTAT_DELETE:
      editor_.Delete();
      FillList();
      UpdateButtons();
      break;
    case IDC_GOTAT_IMPORT: ShowImportMenu(); break;
    case IDM_GOTAT_IMPORT_COLON: Import(false); break;
    case IDM_GOTAT_IMPORT_INI: Import(true); break;
    case IDC_GOTAT_APPLY: Apply(); break;
    case IDOK:
      if (Apply()) EndDialog(hwnd_, IDOK);
      break;
    case IDCANCEL: EndDialog(hwnd_, IDCANCEL); break;
    default: break;
  }
}

void CGoTatDlg::Refuse(ShorthandCheck check) {
  MessageBoxW(hwnd_, W(ShorthandCheckMessage(check)), L"Soạn bảng gõ tắt", MB_OK | MB_ICONWARNING);
}

void CGoTatDlg::Add() {
  const ShorthandCheck check = editor_.Add();
  if (check != ShorthandCheck::Ok) return Refuse(check);
  FillList();
  UpdateButtons();
  const HWND key = GetDlgItem(hwnd_, IDC_GOTAT_KEY);
  SendMessageW(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(key), TRUE);
  SendMessageW(key, EM_SETSEL, 0, -1);
}

void CGoTatDlg::Replace() {
  const int first = editor_.FirstSelected();
  const ShorthandCheck check = editor_.Replace();
  if (check != ShorthandCheck::Ok) return Refuse(check);
  const CGoTatEditor::Entry& e = editor_.Entries()[first];
  const std::u16string key = OneLine(e.Abbreviation), value = OneLine(e.Expansion);
  ListView_SetItemText(list_, first, 0, const_cast<wchar_t*>(W(key)));
  ListView_SetItemText(list_, first, 1, const_cast<wchar_t*>(W(value)));
}

void CGoTatDlg::Enter() {
  if (editor_.AnySelected()) {
    Replace();
  } else {
    Add();
  }
}

void CGoTatDlg::ShowImportMenu() {
  HMENU menu = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDM_GOTAT_IMPORT));
  if (!menu) return;
  RECT r{};
  GetWindowRect(GetDlgItem(hwnd_, IDC_GOTAT_IMPORT), &r);
  // The chosen item arrives as WM_COMMAND.
  TrackPopupMenu(GetSubMenu(menu, 0), TPM_LEFTALIGN | TPM_TOPALIGN, r.left, r.bottom, 0, hwnd_, nullptr);
  DestroyMenu(menu);
}

void CGoTatDlg::Import(bool ini) {
  std::vector<wchar_t> buffer(65536, L'\0');
  if (!ini) wcscpy(buffer.data(), L"ukmacro.txt");
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = hwnd_;
  ofn.lpstrFilter = L"*.txt\0*.txt\0*.*\0*.*\0";
  ofn.lpstrFile = buffer.data();
  ofn.nMaxFile = static_cast<DWORD>(buffer.size());
  ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_EXPLORER |
              (ini ? OFN_ALLOWMULTISELECT : 0);
  if (!GetOpenFileNameW(&ofn)) return;
  // One path, or a folder followed by file names, each ending in NUL.
  std::vector<std::u16string> paths;
  const auto* p = reinterpret_cast<const char16_t*>(buffer.data());
  const std::u16string first(p);
  p += first.size() + 1;
  if (*p == u'\0') {
    paths.push_back(first);
  } else {
    for (; *p != u'\0'; p += std::char_traits<char16_t>::length(p) + 1) paths.push_back(first + u"\\" + p);
  }
  size_t added = 0, skipped = 0;
  std::vector<std::u16string> unreadable;
  for (const std::u16string& path : paths) {
    MacroImport got = ImportMacroFile(ini ? MacroFormat::Ini : MacroFormat::ColonLines, path);
    if (!got.Read) unreadable.push_back(path);
    editor_.Append(got.Entries);
    added += got.Entries.size();
    skipped += got.Skipped;
  }
  FillList();
  if (added > 0) ListView_EnsureVisible(list_, static_cast<int>(editor_.Entries().size()) - 1, FALSE);
  UpdateButtons();
  MessageBoxW(hwnd_, W(MacroImportSummary(added, skipped, unreadable)), L"Nạp từ",
              MB_OK | (unreadable.empty() ? MB_ICONINFORMATION : MB_ICONWARNING));
}

bool CGoTatDlg::Apply() {
  editor_.Apply(app_.Service());
  const std::u16string path = app_.Settings().ShorthandsPath();
  if (WriteTextLines(path, FormatShorthands(editor_.Table()))) return true;
  const std::u16string text = u"Không lưu được bảng gõ tắt vào " + path;
  MessageBoxW(hwnd_, W(text), L"Soạn bảng gõ tắt", MB_OK | MB_ICONERROR);
  return false;
}

}  // namespace tavirel
