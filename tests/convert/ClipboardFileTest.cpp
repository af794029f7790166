// Converting the clipboard and files: what is written, what is left alone.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "convert/ConvertClipboard.h"
#include "convert/ConvertFile.h"
#include "convert/ConvertTestUtil.h"
#include "convert/ConvertText.h"
#include "convert/HtmlFormat.h"
#include "sim/SimDesktop.h"
#include "tables/CBangMa.h"

namespace tavirel {
namespace {

const std::u16string kText = u"Tiếng Việt có dấu, đường xa.";

std::vector<uint8_t> Bytes(const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); }

class Clipboard : public ::testing::Test {
 protected:
  void SetUp() override { test::LoadDictionary(); }
  SimDesktop desktop;
  uint32_t Html() { return desktop.RegisterClipboardFormat(u"HTML Format"); }
};

TEST_F(Clipboard, ConvertsTextAndDetectsTheSource) {
  ConversionOptions o = test::Options(u"Unicode", u"Unicode");
  o.autoDetect = true;
  desktop.SetClipboardText(Encode(LoadBangMa(test::kVni), kText));
  const auto r = ConvertClipboard(o, desktop);
  EXPECT_EQ(r.outcome, ClipboardConversion::Converted);
  EXPECT_EQ(desktop.ClipboardText(), kText);
  EXPECT_EQ(o.source, test::kVni);  // kept for the next conversion
}

// Nothing to convert, or nothing that changes: the clipboard, with a
// private format of the user's, stays exactly as it was.
TEST_F(Clipboard, NothingConvertedLeavesEveryFormat) {
  const uint32_t mine = desktop.RegisterClipboardFormat(u"My Private Format");
  desktop.PutClipboardFormat(mine, {1, 2, 3});
  ConversionOptions o = test::Options(test::kTcvn3, u"Unicode");
  EXPECT_EQ(ConvertClipboard(o, desktop).outcome, ClipboardConversion::Nothing);
  EXPECT_EQ(desktop.ClipboardFormats(), std::vector<uint32_t>{mine});
  // Plain ASCII text reads the same in TCVN3 and in Unicode.
  desktop.PutClipboardFormat(clipfmt::kUnicodeText, {'a', 0, 'b', 0, 0, 0});
  EXPECT_EQ(ConvertClipboard(o, desktop).outcome, ClipboardConversion::Unchanged);
  EXPECT_TRUE(desktop.ClipboardHas(mine));
  // Held by another program: reported, untouched.
  desktop.ClipboardLocked = true;
  EXPECT_EQ(ConvertClipboard(o, desktop).outcome, ClipboardConversion::Busy);
  desktop.ClipboardLocked = false;
  EXPECT_TRUE(desktop.ClipboardHas(mine));
}

TEST_F(Clipboard, HtmlIsConvertedOrDroppedByFlag16) {
  const std::u16string tcvn = Encode(LoadBangMa(test::kTcvn3), kText);
  const std::string fragment = Utf16ToUtf8(tcvn);
  const std::string body = "<html><body><!--StartFragment-->" + fragment + "<!--EndFragment--></body></html>";
  const auto header = [&](size_t start) {
    const size_t sf = start + 32, ef = sf + fragment.size();
    const auto num = [](size_t n) {
      const std::string d = std::to_string(n);
      return std::string(d.size() < 8 ? 8 - d.size() : 0, '0') + d;
    };
    return "Version:0.9\r\nStartHTML:" + num(start) + "\r\nEndHTML:" + num(start + body.size()) +
           "\r\nStartFragment:" + num(sf) + "\r\nEndFragment:" + num(ef) + "\r\n";
  };
  const std::string html = header(header(0).size()) + body;
  for (const int32_t flags : {0, convflag::kDropHtml}) {
    SCOPED_TRACE(flags);
    desktop.SetClipboardText(tcvn);
    desktop.PutClipboardFormat(Html(), Bytes(html));
    ConversionOptions o = test::Options(test::kTcvn3, u"Unicode", flags);
    EXPECT_EQ(ConvertClipboard(o, desktop).outcome, ClipboardConversion::Converted);
    EXPECT_EQ(desktop.ClipboardText(), kText);
    if (flags == 0) {
      const std::vector<uint8_t> out = desktop.ClipboardFormatBytes(Html());
      const std::string data(out.begin(), out.end());
      const HtmlFormatHeader h = ParseHtmlFormatHeader(data);
      EXPECT_EQ(data.substr(h.startFragment, h.endFragment - h.startFragment), Utf16ToUtf8(kText));
    } else {
      EXPECT_FALSE(desktop.ClipboardHas(Html()));
    }
  }
  // HTML alone is converted even with flag 16.
  desktop.SetClipboardText(u"");
  ASSERT_TRUE(desktop.OpenClipboard());
  desktop.EmptyClipboard();
  desktop.CloseClipboard();
  desktop.PutClipboardFormat(Html(), Bytes(html));
  ConversionOptions o = test::Options(test::kTcvn3, u"Unicode", convflag::kDropHtml);
  EXPECT_EQ(ConvertClipboard(o, desktop).outcome, ClipboardConversion::Converted);
  EXPECT_TRUE(desktop.ClipboardHas(Html()));
}

// Text from a legacy program arrives through code page 1252: detection and
// conversion read 0x80..0x9F in that form.
TEST_F(Clipboard, LegacyBytesThroughCodePage1252) {
  const std::u16string want = u"NGƯỜI VIỆT Ở ĐÂY ĐI HỌC";
  std::u16string text = Encode(LoadBangMa(test::kViscii), want);
  // VISCII writes Ệ as 0x8E, Ở as 0x97 and Ọ as 0x9A: code page 1252 turns
  // them into Ž, — and š.
  size_t changed = 0;
  for (char16_t& c : text) {
    const char16_t was = c;
    if (c == 0x8E) c = 0x017D;
    if (c == 0x97) c = 0x2014;
    if (c == 0x9A) c = 0x0161;
    changed += c != was;
  }
  ASSERT_EQ(changed, 3u);
  desktop.SetClipboardText(text);
  ConversionOptions o = test::Options(u"Unicode", u"Unicode", convflag::kPreferUpper);
  o.autoDetect = true;
  EXPECT_EQ(ConvertClipboard(o, desktop).outcome, ClipboardConversion::Converted);
  EXPECT_EQ(o.source, test::kViscii);
  EXPECT_EQ(desktop.ClipboardText(), want);
}

class Files : public ::testing::Test {
 protected:
  void SetUp() override {
    test::LoadDictionary();
    dir_ = std::filesystem::temp_directory_path() /
           ("tavirel_convert_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::u16string Path(const char* name) const { return (dir_ / name).u16string(); }
  void Write(const char* name, const std::string& bytes) const {
    std::ofstream(dir_ / name, std::ios::binary) << bytes;
  }
  std::string Read(const char* name) const {
    std::ifstream in(dir_ / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  std::filesystem::path dir_;
};

std::string Raw(std::u16string_view units) {
  std::string s;
  for (const char16_t c : units) s.push_back(static_cast<char>(c));
  return s;
}

TEST_F(Files, EightBitFilesAreReadAndWrittenAsRawBytesWhole) {
  const CBangMa tcvn = LoadBangMa(test::kTcvn3);
  // A TCVN3 file with a NUL, CR LF and bytes that are no UTF-8.
  const std::string src = Raw(Encode(tcvn, u"đường\r\nxa")) + std::string(1, '\0') + Raw(Encode(tcvn, u" Việt"));
  Write("in.txt", src);
  ConversionOptions o = test::Options(test::kTcvn3, u"Unicode");
  auto r = ConvertFile(o, Path("in.txt"), Path("out.txt"));
  ASSERT_TRUE(r.ok) << test::U8(r.error);
  EXPECT_EQ(Read("out.txt"), "\xEF\xBB\xBF" + std::string("đường\r\nxa") + std::string(1, '\0') + " Việt");
  // And back: raw TCVN3 bytes, no byte-order mark, readable by old programs.
  o = test::Options(u"Unicode", test::kTcvn3);
  r = ConvertFile(o, Path("out.txt"), Path("back.txt"));
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(Read("back.txt"), src);
  // The form this program's earlier versions wrote (UTF-8 with BOM holding
  // the bytes as U+0000..U+00FF) still reads as TCVN3.
  Write("old.txt", "\xEF\xBB\xBF" + Utf16ToUtf8(Encode(tcvn, u"đường")));
  o = test::Options(test::kTcvn3, u"Unicode");
  ASSERT_TRUE(ConvertFile(o, Path("old.txt"), Path("old-out.txt")).ok);
  EXPECT_EQ(Read("old-out.txt"), "\xEF\xBB\xBF" "đường");
}

// A file of several pieces (VNI: two-byte letters that a careless cut would
// split) converts in pieces as it does whole, telling its progress; stopped
// half-way it leaves the target as it was.
TEST_F(Files, LargeFileReportsProgressAndCanBeStopped) {
  std::u16string prose;
  while (prose.size() < (3u << 20)) prose += u"Người Việt viết chữ Việt; ĐƯỜNG xa, ữ ỹ ậ.\n";
  const std::string src = Raw(Encode(LoadBangMa(test::kVni), prose));
  Write("in.vni", src);
  ConversionOptions o = test::Options(test::kVni, u"Unicode");
  std::vector<std::pair<size_t, size_t>> calls;
  auto r = ConvertFile(o, Path("in.vni"), Path("out.txt"), [&](size_t done, size_t total) {
    calls.emplace_back(done, total);
    return true;
  });
  ASSERT_TRUE(r.ok) << test::U8(r.error);
  EXPECT_EQ(Read("out.txt"), "\xEF\xBB\xBF" + Utf16ToUtf8(prose));
  ASSERT_GE(calls.size(), 4u);
  for (size_t i = 1; i < calls.size(); ++i) {
    EXPECT_GT(calls[i].first, calls[i - 1].first);
    EXPECT_EQ(calls[i].second, src.size());
  }
  EXPECT_EQ(calls.back().first, src.size());

  Write("kept.txt", "old");
  int seen = 0;
  r = ConvertFile(o, Path("in.vni"), Path("kept.txt"), [&](size_t, size_t) { return ++seen < 2; });
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.error, kConversionStopped);
  EXPECT_EQ(Read("kept.txt"), "old");
}

TEST_F(Files, Utf8WithBomAndBadBytesIsReadWholeAndDetected) {
  Write("in.txt", "\xEF\xBB\xBF" "tiếng \xFF việt\n");
  ConversionOptions o = test::Options(u"Unicode", test::kVni);
  auto r = ConvertFile(o, Path("in.txt"), Path("out.txt"));
  ASSERT_TRUE(r.ok);
  const CBangMa vni = LoadBangMa(test::kVni);
  // The bad byte becomes U+FFFD, which VNI cannot hold: written "?" and counted.
  EXPECT_EQ(Read("out.txt"), Raw(Encode(vni, u"tiếng ")) + "? " + Raw(Encode(vni, u"việt\n")));
  EXPECT_EQ(r.lost, 1u);
  // A Latin-1 letter VNI lacks would be read back as another letter: "?".
  Write("latin.txt", "a\xC3\x9F b");
  r = ConvertFile(o, Path("latin.txt"), Path("latin-out.txt"));
  EXPECT_EQ(Read("latin-out.txt"), "a? b");
  EXPECT_EQ(r.lost, 1u);
  // Detection on a raw VNI file.
  Write("vni.txt", Raw(Encode(vni, u"Hôm nay trời đẹp, tôi đi học ở trường làng.")));
  o = test::Options(u"Unicode", u"Unicode");
  o.autoDetect = true;
  ASSERT_TRUE(ConvertFile(o, Path("vni.txt"), Path("vni-out.txt")).ok);
  EXPECT_EQ(o.source, test::kVni);
  EXPECT_EQ(Read("vni-out.txt"), "\xEF\xBB\xBF" "Hôm nay trời đẹp, tôi đi học ở trường làng.");
}

TEST_F(Files, RefusesBadPathsAndTheSourceAsTarget) {
  Write("in.txt", "abc");
  ConversionOptions o = test::Options(u"Unicode", test::kTcvn3);
  EXPECT_EQ(ConvertFile(o, u"", Path("x")).error, u"Tập tin nguồn và đích không hợp lệ");
  EXPECT_EQ(ConvertFile(o, Path("missing.txt"), Path("x")).error,
            u"Tập tin \"" + Path("missing.txt") + u"\" không tồn tại");
  // The same file, also spelled through another path.
  const std::u16string other = (dir_ / "." / "sub" / ".." / "in.txt").u16string();
  std::filesystem::create_directories(dir_ / "sub");
  for (const auto& target : {Path("in.txt"), other}) {
    const auto r = ConvertFile(o, Path("in.txt"), target);
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.error.empty());
    EXPECT_EQ(Read("in.txt"), "abc");
  }
  // A text that converts to nothing leaves an existing target alone.
  Write("empty.txt", "");
  Write("target.txt", "keep");
  EXPECT_TRUE(ConvertFile(o, Path("empty.txt"), Path("target.txt")).ok);
  EXPECT_EQ(Read("target.txt"), "keep");
  // A target that cannot be written is reported and leaves no temporary file.
  const auto r = ConvertFile(o, Path("in.txt"), Path("no-such-dir/out.txt"));
  EXPECT_FALSE(r.ok);
  size_t files = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir_)) ++files;
  EXPECT_EQ(files, 4u);  // in, empty, target, sub
}

}  // namespace
}  // namespace tavirel
