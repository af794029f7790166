#include "app/win/CKieuGoDlg.h"

#include <commctrl.h>

#include <chrono>

#include "app/win/CTavirelApp.h"
#include "app/win/KieuGoDlgIds.h"
#include "service/CInputMethodService.h"
#include "tables/CKieuGo.h"

namespace tavirel {

namespace {

const wchar_t* W(const std::u16string& s) { return reinterpret_cast<const wchar_t*>(s.c_str()); }

std::u16string TextOf(HWND hwnd) {
  const int n = GetWindowTextLengthW(hwnd);
  std::u16string text(static_cast<size_t>(n) + 1, u'\0');
  GetWindowTextW(hwnd, reinterpret_cast<wchar_t*>(text.data()), n + 1);
  text.resize(static_cast<size_t>(n));
  return text;
}

int Scaled(HWND hwnd, int pixels) { return MulDiv(pixels, static_cast<int>(GetDpiForWindow(hwnd)), 96); }

void AddColumn(HWND list, int index, const wchar_t* title, int width) {
  LVCOLUMNW col{};
  col.mask = LVCF_TEXT | LVCF_WIDTH;
  col.pszText = const_cast<wchar_t*>(title);
  col.cx = width;
  ListView_InsertColumn(list, index, &col);
}

int SelectedItem(HWND list) { return ListView_GetNextItem(list, -1, LVNI_SELECTED); }

// The controls inside the "Định nghĩa phím" group.
constexpr int kGroupControls[] = {IDC_KG_LOADFROM, IDC_KG_LOAD,     IDC_KG_LBL_KEY,   IDC_KG_KEY,
                                  IDC_KG_ADD,      IDC_KG_REPLACE,  IDC_KG_FUNCTION,  IDC_KG_FUNCTIONS,
                                  IDC_KG_TEXT,     IDC_KG_TEXTVALUE, IDC_KG_ROWS,     IDC_KG_DELROW,
                                  IDC_KG_DELALL};

}  // namespace

CKieuGoDlg::CKieuGoDlg(CTavirelApp& app) : app_(app) {}

INT_PTR CKieuGoDlg::Run(HWND owner) {
  return RunModal(app_.Instance(), IDD_KIEUGO, owner);
}

// A new key replaces the old one: the box is emptied before each character.
LRESULT CALLBACK CKieuGoDlg::KeyBoxProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR data) {
  auto* self = reinterpret_cast<CKieuGoDlg*>(data);
  switch (msg) {
    case WM_CHAR:
      if (wp >= 0x20) SetWindowTextW(hwnd, L"");
      break;
    case WM_SETFOCUS:
      self->IgnoreKeys(true);
      break;
    case WM_KILLFOCUS:
      self->IgnoreKeys(false);
      break;
    case WM_NCDESTROY:
      self->IgnoreKeys(false);
      RemoveWindowSubclass(hwnd, KeyBoxProc, 1);
      break;
    default:
      break;
  }
  return DefSubclassProc(hwnd, msg, wp, lp);
}

// While the key box has the focus the key pressed is the key typed, not a
// composed letter: the service's processing is switched off and back.
void CKieuGoDlg::IgnoreKeys(bool on) {
  if (on == ignoring_) return;
  ignoring_ = on;
  CServiceDispatcher& d = app_.Service().Dispatcher();
  if (on) {
    auto was = d.Call([](CInputMethodService& s) {
      const bool w = s.MasterSwitch;
      s.MasterSwitch = false;
      return w;
    }, std::chrono::milliseconds(500));
    savedSwitch_ = was.value_or(true);
  } else {
    const bool restore = savedSwitch_;
    d.Post([restore](CInputMethodService& s) { s.MasterSwitch = restore; });
  }
}

