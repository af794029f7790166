// The e2e target's completing field ("autocomplete" mode): an EDIT control
// that behaves like a browser's address bar or a spreadsheet cell. After each
// character typed at the end of its text it looks for a word of its list
// that starts with the word before the caret (case ignored), appends the rest
// of that word and selects it. A typed character replaces the selection;
// Backspace and Delete remove only the selection, and no suggestion follows
// them. What the target reports is the typed text, without the selected tail.
#include "AutoCompleteField.h"

#include <string>

namespace {

WNDPROC g_editProc = nullptr;

// Words of the e2e prose and the unmarked spellings met on the way to them,
// so that nearly every key leaves a suggestion selected.
const wchar_t* const kWords[] = {
    L"Buổi", L"buon", L"sáng", L"sang", L"ở", L"ow", L"làng", L"lang", L"ven", L"sông", L"song",
    L"thường", L"thuong", L"bắt", L"bat", L"đầu", L"dau", L"rất", L"rat", L"sớm", L"som", L"Khi",
    L"sương", L"suong", L"còn", L"con", L"phủ", L"phu", L"trắng", L"trang", L"mặt", L"mat", L"nước",
    L"nuoc", L"những", L"nhung", L"chiếc", L"chiec", L"thuyền", L"thuyen", L"nhỏ", L"nho", L"đã",
    L"da", L"lặng", L"lẽ", L"le", L"rời", L"roi", L"bến", L"ben", L"người", L"nguoi", L"già",
    L"gia", L"ngồi", L"ngoi", L"bên", L"hiên", L"hien", L"nhà", L"nha", L"uống", L"uong", L"trà",
    L"tra", L"nóng", L"nong", L"kể", L"ke", L"cho", L"lũ", L"lu", L"trẻ", L"tre", L"nghe",
    L"chuyện", L"chuyen", L"ngày", L"ngay", L"xưa", L"xua", L"mùa", L"mua", L"năm", L"nam",
    L"ấy", L"ay", L"dâng", L"cao", L"đến", L"den", L"tận", L"tan", L"mái", L"mai", L"Việt",
    L"viet", L"Tiếng", L"tieng"};

std::wstring Lower(std::wstring s) {
  if (!s.empty()) CharLowerBuffW(s.data(), static_cast<DWORD>(s.size()));
  return s;
}

std::wstring TextOf(HWND edit) {
  int n = GetWindowTextLengthW(edit);
  std::wstring w(n + 1, L'\0');
  n = GetWindowTextW(edit, w.data(), n + 1);
  w.resize(n);
  return w;
}

// After a typed character: the suggestion for the word before the caret.
void Suggest(HWND edit) {
  DWORD start = 0, end = 0;
  SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  const std::wstring text = TextOf(edit);
  if (start != end || end != text.size()) return;
  size_t wordStart = text.find_last_of(L" \n\r\t.,");
  wordStart = wordStart == std::wstring::npos ? 0 : wordStart + 1;
  const std::wstring word = Lower(text.substr(wordStart));
  if (word.empty()) return;
  for (const wchar_t* candidate : kWords) {
    const std::wstring c = candidate;
    if (c.size() <= word.size() || Lower(c.substr(0, word.size())) != word) continue;
    const std::wstring tail = c.substr(word.size());
    SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(tail.c_str()));
    SendMessageW(edit, EM_SETSEL, end, end + tail.size());
    return;
  }
}

LRESULT CALLBACK FieldProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  const LRESULT r = CallWindowProcW(g_editProc, hwnd, msg, wp, lp);
  if (msg == WM_CHAR && wp >= 0x20) Suggest(hwnd);
  return r;
}

}  // namespace

void MakeAutoCompleteField(HWND edit) {
  g_editProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FieldProc)));
}

std::wstring TypedText(HWND edit) {
  std::wstring text = TextOf(edit);
  DWORD start = 0, end = 0;
  SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  if (start < end && end == text.size()) text.resize(start);
  return text;
}
