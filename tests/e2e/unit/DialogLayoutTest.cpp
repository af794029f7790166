// Dialog templates of Tavirel.exe (next to this program) made into windows
// with the system's dialog font: texts the user must read whole fit their
// controls. Needs a display: the main dialog's Wine test runs these at 100%
// and at 150% (tests/e2e/maindlg); without one they are skipped.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "app/win/KieuGoDlgIds.h"
#include "tables/CKieuGo.h"

namespace tavirel {
namespace {

INT_PTR CALLBACK Quiet(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

std::wstring ProgramFolder() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder = path;
  return folder.substr(0, folder.find_last_of(L"\\/") + 1);
}

// Texts of a closed drop-down list that its box cuts, each with the width
// it needs and the width it has, in pixels.
std::string CutInClosedList(HWND combo) {
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  if (!GetComboBoxInfo(combo, &info)) return "no combo box";
  // The box draws its text a few pixels inside the item's rectangle.
  const LONG room = info.rcItem.right - info.rcItem.left - 4;
  HDC dc = GetDC(combo);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(combo, WM_GETFONT, 0, 0)));
  std::string cut;
  const int n = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
  for (int i = 0; i < n; ++i) {
    wchar_t text[256] = {};
    if (SendMessageW(combo, CB_GETLBTEXTLEN, i, 0) >= 256) return "item too long to read";
    SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
    SIZE size{};
    GetTextExtentPoint32W(dc, text, static_cast<int>(wcslen(text)), &size);
    if (size.cx > room) cut += "item " + std::to_string(i) + " needs " + std::to_string(size.cx) + "px, has " +
                               std::to_string(room) + "px\n";
  }
  SelectObject(dc, old);
  ReleaseDC(combo, dc);
  return cut;
}

// The dialog as Tavirel.exe makes it: in the program's DPI awareness.
class DialogLayout : public ::testing::Test {
 protected:
  void SetUp() override {
    old_ = SetThreadDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    HWND probe = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    if (!probe) GTEST_SKIP() << "no display to make windows on";
    DestroyWindow(probe);
  }
  void TearDown() override {
    if (old_) SetThreadDpiAwarenessContext(old_);
  }

 private:
  DPI_AWARENESS_CONTEXT old_ = nullptr;
};

TEST_F(DialogLayout, TypingMethodEditorShowsEveryFunctionWholeInItsClosedList) {
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);
  const std::wstring program = ProgramFolder() + L"Tavirel.exe";
  HMODULE resources = LoadLibraryExW(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(resources, nullptr) << "Tavirel.exe is built beside this program";
  HWND dlg = CreateDialogParamW(resources, MAKEINTRESOURCEW(IDD_KIEUGO), nullptr, Quiet, 0);
  ASSERT_NE(dlg, nullptr) << "error " << GetLastError();
  HWND functions = GetDlgItem(dlg, IDC_KG_FUNCTIONS);
  for (std::u16string_view name : FunctionDisplayNames)
    SendMessageW(functions, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(std::u16string(name).c_str()));
  EXPECT_EQ(CutInClosedList(functions), "");
  DestroyWindow(dlg);
  FreeLibrary(resources);
}

}  // namespace
}  // namespace tavirel
