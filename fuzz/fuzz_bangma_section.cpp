// Code tables built from random BangMa.ini sections: encoding agrees with
// the encoded lengths, decoding never grows a text and reads back every form
// that no other form can be confused with, and converting to and from the
// shipped tables stays in bounds.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "common/Ini.h"
#include "common/TextFile.h"
#include "tables/CBangMa.h"

namespace {

using namespace tavirel;

const std::vector<CBangMa>& Shipped() {
  static const std::vector<CBangMa> tables = [] {
    std::vector<CBangMa> t;
    for (const auto& name : CodeTableNames()) t.push_back(LoadBangMa(name));
    return t;
  }();
  return tables;
}

// True when no form of the table is a prefix of another (equal forms
// included); then longest-match decoding of any string of forms can only
// take them one by one.
bool PrefixFree(const CBangMa& table) {
  const auto& map = table.Map();
  for (auto a = map.begin(); a != map.end(); ++a) {
    for (auto b = map.begin(); b != map.end(); ++b) {
      if (a != b && b->second.compare(0, a->second.size(), a->second) == 0) return false;
    }
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::vector<std::u16string> lines = SplitTextLines(bytes);
  const std::vector<std::u16string> names = IniSectionNamesOf(lines);
  const std::u16string text = lines.empty() ? std::u16string() : lines.back();
  size_t tried = 0;
  for (const auto& name : names) {
    if (++tried > 4) break;
    const CBangMa table = BangMaFromSection(IniSectionOf(lines, name));
    for (const auto& [c, form] : table.Map()) {
      if (form.empty() || table.Find(c) != form) std::abort();
    }
    const std::u16string encoded = Encode(table, text);
    if (encoded.size() != EncodedLength(table, text)) std::abort();
    if (IsWide(table) != (table.Empty() || table.HasWideForm())) std::abort();
    for (const bool preferLower : {false, true}) {
      const CDecodeMap decode = BuildDecodeMap(table, preferLower);
      if (DecodeLongestMatch(text, decode).size() > text.size()) std::abort();
      (void)DecodeLongestMatch(encoded, decode);
    }
    // The table's own characters, encoded and decoded, come back when every
    // form is distinct and none is a prefix of another.
    if (table.Size() <= 64 && PrefixFree(table)) {
      std::u16string chars;
      for (const auto& [c, form] : table.Map()) chars.push_back(c);
      if (DecodeLongestMatch(Encode(table, chars), BuildDecodeMap(table, false)) != chars) std::abort();
    }
    const auto& shipped = Shipped();
    const CBangMa& other = shipped[size % shipped.size()];
    (void)DecodeLongestMatch(encoded, BuildTranscodeMap(table, other, true));
    (void)DecodeLongestMatch(Encode(other, text), BuildTranscodeMap(other, table, false));
  }
  return 0;
}
