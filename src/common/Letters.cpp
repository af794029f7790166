#include "common/Letters.h"

#include <array>
#include <cstdint>
#include <utility>

namespace tavirel::letters {
namespace {

// Every letter of the tables lies below U+01B4 or in U+1EA0..U+1EF9; the
// per-letter facts are kept for those two ranges only.
constexpr size_t kLowEnd = 0x1B4;
constexpr char16_t kHighFirst = 0x1EA0;
constexpr char16_t kHighEnd = 0x1EFA;
constexpr size_t kSlots = kLowEnd + (kHighEnd - kHighFirst);

inline int SlotOf(char16_t c) {
  if (c < kLowEnd) return c;
  if (c >= kHighFirst && c < kHighEnd) return static_cast<int>(kLowEnd + (c - kHighFirst));
  return -1;
}

enum : uint8_t {
  kPlainVowel = 1,
  kVowelForm = 2,
  kConsonant = 4,
  kUpperCase = 8,
  kLowerCase = 16,
  kBaseUpper = 32,  // base is an index into BaseVowelsUpper
};

struct Info {
  uint8_t flags = 0;
  int8_t tone = -1;           // ToneOf
  int8_t base = -1;           // index of the base vowel (AddTone)
  char16_t stripped = 0;      // StripTone, 0 when unchanged
  char16_t unmarked = 0;      // RemoveMark, 0 when unchanged
  char16_t unmarkedToned = 0; // RemoveMarkToned
};

// Lookup tables over the BMP letters the functions care about, built once.
struct Tables {
  std::array<char16_t, 0x10000> lower{};
  std::array<char16_t, 0x10000> upper{};
  std::array<char16_t, 0x10000> bare{};
  std::array<Info, kSlots> info{};
  Info& At(char16_t c) { return info[static_cast<size_t>(SlotOf(c))]; }
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

    // Filled in the order of the lookups they replace: where two lists hold
    // a character, the first one searched wins.
    for (char16_t c : PlainVowels) At(c).flags |= kPlainVowel;
    for (char16_t c : AllVowelForms) At(c).flags |= kVowelForm;
    for (char16_t c : Consonants) At(c).flags |= kConsonant;
    for (char16_t c : CaseUpper) At(c).flags |= kUpperCase;
    for (char16_t c : CaseLower) At(c).flags |= kLowerCase;
    for (size_t k = BaseVowelsUpper.size(); k-- > 0;) {
      Info& in = At(BaseVowelsUpper[k]);
      in.base = static_cast<int8_t>(k);
      in.flags |= kBaseUpper;
    }
    for (size_t k = BaseVowels.size(); k-- > 0;) {
      Info& in = At(BaseVowels[k]);
      in.base = static_cast<int8_t>(k);
      in.flags &= static_cast<uint8_t>(~kBaseUpper);
    }
    for (const std::u16string_view toned : {TonedVowelsUpper, TonedVowels}) {
      for (size_t i = toned.size(); i-- > 0;) {
        Info& in = At(toned[i]);
        in.tone = static_cast<int8_t>(i % 5);
        in.stripped = BaseVowels[i / 5];
      }
    }
    for (const auto& [from, to] : {std::pair{MarkedLettersUpper, MarkedBasesUpper},
                                   std::pair{MarkedLetters, MarkedBases}}) {
      for (size_t i = from.size(); i-- > 0;) At(from[i]).unmarked = to[i];
    }
    for (const auto& [from, to] : {std::pair{TonedMarkedUpper, TonedMarkedTwinsUpper},
                                   std::pair{TonedMarked, TonedMarkedTwins}}) {
      for (size_t i = from.size(); i-- > 0;) At(from[i]).unmarkedToned = to[i];
    }
  }
};

const Tables& T() {
  static const Tables tables;
  return tables;
}

const Info kNone{};

inline const Info& InfoOf(char16_t c) {
  const int slot = SlotOf(c);
  return slot < 0 ? kNone : T().info[static_cast<size_t>(slot)];
}

}  // namespace

bool IsPlainVowel(char16_t c) { return (InfoOf(c).flags & kPlainVowel) != 0; }
bool IsVowelForm(char16_t c) { return (InfoOf(c).flags & kVowelForm) != 0; }
bool IsConsonant(char16_t c) { return (InfoOf(c).flags & kConsonant) != 0; }

char16_t AddTone(char16_t v, int tone) {
  if (tone < 0 || tone > 4) return 0;
  const Info& in = InfoOf(v);
  if (in.base < 0) return 0;
  const size_t i = static_cast<size_t>(5 * in.base + tone);
  return (in.flags & kBaseUpper) != 0 ? TonedVowelsUpper[i] : TonedVowels[i];
}

char16_t StripTone(char16_t v) {
  const char16_t s = InfoOf(v).stripped;
  return s != 0 ? s : v;
}

int ToneOf(char16_t v) { return InfoOf(v).tone; }

char16_t RemoveMark(char16_t v) {
  const char16_t s = InfoOf(v).unmarked;
  return s != 0 ? s : v;
}

char16_t RemoveMarkToned(char16_t v) { return InfoOf(v).unmarkedToned; }

bool IsUpper(char16_t c) {
  if (c < 0x80) return c >= u'A' && c <= u'Z';
  return (InfoOf(c).flags & kUpperCase) != 0;
}

bool IsLower(char16_t c) {
  if (c < 0x80) return c >= u'a' && c <= u'z';
  return (InfoOf(c).flags & kLowerCase) != 0;
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
