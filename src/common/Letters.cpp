#include "common/Letters.h"

#include <array>
#include <cstdint>
#include <utility>

namespace tavirel::letters {
namespace detail {
namespace {

constexpr std::array<LetterInfo, kSlots> BuildLetterInfo() {
  std::array<LetterInfo, kSlots> info{};
  const auto at = [&info](char16_t c) -> LetterInfo& { return info[static_cast<size_t>(SlotOf(c))]; };
  for (size_t slot = 0; slot < kSlots; ++slot) {
    const auto c = static_cast<char16_t>(slot < kLowEnd ? slot : kHighFirst + (slot - kLowEnd));
    info[slot].lower = info[slot].upper = info[slot].bare = c;
  }
  for (char16_t c = u'A'; c <= u'Z'; ++c) {
    at(c).lower = static_cast<char16_t>(c + 32);
    at(static_cast<char16_t>(c + 32)).upper = c;
  }
  for (size_t i = 0; i < CaseLower.size(); ++i) {
    at(CaseUpper[i]).lower = CaseLower[i];
    at(CaseLower[i]).upper = CaseUpper[i];
  }
  for (size_t i = 0; i < BareFrom.size(); ++i) at(BareFrom[i]).bare = BareTo[i];
  for (size_t i = 0; i < BareFromUpper.size(); ++i) at(BareFromUpper[i]).bare = BareToUpper[i];

  // Filled in the order of the lookups they replace: where two lists hold
  // a character, the first one searched wins.
  for (char16_t c : PlainVowels) at(c).flags |= kPlainVowel;
  for (char16_t c : AllVowelForms) at(c).flags |= kVowelForm;
  for (char16_t c : Consonants) at(c).flags |= kConsonant;
  for (char16_t c : CaseUpper) at(c).flags |= kUpperCase;
  for (char16_t c : CaseLower) at(c).flags |= kLowerCase;
  for (size_t k = BaseVowelsUpper.size(); k-- > 0;) {
    LetterInfo& in = at(BaseVowelsUpper[k]);
    in.base = static_cast<int8_t>(k);
    in.flags |= kBaseUpper;
  }
  for (size_t k = BaseVowels.size(); k-- > 0;) {
    LetterInfo& in = at(BaseVowels[k]);
    in.base = static_cast<int8_t>(k);
    in.flags &= static_cast<uint8_t>(~kBaseUpper);
  }
  for (const std::u16string_view toned : {TonedVowelsUpper, TonedVowels}) {
    for (size_t i = toned.size(); i-- > 0;) {
      LetterInfo& in = at(toned[i]);
      in.tone = static_cast<int8_t>(i % 5);
      in.stripped = BaseVowels[i / 5];
    }
  }
  for (const auto& [from, to] : {std::pair{MarkedLettersUpper, MarkedBasesUpper},
                                 std::pair{MarkedLetters, MarkedBases}}) {
    for (size_t i = from.size(); i-- > 0;) at(from[i]).unmarked = to[i];
  }
  for (const auto& [from, to] : {std::pair{TonedMarkedUpper, TonedMarkedTwinsUpper},
                                 std::pair{TonedMarked, TonedMarkedTwins}}) {
    for (size_t i = from.size(); i-- > 0;) at(from[i]).unmarkedToned = to[i];
  }
  return info;
}

}  // namespace

constinit const std::array<LetterInfo, kSlots> kLetterInfo = BuildLetterInfo();

}  // namespace detail

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

std::u16string Bare(std::u16string_view text) {
  std::u16string out(text);
  for (auto& c : out) c = Bare(c);
  return out;
}

}  // namespace tavirel::letters