INT_PTR CKieuGoDlg::OnInit() {
  HWND methods = GetDlgItem(hwnd_, IDC_KG_METHODS);
  HWND rows = GetDlgItem(hwnd_, IDC_KG_ROWS);
  ListView_SetExtendedListViewStyle(methods, LVS_EX_FULLROWSELECT);
  ListView_SetExtendedListViewStyle(rows, LVS_EX_FULLROWSELECT);
  RECT r{};
  GetClientRect(methods, &r);
  AddColumn(methods, 0, L"", r.right - r.left - GetSystemMetrics(SM_CXVSCROLL));
  GetClientRect(rows, &r);
  const int keyWidth = Scaled(hwnd_, 50);
  AddColumn(rows, 0, L"Phím", keyWidth);
  AddColumn(rows, 1, L"Chức năng", r.right - r.left - keyWidth - GetSystemMetrics(SM_CXVSCROLL));

  HWND from = GetDlgItem(hwnd_, IDC_KG_LOADFROM);
  for (const std::u16string& name : GetTypingMethodNames()) {
    SendMessageW(from, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(W(name)));
  }
  SendMessageW(from, CB_SETCURSEL, 0, 0);
  HWND functions = GetDlgItem(hwnd_, IDC_KG_FUNCTIONS);
  for (std::u16string_view name : FunctionDisplayNames) {
    SendMessageW(functions, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(W(std::u16string(name))));
  }
  SendMessageW(functions, CB_SETCURSEL, 0, 0);

  std::vector<CKieuGoEditor::Method> list;
  for (const std::u16string& name : GetUserMethodNames()) list.push_back({name, LoadKieuGo(name)});
  editor_ = std::make_unique<CKieuGoEditor>(std::move(list), KieuGoRegistry().BuiltInMethodNames());
  for (size_t i = 0; i < editor_->Methods().size(); ++i) {
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = static_cast<int>(i);
    item.pszText = const_cast<wchar_t*>(W(editor_->Methods()[i].Name));
    ListView_InsertItem(methods, &item);
  }
  EnableGroup(false);
  CheckRadioButton(hwnd_, IDC_KG_FUNCTION, IDC_KG_TEXT, IDC_KG_FUNCTION);
  SetWindowSubclass(GetDlgItem(hwnd_, IDC_KG_KEY), KeyBoxProc, 1, reinterpret_cast<DWORD_PTR>(this));
  SendDlgItemMessageW(hwnd_, IDC_KG_KEY, EM_LIMITTEXT, 1, 0);
  return TRUE;
}

void CKieuGoDlg::EnableGroup(bool on) {
  for (int id : kGroupControls) EnableWindow(GetDlgItem(hwnd_, id), on);
  if (on) UpdateButtons();
}

void CKieuGoDlg::ShowProblem(const std::u16string& text) { SetDlgItemTextW(hwnd_, IDC_KG_NAMEPROBLEM, W(text)); }

void CKieuGoDlg::UpdateButtons() {
  const bool group = editor_->Current() >= 0;
  EnableWindow(GetDlgItem(hwnd_, IDC_KG_ADD), group && editor_->CanAdd());
  EnableWindow(GetDlgItem(hwnd_, IDC_KG_REPLACE), group && editor_->CanReplace());
}

void CKieuGoDlg::ShowRows() {
  updating_ = true;
  HWND rows = GetDlgItem(hwnd_, IDC_KG_ROWS);
  ListView_DeleteAllItems(rows);
  for (size_t i = 0; i < editor_->Rows().size(); ++i) {
    const CKieuGoEditor::Row& row = editor_->Rows()[i];
    const std::u16string key(1, row.Key);
    const std::u16string what = row.Binding.DisplayText();
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = static_cast<int>(i);
    item.pszText = const_cast<wchar_t*>(W(key));
    ListView_InsertItem(rows, &item);
    ListView_SetItemText(rows, static_cast<int>(i), 1, const_cast<wchar_t*>(W(what)));
  }
  updating_ = false;
  ShowRowSelection();
}

