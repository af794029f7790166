// The application object's Win32 parts that need no display: the run-at-login
// value in the registry, the local application-data folder and the system's
// key names. Runs under Wine and on Windows; the registry value it sets is
// removed again.
#include <gtest/gtest.h>
#include <windows.h>

#include "app/RunAtLogin.h"
#include "app/SettingsFolder.h"
#include "app/win/CTavirelApp.h"

namespace tavirel {
namespace {

const wchar_t* W(const std::u16string& s) { return reinterpret_cast<const wchar_t*>(s.c_str()); }

void WriteRunValue(const std::u16string& text) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, W(kRunKey), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegSetValueExW(key, W(kRunValueName), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                 static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(key);
}

TEST(AppWin, RunAtLoginValue) {
  ASSERT_TRUE(CTavirelApp::SetRunAtLogin(true));
  EXPECT_TRUE(CTavirelApp::IsRunAtLoginRegistered());
  // Another copy's value, or this one's unquoted, is not ours.
  WriteRunValue(u"\"C:\\elsewhere\\Tavirel.exe\" /RunAtLogin");
  EXPECT_FALSE(CTavirelApp::IsRunAtLoginRegistered());
  WriteRunValue(CTavirelApp::ProgramPath() + u" /RunAtLogin");
  EXPECT_FALSE(CTavirelApp::IsRunAtLoginRegistered());
  WriteRunValue(RunAtLoginCommand(CTavirelApp::ProgramPath()));
  EXPECT_TRUE(CTavirelApp::IsRunAtLoginRegistered());
  ASSERT_TRUE(CTavirelApp::SetRunAtLogin(false));
  EXPECT_FALSE(CTavirelApp::IsRunAtLoginRegistered());
  EXPECT_TRUE(CTavirelApp::SetRunAtLogin(false));  // removing what is not there
}

TEST(AppWin, SettingsFolderFacts) {
  const std::u16string appData = LocalAppDataFolder();
  ASSERT_FALSE(appData.empty());
  EXPECT_TRUE(IsFolderWritable(appData));
}

}  // namespace
}  // namespace tavirel
