#include "common/Letters.h"

#include <array>

namespace tavirel::letters {
namespace {

// Lookup tables over the BMP letters the functions care about, built once.
struct Tables {
  std::array<char16_t, 0x10000> lower{};
  std::array<char16_t, 0x10000> upper{};
  std::array<char16_t, 0x10000> bare{};
  Tables() {
    for (size_t c = 0; c < 0x10000; ++c) {
      lower[c] = upper[c] = bare[c] = static_cast<char16_t>(c);
    }
    for (char16_t c = u'A'; c <= u'Z'; ++c) {
      lower[c] = static_cast<char16_t>(c + 32);
      upper[c + 32] = c;
    }
    for (size_t i = 0; i < CaseLower.size(); ++i) {
      lower[CaseUpper[i]] = CaseLower[i];
      upper[CaseLower[i]] = CaseUpper[i];
    }
    for (size_t i = 0; i < BareFrom.size(); ++i) bare[BareFrom[i]] = BareTo[i];
    for (size_t i = 0; i < BareFromUpper.size(); ++i) bare[BareFromUpper[i]] = BareToUpper[i];
  }
};

const Tables& T() {
  static const Tables tables;
  return tables;
}

}  // namespace

bool IsPlainVowel(char16_t c) { return IndexIn(PlainVowels, c) >= 0; }
bool IsVowelForm(char16_t c) { return IndexIn(AllVowelForms, c) >= 0; }
bool IsConsonant(char16_t c) { return IndexIn(Consonants, c) >= 0; }

char16_t AddTone(char16_t v, int tone) {
  if (tone < 0 || tone > 4) return 0;
  int k = IndexIn(BaseVowels, v);
  if (k >= 0) return TonedVowels[5 * k + tone];
  k = IndexIn(BaseVowelsUpper, v);
  if (k >= 0) return TonedVowelsUpper[5 * k + tone];
  return 0;
}

char16_t StripTone(char16_t v) {
  int i = IndexIn(TonedVowels, v);
  if (i < 0) i = IndexIn(TonedVowelsUpper, v);
  return i < 0 ? v : BaseVowels[i / 5];
}

int ToneOf(char16_t v) {
  int i = IndexIn(TonedVowels, v);
  if (i < 0) i = IndexIn(TonedVowelsUpper, v);
  return i < 0 ? -1 : i % 5;
}

char16_t RemoveMark(char16_t v) {
  int i = IndexIn(MarkedLetters, v);
  if (i >= 0) return MarkedBases[i];
  i = IndexIn(MarkedLettersUpper, v);
  return i >= 0 ? MarkedBasesUpper[i] : v;
}

char16_t RemoveMarkToned(char16_t v) {
  int i = IndexIn(TonedMarked, v);
  if (i >= 0) return TonedMarkedTwins[i];
  i = IndexIn(TonedMarkedUpper, v);
  return i >= 0 ? TonedMarkedTwinsUpper[i] : 0;
}

bool IsUpper(char16_t c) {
  if (c < 0x80) return c >= u'A' && c <= u'Z';
  return IndexIn(CaseUpper, c) >= 0;
}

bool IsLower(char16_t c) {
  if (c < 0x80) return c >= u'a' && c <= u'z';
  return IndexIn(CaseLower, c) >= 0;
}

char16_t ToUpper(char16_t c) { return T().upper[c]; }
char16_t ToLower(char16_t c) { return T().lower[c]; }

std::u16string ToUpper(std::u16string_view text) {
  std::u16string out(text);
  for (auto& c : out) c = ToUpper(c);
  return out;
}

std::u16string ToLower(std::u16string_view text) {
  std::u16string out(text);
  for (auto& c : out) c = ToLower(c);
  return out;
}

char16_t Bare(char16_t c) { return T().bare[c]; }

std::u16string Bare(std::u16string_view text) {
  std::u16string out(text);
  for (auto& c : out) c = Bare(c);
  return out;
}

bool HasDiacritic(char16_t c) { return Bare(c) != c; }

}  // namespace tavirel::letters
