// Reads Suggestion_UsedKeywords.dat from arbitrary bytes: never reads out of
// bounds or allocates beyond what the bytes could hold; what is read keeps
// only entry numbers of the dictionary, and writing it back and reading that
// again gives the same map.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "spelling/UsedKeywordsFile.h"

using namespace tavirel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const DictionaryStamp stamp{0x5EED, 5000};
  CSuggestionEngine::UsedKeywords used;
  const UsedKeywordsStatus status = ParseUsedKeywords(bytes, stamp, used);
  size_t numbers = 0;
  for (const auto& [keyword, list] : used) {
    if (keyword.empty() || list.empty()) abort();
    for (const int32_t e : list) {
      if (e < 0 || static_cast<uint64_t>(e) >= stamp.Entries) abort();
    }
    numbers += list.size();
  }
  if (numbers * 4 > size) abort();
  if (status == UsedKeywordsStatus::Stale && !used.empty()) abort();
  CSuggestionEngine::UsedKeywords again;
  if (ParseUsedKeywords(FormatUsedKeywords(used, stamp), stamp, again) != UsedKeywordsStatus::Read) abort();
  if (again != used) abort();
  return 0;
}
