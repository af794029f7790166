#pragma once
// The order of use of the compound words (Resources/TuGhepThongDung.txt):
// the first line the number of entries, then compound words, most used
// first. The suggestion engine lists the candidates of each step in this
// order (CSuggestionEngine::SetRanking).
#include <cstdint>
#include <string>
#include <vector>

namespace tavirel {

class CTuDienTuGhep;

// rank[e] for every entry of the dictionary: its line in the file, or
// UINT32_MAX for entries the file does not hold (and for every entry when
// the file is missing). Lines that are not entries are skipped.
std::vector<uint32_t> LoadSuggestionRanking(const CTuDienTuGhep& dictionary, const std::u16string& path);

}  // namespace tavirel