void CKieuGoDlg::ShowRowSelection() {
  updating_ = true;
  HWND rows = GetDlgItem(hwnd_, IDC_KG_ROWS);
  const int sel = editor_->SelectedRow();
  ListView_SetItemState(rows, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
  if (sel >= 0) {
    ListView_SetItemState(rows, sel, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_EnsureVisible(rows, sel, FALSE);
    const KeyBinding& b = editor_->Rows()[static_cast<size_t>(sel)].Binding;
    CheckRadioButton(hwnd_, IDC_KG_FUNCTION, IDC_KG_TEXT, b.isText ? IDC_KG_TEXT : IDC_KG_FUNCTION);
    if (b.isText) {
      SetDlgItemTextW(hwnd_, IDC_KG_TEXTVALUE, W(b.text));
    } else {
      SendDlgItemMessageW(hwnd_, IDC_KG_FUNCTIONS, CB_SETCURSEL, static_cast<WPARAM>(b.function), 0);
    }
  }
  if (TextOf(GetDlgItem(hwnd_, IDC_KG_KEY)) != editor_->KeyText()) {
    SetDlgItemTextW(hwnd_, IDC_KG_KEY, W(editor_->KeyText()));
  }
  updating_ = false;
  UpdateButtons();
}

std::optional<KeyBinding> CKieuGoDlg::DescribedBinding() const {
  if (IsDlgButtonChecked(hwnd_, IDC_KG_FUNCTION) == BST_CHECKED) {
    const LRESULT sel = SendDlgItemMessageW(hwnd_, IDC_KG_FUNCTIONS, CB_GETCURSEL, 0, 0);
    if (sel == CB_ERR) return std::nullopt;
    return KeyBinding::Function(static_cast<int32_t>(sel));
  }
  const std::u16string text = TextOf(GetDlgItem(hwnd_, IDC_KG_TEXTVALUE));
  if (text.empty()) return std::nullopt;
  return KeyBinding::Text(text);
}

INT_PTR CKieuGoDlg::Handle(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_COMMAND:
      OnCommand(LOWORD(wp), HIWORD(wp));
      return TRUE;
    case WM_NOTIFY:
      return OnNotify(reinterpret_cast<const NMHDR*>(lp));
    default:
      return FALSE;
  }
}

INT_PTR CKieuGoDlg::OnNotify(const NMHDR* hdr) {
  if (hdr->idFrom == IDC_KG_METHODS) {
    if (hdr->code == LVN_ENDLABELEDITW) {
      const auto* info = reinterpret_cast<const NMLVDISPINFOW*>(hdr);
      if (info->item.pszText == nullptr) return TRUE;  // editing cancelled
      const std::u16string problem =
          editor_->Rename(info->item.iItem, reinterpret_cast<const char16_t*>(info->item.pszText));
      ShowProblem(problem);
      if (problem.empty()) {
        ListView_SetItemText(hdr->hwndFrom, info->item.iItem, 0,
                             const_cast<wchar_t*>(W(editor_->Methods()[static_cast<size_t>(info->item.iItem)].Name)));
      }
      SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, FALSE);
      return TRUE;
    }
    if (hdr->code == LVN_ITEMCHANGED) {
      const auto* change = reinterpret_cast<const NMLISTVIEW*>(hdr);
      if (!(change->uChanged & LVIF_STATE)) return TRUE;
      const bool was = (change->uOldState & LVIS_SELECTED) != 0;
      const bool is = (change->uNewState & LVIS_SELECTED) != 0;
      if (is && !was) {
        editor_->Select(change->iItem);
        editor_->SetKeyText(TextOf(GetDlgItem(hwnd_, IDC_KG_KEY)));
        ShowRows();
        EnableGroup(true);
      } else if (was && !is && change->iItem == editor_->Current()) {
        editor_->Select(-1);
        ShowRows();
        EnableGroup(false);
      }
      return TRUE;
    }
  }
  if (hdr->idFrom == IDC_KG_ROWS) {
    if (hdr->code == LVN_ITEMCHANGED && !updating_) {
      const auto* change = reinterpret_cast<const NMLISTVIEW*>(hdr);
      if ((change->uChanged & LVIF_STATE) && (change->uNewState & LVIS_SELECTED) &&
          !(change->uOldState & LVIS_SELECTED)) {
        editor_->SelectRow(change->iItem);
        ShowRowSelection();
      }
      return TRUE;
    }
    if (hdr->code == NM_SETFOCUS) {
      SetFocus(GetDlgItem(hwnd_, IDC_KG_KEY));
      return TRUE;
    }
  }
  return FALSE;
}

