// Per-key cost of the word model: dictionary syllables typed as Telex keys
// (marks after their letter, tone at the end), one word after another, the
// way the typing context drives a CWord. Also counts heap allocations per key.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "common/AppDirectory.h"
#include "common/Letters.h"
#include "common/TextFile.h"
#include "engine/CWord.h"
#include "engine/TelexWordKeys.h"
#include "spelling/CGhepVan.h"

namespace {

std::atomic<long> g_allocs{0};

}  // namespace

void* operator new(size_t n) {
  g_allocs.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(n ? n : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }

namespace tavirel {
namespace {

struct Fixture : CWordOwner {
  CGhepVan tables;
  std::vector<std::u16string> words;  // Telex keys of each syllable
  size_t keys = 0;
  Fixture() {
    GhepVan = &tables;
    for (const auto& syl : ReadTextLines(ResourcePath(u"TuDien.txt"))) {
      if (syl.empty()) continue;
      words.push_back(test::TelexKeys(syl, false));
      keys += words.back().size();
    }
  }
};

Fixture& Data() {
  static Fixture f;
  return f;
}

void BM_TelexKeys(benchmark::State& state) {
  Fixture& f = Data();
  CWord w(&f);
  CWord before;
  long allocs = 0;
  size_t keys = 0;
  for (auto _ : state) {
    const long a0 = g_allocs.load(std::memory_order_relaxed);
    for (const auto& word : f.words) {
      w.Reset();
      for (char16_t k : word) {
        w.CopyTo(before);  // the before-image taken for every key
        benchmark::DoNotOptimize(test::TelexKey(w, k));
      }
    }
    allocs += g_allocs.load(std::memory_order_relaxed) - a0;
    keys += f.keys;
  }
  state.SetItemsProcessed(static_cast<int64_t>(keys));
  state.counters["ns_per_key"] = benchmark::Counter(
      static_cast<double>(keys), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.counters["allocs_per_key"] = static_cast<double>(allocs) / static_cast<double>(keys);
}
BENCHMARK(BM_TelexKeys)->Unit(benchmark::kMillisecond);

void BM_FromText(benchmark::State& state) {
  Fixture& f = Data();
  const auto syllables = ReadTextLines(ResourcePath(u"TuDien.txt"));
  CWord w(&f);
  for (auto _ : state) {
    for (const auto& syl : syllables) {
      w.FromText(syl);
      benchmark::DoNotOptimize(w.IsIncomplete());
    }
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * syllables.size()));
}
BENCHMARK(BM_FromText)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tavirel
