#pragma once
// Vietnamese letter tables and the character functions built on them.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tavirel::letters {

inline constexpr std::u16string_view PlainVowels = u"aeiouy";
inline constexpr std::u16string_view Consonants = u"bcdđfghjklmnpqrstvwxz";
inline constexpr std::u16string_view BaseVowels = u"aâăeêioôơuưy";
inline constexpr std::u16string_view BaseVowelsUpper = u"AÂĂEÊIOÔƠUƯY";
// Base vowel k with tone t is entry 5k+t.
inline constexpr std::u16string_view TonedVowels =
    u"áàảãạấầẩẫậắằẳẵặéèẻẽẹếềểễệíìỉĩịóòỏõọốồổỗộớờởỡợúùủũụứừửữựýỳỷỹỵ";
inline constexpr std::u16string_view TonedVowelsUpper =
    u"ÁÀẢÃẠẤẦẨẪẬẮẰẲẴẶÉÈẺẼẸẾỀỂỄỆÍÌỈĨỊÓÒỎÕỌỐỒỔỖỘỚỜỞỠỢÚÙỦŨỤỨỪỬỮỰÝỲỶỸỴ";
inline constexpr std::u16string_view AllVowelForms =
    u"aáàảãạâấầẩẫậăắằẳẵặeéèẻẽẹêếềểễệiíìỉĩịoóòỏõọôốồổỗộơớờởỡợuúùủũụưứừửữựyýỳỷỹỵ";
inline constexpr std::u16string_view MarkedLetters = u"âăêôơưđ";
inline constexpr std::u16string_view MarkedLettersUpper = u"ÂĂÊÔƠƯĐ";
inline constexpr std::u16string_view MarkedBases = u"aaeooud";
inline constexpr std::u16string_view MarkedBasesUpper = u"AAEOOUD";
inline constexpr std::u16string_view TonedMarked = u"ấầẩẫậắằẳẵặếềểễệốồổỗộớờởỡợứừửữự";
inline constexpr std::u16string_view TonedMarkedUpper = u"ẤẦẨẪẬẮẰẲẴẶẾỀỂỄỆỐỒỔỖỘỚỜỞỠỢỨỪỬỮỰ";
inline constexpr std::u16string_view TonedMarkedTwins = u"áàảãạáàảãạéèẻẽẹóòỏõọóòỏõọúùủũụ";
inline constexpr std::u16string_view TonedMarkedTwinsUpper = u"ÁÀẢÃẠÁÀẢÃẠÉÈẺẼẸÓÒỎÕỌÓÒỎÕỌÚÙỦŨỤ";
// Case of characters above U+007F, position by position.
inline constexpr std::u16string_view CaseLower =
    u"đáàảãạâấầẩẫậăắằẳẵặéèẻẽẹêếềểễệíìỉĩịóòỏõọôốồổỗộơớờởỡợúùủũụưứừửữựýỳỷỹỵ";
inline constexpr std::u16string_view CaseUpper =
    u"ĐÁÀẢÃẠÂẤẦẨẪẬĂẮẰẲẴẶÉÈẺẼẸÊẾỀỂỄỆÍÌỈĨỊÓÒỎÕỌÔỐỒỔỖỘƠỚỜỞỠỢÚÙỦŨỤƯỨỪỬỮỰÝỲỶỸỴ";
// Bare fold: every Vietnamese letter with a diacritic to its base Latin letter.
inline constexpr std::u16string_view BareFrom =
    u"áàảãạâấầẩẫậăắằẳẵặéèẻẽẹêếềểễệíìỉĩịóòỏõọôốồổỗộơớờởỡợúùủũụưứừửữựýỳỷỹỵđ";
inline constexpr std::u16string_view BareTo =
    u"aaaaaaaaaaaaaaaaaeeeeeeeeeeeiiiiiooooooooooooooooouuuuuuuuuuuyyyyyd";
inline constexpr std::u16string_view BareFromUpper =
    u"ÁÀẢÃẠÂẤẦẨẪẬĂẮẰẲẴẶÉÈẺẼẸÊẾỀỂỄỆÍÌỈĨỊÓÒỎÕỌÔỐỒỔỖỘƠỚỜỞỠỢÚÙỦŨỤƯỨỪỬỮỰÝỲỶỸỴĐ";
inline constexpr std::u16string_view BareToUpper =
    u"AAAAAAAAAAAAAAAAAEEEEEEEEEEEIIIIIOOOOOOOOOOOOOOOOOUUUUUUUUUUUYYYYYD";

// Position of c in the table, or -1.
inline int IndexIn(std::u16string_view table, char16_t c) {
  const size_t p = table.find(c);
  return p == std::u16string_view::npos ? -1 : static_cast<int>(p);
}

