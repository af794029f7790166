#pragma once
// Vietnamese letter tables and the character functions built on them.
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

bool IsPlainVowel(char16_t c);          // lower case in "aeiouy"
bool IsVowelForm(char16_t c);           // lower case in the 72 vowel forms
bool IsConsonant(char16_t c);           // lower case in the consonant list

// Entry 5k+t of the toned table of v's case when v is base vowel k, else 0.
char16_t AddTone(char16_t v, int tone);
// Lower-case base vowel of a toned vowel (either case), else v unchanged.
char16_t StripTone(char16_t v);
// Tone of a toned vowel (0..4), or -1.
int ToneOf(char16_t v);
// Base of an untoned marked letter (â -> a, Đ -> D), else v.
char16_t RemoveMark(char16_t v);
// Unmarked twin of a toned marked vowel (ấ -> á), else 0.
char16_t RemoveMarkToned(char16_t v);

bool IsUpper(char16_t c);
bool IsLower(char16_t c);
char16_t ToUpper(char16_t c);
char16_t ToLower(char16_t c);
std::u16string ToUpper(std::u16string_view text);
std::u16string ToLower(std::u16string_view text);

// Bare fold of one character and of a text (case kept).
char16_t Bare(char16_t c);
std::u16string Bare(std::u16string_view text);
// True when the character carries a Vietnamese diacritic (it folds to another letter).
bool HasDiacritic(char16_t c);

}  // namespace tavirel::letters
