// The letter functions answer from tables built once; every BMP character
// must get the same answer as a search of the letter lists.
#include <gtest/gtest.h>

#include "common/Letters.h"

namespace tavirel::letters {
namespace {

bool In(std::u16string_view list, char16_t c) { return IndexIn(list, c) >= 0; }

char16_t ListAddTone(char16_t v, int tone) {
  if (tone < 0 || tone > 4) return 0;
  if (const int k = IndexIn(BaseVowels, v); k >= 0) return TonedVowels[5 * k + tone];
  if (const int k = IndexIn(BaseVowelsUpper, v); k >= 0) return TonedVowelsUpper[5 * k + tone];
  return 0;
}

int TonedIndex(char16_t v) {
  const int i = IndexIn(TonedVowels, v);
  return i >= 0 ? i : IndexIn(TonedVowelsUpper, v);
}

char16_t ListRemoveMark(char16_t v) {
  if (const int i = IndexIn(MarkedLetters, v); i >= 0) return MarkedBases[i];
  if (const int i = IndexIn(MarkedLettersUpper, v); i >= 0) return MarkedBasesUpper[i];
  return v;
}

char16_t ListRemoveMarkToned(char16_t v) {
  if (const int i = IndexIn(TonedMarked, v); i >= 0) return TonedMarkedTwins[i];
  if (const int i = IndexIn(TonedMarkedUpper, v); i >= 0) return TonedMarkedTwinsUpper[i];
  return 0;
}

TEST(Letters, EveryCharacterMatchesTheLists) {
  for (unsigned u = 0; u < 0x10000; ++u) {
    const auto c = static_cast<char16_t>(u);
    SCOPED_TRACE(u);
    ASSERT_EQ(IsPlainVowel(c), In(PlainVowels, c));
    ASSERT_EQ(IsVowelForm(c), In(AllVowelForms, c));
    ASSERT_EQ(IsConsonant(c), In(Consonants, c));
    ASSERT_EQ(IsUpper(c), u < 0x80 ? (c >= u'A' && c <= u'Z') : In(CaseUpper, c));
    ASSERT_EQ(IsLower(c), u < 0x80 ? (c >= u'a' && c <= u'z') : In(CaseLower, c));
    const int t = TonedIndex(c);
    ASSERT_EQ(ToneOf(c), t < 0 ? -1 : t % 5);
    ASSERT_EQ(StripTone(c), t < 0 ? c : BaseVowels[t / 5]);
    ASSERT_EQ(RemoveMark(c), ListRemoveMark(c));
    ASSERT_EQ(RemoveMarkToned(c), ListRemoveMarkToned(c));
    for (int tone = -1; tone <= 5; ++tone) ASSERT_EQ(AddTone(c, tone), ListAddTone(c, tone));
  }
}

}  // namespace
}  // namespace tavirel::letters
