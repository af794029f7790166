#include <gtest/gtest.h>

#include "AppTestUtil.h"
#include "app/SettingsFolder.h"

namespace tavirel {
namespace {

using test::TempFolder;

TEST(SettingsFolder, ProgramFolderWhenWritableElseLocalAppData) {
  EXPECT_EQ(ChooseSettingsFolder(u"/opt/t", true, u"/home/u/.local/share"), u"/opt/t");
  EXPECT_EQ(ChooseSettingsFolder(u"/opt/t", false, u"/home/u/.local/share"),
            JoinPath(u"/home/u/.local/share", u"Tavirel"));
  EXPECT_EQ(ChooseSettingsFolder(u"/opt/t", false, u""), u"/opt/t");
}

TEST(SettingsFolder, WritableProbeLeavesNothingBehind) {
  TempFolder dir;
  EXPECT_TRUE(IsFolderWritable(dir.Path()));
  EXPECT_TRUE(std::filesystem::is_empty(std::filesystem::path(dir.Path())));
  EXPECT_FALSE(IsFolderWritable(dir.File("missing")));
  dir.Write("plain", "x");
  EXPECT_FALSE(IsFolderWritable(dir.File("plain")));
  EXPECT_FALSE(IsFolderWritable(u""));
  EXPECT_TRUE(EnsureFolder(dir.File("a") + u"/b/Tavirel"));
  EXPECT_TRUE(IsFolderWritable(dir.File("a") + u"/b/Tavirel"));
  EXPECT_FALSE(EnsureFolder(dir.File("plain") + u"/Tavirel"));
}

}  // namespace
}  // namespace tavirel
