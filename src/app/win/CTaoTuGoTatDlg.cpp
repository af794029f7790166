#include "app/win/CTaoTuGoTatDlg.h"

#include <chrono>
#include <optional>

#include "app/TaoTuGoTat.h"
#include "app/win/CTavirelApp.h"
#include "app/win/ClipboardText.h"
#include "app/win/TaoTuGoTatDlgIds.h"
#include "common/TextFile.h"
#include "service/CInputMethodService.h"

namespace tavirel {

namespace {

const wchar_t* W(const std::u16string& s) { return reinterpret_cast<const wchar_t*>(s.c_str()); }

std::u16string TextOf(HWND control) {
  const int n = GetWindowTextLengthW(control);
  std::u16string text(static_cast<size_t>(n) + 1, u'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(control, reinterpret_cast<wchar_t*>(text.data()), n + 1)));
  return text;
}

constexpr wchar_t kCaption[] = L"Tạo từ gõ tắt từ Clipboard";

}  // namespace

void CTaoTuGoTatDlg::Run(CTavirelApp& app, HWND owner) {
  CTaoTuGoTatDlg dlg(app);
  dlg.RunModal(app.Instance(), IDD_TAOTUGOTAT, owner);
}

INT_PTR CTaoTuGoTatDlg::Handle(UINT msg, WPARAM wp, LPARAM) {
  switch (msg) {
    case WM_COMMAND:
      if (LOWORD(wp) == IDOK) OnOk();
      if (LOWORD(wp) == IDCANCEL) EndDialog(hwnd_, IDCANCEL);
      return TRUE;
    default:
      return FALSE;
  }
}

INT_PTR CTaoTuGoTatDlg::OnInit() {
  const TaoTuGoTatStart start = StartFromClipboard(ReadClipboardText(hwnd_));
  std::u16string shown;
  // A multi-line edit breaks lines only at CR LF.
  for (size_t i = 0; i < start.Expansion.size(); ++i) {
    const char16_t c = start.Expansion[i];
    if (c == u'\n' && (i == 0 || start.Expansion[i - 1] != u'\r')) shown += u'\r';
    shown += c;
  }
  SetDlgItemTextW(hwnd_, IDC_TAOTUGOTAT_VALUE, W(shown));
  SendDlgItemMessageW(hwnd_, IDC_TAOTUGOTAT_KEY, EM_SETLIMITTEXT, kMaxShorthandAbbreviation, 0);
  SetForegroundWindow(hwnd_);
  SetFocus(GetDlgItem(hwnd_, IDC_TAOTUGOTAT_KEY));
  if (!start.Message.empty()) MessageBoxW(hwnd_, W(start.Message), kCaption, MB_OK | MB_ICONWARNING);
  return FALSE;  // the focus is set
}

void CTaoTuGoTatDlg::OnOk() {
  const std::u16string key = TextOf(GetDlgItem(hwnd_, IDC_TAOTUGOTAT_KEY));
  std::u16string value = TextOf(GetDlgItem(hwnd_, IDC_TAOTUGOTAT_VALUE));
  const ShorthandCheck check = CheckNewShorthand(key, value);
  if (check == ShorthandCheck::EmptyAbbreviation) {
    MessageBeep(MB_OK);
    return;  // both are needed; the dialog stays open
  }
  if (check != ShorthandCheck::Ok) {
    MessageBoxW(hwnd_, W(ShorthandCheckMessage(check)), kCaption, MB_OK | MB_ICONWARNING);
    return;
  }
  const std::optional<ShorthandTable> table = app_.Service().Dispatcher().Call(
      [&](CInputMethodService& s) { return AppendShorthand(s.Context(), key, value); },
      std::chrono::milliseconds(2000));
  if (!table) {
    MessageBoxW(hwnd_, L"Tavirel đang bận, hãy thử lại.", kCaption, MB_OK | MB_ICONWARNING);
    return;
  }
  const std::u16string path = app_.Settings().ShorthandsPath();
  if (!WriteTextLines(path, FormatShorthands(*table))) {
    const std::u16string text = u"Không lưu được bảng gõ tắt vào " + path;
    MessageBoxW(hwnd_, W(text), kCaption, MB_OK | MB_ICONERROR);
  }
  EndDialog(hwnd_, IDOK);
}

}  // namespace tavirel
