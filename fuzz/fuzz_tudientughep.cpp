// Loads the compound-word and single-word dictionaries from arbitrary bytes
// and checks that every entry can be looked up and every range is in bounds.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "spelling/CTuDien.h"
#include "spelling/CTuDienTuGhep.h"

using namespace tavirel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  CTuDienTuGhep d;
  d.LoadBytes(bytes);
  if (d.Size() > size + 1) abort();
  const int n = static_cast<int>(d.Size());
  for (int i = 0; i < n; ++i) {
    const std::u16string& e = d.Entry(i);
    const int found = d.Find(e);
    if (found < -1 || found >= n) abort();
    // An entry inside its letter's range is found there, at its number or before.
    int first = 0, last = -1;
    if (!e.empty() && d.LetterRange(e[0], first, last) && first <= i && i <= last &&
        (found < first || found > i)) {
      abort();
    }
  }
  for (const auto& [letter, start] : d.Index()) {
    int first = -1, last = -1;
    if (!d.LetterRange(letter, first, last)) abort();
    if (first != start || first < 0 || last < first || last >= n) abort();
  }
  // Lookups of text cut from the input itself.
  std::u16string probe(size / 2, u'\0');
  if (!probe.empty()) std::memcpy(probe.data(), data, probe.size() * sizeof(char16_t));
  d.Find(probe);
  int first = 0, last = 0;
  if (!probe.empty() && d.LetterRange(probe[0], first, last) && (first < 0 || last >= n)) abort();
  d.Clear();
  if (!d.Empty() || d.Find(probe) != -1) abort();

  CTuDien w;
  w.LoadBytes(bytes);
  for (const auto& e : w.Entries()) {
    if (!w.Contains(e)) abort();
  }
  w.Contains(probe);
  return 0;
}
