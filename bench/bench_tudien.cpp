// Dictionary loading and lookups on the shipped data files.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "common/AppDirectory.h"
#include "common/TextFile.h"
#include "spelling/CTuDien.h"
#include "spelling/CTuDienTuGhep.h"

namespace tavirel {
namespace {

const std::string& CompoundBytes() {
  static const std::string bytes = [] {
    std::string b;
    ReadFileBytes(ResourcePath(u"TuDienTuGhep.txt"), b);
    return b;
  }();
  return bytes;
}

const CTuDienTuGhep& Compounds() {
  static const CTuDienTuGhep d = [] {
    CTuDienTuGhep t;
    t.LoadBytes(CompoundBytes());
    t.BuildHashes();
    return t;
  }();
  return d;
}

// Every 97th entry, plus the same words with a changed last letter (misses).
std::vector<std::u16string> Sample(const std::vector<std::u16string>& entries) {
  std::vector<std::u16string> out;
  for (size_t i = 0; i < entries.size(); i += 97) {
    out.push_back(entries[i]);
    std::u16string miss = entries[i];
    if (!miss.empty()) miss.back() = u'q';
    out.push_back(miss);
  }
  return out;
}

void BM_LoadCompoundFile(benchmark::State& state) {
  const std::u16string path = ResourcePath(u"TuDienTuGhep.txt");
  for (auto _ : state) {
    CTuDienTuGhep d;
    d.Load(path);
    benchmark::DoNotOptimize(d.Size());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * CompoundBytes().size()));
}
BENCHMARK(BM_LoadCompoundFile)->Unit(benchmark::kMillisecond);

void BM_LoadCompoundFileWithHashes(benchmark::State& state) {
  for (auto _ : state) {
    CTuDienTuGhep d;
    d.LoadBytes(CompoundBytes());
    d.BuildHashes();
    benchmark::DoNotOptimize(d.Size());
  }
}
BENCHMARK(BM_LoadCompoundFileWithHashes)->Unit(benchmark::kMillisecond);

void BM_FindCompound(benchmark::State& state) {
  const CTuDienTuGhep& d = Compounds();
  const auto words = Sample(d.Entries());
  size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(d.Find(words[i]));
    if (++i == words.size()) i = 0;
  }
}
BENCHMARK(BM_FindCompound);

// The worst case: a word in the largest letter range that is not there.
void BM_FindCompoundMissInLargestRange(benchmark::State& state) {
  const CTuDienTuGhep& d = Compounds();
  char16_t widest = u'a';
  int widestSize = -1;
  for (const auto& [letter, start] : d.Index()) {
    int first = 0, last = -1;
    d.LetterRange(letter, first, last);
    if (last - first > widestSize) widestSize = last - first, widest = letter;
  }
  const std::u16string word = std::u16string(1, widest) + u"qqq qqq";
  for (auto _ : state) benchmark::DoNotOptimize(d.Find(word));
  state.counters["range"] = widestSize + 1;
}
BENCHMARK(BM_FindCompoundMissInLargestRange);

void BM_ContainsWord(benchmark::State& state) {
  CTuDien d;
  d.LoadFile(ResourcePath(u"TuDien.txt"));
  auto words = Sample(d.Entries());
  size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(d.Contains(words[i]));
    if (++i == words.size()) i = 0;
  }
  state.counters["entries"] = static_cast<double>(d.Size());
}
BENCHMARK(BM_ContainsWord);

void BM_LoadWordFile(benchmark::State& state) {
  const std::u16string path = ResourcePath(u"TuDien.txt");
  for (auto _ : state) {
    CTuDien d;
    d.LoadFile(path);
    benchmark::DoNotOptimize(d.Size());
  }
}
BENCHMARK(BM_LoadWordFile)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tavirel
