#pragma once
// Converting text between code tables: case, mark removal, guessing the
// source table, and the converter that does the work in one pass.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/ConversionOptions.h"
#include "tables/CBangMa.h"

namespace tavirel {

class CTuDien;

namespace convflag {
constexpr int32_t kLower = 1;
constexpr int32_t kUpper = 2;
constexpr int32_t kRemoveMarks = 4;
constexpr int32_t kPreferUpper = 8;  // a code shared by both cases reads as upper case
constexpr int32_t kDropHtml = 16;    // the clipboard keeps only the converted text
}  // namespace convflag

// The name of the identity table.
inline const std::u16string kUnicodeTableName = u"Unicode";

// ASCII letters and the 134 Vietnamese letters.
bool IsConversionLetter(char16_t c);
std::u16string LowerText(std::u16string_view text);
std::u16string UpperText(std::u16string_view text);
std::u16string RemoveMarks(std::u16string_view text);

// The share of the words (maximal runs of letters) of the text that the
// dictionary holds, lower-cased; 0 for a text without words.
double ScoreVietnamese(std::u16string_view text, const CTuDien& dictionary);
double ScoreVietnamese(std::u16string_view text);  // CTuDien::Instance()

// Text as the clipboard gives it: legacy bytes 0x80..0x9F may have gone
// through the ANSI code page 1252 and arrive as the characters it assigns to
// them (0x93 as U+201C). Decoding such text reads both forms.
enum class TextOrigin { Plain, AnsiClipboard };

// The table whose decoding of the text scores best, the earlier in registry
// order on ties; "Unicode" when none does better than the text itself.
std::u16string DetectSourceTable(const ConversionOptions& options, std::u16string_view text,
                                 TextOrigin origin = TextOrigin::Plain);
std::u16string DetectSourceTable(const ConversionOptions& options, std::u16string_view text,
                                 const std::vector<std::u16string>& names, const CTuDien& dictionary,
                                 TextOrigin origin = TextOrigin::Plain);

// DetectSourceTable with the decode maps of the tables built once, for
// guessing the source of many texts.
class CSourceDetector {
 public:
  CSourceDetector(const std::vector<std::u16string>& names, TextOrigin origin = TextOrigin::Plain);
  std::u16string Detect(std::u16string_view text, const CTuDien& dictionary) const;

 private:
  std::vector<std::u16string> names_;
  std::vector<CDecodeMap> maps_;  // maps_[i] for names_[i]; maps_[0] unused
};

// One conversion set up once: the tables and maps of the options' source and
// target, used for any number of pieces of text. Pieces may be converted one
// after another when each is cut where SafeCut allows.
class CTextConverter {
 public:
  explicit CTextConverter(const ConversionOptions& options, TextOrigin origin = TextOrigin::Plain);
  CTextConverter(const ConversionOptions& options, const CBangMa& source, const CBangMa& target,
                 TextOrigin origin = TextOrigin::Plain);

  // Appends the converted text to out.
  void Convert(std::u16string_view text, std::u16string& out);
  std::u16string Convert(std::u16string_view text) {
    std::u16string out;
    Convert(text, out);
    return out;
  }

  // The largest cut <= text.size() such that converting text[0, cut) and
  // then the rest gives what converting the whole would. 0 when the text
  // holds no such place (keep reading).
  size_t SafeCut(std::u16string_view text) const;

  // Writes the characters that a target of bytes cannot hold as c instead
  // of as they are (where they would read as some other byte's letter).
  void SetLostReplacement(char16_t c) { lostAs_ = c; }
  // Characters that the target cannot hold so far.
  size_t LostCount() const { return lost_; }
  // The source and target hold only bytes (units up to 255) and are not "Unicode".
  bool SourceIsBytes() const { return plan_->sourceBytes; }
  bool TargetIsBytes() const { return plan_->targetBytes; }

 private:
  enum class Mode { Same, Transcode, Decode, Encode, Flags };
  // What a pair of tables needs, built once: it depends only on the table
  // names, the case preference, whether a case or mark flag is set and the
  // origin of the text, so conversions with the same choices share it.
  struct Plan {
    Mode mode = Mode::Same;
    CBangMa source;
    CBangMa target;
    CDecodeMap map;  // decode or transcode map
    bool sourceBytes = false;
    bool targetBytes = false;
    bool slowTranscode = false;  // some source form has no target form
    std::vector<bool> inner;     // units that occur past the first unit of a key
  };
  static std::shared_ptr<const Plan> MakePlan(const ConversionOptions& options, const CBangMa& source,
                                              const CBangMa& target, TextOrigin origin);
  static std::shared_ptr<const Plan> SharedPlan(const ConversionOptions& options, TextOrigin origin);
  void EncodeCounting(std::u16string_view text, std::u16string& out);

  std::shared_ptr<const Plan> plan_;
  int32_t flags_ = 0;
  size_t lost_ = 0;
  char16_t lostAs_ = 0;
};

// ConvertText of the options: one call. The tables and maps of a choice of
// tables are built on its first use and kept for the process's life.
std::u16string ConvertText(const ConversionOptions& options, std::u16string_view text);

}  // namespace tavirel