void CKieuGoDlg::OnCommand(int id, int code) {
  HWND methods = GetDlgItem(hwnd_, IDC_KG_METHODS);
  switch (id) {
    case IDC_KG_ADDMETHOD: {
      const int index = editor_->AddMethod();
      LVITEMW item{};
      item.mask = LVIF_TEXT;
      item.iItem = index;
      item.pszText = const_cast<wchar_t*>(W(editor_->Methods()[static_cast<size_t>(index)].Name));
      ListView_InsertItem(methods, &item);
      SetFocus(methods);
      ListView_EditLabel(methods, index);
      break;
    }
    case IDC_KG_DELMETHOD: {
      const int sel = SelectedItem(methods);
      if (sel < 0) break;
      editor_->DeleteMethod(sel);
      updating_ = true;
      ListView_DeleteItem(methods, sel);
      updating_ = false;
      if (editor_->Current() < 0) {
        ShowRows();
        EnableGroup(false);
      }
      break;
    }
    case IDC_KG_KEY:
      if (code == EN_CHANGE && !updating_) {
        const std::u16string text = TextOf(GetDlgItem(hwnd_, IDC_KG_KEY));
        editor_->SetKeyText(text);
        if (editor_->KeyText() != text) {
          updating_ = true;
          SetDlgItemTextW(hwnd_, IDC_KG_KEY, W(editor_->KeyText()));
          updating_ = false;
        }
        ShowRowSelection();
      }
      break;
    case IDC_KG_ADD:
      if (editor_->Add(DescribedBinding())) ShowRows();
      break;
    case IDC_KG_REPLACE:
      if (editor_->Replace(DescribedBinding())) ShowRows();
      break;
    case IDC_KG_DELROW:
      editor_->DeleteRow();
      ShowRows();
      break;
    case IDC_KG_DELALL:
      editor_->DeleteAllRows();
      ShowRows();
      break;
    case IDC_KG_LOAD: {
      HWND from = GetDlgItem(hwnd_, IDC_KG_LOADFROM);
      const LRESULT sel = SendMessageW(from, CB_GETCURSEL, 0, 0);
      if (sel == CB_ERR) break;
      const std::vector<std::u16string> names = GetTypingMethodNames();
      if (static_cast<size_t>(sel) >= names.size()) break;
      // A user method chosen here gives its bindings too.
      editor_->Load(LoadKieuGo(names[static_cast<size_t>(sel)]));
      ShowRows();
      break;
    }
    case IDOK:
      Save();
      break;
    case IDCANCEL:
      EndDialog(hwnd_, IDCANCEL);
      break;
    default:
      break;
  }
}

void CKieuGoDlg::Save() {
  if (!SaveUserMethods(editor_->ToSave())) {
    const std::u16string text = u"Không lưu được các kiểu gõ vào " + KieuGoRegistry().UserPath() +
                                u"\nCác thay đổi vẫn còn trong cửa sổ này.";
    MessageBoxW(hwnd_, W(text), L"Tạo kiểu gõ", MB_OK | MB_ICONERROR);
    return;
  }
  EndDialog(hwnd_, IDOK);
}

}  // namespace tavirel
