#include "spelling/SuggestionRanking.h"

#include "common/TextFile.h"
#include "spelling/CTuDienTuGhep.h"

namespace tavirel {

std::vector<uint32_t> LoadSuggestionRanking(const CTuDienTuGhep& dictionary, const std::u16string& path) {
  std::vector<uint32_t> rank(dictionary.Size(), UINT32_MAX);
  const std::vector<std::u16string> lines = ReadTextLines(path);
  for (size_t i = 1; i < lines.size(); ++i) {
    const int e = dictionary.Find(lines[i]);
    // Find compares hashes only: the text must be the entry's.
    if (e >= 0 && dictionary.Entry(e) == lines[i] && rank[static_cast<size_t>(e)] == UINT32_MAX) {
      rank[static_cast<size_t>(e)] = static_cast<uint32_t>(i - 1);
    }
  }
  return rank;
}

}  // namespace tavirel
