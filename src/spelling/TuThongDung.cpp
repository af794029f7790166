#include "spelling/TuThongDung.h"

#include <algorithm>
#include <iterator>

namespace tavirel {

namespace {

struct CommonWord {
  std::u16string_view Word;
  int Count;
};

#include "spelling/TuThongDungData.inc"

}  // namespace

int CommonWordCount(std::u16string_view word) {
  const auto it = std::lower_bound(std::begin(kCommonWords), std::end(kCommonWords), word,
                                   [](const CommonWord& w, std::u16string_view x) { return w.Word < x; });
  return it != std::end(kCommonWords) && it->Word == word ? it->Count : 0;
}

int CommonWordThreshold() { return kCommonCount; }

bool IsAttestedPair(std::u16string_view pair) {
  return std::binary_search(std::begin(kAttestedPairs), std::end(kAttestedPairs), pair);
}

}  // namespace tavirel
