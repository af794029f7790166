#include "app/ChuyenMaDlgModel.h"

#include <algorithm>
#include <cmath>

#include "common/AppDirectory.h"
#include "common/Letters.h"
#include "convert/ConvertText.h"

namespace tavirel {
namespace {

std::u16string Number(size_t n) {
  const std::string digits = std::to_string(n);
  return std::u16string(digits.begin(), digits.end());
}

std::u16string Done(const ConversionOptions& options) { return options.source + u" -> " + options.target; }

std::u16string LostLine(size_t lost) {
  return u"\n" + Number(lost) + u" ký tự không có trong bảng mã đích";
}

}  // namespace

CChuyenMaDlgModel::CChuyenMaDlgModel(const ConversionOptions& options, std::vector<std::u16string> tables)
    : Tables(std::move(tables)) {
  if (Tables.empty()) Tables.push_back(kUnicodeTableName);
  Source = FindTable(options.source);
  Target = FindTable(options.target);
  AutoDetect = options.autoDetect;
  // A threshold read back from the file (0.29 is 28.999... in binary) opens
  // as the percentage it was saved from; 0.705 still opens as 70.
  const double percent = std::isfinite(options.threshold) ? std::floor(options.threshold * 100.0 + 1e-6) : 70.0;
  SetThresholdPercent(static_cast<int>(std::clamp(percent, -1.0, 1000.0)));
  Lower = (options.flags & convflag::kLower) != 0;
  Upper = (options.flags & convflag::kUpper) != 0;
  RemoveMarks = (options.flags & convflag::kRemoveMarks) != 0;
  PreferUpper = (options.flags & convflag::kPreferUpper) != 0;
  DropHtml = (options.flags & convflag::kDropHtml) != 0;
  Clipboard = options.clipboard;
  SourceFile = options.sourceFile;
  TargetFile = options.targetFile;
}

int CChuyenMaDlgModel::FindTable(const std::u16string& name) const {
  const std::u16string wanted = letters::ToLower(name);
  for (size_t i = 0; i < Tables.size(); ++i) {
    if (letters::ToLower(Tables[i]).rfind(wanted, 0) == 0) return static_cast<int>(i);
  }
  return 0;
}

void CChuyenMaDlgModel::SetLower(bool checked) {
  Lower = checked;
  if (checked) Upper = false;
}

void CChuyenMaDlgModel::SetUpper(bool checked) {
  Upper = checked;
  if (checked) Lower = false;
}

void CChuyenMaDlgModel::Swap() { std::swap(Source, Target); }

void CChuyenMaDlgModel::SetThresholdPercent(int percent) {
  ThresholdPercent = std::clamp(percent, kMinPercent, kMaxPercent);
}

void CChuyenMaDlgModel::Store(ConversionOptions& options) const {
  options.autoDetect = AutoDetect;
  options.threshold = ThresholdPercent / 100.0;
  options.flags = (Lower ? convflag::kLower : 0) | (Upper ? convflag::kUpper : 0) |
                  (RemoveMarks ? convflag::kRemoveMarks : 0) | (PreferUpper ? convflag::kPreferUpper : 0) |
                  (DropHtml ? convflag::kDropHtml : 0);
  options.source = Tables[static_cast<size_t>(std::clamp(Source, 0, static_cast<int>(Tables.size()) - 1))];
  options.target = Tables[static_cast<size_t>(std::clamp(Target, 0, static_cast<int>(Tables.size()) - 1))];
  options.clipboard = Clipboard;
  options.sourceFile = SourceFile;
  options.targetFile = TargetFile;
}

CChuyenMaDlgModel::Step CChuyenMaDlgModel::ConvertStep(const ConversionOptions& options) {
  if (options.clipboard) return Step::ConvertClipboard;
  if (options.sourceFile.empty() || options.targetFile.empty()) return Step::ConvertFile;
  if (!FileExists(options.sourceFile)) return Step::SourceMissing;
  // The engine refuses a target that is the source: no question first.
  if (FileExists(options.targetFile) && !SameFile(options.sourceFile, options.targetFile)) return Step::AskOverwrite;
  return Step::ConvertFile;
}

void CChuyenMaDlgModel::SelectDetected(const std::u16string& name) { Source = FindTable(name); }

ConversionBalloon CChuyenMaDlgModel::DetectedBalloon(const std::u16string& shownName) {
  return {u"Kết quả tìm bảng mã nguồn", shownName, false};
}

ConversionBalloon CChuyenMaDlgModel::SourceMissingBalloon(const std::u16string& path) {
  return {u"Tập tin nguồn không tồn tại", path, true};
}

std::u16string CChuyenMaDlgModel::OverwriteQuestion(const std::u16string& path) {
  return u"Tập tin \"" + path + u"\" đã có.\nBạn có muốn ghi đè lên nó không?";
}

ConversionBalloon CChuyenMaDlgModel::ClipboardBalloon(const ConversionOptions& options,
                                                      const ClipboardConversionResult& result) {
  switch (result.outcome) {
    case ClipboardConversion::Converted:
    case ClipboardConversion::Unchanged: {
      ConversionBalloon b{u"Đã chuyển mã xong", Done(options), false};
      if (result.lost != 0) b.Text += LostLine(result.lost);
      return b;
    }
    case ClipboardConversion::Nothing:
      return {u"Không có gì để chuyển mã", u"Clipboard không có văn bản.", false};
    case ClipboardConversion::Busy:
      return {u"Không chuyển mã được", u"Clipboard đang bị một chương trình khác giữ. Hãy thử lại.", true};
    case ClipboardConversion::WriteFailed:
      return {u"Không chuyển mã được", u"Không ghi được văn bản đã chuyển mã vào Clipboard.", true};
  }
  return {};
}

ConversionBalloon CChuyenMaDlgModel::FileBalloon(const ConversionOptions& options, const FileConversionResult& result) {
  if (!result.ok) return {u"Không chuyển mã được", result.error, true};
  ConversionBalloon b{u"Đã chuyển mã xong", Done(options), false};
  if (!result.written) b.Text += u"\nVăn bản rỗng: tập tin đích không được ghi.";
  if (result.lost != 0) b.Text += LostLine(result.lost) + u" (ghi thành \"?\")";
  return b;
}

}  // namespace tavirel
