// Cost of the rhyme-table queries the word model makes on every key.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "spelling/CGhepVan.h"

namespace {

const tavirel::CGhepVan& Tables() {
  static const tavirel::CGhepVan tables;
  return tables;
}

void BM_FindInitial(benchmark::State& state) {
  const auto& g = Tables();
  const std::u16string keys[] = {u"ngh", u"tr", u"qu", u"zz"};
  size_t i = 0;
  for (auto _ : state) benchmark::DoNotOptimize(g.FindInitial(keys[i++ & 3]));
}
BENCHMARK(BM_FindInitial);

void BM_InitialAllowsNucleus(benchmark::State& state) {
  const auto& g = Tables();
  for (auto _ : state) benchmark::DoNotOptimize(g.InitialAllowsNucleus(u"ngh", u"iê"));
}
BENCHMARK(BM_InitialAllowsNucleus);

void BM_BareNucleusAllowsFinal(benchmark::State& state) {
  const auto& g = Tables();
  for (auto _ : state) benchmark::DoNotOptimize(g.BareNucleusAllowsFinal(u"uo", u"ng"));
}
BENCHMARK(BM_BareNucleusAllowsFinal);

void BM_RhymeAllowsFinalPrefix(benchmark::State& state) {
  const auto& g = Tables();
  for (auto _ : state) benchmark::DoNotOptimize(g.RhymeAllowsFinalPrefix(u"gi", u"ê", u"n"));
}
BENCHMARK(BM_RhymeAllowsFinalPrefix);

void BM_LoadTables(benchmark::State& state) {
  for (auto _ : state) {
    tavirel::CGhepVan g;
    benchmark::DoNotOptimize(g.FindInitial(u"b"));
  }
}
BENCHMARK(BM_LoadTables);

}  // namespace
