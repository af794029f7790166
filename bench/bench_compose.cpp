// Cost of the typing context's per-key step on a long Telex key stream made
// from Vietnamese prose (words, spaces and punctuation), in ns per key.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "../tests/service/CoverageKeys.h"
#include "common/Letters.h"
#include "common/Utf8.h"
#include "service/CTypingContext.h"
#include "tables/CKieuGo.h"

// Heap allocations made by this program, to report how many the key step makes.
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

const char kProse[] =
    "Buổi sáng ở làng ven sông thường bắt đầu rất sớm. Khi sương còn phủ trắng mặt nước, "
    "những chiếc thuyền nhỏ đã lặng lẽ rời bến. Người già ngồi bên hiên nhà uống trà nóng, "
    "kể cho lũ trẻ nghe chuyện ngày xưa, chuyện mùa lũ năm ấy nước dâng cao đến tận mái hiên.\n"
    "Chợ quê họp từ lúc trời còn tối. Tiếng gà gáy xa xa hòa với tiếng rao hàng, tiếng cười "
    "nói rộn ràng. Bà cụ bán rau muống, cô gái bán hoa, anh thanh niên chở cá tươi từ đầm về. "
    "Ai cũng vội vàng nhưng vẫn không quên hỏi thăm nhau vài câu về sức khỏe, về mùa màng.\n"
    "Đến trưa, nắng vàng trải khắp cánh đồng lúa đang trổ bông. Gió thổi nhẹ, mang theo hương "
    "thơm dịu dàng của lúa non. Trẻ con tan trường chạy ùa ra đường, tiếng dép lẹp xẹp vang "
    "lên trên con đường đất đỏ. Chiều xuống, khói bếp bay lên từ những mái nhà, báo hiệu một "
    "ngày bình yên sắp khép lại.\n";

bool IsWordLetter(char16_t c) {
  return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || letters::IndexIn(letters::CaseLower, c) >= 0 ||
         letters::IndexIn(letters::CaseUpper, c) >= 0;
}

coverage::LetterCase CaseOf(const std::u16string& word) {
  if (word.size() > 1 && letters::ToUpper(word) == word) return coverage::LetterCase::Upper;
  return letters::IsUpper(word[0]) ? coverage::LetterCase::Title : coverage::LetterCase::Lower;
}

// The Telex keys of the prose: each word as a typist spells it (marks after
// their letter, tone key last), everything else as typed.
std::u16string TelexStream(const std::u16string& text, std::vector<std::pair<std::u16string, std::u16string>>* words) {
  const coverage::Spelling& sp = *coverage::SpellingOf(u"Telex 2");
  std::u16string keys;
  for (size_t i = 0; i < text.size();) {
    if (!IsWordLetter(text[i])) {
      keys.push_back(text[i++]);
      continue;
    }
    size_t j = i;
    while (j < text.size() && IsWordLetter(text[j])) ++j;
    const std::u16string word = text.substr(i, j - i);
    const std::u16string k =
        coverage::Keys(sp, letters::ToLower(word), coverage::KeyOrder::ToneAtEnd, CaseOf(word));
    if (words) words->emplace_back(word, k);
    keys += k;
    i = j;
  }
  return keys;
}

void BM_ComposeTelexProse(benchmark::State& state) {
  CTypingContext ctx(nullptr);
  ctx.SetBindings(LoadBuiltInKieuGo(u"Telex 2"));
  std::vector<std::pair<std::u16string, std::u16string>> words;
  const std::u16string stream = TelexStream(Utf8ToUtf16(kProse), &words);
  // The stream must really compose the prose, or the figure means nothing.
  for (const auto& [word, keys] : words) {
    ctx.Reset();
    for (char16_t k : keys) ctx.ComposeKey(k);
    if (ctx.CurrentText() != word) {
      state.SkipWithError(("does not compose: " + Utf16ToUtf8(keys)).c_str());
      return;
    }
  }
  const long long before = g_allocations.load();
  for (auto _ : state) {
    ctx.Reset();
    for (char16_t k : stream) benchmark::DoNotOptimize(ctx.ComposeKey(k));
  }
  const double allocations = static_cast<double>(g_allocations.load() - before);
  state.counters["allocs_per_key"] =
      allocations / static_cast<double>(state.iterations()) / static_cast<double>(stream.size());
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(stream.size()));
  // Keys per iteration as a rate, inverted: the time per key.
  state.counters["time_per_key"] =
      benchmark::Counter(static_cast<double>(stream.size()),
                         benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  state.counters["keys"] = static_cast<double>(stream.size());
}
BENCHMARK(BM_ComposeTelexProse);

// The same words without the separators: only the composition of each word,
// no word-end processing.
void BM_ComposeTelexWords(benchmark::State& state) {
  CTypingContext ctx(nullptr);
  ctx.SetBindings(LoadBuiltInKieuGo(u"Telex 2"));
  std::vector<std::pair<std::u16string, std::u16string>> words;
  TelexStream(Utf8ToUtf16(kProse), &words);
  size_t keys = 0;
  for (const auto& w : words) keys += w.second.size();
  const long long before = g_allocations.load();
  for (auto _ : state) {
    for (const auto& w : words) {
      ctx.Reset();
      for (char16_t k : w.second) benchmark::DoNotOptimize(ctx.ComposeKey(k));
    }
  }
  state.counters["allocs_per_key"] = static_cast<double>(g_allocations.load() - before) /
                                     static_cast<double>(state.iterations()) / static_cast<double>(keys);
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(keys));
  state.counters["time_per_key"] = benchmark::Counter(
      static_cast<double>(keys), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_ComposeTelexWords);

}  // namespace
}  // namespace tavirel
