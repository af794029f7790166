// tavirel_e2e_update.exe: the user's side of the update's question box, and
// the version of a program file. Usage:
//   box TITLE SECONDS     waits for a window titled TITLE, prints its texts
//   press TITLE ID        presses button ID (6 Yes, 7 No) of that window
//   version FILE          prints FILE's ProductVersion
// Output is UTF-8.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

void PrintUtf8(const std::wstring& text) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
  std::fwrite(out.data(), 1, out.size(), stdout);
  std::fputc('\n', stdout);
}

HWND FindByTitle(const wchar_t* title, int seconds) {
  for (int i = 0; i <= seconds * 10; ++i) {
    if (HWND w = FindWindowW(nullptr, title)) return w;
    Sleep(100);
  }
  return nullptr;
}

BOOL CALLBACK PrintText(HWND child, LPARAM) {
  wchar_t cls[32] = {};
  GetClassNameW(child, cls, 32);
  if (_wcsicmp(cls, L"Static") == 0) {
    wchar_t text[1024] = {};
    if (GetWindowTextW(child, text, 1024) > 0) PrintUtf8(text);
  }
  return TRUE;
}

std::wstring ProductVersion(const wchar_t* file) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(file, &ignored);
  if (size == 0) return L"";
  std::vector<BYTE> data(size);
  if (!GetFileVersionInfoW(file, 0, size, data.data())) return L"";
  WORD* tr = nullptr;
  UINT len = 0;
  if (!VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&tr), &len) || len < 4) {
    return L"";
  }
  wchar_t query[64];
  swprintf(query, 64, L"\\StringFileInfo\\%04x%04x\\ProductVersion", tr[0], tr[1]);
  wchar_t* value = nullptr;
  if (!VerQueryValueW(data.data(), query, reinterpret_cast<void**>(&value), &len) || !value) return L"";
  return value;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) return 2;
  const std::wstring cmd = argv[1];
  if (cmd == L"version") {
    PrintUtf8(ProductVersion(argv[2]));
    return 0;
  }
  if (argc < 4) return 2;
  if (cmd == L"box") {
    HWND box = FindByTitle(argv[2], static_cast<int>(std::wcstol(argv[3], nullptr, 10)));
    if (!box) return 1;
    EnumChildWindows(box, PrintText, 0);
    return 0;
  }
  if (cmd == L"press") {
    HWND box = FindByTitle(argv[2], 5);
    if (!box) return 1;
    const int id = static_cast<int>(std::wcstol(argv[3], nullptr, 10));
    return PostMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, id)))
               ? 0
               : 1;
  }
  return 2;
}
