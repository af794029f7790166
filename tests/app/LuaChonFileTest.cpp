#include <gtest/gtest.h>

#include <random>

#include "AppTestUtil.h"
#include "app/CSettings.h"
#include "app/LuaChonFile.h"
#include "common/TextFile.h"
#include "service/CInputMethodService.h"
#include "service/CTypingContext.h"
#include "sim/SimDesktop.h"
#include "tables/CBangMa.h"
#include "tables/CKieuGo.h"

namespace tavirel {
namespace {

using test::TempFolder;

struct Program {
  SimDesktop desk;
  CInputMethodService service{&desk};
  AppOptions app;
  IniKeys Values() { return CollectOptions(service, app)[kLuaChonSection]; }
  IniKeys Conversion() { return CollectOptions(service, app)[kChuyenMaSection]; }
};

TEST(LuaChonFile, MissingFileLeavesTheDefaults) {
  TempFolder dir;
  Program p;
  EXPECT_EQ(LoadOptions(dir.File("LuaChon.ini"), p.service, p.app, true), SettingsFileStatus::Missing);
  EXPECT_EQ(p.service.TypingMethod(), u"Telex 2");
  EXPECT_EQ(p.service.CodeTable(), u"Unicode");
  EXPECT_TRUE(p.service.Context().GoTat);
  EXPECT_EQ(p.service.PhimChuyen().ToInt(), 393216);
  EXPECT_EQ(p.service.PhimGoiY().ToInt(), 9);
  EXPECT_EQ(p.service.PhimKhoiPhuc().ToInt(), 196608);
  EXPECT_EQ(p.service.PhimClear().ToInt(), 131072);
  EXPECT_TRUE(p.app.ThuNho);
  EXPECT_EQ(p.app.DisplayedTabs, (std::vector<int32_t>{0, 1}));
  // Without a "ChuyenMa" section the conversion keeps its own defaults; a
  // section that lacks the keys turns them on (below).
  EXPECT_FALSE(p.app.Conversion.autoDetect);
  EXPECT_FALSE(p.app.Conversion.clipboard);
}

TEST(LuaChonFile, DefaultSaveStartsWithChuyenMaAndHoldsEveryKey) {
  TempFolder dir;
  Program p;
  ASSERT_TRUE(SaveOptions(dir.File("LuaChon.ini"), p.service, p.app));
  const std::string bytes = dir.Read("LuaChon.ini");
  EXPECT_EQ(bytes.rfind("\xEF\xBB\xBF[ChuyenMa]\n", 0), 0u);
  const IniSections read = ReadIniFile(StandardIniSyntax(), dir.File("LuaChon.ini"));
  EXPECT_EQ(read.at(u"LuaChon").at(u"GoTatKhiTatTavirel"), u"0");
  EXPECT_EQ(read.at(u"ChuyenMa").at(u"TiLeChinhXac"), u"0.7");
  EXPECT_EQ(read.at(u"LuaChon").size(), OptionKeys().size());
  EXPECT_EQ(read.at(u"ChuyenMa").size(), 8u);
}

// A file written by hand (no byte-order mark, CRLF, spaces around "=",
// comments, unknown keys and sections, keys in another order) reads the same
// as the file the program writes for the same values.
TEST(LuaChonFile, HandWrittenFileReadsLikeTheProgramsOwn) {
  TempFolder dir;
  dir.Write("LuaChon.ini",
            "; my settings\r\n"
            "[Other]\r\nKieuGo=VNI\r\n"
            "[LuaChon]  \r\n"
            "KieuGo = VNI   ; typed with numbers\r\n"
            "BangMa =VNI Windows\r\n"
            "\r\n"
            "GoTatPAD= 1\r\n"
            "Unknown=5\r\n"
            "PhimChuyen = 65616 ;Alt+P\r\n"
            "NA_PAC_DacBiet = ah uh\r\n"
            "DisplayedTabs= 0 2 5\r\n"
            "SoLuongTuGoiY=12\r\n"
            "[ChuyenMa]\r\n"
            "BangMaNguon = TCVN3 (ABC)\r\n"
            "TiLeChinhXac = 0.85;\r\n");
  Program hand;
  ASSERT_EQ(LoadOptions(dir.File("LuaChon.ini"), hand.service, hand.app, false), SettingsFileStatus::Read);
  EXPECT_EQ(hand.service.TypingMethod(), u"VNI");
  EXPECT_EQ(hand.service.CodeTable(), u"VNI Windows");
  EXPECT_TRUE(hand.service.Context().GoTatPAD);
  EXPECT_EQ(hand.service.PhimChuyen(), KeyCombo(modbits::kAlt, 'P'));
  EXPECT_EQ(hand.service.SpecialWords(), u"ah uh");
  EXPECT_EQ(hand.app.DisplayedTabs, (std::vector<int32_t>{0, 2, 5}));
  EXPECT_EQ(hand.app.Conversion.source, u"TCVN3 (ABC)");
  EXPECT_DOUBLE_EQ(hand.app.Conversion.threshold, 0.85);
  EXPECT_TRUE(hand.app.Conversion.autoDetect);  // the section is there, the key is not
  EXPECT_TRUE(hand.app.Conversion.clipboard);

  ASSERT_TRUE(SaveOptions(dir.File("again.ini"), hand.service, hand.app));
  Program again;
  ASSERT_EQ(LoadOptions(dir.File("again.ini"), again.service, again.app, false), SettingsFileStatus::Read);
  EXPECT_EQ(again.Values(), hand.Values());
  EXPECT_EQ(again.Conversion(), hand.Conversion());
}

// Every key with random values survives a save and a load into a fresh
// program.
TEST(LuaChonFile, RandomOptionsRoundTrip) {
  TempFolder dir;
  const std::vector<std::u16string> methods = GetTypingMethodNames();
  const std::vector<std::u16string> tables = GetCodeTableNames();
  std::mt19937 rng(12);
  for (int round = 0; round < 20; ++round) {
    Program p;
    for (const auto& [key, text] : p.Values()) {
      std::u16string value;
      if (key == u"KieuGo") {
        value = methods[rng() % methods.size()];
      } else if (key == u"BangMa") {
        value = tables[rng() % tables.size()];
      } else if (key == u"NA_PAC_DacBiet") {
        value = round % 2 ? u"ah uh ưh" : u"";
      } else if (key == u"DisplayedTabs") {
        value = round % 3 == 0 ? u"" : u"1 3 4";
      } else if (key.rfind(u"Phim", 0) == 0) {
        value = FormatInt(KeyCombo(static_cast<int32_t>(rng() % 16), static_cast<uint16_t>(rng() % 256)).ToInt());
      } else if (key == u"SoLuongTuGoiY") {
        value = FormatInt(rng() % (kMaxSoLuongTuGoiY + 1));
      } else if (key == u"SuggestionUIAlpha") {
        value = FormatInt(kMinSuggestionUIAlpha + rng() % (256 - kMinSuggestionUIAlpha));
      } else {
        ASSERT_TRUE(text == u"0" || text == u"1") << Utf16ToUtf8(key);
        value = rng() % 2 ? u"1" : u"0";
      }
      ASSERT_TRUE(SetOption(p.service, p.app, key, value));
    }
    p.app.Conversion = {static_cast<int32_t>(rng() % 64), true, 0.5, u"VNI Windows", u"Unicode", false,
                        u"C:\\a b\\vào.txt", u"ra.txt"};
    const IniKeys before = p.Values();
    ASSERT_TRUE(SaveOptions(dir.File("LuaChon.ini"), p.service, p.app));
    Program q;
    // Suggestions stay off without their engine, on both sides.
    ASSERT_EQ(LoadOptions(dir.File("LuaChon.ini"), q.service, q.app, true), SettingsFileStatus::Read);
    EXPECT_EQ(q.Values(), before) << "round " << round;
    EXPECT_EQ(q.Conversion(), p.Conversion());
  }
}

TEST(LuaChonFile, EnabledIsReadOnlyAtLogin) {
  TempFolder dir;
  dir.Write("LuaChon.ini", "[LuaChon]\nEnabled=0\n");
  Program byHand;
  LoadOptions(dir.File("LuaChon.ini"), byHand.service, byHand.app, false);
  EXPECT_TRUE(byHand.service.IsVietnamese());
  Program atLogin;
  LoadOptions(dir.File("LuaChon.ini"), atLogin.service, atLogin.app, true);
  EXPECT_FALSE(atLogin.service.IsVietnamese());
  dir.Write("LuaChon.ini", "[LuaChon]\nEnabled=off\n");  // not a number: stays on
  Program garbled;
  LoadOptions(dir.File("LuaChon.ini"), garbled.service, garbled.app, true);
  EXPECT_TRUE(garbled.service.IsVietnamese());
}

// Values that are not numbers leave the option as it was; numbers are kept
// in their ranges, so a hand-edited file cannot make the suggestion window
// invisible or ask for a page the main dialog does not have.
TEST(LuaChonFile, BadAndOutOfRangeNumbers) {
  TempFolder dir;
  dir.Write("LuaChon.ini",
            "[LuaChon]\nGoTat=yes\nCPUCao=+1\nPhimClear=Ctrl\nSoLuongTuGoiY=99999\n"
            "SuggestionUIAlpha=0\nDisplayedTabs=0 9 1 1 -1 x 5 \nThuNho=-\n"
            "[ChuyenMa]\nTiLeChinhXac=7\nFlags=x\n");
  Program p;
  LoadOptions(dir.File("LuaChon.ini"), p.service, p.app, false);
  EXPECT_TRUE(p.service.Context().GoTat);
  EXPECT_TRUE(p.service.CPUCao);
  EXPECT_EQ(p.service.PhimClear(), CInputMethodService::kDefaultPhimClear);
  EXPECT_EQ(p.service.SoLuongTuGoiY, kMaxSoLuongTuGoiY);
  EXPECT_EQ(p.service.SuggestionUIAlpha, kMinSuggestionUIAlpha);
  EXPECT_EQ(p.app.DisplayedTabs, (std::vector<int32_t>{0, 1, 5}));
  EXPECT_TRUE(p.app.ThuNho);
  EXPECT_DOUBLE_EQ(p.app.Conversion.threshold, 1.0);
  EXPECT_EQ(p.app.Conversion.flags, 0);

  dir.Write("LuaChon.ini", "[LuaChon]\nSoLuongTuGoiY=-3\nSuggestionUIAlpha=300\nDisplayedTabs=\n"
                           "[ChuyenMa]\nTiLeChinhXac=nan\n");
  Program q;
  LoadOptions(dir.File("LuaChon.ini"), q.service, q.app, false);
  EXPECT_EQ(q.service.SoLuongTuGoiY, 0);
  EXPECT_EQ(q.service.SuggestionUIAlpha, 255);
  EXPECT_TRUE(q.app.DisplayedTabs.empty());
  EXPECT_GE(q.app.Conversion.threshold, 0.0);
  EXPECT_LE(q.app.Conversion.threshold, 1.0);
}

// A value in the ANSI code page instead of UTF-8 does not cost the keys
// after it.
TEST(LuaChonFile, AnsiBytesInAValue) {
  TempFolder dir;
  dir.Write("LuaChon.ini", "[LuaChon]\nNA_PAC_DacBiet=ah \xF0h\nKieuGo=VNI\nGoTatPAC=1\n");
  Program p;
  ASSERT_EQ(LoadOptions(dir.File("LuaChon.ini"), p.service, p.app, false), SettingsFileStatus::Read);
  EXPECT_EQ(p.service.TypingMethod(), u"VNI");
  EXPECT_TRUE(p.service.Context().GoTatPAC);
  EXPECT_EQ(p.service.SpecialWords().substr(0, 2), u"ah");
}

// A file that is there but cannot be read keeps the user's settings: the
// automatic save at exit leaves it alone, and a save that fails says so.
TEST(Settings, UnreadableFileIsNotOverwrittenAtExit) {
  TempFolder dir;
  std::filesystem::create_directory(std::filesystem::path(dir.Path()) / "LuaChon.ini");
  Program p;
  CSettings settings(p.service, p.app, dir.Path());
  settings.Load(false);
  EXPECT_EQ(settings.OptionsStatus(), SettingsFileStatus::Unreadable);
  EXPECT_EQ(settings.ShorthandsStatus(), SettingsFileStatus::Missing);
  EXPECT_EQ(settings.SaveOptions(SaveKind::Automatic), SaveResult::KeptUnreadFile);
  EXPECT_TRUE(std::filesystem::is_directory(std::filesystem::path(dir.Path()) / "LuaChon.ini"));
  EXPECT_EQ(settings.SaveOptions(SaveKind::Explicit), SaveResult::Failed);
  // The other files save normally.
  EXPECT_EQ(settings.SaveShorthands(SaveKind::Automatic), SaveResult::Written);
}

// A folder that cannot be written (here: it lies under a plain file, which
// also holds for root) reports every save as failed; a missing settings
// folder is created on the first save.
TEST(Settings, SavesReportFailureAndCreateTheFolder) {
  TempFolder dir;
  dir.Write("plain", "x");
  Program p;
  CSettings blocked(p.service, p.app, dir.File("plain") + u"/Tavirel");
  blocked.Load(false);
  EXPECT_EQ(blocked.SaveOptions(SaveKind::Automatic), SaveResult::Failed);
  EXPECT_EQ(blocked.SaveHotkeys(), SaveResult::Failed);

  CSettings fresh(p.service, p.app, dir.File("AppData") + u"/Tavirel");
  fresh.Load(false);
  p.service.SetTypingMethod(u"VNI");
  EXPECT_EQ(fresh.SaveOptions(SaveKind::Automatic), SaveResult::Written);
  Program q;
  CSettings reread(q.service, q.app, fresh.Folder());
  reread.Load(false);
  EXPECT_EQ(reread.OptionsStatus(), SettingsFileStatus::Read);
  EXPECT_EQ(q.service.TypingMethod(), u"VNI");
}

}  // namespace
}  // namespace tavirel
