// Text conversion throughput: ConvertText on 10 MB of prose for every pair
// of shipped tables, beside glibc iconv for the tables it also knows
// (VISCII, TCVN5712-1, CP1258) on the same text. Every benchmark counts the
// prose's UTF-8 size as its bytes, so the MB/s columns compare directly.
#include <benchmark/benchmark.h>

#include <iconv.h>

#include <fstream>
#include <string>
#include <vector>

#include "common/Utf8.h"
#include "convert/ConvertText.h"
#include "tables/CBangMa.h"

namespace tavirel {
namespace {

// The real-prose corpus of the tests when present, else the Vietnamese
// words of the misspelling pairs, repeated to 10 MB.
const std::u16string& Prose() {
  static const std::u16string text = [] {
    const std::string here = __FILE__;
    const std::string data = here.substr(0, here.rfind('/')) + "/../tests/spelling/data/";
    std::u16string base;
    std::string line;
    std::ifstream prose(data + "ProseCorpus.txt", std::ios::binary);
    while (prose && std::getline(prose, line)) {
      if (!line.empty() && line[0] != '#') base += Utf8ToUtf16(line) + u"\n";
    }
    if (base.empty()) {
      std::ifstream pairs(data + "AutocorrectPairs.txt", std::ios::binary);
      while (std::getline(pairs, line)) {
        const size_t a = line.find('\t');
        const size_t b = line.find('\t', a + 1);
        if (b != std::string::npos) base += Utf8ToUtf16(line.substr(a + 1, b - a - 1)) + u", ";
      }
    }
    if (base.empty()) base = u"Tiếng Việt có dấu, đường xa; người ta đi học ở trường làng.\n";
    const size_t baseBytes = Utf16ToUtf8(base).size();
    std::u16string out;
    for (size_t bytes = 0; bytes < (10u << 20); bytes += baseBytes) out += base;
    return out;
  }();
  return text;
}

size_t ProseBytes() {
  static const size_t n = Utf16ToUtf8(Prose()).size();
  return n;
}

// ConvertText itself, one call per 10 MB.
void BM_ConvertText(benchmark::State& state, std::u16string source, std::u16string target) {
  ConversionOptions options;
  options.source = source;
  options.target = target;
  const std::u16string input = Encode(LoadBangMa(source), Prose());
  for (auto _ : state) {
    std::u16string out = ConvertText(options, input);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(ProseBytes()));
}

// ConvertText on a clipboard-sized text (one paragraph): what the quick
// conversion and the dialog pay per call, setting up the tables included.
void BM_ConvertShort(benchmark::State& state, std::u16string source, std::u16string target) {
  ConversionOptions options;
  options.source = source;
  options.target = target;
  const std::u16string paragraph = Prose().substr(0, 400);
  const std::u16string input = Encode(LoadBangMa(source), paragraph);
  for (auto _ : state) {
    std::u16string out = ConvertText(options, input);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(Utf16ToUtf8(paragraph).size()));
}

std::string Utf16Le(const std::u16string& text) {
  std::string bytes;
  bytes.reserve(text.size() * 2);
  for (const char16_t u : text) {
    bytes.push_back(static_cast<char>(u & 0xFF));
    bytes.push_back(static_cast<char>(u >> 8));
  }
  return bytes;
}

std::string Iconv(const char* from, const char* to, const std::string& input) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return {};
  std::string out(input.size() * 2 + 16, '\0');
  char* src = const_cast<char*>(input.data());
  size_t srcLeft = input.size();
  char* dst = out.data();
  size_t dstLeft = out.size();
  const bool ok = iconv(cd, &src, &srcLeft, &dst, &dstLeft) != static_cast<size_t>(-1);
  iconv_close(cd);
  if (!ok) return {};
  out.resize(out.size() - dstLeft);
  return out;
}

// iconv on the same text, with UTF-16 on the Unicode side as ConvertText has.
void BM_Iconv(benchmark::State& state, const char* from, const char* to) {
  const std::string unicode = Utf16Le(Prose());
  const std::string input = std::string(from) == "UTF-16LE" ? unicode : Iconv("UTF-16LE", from, unicode);
  iconv_t cd = iconv_open(to, from);
  if (input.empty() || cd == reinterpret_cast<iconv_t>(-1)) {
    state.SkipWithError("iconv cannot convert this text");
    return;
  }
  for (auto _ : state) {
    std::string out(input.size() * 2 + 16, '\0');
    char* src = const_cast<char*>(input.data());
    size_t srcLeft = input.size();
    char* dst = out.data();
    size_t dstLeft = out.size();
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &src, &srcLeft, &dst, &dstLeft) == static_cast<size_t>(-1)) {
      state.SkipWithError("iconv failed");
      break;
    }
    benchmark::DoNotOptimize(out.data());
  }
  iconv_close(cd);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(ProseBytes()));
}

const bool kRegistered = [] {
  for (const auto& source : CodeTableNames()) {
    for (const auto& target : CodeTableNames()) {
      if (source == target) continue;
      const std::string name = "ConvertText/" + Utf16ToUtf8(source) + " -> " + Utf16ToUtf8(target);
      benchmark::RegisterBenchmark(name.c_str(), BM_ConvertText, source, target)->Unit(benchmark::kMillisecond);
    }
  }
  const std::u16string shortPairs[][2] = {{u"TCVN3 (ABC)", u"Unicode"},
                                           {u"Unicode", u"TCVN3 (ABC)"},
                                           {u"VNI Windows", u"Unicode"},
                                           {u"Vietnamese locale CP 1258", u"Unicode"},
                                           {u"TCVN3 (ABC)", u"VNI Windows"}};
  for (const auto& pair : shortPairs) {
    const std::string name = "ConvertShort/" + Utf16ToUtf8(pair[0]) + " -> " + Utf16ToUtf8(pair[1]);
    benchmark::RegisterBenchmark(name.c_str(), BM_ConvertShort, pair[0], pair[1])->Unit(benchmark::kMicrosecond);
  }
  const char* iconvTables[] = {"VISCII", "TCVN5712-1", "CP1258"};
  for (const char* table : iconvTables) {
    benchmark::RegisterBenchmark((std::string("Iconv/Unicode -> ") + table).c_str(), BM_Iconv, "UTF-16LE", table)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark((std::string("Iconv/") + table + " -> Unicode").c_str(), BM_Iconv, table, "UTF-16LE")
        ->Unit(benchmark::kMillisecond);
  }
  benchmark::RegisterBenchmark("Iconv/VISCII -> TCVN5712-1", BM_Iconv, "VISCII", "TCVN5712-1")
      ->Unit(benchmark::kMillisecond);
  return true;
}();

}  // namespace
}  // namespace tavirel
