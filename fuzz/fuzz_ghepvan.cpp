// Rhyme tables loaded from random lines, then every query and option with
// texts taken from the same input.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/TextFile.h"
#include "spelling/CGhepVan.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tavirel;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::vector<std::u16string> lines = SplitTextLines(bytes);
  CGhepVan g(lines);

  std::vector<std::u16string> texts{u"", u"a", u"gi", u"ê", u"uơ", u"n"};
  for (const auto& line : lines) {
    if (texts.size() > 24) break;
    texts.push_back(line.substr(0, 4));
  }
  for (const auto& entry : g.Initials()) {
    for (const auto& s : entry) {
      if (texts.size() < 40) texts.push_back(s);
    }
  }
  if (!lines.empty()) g.SetSpecialWords(lines.back());
  g.SetFreeInitials(size % 2 == 0);
  g.SetUoWithFinals(size % 3 == 0);
  for (size_t i = 0; i < texts.size(); ++i) {
    const std::u16string& a = texts[i];
    const std::u16string& b = texts[(i * 7 + 3) % texts.size()];
    const std::u16string& c = texts[(i * 5 + 1) % texts.size()];
    g.FindInitial(a);
    g.FindNucleus(a);
    g.FindFinal(a);
    g.IsNucleus(a);
    g.IsBareNucleus(a);
    g.InitialAllowsNucleus(a, b);
    g.InitialAllowsBareNucleus(a, b);
    g.NucleusAllowsFinal(a, b);
    g.NucleusAllowsFinalPrefix(a, b);
    g.BareNucleusAllowsFinal(a, b);
    g.RhymeAllowsFinal(a, b, c);
    g.RhymeAllowsFinalPrefix(a, b, c);
    g.IsSpecialFinal(a);
    if (i % 3 == 0) g.AddInitialAlias(a, b);
    if (i % 3 == 1) g.AddFinalAlias(a, b);
    if (i % 5 == 2) g.RemoveInitialAlias(a);
    if (i % 5 == 3) g.RemoveFinalAlias(a);
  }
  g.SetFreeInitials(size % 2 != 0);
  g.SetUoWithFinals(false);
  return 0;
}
