// Text for a program that is not Unicode, in a code page where some bytes
// have no character of their own.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "service/CAnsiText.h"

namespace tavirel {
namespace {

// Code page 932 reads 0xA1..0xDF as half-width katakana; the other high
// bytes lead a pair, and no single character gives one of them back.
char16_t Cp932Char(uint8_t byte) {
  return byte >= 0xA1 && byte <= 0xDF ? static_cast<char16_t>(0xFF61 + (byte - 0xA1)) : 0;
}

TEST(AnsiTextTest, BytesWithoutACharacterGoAsTheyAreAndNoUnitIsGainedOrLost) {
  CAnsiText ansi;
  EXPECT_EQ(ansi.Of(u"\u0080\u00E2x"), u"\u0080\u00E2x");  // no code page known: as it is
  ansi.Learn(932, Cp932Char);
  EXPECT_EQ(ansi.CodePage(), 932u);
  EXPECT_EQ(ansi.Of(u"a\u00A1\u0081\u00DF\u00E2\u0110"), u"a\uFF61\u0081\uFF9F\u00E2\u0110");

  // Any text: the same length (the next replacement's Backspaces count on
  // it), units outside 0x80..0xFF untouched, bytes with a character mapped.
  std::mt19937 random(18);
  std::uniform_int_distribution<int> unit(0, 0x2FF);
  for (int round = 0; round < 200; ++round) {
    std::u16string text(static_cast<size_t>(round % 17), u'\0');
    for (char16_t& c : text) c = static_cast<char16_t>(unit(random));
    const std::u16string out = ansi.Of(text);
    ASSERT_EQ(out.size(), text.size());
    for (size_t i = 0; i < text.size(); ++i) {
      const char16_t c = text[i];
      const char16_t mapped = c >= 0x80 && c <= 0xFF ? Cp932Char(static_cast<uint8_t>(c)) : 0;
      EXPECT_EQ(out[i], mapped != 0 ? mapped : c) << "unit " << i << " of round " << round;
    }
  }
}

}  // namespace
}  // namespace tavirel
