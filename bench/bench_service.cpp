// Per-key cost of the whole pipeline: Vietnamese prose typed as Telex keys
// through the hook logic, the service and SimDesktop; and the cost of
// switching the output code table (a hotkey does it on the hook thread).
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>

#include "service/CInputMethodService.h"
#include "sim/SimDesktop.h"

namespace {

std::atomic<long> g_allocations{0};

}  // namespace

void* operator new(std::size_t size) {
  g_allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

using namespace tavirel;

// "Tiếng Việt là ngôn ngữ của người Việt và là ngôn ngữ chính thức tại Việt
// Nam. Đây là tiếng mẹ đẻ của khoảng 85% dân cư Việt Nam cùng với hơn bốn
// triệu người Việt hải ngoại." in Telex keys.
const std::u16string kProse =
    u"Tieengs Vieetj laf ngoon nguwx cuar nguwowif Vieetj vaf laf ngoon nguwx chinhs thuwcs taij "
    u"Vieetj Nam. DDaay laf tieengs mej dder cuar khoangr 85% daan cuw Vieetj Nam cungf vowis "
    u"hown boons trieeuj nguwowif Vieetj hair ngoaij. ";

void BM_TypeProse(benchmark::State& state) {
  SimDesktop desk;
  desk.RecordAppKeys = false;
  CInputMethodService service(&desk);
  desk.InstallHooks(&service);
  // Warm up: buffers grow to their working size.
  for (int i = 0; i < 20; ++i) desk.TypeText(kProse);
  desk.ClearText();
  desk.Click();
  long keys = 0;
  long allocations = 0;
  for (auto _ : state) {
    const long before = g_allocations.load(std::memory_order_relaxed);
    desk.TypeText(kProse);
    allocations += g_allocations.load(std::memory_order_relaxed) - before;
    keys += static_cast<long>(kProse.size());
    state.PauseTiming();
    if (desk.Text().size() > 1 << 16) {
      desk.ClearText();
      desk.Click();
    }
    state.ResumeTiming();
  }
  state.SetItemsProcessed(keys);
  state.counters["ns_per_key"] =
      benchmark::Counter(static_cast<double>(keys), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.counters["allocs_per_key"] = static_cast<double>(allocations) / static_cast<double>(keys);
}
BENCHMARK(BM_TypeProse);

void BM_SwitchCodeTable(benchmark::State& state) {
  SimDesktop desk;
  CInputMethodService service(&desk);
  desk.InstallHooks(&service);
  const std::u16string names[] = {u"VNI Windows", u"Unicode", u"TCVN3 (ABC)"};
  long switches = 0;
  const long before = g_allocations.load(std::memory_order_relaxed);
  for (auto _ : state) service.SetCodeTable(names[switches++ % 3]);
  state.counters["allocs_per_switch"] =
      static_cast<double>(g_allocations.load(std::memory_order_relaxed) - before) / static_cast<double>(switches);
}
BENCHMARK(BM_SwitchCodeTable);

}  // namespace
