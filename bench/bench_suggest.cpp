// Cost of the suggestion search per key, and of switching suggestions on.
//
// The prose of tests/spelling/data/ProseCorpus.txt is typed as Telex keys into
// a typing context; after every key the texts the service would search
// (SuggestionCandidates) are recorded. The benchmark then runs SetQueries and
// Search for each recorded key on the full shipped dictionary, with the
// default limit (24) and with no limit, and for the keys whose text starts
// with t (the largest letter range). Counters: each search timed alone in
// thread CPU time, so that other work on a shared machine does not count
// (p50, p99, max in microseconds), and heap allocations per key once warm.
//
// SwitchOn: what the worker does when the feature is switched on: read and
// index TuDienTuGhep.txt, attach the engine, read a used-keywords file.
#include <benchmark/benchmark.h>
#include <time.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "TypeKeys.h"
#include "common/AppDirectory.h"
#include "common/TextFile.h"
#include "common/Utf8.h"
#include "service/CTypingContext.h"
#include "spelling/CSuggestionEngine.h"
#include "spelling/CTuDienTuGhep.h"
#include "spelling/UsedKeywordsFile.h"
#include "tables/CKieuGo.h"

static std::atomic<long long> g_allocations{0};

void* operator new(std::size_t n) {
  ++g_allocations;
  if (void* p = std::malloc(n ? n : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace tavirel {
namespace {

double ThreadMicros() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e6 + static_cast<double>(t.tv_nsec) / 1e3;
}

std::u16string CorpusPath() {
  std::u16string here = Utf8ToUtf16(__FILE__);
  here = here.substr(0, here.rfind(u'/')) + u"/../tests/spelling/data/ProseCorpus.txt";
  return here.starts_with(u"/") ? here : AppDirectory() + u"/../" + here;
}

struct Data {
  CTuDienTuGhep dictionary;
  std::vector<std::vector<std::u16string>> keys;  // the query texts after each key
  std::vector<std::vector<std::u16string>> tKeys;  // those starting with t

  Data() {
    dictionary.Load(ResourcePath(u"TuDienTuGhep.txt"));
    dictionary.BuildHashes();
    CTypingContext c(nullptr);
    c.SetBindings(LoadBuiltInKieuGo(u"Telex 2"));
    std::vector<std::u16string> texts;
    for (const auto& line : ReadTextLines(CorpusPath())) {
      if (line.empty() || line[0] == u'#') continue;
      for (const char16_t ch : test::TelexKeys(line)) {
        if (ch == u' ') {
          if (c.Active) c.EndWord(u' ');
        } else {
          c.ProcessChar(ch);
        }
        c.SuggestionCandidates(texts);
        if (texts.empty()) continue;
        keys.push_back(texts);
        if (letters::Bare(letters::ToLower(texts.back()[0])) == u't') tKeys.push_back(texts);
      }
      if (c.Active && !c.EndWord(0)) c.Reset();
      c.Reset();
    }
  }
};

const Data& Prose() {
  static const Data d;
  return d;
}

void BM_SearchPerKey(benchmark::State& state, int32_t limit, bool tOnly) {
  const Data& d = Prose();
  const auto& keys = tOnly ? d.tKeys : d.keys;
  CSuggestionEngine engine(limit);
  engine.Attach(d.dictionary);
  engine.Learn(u"ct", 12234);
  // One pass warms every buffer.
  for (const auto& q : keys) {
    engine.SetQueries(q);
    engine.Search();
  }
  std::vector<double> micros;
  micros.reserve(keys.size() * 4);
  long long allocations = 0;
  size_t searches = 0;
  size_t results = 0;
  for (auto _ : state) {
    micros.clear();
    const long long before = g_allocations.load();
    for (const auto& q : keys) {
      const double t0 = ThreadMicros();
      engine.SetQueries(q);
      engine.Search();
      micros.push_back(ThreadMicros() - t0);
      results += engine.Results().size();
    }
    allocations += g_allocations.load() - before;
    searches += keys.size();
  }
  std::sort(micros.begin(), micros.end());
  const auto at = [&](double f) { return micros[std::min(micros.size() - 1, static_cast<size_t>(f * micros.size()))]; };
  state.counters["keys"] = static_cast<double>(keys.size());
  state.counters["p50_us"] = at(0.50);
  state.counters["p99_us"] = at(0.99);
  state.counters["max_us"] = micros.back();
  state.counters["allocs_per_key"] = static_cast<double>(allocations) / static_cast<double>(searches);
  state.counters["results_per_key"] = static_cast<double>(results) / static_cast<double>(searches);
  state.SetItemsProcessed(static_cast<int64_t>(searches));
}
BENCHMARK_CAPTURE(BM_SearchPerKey, limit24, 24, false)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK_CAPTURE(BM_SearchPerKey, all, 0, false)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK_CAPTURE(BM_SearchPerKey, limit24_letter_t, 24, true)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK_CAPTURE(BM_SearchPerKey, all_letter_t, 0, true)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_SwitchOn(benchmark::State& state) {
  const std::string temp = "/tmp/bench_suggest_used.dat";
  CSuggestionEngine::UsedKeywords used;
  for (int i = 0; i < 500; ++i) used[u"k" + std::u16string(1, static_cast<char16_t>(u'a' + i % 26)) + char16_t(u'0' + i / 26)] = {i, i + 7};
  {
    CTuDienTuGhep d;
    d.Load(ResourcePath(u"TuDienTuGhep.txt"));
    SaveUsedKeywordsFile(Utf8ToUtf16(temp), used, StampOf(d));
  }
  for (auto _ : state) {
    CTuDienTuGhep d;
    d.Load(ResourcePath(u"TuDienTuGhep.txt"));
    d.BuildHashes();
    CSuggestionEngine engine(24);
    engine.Attach(d);
    CSuggestionEngine::UsedKeywords read;
    LoadUsedKeywordsFile(Utf8ToUtf16(temp), StampOf(d), read);
    engine.SetUsed(std::move(read));
    benchmark::DoNotOptimize(engine.Used().size());
  }
  std::remove(temp.c_str());
}
BENCHMARK(BM_SwitchOn)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tavirel
