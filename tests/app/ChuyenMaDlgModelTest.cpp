// The conversion dialog's decisions: what its controls open with, the rules
// between them, what the convert button does, and the balloons it shows.
#include <gtest/gtest.h>

#include <random>

#include "AppTestUtil.h"
#include "app/ChuyenMaDlgModel.h"
#include "convert/ConvertText.h"
#include "tables/CBangMa.h"

namespace tavirel {
namespace {

using test::TempFolder;
using Step = CChuyenMaDlgModel::Step;

const std::vector<std::u16string> kTables = {u"Unicode",         u"TCVN3 (ABC)", u"VNI Windows",
                                             u"VISCII",          u"VPS",         u"Unicode tổ hợp",
                                             u"Vietnamese locale CP 1258", u"VIQR"};

ConversionOptions With(std::u16string source, std::u16string target) {
  ConversionOptions o;
  o.source = std::move(source);
  o.target = std::move(target);
  return o;
}

// Opening and storing at once gives back what was stored, for every
// percentage and every combination of flags; the tables are found by the
// beginning of their names, without case, and a name no table has shows
// (and stores) "Unicode", which is how such a name converts anyway.
TEST(ChuyenMaDlgModel, OpeningShowsTheOptionsAndStoringGivesThemBack) {
  for (int percent = 1; percent <= 100; ++percent) {
    ConversionOptions o;
    o.threshold = percent / 100.0;
    CChuyenMaDlgModel m(o, kTables);
    EXPECT_EQ(m.ThresholdPercent, percent);
    ConversionOptions back;
    m.Store(back);
    EXPECT_EQ(back.threshold, o.threshold) << percent;
  }
  ConversionOptions o;
  o.threshold = 0.705;
  EXPECT_EQ(CChuyenMaDlgModel(o, kTables).ThresholdPercent, 70);
  for (const double odd : {0.0, -3.0, 7.0, std::nan("")}) {
    o.threshold = odd;
    const int p = CChuyenMaDlgModel(o, kTables).ThresholdPercent;
    EXPECT_TRUE(p >= 1 && p <= 100) << odd;
  }

  for (int32_t flags = 0; flags < 32; ++flags) {
    ConversionOptions in = With(u"VNI Windows", u"VIQR");
    in.flags = flags;
    in.clipboard = flags % 2 == 0;
    in.autoDetect = flags % 3 == 0;
    in.sourceFile = u"C:\\thư\\cũ.txt";
    in.targetFile = u"D:\\mới.txt";
    ConversionOptions out;
    CChuyenMaDlgModel(in, kTables).Store(out);
    EXPECT_EQ(out.flags, flags);
    EXPECT_EQ(out.source, in.source);
    EXPECT_EQ(out.target, in.target);
    EXPECT_EQ(out.clipboard, in.clipboard);
    EXPECT_EQ(out.autoDetect, in.autoDetect);
    EXPECT_EQ(out.sourceFile, in.sourceFile);
    EXPECT_EQ(out.targetFile, in.targetFile);
  }

  CChuyenMaDlgModel m(With(u"unicode T", u"vni"), kTables);
  EXPECT_EQ(kTables[m.Source], u"Unicode tổ hợp");
  EXPECT_EQ(kTables[m.Target], u"VNI Windows");
  m = CChuyenMaDlgModel(With(u"Unicode", u"Bảng mã đã xoá"), kTables);
  EXPECT_EQ(m.Source, 0);
  EXPECT_EQ(m.Target, 0);
  ConversionOptions stored = With(u"x", u"y");
  m.Store(stored);
  EXPECT_EQ(stored.target, u"Unicode");
  m.SelectDetected(u"vietnamese locale");
  EXPECT_EQ(kTables[m.Source], u"Vietnamese locale CP 1258");
}

// Random clicks: the two case boxes are never checked together, the last
// one checked wins, and what is stored follows what is shown.
TEST(ChuyenMaDlgModel, CaseBoxesExcludeEachOtherUnderAnyClicks) {
  std::mt19937 rng(6);
  CChuyenMaDlgModel m(ConversionOptions{}, kTables);
  for (int i = 0; i < 2000; ++i) {
    const bool checked = rng() % 2 == 0;
    const bool lower = rng() % 2 == 0;
    if (lower) {
      m.SetLower(checked);
    } else {
      m.SetUpper(checked);
    }
    ASSERT_FALSE(m.Lower && m.Upper);
    if (checked) {
      ASSERT_TRUE(lower ? m.Lower : m.Upper);
    }
    ConversionOptions o;
    m.Store(o);
    ASSERT_EQ((o.flags & convflag::kLower) != 0, m.Lower);
    ASSERT_EQ((o.flags & convflag::kUpper) != 0, m.Upper);
  }
  m.SetLower(true);
  m.SetUpper(true);
  ConversionOptions o;
  m.Store(o);
  EXPECT_EQ(o.flags & (convflag::kLower | convflag::kUpper), convflag::kUpper);

  m = CChuyenMaDlgModel(With(u"TCVN3 (ABC)", u"Unicode"), kTables);
  m.Swap();
  m.Store(o);
  EXPECT_EQ(o.source, u"Unicode");
  EXPECT_EQ(o.target, u"TCVN3 (ABC)");
  // Converting the clipboard disables the file controls; their paths are
  // stored all the same.
  m.Clipboard = true;
  m.SourceFile = u"a.txt";
  EXPECT_FALSE(m.FileControlsEnabled());
  m.Store(o);
  EXPECT_EQ(o.sourceFile, u"a.txt");
}

// The convert button: clipboard, a missing source (no conversion), a target
// that exists (ask first), the same file under another spelling (no
// question: the engine refuses it), empty paths (the engine's message).
TEST(ChuyenMaDlgModel, ConvertAsksBeforeOverwritingAndOnlyThen) {
  TempFolder dir;
  dir.Write("in.txt", "abc");
  dir.Write("old.txt", "keep");
  ConversionOptions o = With(u"TCVN3 (ABC)", u"Unicode");
  o.clipboard = true;
  EXPECT_EQ(CChuyenMaDlgModel::ConvertStep(o), Step::ConvertClipboard);
  o.clipboard = false;
  o.sourceFile = dir.File("missing.txt");
  o.targetFile = dir.File("old.txt");
  EXPECT_EQ(CChuyenMaDlgModel::ConvertStep(o), Step::SourceMissing);
  o.sourceFile = dir.File("in.txt");
  EXPECT_EQ(CChuyenMaDlgModel::ConvertStep(o), Step::AskOverwrite);
  o.targetFile = dir.File("new.txt");
  EXPECT_EQ(CChuyenMaDlgModel::ConvertStep(o), Step::ConvertFile);
  o.targetFile = dir.Path() + u"/./in.txt";
  EXPECT_EQ(CChuyenMaDlgModel::ConvertStep(o), Step::ConvertFile);
  const FileConversionResult same = ConvertFile(o, o.sourceFile, o.targetFile);
  EXPECT_FALSE(same.ok);
  EXPECT_TRUE(CChuyenMaDlgModel::FileBalloon(o, same).Error);
  EXPECT_EQ(dir.Read("in.txt"), "abc");
  o.targetFile.clear();
  EXPECT_EQ(CChuyenMaDlgModel::ConvertStep(o), Step::ConvertFile);
  const ConversionBalloon b = CChuyenMaDlgModel::FileBalloon(o, ConvertFile(o, o.sourceFile, o.targetFile));
  EXPECT_EQ(b.Text, u"Tập tin nguồn và đích không hợp lệ");
  EXPECT_TRUE(b.Error);
}

// Only a conversion that ran says "done"; what the target could not hold
// is counted; a busy clipboard or a failed write is an error.
TEST(ChuyenMaDlgModel, BalloonsTellWhatHappened) {
  const ConversionOptions o = With(u"TCVN3 (ABC)", u"Unicode");
  using C = ClipboardConversion;
  const auto clip = [&](C outcome, size_t lost) { return CChuyenMaDlgModel::ClipboardBalloon(o, {outcome, lost}); };
  EXPECT_EQ(clip(C::Converted, 0).Title, u"Đã chuyển mã xong");
  EXPECT_EQ(clip(C::Converted, 0).Text, u"TCVN3 (ABC) -> Unicode");
  EXPECT_EQ(clip(C::Converted, 3).Text, u"TCVN3 (ABC) -> Unicode\n3 ký tự không có trong bảng mã đích");
  EXPECT_EQ(clip(C::Unchanged, 0).Title, u"Đã chuyển mã xong");
  EXPECT_NE(clip(C::Nothing, 0).Title, u"Đã chuyển mã xong");
  EXPECT_FALSE(clip(C::Nothing, 0).Error);
  EXPECT_TRUE(clip(C::Busy, 0).Error);
  EXPECT_TRUE(clip(C::WriteFailed, 0).Error);

  FileConversionResult r;
  r.ok = true;
  r.written = true;
  r.lost = 2;
  EXPECT_EQ(CChuyenMaDlgModel::FileBalloon(o, r).Text,
            u"TCVN3 (ABC) -> Unicode\n2 ký tự không có trong bảng mã đích (ghi thành \"?\")");
  r.lost = 0;
  r.written = false;
  EXPECT_NE(CChuyenMaDlgModel::FileBalloon(o, r).Text.find(u"không được ghi"), std::u16string::npos);
  EXPECT_EQ(CChuyenMaDlgModel::SourceMissingBalloon(u"C:\\a.txt").Title, u"Tập tin nguồn không tồn tại");
  EXPECT_EQ(CChuyenMaDlgModel::DetectedBalloon(u"VNI Windows").Title, u"Kết quả tìm bảng mã nguồn");
}

}  // namespace
}  // namespace tavirel
