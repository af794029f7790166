// Cost of word end with the spelling corrections: the real prose of
// tests/spelling/data/ProseCorpus.txt typed as Telex keys into a typing
// context with the shipped dictionaries, each spelling correction off, single
// words only, and single plus compound words. Reported per word.
//
// Instructions per word end, repeatable on a shared machine:
//   valgrind --tool=callgrind --toggle-collect='tavirel::CTypingContext::EndWord*' \
//     --callgrind-out-file=cg.out build/linux/bin/bench_wordend \
//     --benchmark_filter=compound --benchmark_min_time=0
//   callgrind_annotate cg.out | grep TOTALS
// gives the instructions spent inside EndWord for one pass; divided by the
// "words" counter, the cost of one word end.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "TypeKeys.h"
#include "common/AppDirectory.h"
#include "common/TextFile.h"
#include "common/Utf8.h"
#include "service/CTypingContext.h"
#include "spelling/CTuDien.h"
#include "spelling/CTuDienTuGhep.h"
#include "tables/CKieuGo.h"

namespace tavirel {
namespace {

struct Data {
  std::vector<std::u16string> keys;  // Telex keys per corpus line
  size_t words = 0;
  CTuDien single;
  CTuDienTuGhep compound;
  CKieuGo telex = LoadBuiltInKieuGo(u"Telex 2");

  Data() {
    const std::string here = __FILE__;
    const std::string path = here.substr(0, here.rfind('/')) + "/../tests/spelling/data/ProseCorpus.txt";
    for (const auto& line : ReadTextLines(Utf8ToUtf16(path))) {
      if (line.empty() || line[0] == u'#') continue;
      keys.push_back(test::TelexKeys(line));
      for (char16_t c : keys.back()) words += c == u' ';
      ++words;
    }
    single.LoadFile(ResourcePath(u"TuDien.txt"));
    compound.Load(ResourcePath(u"TuDienTuGhep.txt"));
    compound.BuildHashes();
  }
};

const Data& Prose() {
  static const Data d;
  return d;
}

// Spaces end words, Enter ends a line (word end, then reset), as the key
// pipeline does; nothing is sent anywhere.
// Returns the number of EndWord calls made for spaces and Enter.
size_t TypeAll(CTypingContext& c, const Data& d) {
  size_t ends = 0;
  for (const auto& line : d.keys) {
    for (char16_t ch : line) {
      if (ch == u' ') {
        if (c.Active) c.EndWord(u' '), ++ends;
      } else {
        c.ProcessChar(ch);
      }
    }
    if (c.Active) {
      ++ends;
      if (!c.EndWord(0)) c.Reset();
    }
  }
  return ends;
}

void BM_ProseWordEnd(benchmark::State& state, bool single, bool compound) {
  const Data& d = Prose();
  CTypingContext c(nullptr);
  c.SetBindings(d.telex);
  c.TuDien = &d.single;
  c.TuDienTuGhep = &d.compound;
  c.SuaLoiChinhTaTuDon = single;
  c.SetSuaLoiChinhTaTuGhep(compound);
  size_t ends = 0;
  for (auto _ : state) {
    ends = TypeAll(c, d);
    c.Replacements.clear();
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * d.words));
  state.counters["words"] = static_cast<double>(d.words);
  // Words ended by a space or Enter per pass (the others end at punctuation).
  state.counters["space/Enter ends"] = static_cast<double>(ends);
  state.counters["ns/word"] = benchmark::Counter(static_cast<double>(state.iterations() * d.words),
                                                 benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK_CAPTURE(BM_ProseWordEnd, corrections_off, false, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ProseWordEnd, single, true, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ProseWordEnd, single_and_compound, true, true)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tavirel