// Per-letter facts, built at compile time. Every letter of the tables lies
// below U+01B4 or in U+1EA0..U+1EF9; other characters have no entry and are
// their own case, base and bare form. The functions below sit on every key,
// so they are inline table reads.
namespace detail {

enum : uint8_t {
  kPlainVowel = 1,
  kVowelForm = 2,
  kConsonant = 4,
  kUpperCase = 8,
  kLowerCase = 16,
  kBaseUpper = 32,  // base is an index into BaseVowelsUpper
};

struct LetterInfo {
  uint8_t flags = 0;
  int8_t tone = -1;            // ToneOf
  int8_t base = -1;            // index of the base vowel (AddTone)
  char16_t stripped = 0;       // StripTone, 0 when unchanged
  char16_t unmarked = 0;       // RemoveMark, 0 when unchanged
  char16_t unmarkedToned = 0;  // RemoveMarkToned
  char16_t lower = 0;
  char16_t upper = 0;
  char16_t bare = 0;
};

inline constexpr size_t kLowEnd = 0x1B4;
inline constexpr char16_t kHighFirst = 0x1EA0;
inline constexpr char16_t kHighEnd = 0x1EFA;
inline constexpr size_t kSlots = kLowEnd + (kHighEnd - kHighFirst);

extern const std::array<LetterInfo, kSlots> kLetterInfo;
inline constexpr LetterInfo kNoLetter{};

inline constexpr int SlotOf(char16_t c) {
  if (c < kLowEnd) return c;
  if (c >= kHighFirst && c < kHighEnd) return static_cast<int>(kLowEnd + (c - kHighFirst));
  return -1;
}

inline const LetterInfo& InfoOf(char16_t c) {
  const int slot = SlotOf(c);
  return slot < 0 ? kNoLetter : kLetterInfo[static_cast<size_t>(slot)];
}

}  // namespace detail

inline bool IsPlainVowel(char16_t c) { return (detail::InfoOf(c).flags & detail::kPlainVowel) != 0; }  // "aeiouy"
inline bool IsVowelForm(char16_t c) { return (detail::InfoOf(c).flags & detail::kVowelForm) != 0; }    // the 72 vowel forms
inline bool IsConsonant(char16_t c) { return (detail::InfoOf(c).flags & detail::kConsonant) != 0; }    // lower-case consonants

// Entry 5k+t of the toned table of v's case when v is base vowel k, else 0.
inline char16_t AddTone(char16_t v, int tone) {
  if (tone < 0 || tone > 4) return 0;
  const detail::LetterInfo& in = detail::InfoOf(v);
  if (in.base < 0) return 0;
  const size_t i = static_cast<size_t>(5 * in.base + tone);
  return (in.flags & detail::kBaseUpper) != 0 ? TonedVowelsUpper[i] : TonedVowels[i];
}
// Lower-case base vowel of a toned vowel (either case), else v unchanged.
inline char16_t StripTone(char16_t v) {
  const char16_t s = detail::InfoOf(v).stripped;
  return s != 0 ? s : v;
}
// Tone of a toned vowel (0..4), or -1.
inline int ToneOf(char16_t v) { return detail::InfoOf(v).tone; }
// Base of an untoned marked letter (â -> a, Đ -> D), else v.
inline char16_t RemoveMark(char16_t v) {
  const char16_t s = detail::InfoOf(v).unmarked;
  return s != 0 ? s : v;
}
// Unmarked twin of a toned marked vowel (ấ -> á), else 0.
inline char16_t RemoveMarkToned(char16_t v) { return detail::InfoOf(v).unmarkedToned; }

inline bool IsUpper(char16_t c) {
  if (c < 0x80) return c >= u'A' && c <= u'Z';
  return (detail::InfoOf(c).flags & detail::kUpperCase) != 0;
}
inline bool IsLower(char16_t c) {
  if (c < 0x80) return c >= u'a' && c <= u'z';
  return (detail::InfoOf(c).flags & detail::kLowerCase) != 0;
}
inline char16_t ToUpper(char16_t c) {
  const int slot = detail::SlotOf(c);
  return slot < 0 ? c : detail::kLetterInfo[static_cast<size_t>(slot)].upper;
}
inline char16_t ToLower(char16_t c) {
  const int slot = detail::SlotOf(c);
  return slot < 0 ? c : detail::kLetterInfo[static_cast<size_t>(slot)].lower;
}
std::u16string ToUpper(std::u16string_view text);
std::u16string ToLower(std::u16string_view text);

// Bare fold of one character and of a text (case kept).
inline char16_t Bare(char16_t c) {
  const int slot = detail::SlotOf(c);
  return slot < 0 ? c : detail::kLetterInfo[static_cast<size_t>(slot)].bare;
}
std::u16string Bare(std::u16string_view text);
// True when the character carries a Vietnamese diacritic (it folds to another letter).
inline bool HasDiacritic(char16_t c) { return Bare(c) != c; }

}  // namespace tavirel::letters
