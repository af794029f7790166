// Longest-match decoding of arbitrary text with the shipped code tables:
// never reads out of bounds, never grows a decoded text, and text made of
// letters and printable ASCII survives encode then decode in every table
// whose forms are unambiguous.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "common/Letters.h"
#include "tables/CBangMa.h"

namespace {

using namespace tavirel;

struct Loaded {
  std::vector<CBangMa> tables;
  std::vector<CDecodeMap> decode;     // 2 per table: preferLower on, off
  std::vector<CTranscodeMap> across;  // each table to the next one
  std::vector<bool> roundTrips;
};

const Loaded& Tables() {
  static const Loaded loaded = [] {
    Loaded l;
    const auto& names = CodeTableNames();
    for (size_t i = 1; i < names.size(); ++i) {
      l.tables.push_back(LoadBangMa(names[i]));
      // TCVN3 shares forms between cases; VIQR forms are ASCII sequences.
      l.roundTrips.push_back(names[i] != u"TCVN3 (ABC)" && names[i] != u"VIQR");
    }
    for (const auto& t : l.tables) {
      l.decode.push_back(BuildDecodeMap(t, true));
      l.decode.push_back(BuildDecodeMap(t, false));
    }
    for (size_t i = 0; i < l.tables.size(); ++i) {
      l.across.push_back(BuildTranscodeMap(l.tables[i], l.tables[(i + 1) % l.tables.size()], true));
    }
    if (l.tables.empty()) __builtin_trap();  // Resources/BangMa.ini must sit beside the fuzzer
    return l;
  }();
  return loaded;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const Loaded& l = Tables();
  const size_t pick = data[0] % l.tables.size();
  const uint8_t mode = data[1];
  data += 2;
  size_t n = size - 2;

  // Bytes as 8-bit text, or pairs as UTF-16 units.
  std::u16string text;
  if (mode & 1) {
    for (size_t i = 0; i + 1 < n; i += 2) text.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
  } else {
    for (size_t i = 0; i < n; ++i) text.push_back(data[i]);
  }

  const std::u16string decoded = DecodeLongestMatch(text, l.decode[2 * pick + ((mode >> 1) & 1)]);
  if (decoded.size() > text.size()) __builtin_trap();
  const std::u16string across = DecodeLongestMatch(text, l.across[pick]);
  (void)across;

  if (l.roundTrips[pick]) {
    // Letters and printable ASCII only.
    static const std::u16string letters =
        std::u16string(letters::CaseLower) + std::u16string(letters::CaseUpper);
    std::u16string plain;
    for (size_t i = 0; i < n; ++i) {
      const uint8_t b = data[i];
      plain.push_back(b < 0x80 ? static_cast<char16_t>(0x20 + b % 0x5F) : letters[b % letters.size()]);
    }
    const std::u16string encoded = Encode(l.tables[pick], plain);
    if (encoded.size() != EncodedLength(l.tables[pick], plain)) __builtin_trap();
    if (DecodeLongestMatch(encoded, l.decode[2 * pick]) != plain) __builtin_trap();
  }
  return 0;
}
