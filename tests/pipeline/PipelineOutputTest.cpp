// Output delivery: key packets or pasting, the clipboard backup and its
// timer, Shift around Ctrl+V, auto-complete windows, every code table.
#include "pipeline/PipelineFixture.h"
#include "tables/CBangMa.h"

namespace tavirel {
namespace {

using AppKey = SimDesktop::AppKeyEvent;

std::vector<uint8_t> Bytes(std::initializer_list<uint8_t> b) { return b; }

class PipelineOutputTest : public PipelineTest {
 protected:
  // Focuses a new window of that class.
  void FocusNew(std::u16string className, bool unicode = true) {
    desk.SetFocus(desk.AddWindow(std::move(className), unicode));
    desk.Click();  // the click that focused it ends the word
  }
  int Count(uint16_t key, bool up) const {
    int n = 0;
    for (const AppKey& e : desk.AppKeys) n += (e.Vk == key && e.Up == up) ? 1 : 0;
    return n;
  }
};

TEST_F(PipelineOutputTest, BackspacesWithoutTextNeverTouchTheClipboard) {
  service.Clipboard = true;
  desk.SetText(u"abcdef");
  desk.SetClipboardText(u"mine");
  service.SendText(3, u"");
  EXPECT_EQ(Field(), "abc");
  EXPECT_EQ(Count(vk::kBack, false), 3);
  EXPECT_EQ(desk.ClipboardOpens, 0);
  EXPECT_FALSE(desk.TimerRunning());
}

TEST_F(PipelineOutputTest, ByteTablesUseKeyPacketsEvenInANonUnicodeWindow) {
  FocusNew(u"Edit", /*unicode=*/false);
  service.SetCodeTable(u"TCVN3 (ABC)");
  Type(u"tieengs");
  EXPECT_EQ(desk.Text(), Encode(LoadBangMa(u"TCVN3 (ABC)"), u"tiếng"));
  EXPECT_EQ(desk.ClipboardOpens, 0);
  EXPECT_GT(desk.UnicodeInjections, 0);
}

// A program that is not Unicode holds the bytes of an 8-bit table through
// its ANSI code page, where 0x80..0x9F are not U+0080..U+009F: VISCII's
// capitals there arrive as bytes only when sent as what the code page reads.
TEST_F(PipelineOutputTest, EightBitTablesReachANonUnicodeProgramAsTheirBytes) {
  FocusNew(u"Edit", /*unicode=*/false);
  const std::u16string text = u"ĐƯỜNG ẤY Ở ĐÂU, Ỷ LẠI? Ừ, CÓ NỖI NHỚ.";
  for (const char16_t* name : {u"VISCII", u"TCVN3 (ABC)", u"VNI Windows"}) {
    SCOPED_TRACE(Utf16ToUtf8(name));
    service.SetCodeTable(name);
    Clear();
    Type(u"DDUWOWFNG AAYS OWR DDAAU, YR LAIJ? UWF, COS NOOXI NHOWS.");
    EXPECT_EQ(desk.Text(), Encode(LoadBangMa(name), text));
    EXPECT_EQ(desk.Text().find(u'?'), desk.Text().rfind(u'?'));  // only the typed one
  }
}

// The system hands such a program its characters in the code page of the
// program's input language, which need not be the system's and changes with
// the keyboard layout: each replacement goes out in the code page the focus
// window reads through at that moment. Every 8-bit table, every capital
// that VISCII keeps at 0x80..0x9F, a Western (1252) and a Vietnamese (1258)
// program, the focus moving between them and a layout switched mid-text.
TEST_F(PipelineOutputTest, EightBitTablesReachEachProgramInTheCodePageOfItsInputLanguage) {
  const std::u16string text =
      u"NGƯỜI VIỆT Ở ĐÀ NẴNG VẪN CHẲNG THẤY ẢNH. BẠN BẮT BẰNG MẶT TẦNG ẨN VẬY, VẼ ĐẸP TIẾNG VỀ ĐỂ DỄ; "
      u"CHỈ THỊ NHỎ HỌC TỐT ỒN TỔ CHỖ MỘT NHỚ ĐƯỢC CỦA CŨNG CỤ KỲ Ỷ MỸ KỴ ƠN. Người Việt ở Đà Nẵng "
      u"vẫn thấy đẹp: Ả Ấy Ầm Ẩm Ẫm Ậy Ư Ơ Đ ả ấy ầm ẩm ẫm ậy ư ơ đ.";
  const std::u16string keys =
      u"NGUWOWFI VIEEJT OWR DDAF NAWXNG VAAXN CHAWRNG THAASY ARNH. BAJN BAWST BAWFNG MAWJT TAAFNG AARN "
      u"VAAJY, VEX DDEJP TIEESNG VEEF DDEER DEEX; CHIR THIJ NHOR HOJC TOOST OOFN TOOR CHOOX MOOJT NHOWS "
      u"DDUWOWJC CUAR CUXNG CUJ KYF YR MYX KYJ OWN. Nguwowfi Vieejt owr DDaf Nawxng vaaxn thaasy ddejp: "
      u"Ar Aasy Aafm Aarm Aaxm Aajy Uw Ow DD ar aasy aafm aarm aaxm aajy uw ow dd.";
  const size_t halfKeys = keys.find(u". ") + 2;
  const WindowHandle western = desk.AddWindow(u"Edit", /*unicode=*/false);
  const WindowHandle vietnamese = desk.AddWindow(u"Edit", /*unicode=*/false);
  desk.SetCodePage(vietnamese, 1258);
  int tables = 0;
  for (const std::u16string& name : GetCodeTableNames()) {
    const CBangMa table = LoadBangMa(name);
    if (table.Empty() || IsWide(table)) continue;
    SCOPED_TRACE(Utf16ToUtf8(name));
    ++tables;
    service.SetCodeTable(name);
    for (const WindowHandle window : {western, vietnamese, western}) {
      desk.SetFocus(window);
      desk.SetCodePage(window, window == western ? 1252 : 1258);
      Clear();
      desk.TypeText(keys.substr(0, halfKeys));
      // The user switches the layout, and the code page with it.
      desk.SetCodePage(window, window == western ? 1258 : 1252);
      desk.TypeText(keys.substr(halfKeys));
      EXPECT_EQ(desk.Text(), Encode(table, text));
    }
  }
  EXPECT_GE(tables, 4);
}

// Pasted into a program that is not Unicode and reads ANSI text (the
// clipboard option, or a program's rule), an 8-bit table's text goes on the
// clipboard as its bytes in ANSI text of its own, marked with the program's
// locale: the system's conversion of the Unicode text would turn VISCII's
// 0x80..0x9F into "?". On request or set at once, in a Western and a
// Vietnamese program; the user's clipboard comes back.
TEST_F(PipelineOutputTest, PastedEightBitTablesReachANonUnicodeProgramAsTheirBytes) {
  const std::u16string text = u"ĐƯỜNG ẤY Ở ĐÂU, Ỷ LẠI? Ừ, CÓ NỖI NHỚ. Ẵng ẶT ẬY";
  const std::u16string keys = u"DDUWOWFNG AAYS OWR DDAAU, YR LAIJ? UWF, COS NOOXI NHOWS. AWxng AWJT AAJY";
  const WindowHandle western = desk.AddWindow(u"Edit", /*unicode=*/false);
  const WindowHandle vietnamese = desk.AddWindow(u"Edit", /*unicode=*/false);
  desk.SetCodePage(vietnamese, 1258);
  desk.SetPastesAnsiText(western);
  desk.SetPastesAnsiText(vietnamese);
  service.Clipboard = true;
  for (const bool onRequest : {true, false}) {
    desk.RendersOnRequest = onRequest;
    for (const char16_t* name : {u"VISCII", u"TCVN3 (ABC)", u"VNI Windows"}) {
      for (const WindowHandle window : {western, vietnamese}) {
        SCOPED_TRACE(Utf16ToUtf8(name) + (onRequest ? " on request" : " at once") +
                     (window == western ? " 1252" : " 1258"));
        service.SetCodeTable(name);
        desk.SetFocus(window);
        desk.Click();
        Clear();
        desk.SetClipboardText(u"mine");
        desk.TypeText(keys);
        EXPECT_EQ(desk.Text(), Encode(LoadBangMa(name), text));
        EXPECT_EQ(desk.ClipboardFormatBytes(clipfmt::kLocale),
                  window == western ? Bytes({0x09, 0x04, 0, 0}) : Bytes({0x2A, 0x04, 0, 0}));
        desk.Advance(1500);
        EXPECT_EQ(desk.ClipboardText(), u"mine");
        EXPECT_FALSE(desk.ClipboardHas(clipfmt::kText));
      }
    }
  }
  // Unicode text keeps to Unicode: the system converts it as it can.
  service.SetCodeTable(u"Unicode");
  desk.SetFocus(western);
  desk.Click();
  Clear();
  desk.TypeText(u"Ddaa");
  EXPECT_EQ(desk.Text(), u"?\u00E2");
}

// The application still has the clipboard open for a moment after reading
// a paste (it inserts and draws the text) when a fast typist's next
// replacement is due: that text waits for the clipboard instead of going
// out as key packets, which an EDIT drops for VISCII's control-byte capitals
// and a paste-only window ignores. Every VISCII capital, a Unicode and a
// non-Unicode window, keys typed meanwhile kept in order, and the user's
// clipboard back afterwards.
TEST_F(PipelineOutputTest, PastesWaitWhileTheApplicationStillHoldsTheClipboard) {
  const std::u16string text =
      u"NGƯỜI VIỆT Ở ĐÀ NẴNG VẪN CHẲNG THẤY ẢNH. BẠN BẮT BẰNG MẶT TẦNG ẨN VẬY, VẼ ĐẸP TIẾNG VỀ ĐỂ DỄ; "
      u"CHỈ THỊ NHỎ HỌC TỐT ỒN TỔ CHỖ MỘT NHỚ ĐƯỢC CỦA CŨNG CỤ KỲ Ỷ MỸ KỴ ƠN. Ẵng ẶT ẬY";
  const std::u16string keys =
      u"NGUWOWFI VIEEJT OWR DDAF NAWXNG VAAXN CHAWRNG THAASY ARNH. BAJN BAWST BAWFNG MAWJT TAAFNG AARN "
      u"VAAJY, VEX DDEJP TIEESNG VEEF DDEER DEEX; CHIR THIJ NHOR HOJC TOOST OOFN TOOR CHOOX MOOJT NHOWS "
      u"DDUWOWJC CUAR CUXNG CUJ KYF YR MYX KYJ OWN. AWxng AWJT AAJY";
  service.Clipboard = true;
  service.SetCodeTable(u"VISCII");
  desk.AppHoldsClipboardMs = 5;
  for (const bool unicode : {true, false}) {
    SCOPED_TRACE(unicode ? "Unicode" : "not Unicode");
    FocusNew(u"Edit", unicode);
    if (!unicode) desk.SetPastesAnsiText(desk.Focused());
    desk.SetClipboardText(u"mine");
    desk.UnicodeInjections = 0;
    desk.TypeText(keys);
    desk.Advance(10000);
    EXPECT_EQ(desk.Text(), Encode(LoadBangMa(u"VISCII"), text));
    EXPECT_EQ(desk.UnicodeInjections, 0);
    EXPECT_EQ(desk.ClipboardText(), u"mine");
  }
}

TEST_F(PipelineOutputTest, UnicodeGoesByPasteWhereKeyPacketsDoNotWork) {
  for (const char16_t* cls : {u"gdkWindowToplevel", u"gdkWindowChild", u"{a64c3a50-b714-4e1f-a723-78db57a20a29}"}) {
    FocusNew(cls);
    desk.UnicodeInjections = 0;
    EXPECT_EQ(Type(u"vieetj"), "việt");
    EXPECT_EQ(desk.UnicodeInjections, 0);
    desk.Advance(1000);
  }
  // A non-Unicode window with Unicode output pastes too; a Unicode edit does not.
  FocusNew(u"Edit", false);
  EXPECT_EQ(Type(u"ddaa"), "đâ");
  EXPECT_EQ(desk.UnicodeInjections, 0);
  FocusNew(u"Edit", true);
  EXPECT_EQ(Type(u"ddaa"), "đâ");
  EXPECT_GT(desk.UnicodeInjections, 0);
}

TEST_F(PipelineOutputTest, OneRestoreOfTheUsersClipboardAfterABurstOfPastes) {
  const uint32_t html = desk.RegisterClipboardFormat(u"HTML Format");
  desk.SetClipboardText(u"user text");
  desk.PutClipboardFormat(html, Bytes({'<', 'b', '>'}));
  FocusNew(u"gdkWindowToplevel");
  for (const char16_t* word : {u"vieetj ", u"ddepj ", u"quas "}) {
    Type(word);
    desk.Advance(500);  // each pasting key pushes the restore back
    EXPECT_NE(desk.ClipboardText(), u"user text");
  }
  EXPECT_EQ(Field(), "việt đẹp quá ");
  desk.Advance(499);
  EXPECT_TRUE(desk.TimerRunning());
  desk.Advance(1);
  EXPECT_FALSE(desk.TimerRunning());
  EXPECT_EQ(desk.ClipboardText(), u"user text");
  EXPECT_EQ(desk.ClipboardFormatBytes(html), Bytes({'<', 'b', '>'}));

  // With the option off nothing is saved and nothing comes back.
  service.RestoreClipboard = false;
  desk.SetClipboardText(u"user text");
  Type(u"ddaa");
  desk.Advance(5000);
  EXPECT_EQ(desk.ClipboardText(), u"â");  // the last paste stays
}

TEST_F(PipelineOutputTest, ShiftIsReleasedAroundCtrlV) {
  FocusNew(u"gdkWindowToplevel");
  Type(u"vieet");
  desk.AppKeys.clear();
  desk.KeyDown(vk::kLShift);
  desk.Press('J');
  desk.KeyUp(vk::kLShift);
  EXPECT_EQ(Field(), "việt");
  const std::vector<AppKey> expected = {
      {vk::kLShift, false, 0}, {vk::kBack, false, 0},     {vk::kBack, true, 0},
      {vk::kBack, false, 0},   {vk::kBack, true, 0},      {vk::kLShift, true, 0},
      {vk::kControl, false, 0}, {vk::kV, false, 0},       {vk::kV, true, 0},
      {vk::kControl, true, 0}, {vk::kLShift, false, 0},   {'J', true, 0},
      {vk::kLShift, true, 0}};
  EXPECT_EQ(desk.AppKeys, expected);
}

TEST_F(PipelineOutputTest, DeletePrecedesBackspacesInAutoCompleteWindows) {
  service.DetectAutoCompleteWindows = true;
  FocusNew(u"Chrome_AutocompleteEditView");
  Type(u"vie");
  desk.AppKeys.clear();
  Type(u"e");
  ASSERT_GE(desk.AppKeys.size(), 3u);
  EXPECT_EQ(desk.AppKeys[0], (AppKey{vk::kDelete, false, 0}));
  EXPECT_EQ(desk.AppKeys[2], (AppKey{vk::kBack, false, 0}));
  EXPECT_EQ(Field(), "viê");
  // Without detection, or in another class, no Delete.
  service.DetectAutoCompleteWindows = false;
  FocusNew(u"EXCEL6");
  desk.AppKeys.clear();
  Type(u"ee");
  EXPECT_EQ(Count(vk::kDelete, false), 0);
}

TEST_F(PipelineOutputTest, ReplacementsWorkAwayFromTheEndOfTheField) {
  desk.SetText(u" end");
  desk.Click(0);
  EXPECT_EQ(Type(u"vieetj"), "việt end");
  EXPECT_EQ(desk.Caret(), 4u);
  Type(u"\b\b");
  EXPECT_EQ(Field(), "vi end");
  // One injection per replacement, Backspaces and text together.
  desk.AppKeys.clear();
  desk.UnicodeInjections = 0;
  Type(u"eeo");
  EXPECT_EQ(Field(), "viêo end");
  EXPECT_EQ(desk.UnicodeInjections, 1);
  EXPECT_EQ(Count(vk::kBack, false), 1);
}

TEST_F(PipelineOutputTest, ABusyClipboardIsNeverOverwrittenOrRestoredStale) {
  FocusNew(u"gdkWindowToplevel");
  desk.SetClipboardText(u"first");
  EXPECT_EQ(Type(u"ddaay "), "đây ");
  desk.Advance(1000);
  EXPECT_EQ(desk.ClipboardText(), u"first");
  // Another program holds the clipboard: after a bounded wait the text is
  // typed as packets, later text at once, and the older backup is not put
  // back later.
  desk.SetClipboardText(u"second");
  desk.ClipboardLocked = true;
  EXPECT_EQ(Type(u"ddaa"), "đây ");
  desk.Advance(2000);
  EXPECT_EQ(Type(u"s"), "đây đấ");
  desk.ClipboardLocked = false;
  desk.Advance(2000);
  EXPECT_EQ(desk.ClipboardText(), u"second");
}

TEST_F(PipelineOutputTest, TheBackupKeepsMemoryBlocksAndLeavesHandlesOut) {
  const uint32_t custom = desk.RegisterClipboardFormat(u"Custom Thing");
  desk.SetClipboardText(u"x");
  desk.PutClipboardFormat(clipfmt::kBitmap, Bytes({1, 2, 3, 4}));  // a handle, not bytes
  desk.PutClipboardFormat(8 /* DIB */, Bytes({9, 9}));
  desk.PutClipboardFormat(custom, Bytes({7}));
  CClipboardBackup backup;
  ASSERT_TRUE(backup.Save(desk));
  ASSERT_EQ(backup.Records().size(), 3u);
  EXPECT_EQ(backup.Records()[2].Name, u"Custom Thing");
  desk.OpenClipboard();
  desk.EmptyClipboard();
  desk.CloseClipboard();
  ASSERT_TRUE(backup.Restore(desk));
  EXPECT_EQ(desk.ClipboardFormats(), (std::vector<uint32_t>{clipfmt::kUnicodeText, 8, custom}));
  EXPECT_EQ(desk.ClipboardFormatBytes(8), Bytes({9, 9}));
  desk.ClipboardLocked = true;
  EXPECT_FALSE(backup.Save(desk));
  EXPECT_EQ(backup.Records().size(), 3u);
}

// Every shipped table: the field holds the encoded units, and Backspace
// takes away exactly the units of the deleted character.
TEST_F(PipelineOutputTest, EveryCodeTable) {
  for (const std::u16string& name : GetCodeTableNames()) {
    SCOPED_TRACE(Utf16ToUtf8(name));
    service.SetCodeTable(name);
    const CBangMa table = LoadBangMa(name);
    Clear();
    Type(u"Tieengs Vieetj raats hay, nguwowif ddepj.");
    EXPECT_EQ(desk.Text(), Encode(table, u"Tiếng Việt rất hay, người đẹp."));
    Clear();
    Type(u"Vieetj");
    desk.Press(vk::kBack);
    EXPECT_EQ(desk.Text(), Encode(table, u"Việ"));
    desk.Press(vk::kBack);
    EXPECT_EQ(desk.Text(), Encode(table, u"Vi"));
    Type(u"eetj");
    EXPECT_EQ(desk.Text(), Encode(table, u"Việt"));
  }
}

}  // namespace
}  // namespace tavirel
