#include "common/Utf8.h"

#include <bit>
#include <cstdint>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tavirel {

namespace {

// Length of the well-formed sequence at bytes[i] (its code point in cp), or 0
// when it is malformed: bad lead byte, bad or missing continuation, overlong
// form, surrogate code point or a value above U+10FFFF.
size_t DecodeOne(std::string_view bytes, size_t i, char32_t& cp) {
  const unsigned char b0 = static_cast<unsigned char>(bytes[i]);
  if (b0 < 0x80) {
    cp = b0;
    return 1;
  }
  size_t len = 0;
  char32_t min = 0;
  if ((b0 & 0xE0) == 0xC0) {
    len = 2; cp = b0 & 0x1F; min = 0x80;
  } else if ((b0 & 0xF0) == 0xE0) {
    len = 3; cp = b0 & 0x0F; min = 0x800;
  } else if ((b0 & 0xF8) == 0xF0) {
    len = 4; cp = b0 & 0x07; min = 0x10000;
  } else {
    return 0;  // stray continuation byte or invalid lead byte
  }
  if (bytes.size() - i < len) return 0;
  for (size_t k = 1; k < len; ++k) {
    const unsigned char b = static_cast<unsigned char>(bytes[i + k]);
    if ((b & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (b & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return len;
}

// Decodes UTF-8 into out (room for bytes.size() units); on a malformed
// sequence either stops or writes U+FFFD for its first byte and goes on with
// the next one. No byte gives more than one unit (a four-byte sequence gives
// two). Runs of ASCII go eight bytes at a time. Returns the end of the units.
char16_t* DecodeInto(std::string_view bytes, bool replace, char16_t* o) {
  const size_t n = bytes.size();
  const char* const p = bytes.data();
  size_t i = 0;
  while (i < n) {
    while (n - i >= 8) {
      uint64_t eight;
      std::memcpy(&eight, p + i, 8);
      if ((eight & 0x8080808080808080u) != 0) break;
      for (int k = 0; k < 8; ++k) o[k] = static_cast<char16_t>(static_cast<unsigned char>(p[i + k]));
      o += 8;
      i += 8;
    }
    if (i == n) break;
    const unsigned char b = static_cast<unsigned char>(p[i]);
    if (b < 0x80) {
      *o++ = b;
      ++i;
      continue;
    }
    char32_t cp = 0;
    const size_t len = DecodeOne(bytes, i, cp);
    if (len == 0) {
      if (!replace) break;
      *o++ = u'\uFFFD';
      ++i;
      continue;
    }
    if (cp >= 0x10000) {
      cp -= 0x10000;
      *o++ = static_cast<char16_t>(0xD800 + (cp >> 10));
      *o++ = static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    } else {
      *o++ = static_cast<char16_t>(cp);
    }
    i += len;
  }
  return o;
}

std::u16string Decode(std::string_view bytes, bool replace) {
  std::u16string out;
  out.resize(bytes.size());
  char16_t* const begin = out.data();
  out.resize(static_cast<size_t>(DecodeInto(bytes, replace, begin) - begin));
  return out;
}

}  // namespace

std::u16string Utf8ToUtf16(std::string_view bytes) { return Decode(bytes, false); }

std::u16string Utf8ToUtf16Replacing(std::string_view bytes) { return Decode(bytes, true); }

bool IsValidUtf8(std::string_view bytes) {
  size_t i = 0;
  while (i < bytes.size()) {
    if (static_cast<unsigned char>(bytes[i]) < 0x80) {
      ++i;
      continue;
    }
    char32_t cp = 0;
    const size_t len = DecodeOne(bytes, i, cp);
    if (len == 0) return false;
    i += len;
  }
  return true;
}

char16_t* Utf8ToUtf16Replacing(std::string_view bytes, char16_t* out) { return DecodeInto(bytes, true, out); }

char* Utf16ToUtf8(std::u16string_view text, char* o) {
  const size_t n = text.size();
  const char16_t* const p = text.data();
  for (size_t i = 0; i < n; ++i) {
#if defined(__SSE2__)
    // Eight units at a time while eight remain: their low bytes are written
    // at once (there is room: three bytes a unit), and the output moves past
    // the ASCII ones before the first other unit.
    if (n - i >= 8) {
      const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
      const __m128i high = _mm_and_si128(units, _mm_set1_epi16(static_cast<short>(0xFF80)));
      const auto ascii = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi16(high, _mm_setzero_si128())));
      _mm_storel_epi64(reinterpret_cast<__m128i*>(o), _mm_packus_epi16(units, units));
      if (ascii == 0xFFFF) {
        o += 8;
        i += 7;
        continue;
      }
      const auto run = static_cast<size_t>(std::countr_one(ascii) / 2);
      o += run;
      i += run;
    }
#endif
    char32_t cp = p[i];
    if (cp < 0x80) {
      *o++ = static_cast<char>(cp);
      continue;
    }
    if (cp < 0x800) {
      *o++ = static_cast<char>(0xC0 | (cp >> 6));
      *o++ = static_cast<char>(0x80 | (cp & 0x3F));
      continue;
    }
    if ((cp & 0xF800) == 0xD800) {
      // A surrogate: with its low half a code point past U+FFFF, alone U+FFFD.
      if (cp <= 0xDBFF && i + 1 < n && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
        cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
        ++i;
        *o++ = static_cast<char>(0xF0 | (cp >> 18));
        *o++ = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        *o++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        *o++ = static_cast<char>(0x80 | (cp & 0x3F));
        continue;
      }
      cp = 0xFFFD;
    }
    *o++ = static_cast<char>(0xE0 | (cp >> 12));
    *o++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    *o++ = static_cast<char>(0x80 | (cp & 0x3F));
  }
  return o;
}

std::string Utf16ToUtf8(std::u16string_view text) {
  // At most three bytes a unit (a surrogate pair gives four for two units).
  std::string out;
  out.resize(text.size() * 3);
  char* const begin = out.data();
  out.resize(static_cast<size_t>(Utf16ToUtf8(text, begin) - begin));
  return out;
}

}  // namespace tavirel
