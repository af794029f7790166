#pragma once
// The conversion dialog without its window: what its controls show, the
// rules between them, what the convert and detect buttons do with the
// conversion options, and the balloons that report the outcome. The quick
// conversion of the tray reports through the same balloons.
#include <string>
#include <vector>

#include "app/ConversionOptions.h"
#include "convert/ConvertClipboard.h"
#include "convert/ConvertFile.h"

namespace tavirel {

struct ConversionBalloon {
  std::u16string Title;
  std::u16string Text;
  bool Error = false;  // error icon rather than information
};

class CChuyenMaDlgModel {
 public:
  // The controls as they open for these options and this list of tables
  // (GetCodeTableNames(); never empty).
  CChuyenMaDlgModel(const ConversionOptions& options, std::vector<std::u16string> tables);

  // ---- the controls ----
  std::vector<std::u16string> Tables;
  int Source = 0;  // positions in Tables
  int Target = 0;
  bool AutoDetect = false;
  int ThresholdPercent = 70;  // 1..100
  bool Lower = false;
  bool Upper = false;
  bool RemoveMarks = false;
  bool PreferUpper = false;
  bool DropHtml = false;
  bool Clipboard = false;
  std::u16string SourceFile;
  std::u16string TargetFile;

  static constexpr int kMinPercent = 1;
  static constexpr int kMaxPercent = 100;

  // The first table whose name begins with the text, letters compared
  // without case; the first table ("Unicode", which is also how an unknown
  // name converts) when none does.
  int FindTable(const std::u16string& name) const;

  // ---- the rules between the controls ----
  // The two case boxes are never checked together.
  void SetLower(bool checked);
  void SetUpper(bool checked);
  void Swap();
  bool FileControlsEnabled() const { return !Clipboard; }
  void SetThresholdPercent(int percent);

  // The controls into the options (before every conversion).
  void Store(ConversionOptions& options) const;

  // What the convert button does with options just stored.
  enum class Step {
    ConvertClipboard,
    SourceMissing,  // balloon, no conversion
    AskOverwrite,   // the target exists: ask, then ConvertFile on yes
    ConvertFile,    // the engine also refuses empty paths and a target that is the source
  };
  static Step ConvertStep(const ConversionOptions& options);

  // The detect button found this table: it becomes the selected source.
  void SelectDetected(const std::u16string& name);

  // ---- texts ----
  static ConversionBalloon DetectedBalloon(const std::u16string& shownName);
  static ConversionBalloon SourceMissingBalloon(const std::u16string& path);
  static std::u16string OverwriteQuestion(const std::u16string& path);
  static ConversionBalloon ClipboardBalloon(const ConversionOptions& options, const ClipboardConversionResult& result);
  static ConversionBalloon FileBalloon(const ConversionOptions& options, const FileConversionResult& result);
};

}  // namespace tavirel
