#include "common/CodePage.h"

#include "common/Letters.h"

namespace tavirel {

namespace {

constexpr char16_t kCp1258High[128] = {
#include "common/CodePage1258Table.inc"
};

// Tone number of a combining tone mark, or -1.
int ToneOfMark(char16_t c) {
  switch (c) {
    case u'\u0301': return 0;
    case u'\u0300': return 1;
    case u'\u0309': return 2;
    case u'\u0303': return 3;
    case u'\u0323': return 4;
    default: return -1;
  }
}

}  // namespace

void ComposeVietnameseTones(std::u16string& text) {
  size_t out = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    const int tone = ToneOfMark(c);
    if (tone >= 0 && out > 0) {
      const char16_t prev = text[out - 1];
      const char16_t toned = letters::ToneOf(prev) < 0 ? letters::AddTone(prev, tone) : char16_t(0);
      if (toned != 0) {
        text[out - 1] = toned;
        continue;
      }
    }
    text[out++] = c;
  }
  text.resize(out);
}

std::u16string Cp1258ToUtf16(std::string_view bytes) {
  std::u16string out;
  out.reserve(bytes.size());
  for (const char b : bytes) {
    const unsigned char u = static_cast<unsigned char>(b);
    out.push_back(u < 0x80 ? static_cast<char16_t>(u) : kCp1258High[u - 0x80]);
  }
  ComposeVietnameseTones(out);
  return out;
}

}  // namespace tavirel
