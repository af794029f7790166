// tavirel_e2e_convert.exe: the clipboard and the conversion dialog as a
// user's programs and clicks see them. Usage: tavirel_e2e_convert.exe COMMAND ...
//   clip-set FILE|- [private]  empty the clipboard, put FILE's UTF-8 text on it
//                              as Unicode text (- for none) and, with
//                              "private", data of a format of our own beside it
//   clip-get FILE              write the clipboard's Unicode text to FILE as
//                              UTF-8; print whether text and our format are there
//   dlg-find                   exit 0 once the conversion dialog is open
//   dlg-file SRC DST FROM TO   fill in the dialog for a file conversion (the
//                              tables by the start of their names) and press
//                              "Chuyển mã"
//   dlg-close                  close the dialog with its close box
//   answer yes|no              print the text of the dialog's question and
//                              answer it
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "app/win/ChuyenMaDlgIds.h"

namespace {

constexpr wchar_t kPrivateFormat[] = L"Tavirel e2e private data";
constexpr char kPrivateBytes[] = "private bytes of another program";

std::string Utf8(const std::wstring& w) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
  std::string s(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr, nullptr);
  return s;
}

std::wstring Wide(const std::string& s) {
  const int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
  std::wstring w(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
  return w;
}

bool ReadFile(const wchar_t* path, std::string& bytes) {
  FILE* f = _wfopen(path, L"rb");
  if (!f) return false;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, f)) > 0) bytes.append(buf, n);
  fclose(f);
  return true;
}

bool OpenOwned() {
  static HWND owner = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  for (int i = 0; i < 50; ++i) {
    if (OpenClipboard(owner)) return true;
    Sleep(20);
  }
  return false;
}

bool PutBytes(UINT format, const void* data, size_t size) {
  HGLOBAL g = GlobalAlloc(GMEM_MOVEABLE, size);
  if (!g) return false;
  std::memcpy(GlobalLock(g), data, size);
  GlobalUnlock(g);
  if (SetClipboardData(format, g)) return true;
  GlobalFree(g);
  return false;
}

int ClipSet(const wchar_t* file, bool withPrivate) {
  std::wstring text;
  if (std::wcscmp(file, L"-") != 0) {
    std::string bytes;
    if (!ReadFile(file, bytes)) return 1;
    text = Wide(bytes);
  }
  if (!OpenOwned()) return 1;
  EmptyClipboard();
  bool ok = true;
  if (!text.empty()) ok = PutBytes(CF_UNICODETEXT, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
  if (withPrivate) ok = PutBytes(RegisterClipboardFormatW(kPrivateFormat), kPrivateBytes, sizeof kPrivateBytes) && ok;
  CloseClipboard();
  std::printf("%s\n", ok ? "ok" : "failed");
  return ok ? 0 : 1;
}

int ClipGet(const wchar_t* file) {
  if (!OpenOwned()) return 1;
  std::wstring text;
  if (HANDLE h = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* p = static_cast<const wchar_t*>(GlobalLock(h))) {
      text = p;
      GlobalUnlock(h);
    }
  }
  bool privateThere = false;
  if (HANDLE h = GetClipboardData(RegisterClipboardFormatW(kPrivateFormat))) {
    if (const auto* p = static_cast<const char*>(GlobalLock(h))) {
      privateThere = GlobalSize(h) >= sizeof kPrivateBytes && std::memcmp(p, kPrivateBytes, sizeof kPrivateBytes) == 0;
      GlobalUnlock(h);
    }
  }
  CloseClipboard();
  FILE* f = _wfopen(file, L"wb");
  if (!f) return 1;
  const std::string utf8 = Utf8(text);
  fwrite(utf8.data(), 1, utf8.size(), f);
  fclose(f);
  std::printf("text=%s private=%s\n", text.empty() ? "no" : "yes", privateThere ? "yes" : "no");
  return 0;
}

// The conversion dialog holds the convert button; its question box does not.
struct Found {
  bool dialog;
  HWND hwnd = nullptr;
};

BOOL CALLBACK FindProc(HWND w, LPARAM lp) {
  auto* f = reinterpret_cast<Found*>(lp);
  wchar_t cls[64] = {}, title[64] = {};
  GetClassNameW(w, cls, 64);
  GetWindowTextW(w, title, 64);
  if (std::wcscmp(cls, L"#32770") != 0 || std::wcscmp(title, L"Chuyển mã") != 0 || !IsWindowVisible(w)) return TRUE;
  if ((GetDlgItem(w, IDC_CM_CONVERT) != nullptr) != f->dialog) return TRUE;
  f->hwnd = w;
  return FALSE;
}

HWND Find(bool dialog) {
  for (int i = 0; i < 150; ++i) {
    Found f{dialog};
    EnumWindows(FindProc, reinterpret_cast<LPARAM>(&f));
    if (f.hwnd) return f.hwnd;
    Sleep(100);
  }
  return nullptr;
}

bool SelectTable(HWND dlg, int id, const wchar_t* name) {
  return SendDlgItemMessageW(dlg, id, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(name)) != CB_ERR;
}

int DialogFile(const wchar_t* src, const wchar_t* dst, const wchar_t* from, const wchar_t* to) {
  HWND dlg = Find(true);
  if (!dlg) return 1;
  bool ok = SelectTable(dlg, IDC_CM_NGUON, from) && SelectTable(dlg, IDC_CM_DICH, to);
  // A click, as the user gives it, so that the dialog enables the file boxes.
  if (IsDlgButtonChecked(dlg, IDC_CM_CLIPBOARD) == BST_CHECKED) SendDlgItemMessageW(dlg, IDC_CM_CLIPBOARD, BM_CLICK, 0, 0);
  ok = ok && IsWindowEnabled(GetDlgItem(dlg, IDC_CM_FILE_NGUON));
  ok = ok && SetDlgItemTextW(dlg, IDC_CM_FILE_NGUON, src) && SetDlgItemTextW(dlg, IDC_CM_FILE_DICH, dst);
  // Posted: a question box may open, and a sent click would wait for it.
  ok = ok && PostMessageW(GetDlgItem(dlg, IDC_CM_CONVERT), BM_CLICK, 0, 0);
  std::printf("%s\n", ok ? "ok" : "failed");
  return ok ? 0 : 1;
}

int Answer(bool yes) {
  HWND box = Find(false);
  if (!box) {
    std::printf("no question\n");
    return 1;
  }
  wchar_t text[512] = {};
  GetDlgItemTextW(box, 0xFFFF, text, 512);
  std::printf("%s\n", Utf8(text).c_str());
  PostMessageW(box, WM_COMMAND, yes ? IDYES : IDNO, 0);
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return 2;
  const std::wstring cmd = argv[1];
  int rc = 2;
  if (cmd == L"clip-set" && argc >= 3) {
    rc = ClipSet(argv[2], argc >= 4 && std::wcscmp(argv[3], L"private") == 0);
  } else if (cmd == L"clip-get" && argc >= 3) {
    rc = ClipGet(argv[2]);
  } else if (cmd == L"dlg-find") {
    rc = Find(true) ? 0 : 1;
  } else if (cmd == L"dlg-file" && argc >= 6) {
    rc = DialogFile(argv[2], argv[3], argv[4], argv[5]);
  } else if (cmd == L"dlg-close") {
    HWND dlg = Find(true);
    rc = dlg && PostMessageW(dlg, WM_CLOSE, 0, 0) ? 0 : 1;
  } else if (cmd == L"answer" && argc >= 3) {
    rc = Answer(std::wcscmp(argv[2], L"yes") == 0);
  }
  std::fflush(stdout);
  return rc;
}
