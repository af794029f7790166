// Code-table throughput: encoding and decoding 1 MB of Vietnamese prose with
// the shipped tables, beside glibc iconv on the same text. Every benchmark
// counts the prose's UTF-8 size as its bytes, so the MB/s columns compare
// directly.
#include <benchmark/benchmark.h>

#include <iconv.h>

#include <cstdint>
#include <string>
#include <vector>

#include "common/Letters.h"
#include "common/Utf8.h"
#include "tables/CBangMa.h"

namespace tavirel {
namespace {

// Prose made of common syllables: sentences of 6 to 20 words, the first
// capitalised, with commas and full stops; about 1 MB in UTF-8.
const std::u16string& Prose() {
  static const std::u16string text = [] {
    const std::vector<std::u16string> syllables = {
        u"của", u"và", u"các", u"có", u"được", u"trong", u"là", u"cho", u"những", u"với", u"không",
        u"một", u"người", u"đã", u"này", u"để", u"về", u"từ", u"khi", u"ra", u"nhiều", u"năm",
        u"nước", u"đến", u"như", u"sự", u"công", u"việc", u"chúng", u"tôi", u"anh", u"em", u"học",
        u"sinh", u"Việt", u"Nam", u"đường", u"phố", u"thành", u"hội", u"kinh", u"tế", u"phát",
        u"triển", u"nhà", u"ở", u"ngày", u"thể", u"điều", u"quốc", u"gia", u"văn", u"hóa", u"lịch",
        u"sử", u"tiếng", u"nói", u"chữ", u"viết", u"yêu", u"thương", u"mẹ", u"cha", u"bạn", u"bè",
        u"trời", u"đất", u"sông", u"núi", u"biển", u"gió", u"mưa", u"nắng", u"xuân", u"hạ", u"thu",
        u"đông", u"lúa", u"gạo", u"quê", u"hương", u"nghĩ", u"hiểu", u"muốn", u"giữ", u"lòng",
        u"mới", u"cũ", u"xa", u"gần", u"đẹp", u"khỏe", u"vui", u"buồn", u"sáng", u"tối", u"ấm"};
    uint32_t seed = 12345;
    auto next = [&seed](uint32_t n) {
      seed = seed * 1664525u + 1013904223u;
      return (seed >> 8) % n;
    };
    std::u16string out;
    size_t utf8 = 0;
    while (utf8 < (1u << 20)) {
      const uint32_t words = 6 + next(15);
      std::u16string sentence;
      for (uint32_t w = 0; w < words; ++w) {
        std::u16string s = syllables[next(static_cast<uint32_t>(syllables.size()))];
        if (w == 0) s[0] = letters::ToUpper(s[0]);
        if (w > 0) sentence += (next(7) == 0) ? u", " : u" ";
        sentence += s;
      }
      sentence += u". ";
      utf8 += Utf16ToUtf8(sentence).size();
      out += sentence;
    }
    return out;
  }();
  return text;
}

size_t ProseBytes() {
  static const size_t n = Utf16ToUtf8(Prose()).size();
  return n;
}

void BM_Encode(benchmark::State& state, const char16_t* name) {
  const CBangMa table = LoadBangMa(name);
  if (table.Empty()) {
    state.SkipWithError("table missing");
    return;
  }
  for (auto _ : state) {
    std::u16string out = Encode(table, Prose());
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(ProseBytes()));
}

// Builds the decode map each time, as a conversion does.
void BM_Decode(benchmark::State& state, const char16_t* name) {
  const CBangMa table = LoadBangMa(name);
  if (table.Empty()) {
    state.SkipWithError("table missing");
    return;
  }
  const std::u16string encoded = Encode(table, Prose());
  for (auto _ : state) {
    std::u16string out = DecodeLongestMatch(encoded, BuildDecodeMap(table, true));
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(ProseBytes()));
}

void BM_Transcode(benchmark::State& state) {
  const CBangMa vni = LoadBangMa(u"VNI Windows");
  const CBangMa tcvn = LoadBangMa(u"TCVN3 (ABC)");
  const std::u16string encoded = Encode(vni, Prose());
  for (auto _ : state) {
    std::u16string out = DecodeLongestMatch(encoded, BuildTranscodeMap(vni, tcvn, true));
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(ProseBytes()));
}

// iconv from one charset to another on a byte buffer; the output buffer is
// allocated per run, like the strings above.
void RunIconv(benchmark::State& state, const char* from, const char* to, const std::string& input) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    state.SkipWithError("iconv_open failed");
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

std::string Utf16Le(const std::u16string& text) {
  std::string bytes;
  bytes.reserve(text.size() * 2);
  for (const char16_t u : text) {
    bytes.push_back(static_cast<char>(u & 0xFF));
    bytes.push_back(static_cast<char>(u >> 8));
  }
  return bytes;
}

void BM_IconvEncodeViscii(benchmark::State& state) {
  RunIconv(state, "UTF-16LE", "VISCII", Utf16Le(Prose()));
}

void BM_IconvDecodeViscii(benchmark::State& state) {
  const CBangMa table = LoadBangMa(u"VISCII");
  std::string bytes;
  for (const char16_t u : Encode(table, Prose())) bytes.push_back(static_cast<char>(u));
  RunIconv(state, "VISCII", "UTF-16LE", bytes);
}

BENCHMARK_CAPTURE(BM_Encode, TCVN3, u"TCVN3 (ABC)")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Encode, VNI, u"VNI Windows")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Encode, VISCII, u"VISCII")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IconvEncodeViscii)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Decode, TCVN3, u"TCVN3 (ABC)")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Decode, VNI, u"VNI Windows")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Decode, VISCII, u"VISCII")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Decode, VIQR, u"VIQR")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IconvDecodeViscii)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Transcode)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tavirel
