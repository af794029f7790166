#pragma once
// Text for a program that is not Unicode. The system hands such a program
// every character sent to it as the byte that the ANSI code page of the
// program's input language gives for it. The bytes of an 8-bit code table
// therefore reach it as themselves only when sent as the characters that
// code page reads them as: code page 1252 reads 0x80 as U+20AC, so VISCII's
// Ạ (0x80) goes out as U+20AC, where U+0080 would arrive as '?'; code page
// 1258 reads 0xC3 as U+0102, where U+00C3 would arrive as 'A'.
#include <cstdint>
#include <string>
#include <string_view>

namespace tavirel {

class CAnsiText {
 public:
  // The code page whose characters are known; 0 before the first Learn.
  uint32_t CodePage() const { return codePage_; }

  // Learns a code page: charOf(byte) is the one character that the code
  // page reads the byte (0x80..0xFF) as and gives back as that byte, or 0
  // when there is none (a lead byte of a double-byte code page).
  template <class CharOf>
  void Learn(uint32_t codePage, CharOf&& charOf) {
    for (int b = 0; b < 128; ++b) high_[b] = static_cast<char16_t>(charOf(static_cast<uint8_t>(0x80 + b)));
    codePage_ = codePage;
  }

  // The text with each unit 0x80..0xFF (a byte of an 8-bit table) replaced
  // by the character its byte is read from; a byte without one, and every
  // other unit, goes as it is. As many units as text: Backspace counts kept.
  const std::u16string& Of(std::u16string_view text);

 private:
  uint32_t codePage_ = 0;
  char16_t high_[128] = {};
  std::u16string text_;
};

}  // namespace tavirel
