// Case, marks, scoring, detection and every branch of the text conversion.
#include <gtest/gtest.h>

#include <cctype>
#include <random>

#include "common/Letters.h"
#include "convert/ConvertTestUtil.h"
#include "convert/ConvertText.h"
#include "tables/CBangMa.h"

namespace tavirel {
namespace {

using test::Options;
using test::U8;

const std::u16string kProse =
    u"Đường đi khó, không khó vì ngăn sông cách núi, mà khó vì lòng người ngại núi e sông. "
    u"Tiếng Việt có sáu thanh; ữ, ỹ và Đ (100% “ổn”).";

class ConvertText_ : public ::testing::Test {
 protected:
  void SetUp() override { test::LoadDictionary(); }
};

TEST_F(ConvertText_, CaseAndMarksTouchOnlyTheLetters) {
  const std::u16string odd = u"ÇÖß€ 123 ;-";
  EXPECT_EQ(LowerText(u"ĐƯỜNG Ữ ABC" + odd), u"đường ữ abc" + odd);
  EXPECT_EQ(UpperText(u"đường ữ abc" + odd), u"ĐƯỜNG Ữ ABC" + odd);
  EXPECT_EQ(RemoveMarks(u"Đường Ữ ỹ đ" + odd), u"Duong U y d" + odd);
  EXPECT_EQ(RemoveMarks(std::u16string(letters::CaseLower)),
            u"d" + std::u16string(letters::BareTo).substr(0, 66));
  for (char16_t c = 1; c < 0x2000; ++c) {
    const bool letter = IsConversionLetter(c);
    EXPECT_EQ(letter, letters::IndexIn(letters::CaseLower, c) >= 0 || letters::IndexIn(letters::CaseUpper, c) >= 0 ||
                          (c < 0x80 && std::isalpha(static_cast<int>(c))))
        << static_cast<int>(c);
  }
}

TEST_F(ConvertText_, ScoreCountsDictionaryWordsAmongRunsOfLetters) {
  EXPECT_EQ(ScoreVietnamese(u""), 0.0);
  EXPECT_EQ(ScoreVietnamese(u"123, 456!"), 0.0);
  EXPECT_EQ(ScoreVietnamese(u"Tiếng VIỆT"), 1.0);  // lower-cased before the lookup
  EXPECT_EQ(ScoreVietnamese(u"tiếng xyzq"), 0.5);
  // A character above 127 that is no Vietnamese letter splits a word.
  EXPECT_EQ(ScoreVietnamese(u"tiếng×việt"), 1.0);
  EXPECT_EQ(ScoreVietnamese(u"tiếng1việt2nam"), 1.0);
  // A combining mark stays with its word: decomposed text is not composed text.
  EXPECT_EQ(ScoreVietnamese(u"kho\u0301 ma\u0300"), 0.0);
  EXPECT_EQ(ScoreVietnamese(u"\u0301khó"), 1.0);
}

TEST_F(ConvertText_, DetectionOrderTiesAndThreshold) {
  ConversionOptions o;
  o.threshold = 0.7;
  // Unicode text is answered at once.
  EXPECT_EQ(DetectSourceTable(o, kProse), u"Unicode");
  // Each table's encoding of prose is recognised as that table, except
  // where an earlier table reads the same bytes as well.
  for (const auto& name : CodeTableNames()) {
    if (name == u"Unicode") continue;
    SCOPED_TRACE(U8(name));
    const std::u16string encoded = Encode(LoadBangMa(name), kProse);
    EXPECT_EQ(DetectSourceTable(o, encoded), name);
  }
  // Text that reads as Unicode at the threshold stays Unicode unless a
  // table reads it better: two of four words known.
  o.threshold = 0.5;
  EXPECT_EQ(DetectSourceTable(o, u"tiếng việt qqqq zzzz"), u"Unicode");
  // VISCII writes many letters as their Latin-1 codes: the raw text, and
  // its TCVN3 reading, score above the threshold; VISCII reads it best.
  const std::u16string viscii = Encode(LoadBangMa(test::kViscii), u"người ta đi học, tôi ở nhà");
  EXPECT_GE(ScoreVietnamese(viscii), 0.5);
  EXPECT_EQ(DetectSourceTable(o, viscii), test::kViscii);
  // Below the threshold the best wins and an equal score keeps the earlier
  // table: a made-up registry where two tables read the text alike.
  o.threshold = 0.99;
  const std::vector<std::u16string> names{u"Unicode", test::kVps, test::kTcvn3, test::kViscii};
  const std::u16string tcvn = Encode(LoadBangMa(test::kTcvn3), u"tiếng việt qqqq");
  EXPECT_EQ(DetectSourceTable(o, tcvn, names, CTuDien::Instance()), test::kTcvn3);
  const std::vector<std::u16string> twins{u"Unicode", test::kTcvn3, test::kTcvn3};
  EXPECT_EQ(DetectSourceTable(o, tcvn, twins, CTuDien::Instance()), test::kTcvn3);
  // Nothing better than the text itself: Unicode.
  EXPECT_EQ(DetectSourceTable(o, u"qqqq zzzz", names, CTuDien::Instance()), u"Unicode");
}

TEST_F(ConvertText_, EveryBranch) {
  const CBangMa tcvn = LoadBangMa(test::kTcvn3);
  const CBangMa vni = LoadBangMa(test::kVni);
  const std::u16string t3 = Encode(tcvn, kProse);
  const std::u16string v = Encode(vni, kProse);
  // Same table, no flags: unchanged even where the table would map.
  EXPECT_EQ(ConvertText(Options(test::kTcvn3, test::kTcvn3), kProse), kProse);
  EXPECT_EQ(ConvertText(Options(u"Unicode", u"Unicode"), kProse), kProse);
  // Only the source is Unicode: encode; only the target: decode.
  EXPECT_EQ(ConvertText(Options(u"Unicode", test::kTcvn3), kProse), t3);
  EXPECT_EQ(ConvertText(Options(test::kTcvn3, u"Unicode"), t3), kProse);
  // Neither: one pass from table to table.
  EXPECT_EQ(ConvertText(Options(test::kTcvn3, test::kVni), t3), v);
  EXPECT_EQ(ConvertText(Options(test::kVni, test::kTcvn3), v), t3);
  // Flags: decode, case (lower wins over upper), marks, encode.
  EXPECT_EQ(ConvertText(Options(test::kTcvn3, u"Unicode", convflag::kLower | convflag::kUpper), t3),
            LowerText(kProse));
  EXPECT_EQ(ConvertText(Options(test::kTcvn3, test::kVni, convflag::kUpper), t3), Encode(vni, UpperText(kProse)));
  EXPECT_EQ(ConvertText(Options(u"Unicode", u"Unicode", convflag::kRemoveMarks), u"đường Ữ €"), u"duong U €");
  // Flag 8: a code shared by both cases reads as the upper-case letter.
  const std::u16string sharedA = Encode(tcvn, u"á");
  EXPECT_EQ(Encode(tcvn, u"Á"), sharedA);
  EXPECT_EQ(ConvertText(Options(test::kTcvn3, u"Unicode"), sharedA), u"á");
  EXPECT_EQ(ConvertText(Options(test::kTcvn3, u"Unicode", convflag::kPreferUpper), sharedA), u"Á");
  // An unknown table name converts as Unicode.
  EXPECT_EQ(ConvertText(Options(u"No such table", u"Unicode"), t3), t3);
}

// Unicode -> table -> Unicode is exact on every text the table holds, and
// the one-pass transcode equals decode-then-encode, on random letter soup.
TEST_F(ConvertText_, RoundTripsAndTranscodesOnRandomText) {
  std::mt19937 rng(14);
  const std::u16string alphabet = std::u16string(letters::CaseLower) + u" ,.!?0123456789abcdefghijklmnopqrstuvwxyz\n";
  for (const auto& name : CodeTableNames()) {
    SCOPED_TRACE(U8(name));
    const CBangMa table = LoadBangMa(name);
    for (int round = 0; round < 20; ++round) {
      std::u16string text;
      for (int i = 0; i < 200; ++i) text.push_back(alphabet[rng() % alphabet.size()]);
      CTextConverter to(Options(u"Unicode", name));
      const std::u16string encoded = to.Convert(text);
      EXPECT_EQ(to.LostCount(), 0u);
      // VIQR writes marks as ASCII after the letter: "a." may read back as ạ
      // only when a mark follows a letter it can belong to; skip it here.
      if (name == test::kViqr) continue;
      EXPECT_EQ(ConvertText(Options(name, u"Unicode"), encoded), text);
      for (const auto& other : CodeTableNames()) {
        if (other == u"Unicode" || other == name || other == test::kViqr) continue;
        EXPECT_EQ(ConvertText(Options(name, other), encoded), Encode(LoadBangMa(other), text)) << U8(other);
      }
    }
  }
}

// Converters made from the same names share their tables: whatever order
// the choices come in, each conversion gives what a converter built afresh
// from the tables gives, appends after what the output already holds, and
// counts its own lost characters.
TEST_F(ConvertText_, SharedTablesKeepEveryChoiceApart) {
  std::mt19937 rng(41);
  std::u16string alphabet = std::u16string(letters::CaseLower) + std::u16string(letters::CaseUpper) +
                            u" ,.!?09azAZ\n\u0080\u0093\u201C\u20AC\u0301\u00C3";
  const std::vector<std::u16string>& names = CodeTableNames();
  for (int round = 0; round < 120; ++round) {
    const std::u16string source = names[rng() % names.size()];
    const std::u16string target = names[rng() % names.size()];
    const TextOrigin origin = rng() % 2 ? TextOrigin::AnsiClipboard : TextOrigin::Plain;
    std::u16string text;
    const size_t length = rng() % 3 == 0 ? 5000 : 1 + rng() % 60;
    for (size_t i = 0; i < length; ++i) text.push_back(alphabet[rng() % alphabet.size()]);
    const std::u16string encoded = rng() % 2 ? Encode(LoadBangMa(source), text) : text;
    // The same pair with choices that differ by one flag, back to back.
    const int32_t flags = static_cast<int32_t>(rng() % 32);
    for (const int32_t f : {flags, flags ^ convflag::kPreferUpper, flags ^ convflag::kLower, flags ^ convflag::kRemoveMarks}) {
      const ConversionOptions o = Options(source, target, f);
      SCOPED_TRACE(U8(source) + " -> " + U8(target) + " flags " + std::to_string(f));
      CTextConverter fresh(o, LoadBangMa(source), LoadBangMa(target), origin);
      const std::u16string expected = fresh.Convert(encoded);
      CTextConverter shared(o, origin);
      std::u16string out = u"kept";
      shared.Convert(encoded, out);
      EXPECT_EQ(out, u"kept" + expected);
      EXPECT_EQ(shared.LostCount(), fresh.LostCount());
      if (origin == TextOrigin::Plain) {
        EXPECT_EQ(ConvertText(o, encoded), expected);
      }
    }
  }
}

// Converting pieces cut where SafeCut allows gives the whole conversion.
TEST_F(ConvertText_, PiecesCutAtSafePlacesConvertAsTheWhole) {
  std::mt19937 rng(7);
  for (const auto& name : CodeTableNames()) {
    SCOPED_TRACE(U8(name));
    const std::u16string encoded = Encode(LoadBangMa(name), kProse + kProse + kProse);
    for (const auto& target : {std::u16string(u"Unicode"), test::kVni, test::kTcvn3}) {
      const ConversionOptions o = Options(name, target);
      const std::u16string whole = CTextConverter(o).Convert(encoded);
      CTextConverter pieces(o);
      std::u16string out;
      std::u16string pending;
      size_t at = 0;
      while (at < encoded.size()) {
        const size_t n = std::min<size_t>(1 + rng() % 9, encoded.size() - at);
        pending.append(encoded, at, n);
        at += n;
        const size_t cut = pieces.SafeCut(pending);
        pieces.Convert(std::u16string_view(pending).substr(0, cut), out);
        pending.erase(0, cut);
      }
      pieces.Convert(pending, out);
      EXPECT_EQ(out, whole) << U8(target);
    }
  }
}

TEST_F(ConvertText_, CharactersTheTargetCannotHoldAreCounted) {
  CTextConverter toTcvn(Options(u"Unicode", test::kTcvn3));
  // ß and € have no TCVN3 form; a, space and digits are ASCII and pass.
  EXPECT_EQ(toTcvn.Convert(u"aß €1"), u"aß €1");
  EXPECT_EQ(toTcvn.LostCount(), 2u);
  // Unicode targets lose nothing.
  CTextConverter toCombining(Options(u"Unicode", test::kCombining));
  toCombining.Convert(u"aß €1");
  EXPECT_EQ(toCombining.LostCount(), 0u);
  // With flags the count is taken at the encoding step.
  CTextConverter upper(Options(u"Unicode", test::kVni, convflag::kUpper));
  upper.Convert(u"ệ ß");
  EXPECT_EQ(upper.LostCount(), 1u);
}

// Legacy bytes that went through code page 1252 on their way to the
// clipboard's Unicode text read as the bytes they were.
TEST_F(ConvertText_, ClipboardTextReadsCodePage1252FormsOfBytes) {
  const CBangMa viscii = LoadBangMa(test::kViscii);
  // Find a VISCII letter written with a byte 0x80..0x9F that code page 1252 maps.
  char16_t letter = 0;
  char16_t ansi = 0;
  const std::u16string cp = u"\u20AC\u0000\u201A\u0192\u201E\u2026\u2020\u2021\u02C6\u2030\u0160\u2039\u0152";
  for (const auto& [c, form] : viscii.Map()) {
    if (form.size() == 1 && form[0] >= 0x80 && form[0] < 0x80 + cp.size() && cp[form[0] - 0x80] != 0 &&
        IsConversionLetter(c)) {
      letter = c;
      ansi = cp[form[0] - 0x80];
      break;
    }
  }
  ASSERT_NE(letter, 0);
  const std::u16string clip = std::u16string(u"x") + ansi + u"y";
  const std::u16string want = std::u16string(u"x") + letter + u"y";
  EXPECT_EQ(CTextConverter(Options(test::kViscii, u"Unicode"), TextOrigin::AnsiClipboard).Convert(clip), want);
  EXPECT_EQ(CTextConverter(Options(test::kViscii, u"Unicode"), TextOrigin::Plain).Convert(clip), clip);
  // The original byte form still reads too, and a quote in text of a table
  // that has no letter at its byte stays a quote.
  const std::u16string raw = u"x" + viscii.Map().at(letter) + u"y";
  EXPECT_EQ(CTextConverter(Options(test::kViscii, u"Unicode"), TextOrigin::AnsiClipboard).Convert(raw), want);
  EXPECT_EQ(CTextConverter(Options(test::kTcvn3, u"Unicode"), TextOrigin::AnsiClipboard).Convert(u"“ok”"),
            u"“ok”");
}

}  // namespace
}  // namespace tavirel
