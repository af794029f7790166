#pragma once
// What real Vietnamese prose says about words the compound correction may
// change: how often a common word occurs, and which pairs of words that the
// correction would turn into a compound were seen side by side (so are not
// misspellings). The data is generated from reference prose by
// tools/gen_tuthongdung and compiled in; lookups are binary searches.
#include <string_view>

namespace tavirel {

// Occurrences of a lower-case word in the reference prose when it is a common
// word (at least CommonWordThreshold() occurrences), else 0.
int CommonWordCount(std::u16string_view word);
int CommonWordThreshold();

// Whether the lower-case pair "a b" was seen in the reference prose and is one
// the correction could change.
bool IsAttestedPair(std::u16string_view pair);

}  // namespace tavirel
