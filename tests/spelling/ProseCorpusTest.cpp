// Correct words stay correct: real Vietnamese prose (data/ProseCorpus.txt,
// translated program messages) typed in Telex, line by line, through the
// typing context with the shipped dictionaries, once per spelling option
// alone and with the compound correction on. Every word that comes out
// different from the text typed is a false change.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "TypeKeys.h"
#include "common/AppDirectory.h"
#include "common/Letters.h"
#include "common/TextFile.h"
#include "common/Utf8.h"
#include "spelling/CTuDien.h"
#include "spelling/CTuDienTuGhep.h"

namespace tavirel {
namespace {

using test::TypingHarness;

std::vector<std::u16string> SplitWords(std::u16string_view text) {
  std::vector<std::u16string> out;
  size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\n')) ++i;
    const size_t start = i;
    while (i < text.size() && text[i] != u' ' && text[i] != u'\n') ++i;
    if (i > start) out.emplace_back(text.substr(start, i - start));
  }
  return out;
}

struct Prose {
  std::vector<std::u16string> lines;
  size_t words = 0;
  CTuDien single;
  CTuDienTuGhep compound;

  Prose() {
    const std::string here = __FILE__;
    const std::string path = here.substr(0, here.rfind('/')) + "/data/ProseCorpus.txt";
    for (auto& line : ReadTextLines(Utf8ToUtf16(path))) {
      if (line.empty() || line[0] == u'#') continue;
      words += SplitWords(line).size();
      lines.push_back(std::move(line));
    }
    single.LoadFile(ResourcePath(u"TuDien.txt"));
    compound.Load(ResourcePath(u"TuDienTuGhep.txt"));
  }
};

const Prose& Corpus() {
  static const Prose prose;
  return prose;
}

// A misspelling of the corpus itself that a correction may fix: the pair as
// the translators wrote it.
constexpr std::u16string_view kCorpusTypos[] = {u"xúc tích", u"có lẻ", u"bổ xung"};

bool InCorpusTypo(const std::vector<std::u16string>& words, size_t i) {
  for (std::u16string_view typo : kCorpusTypos) {
    if (i > 0 && words[i - 1] + u" " + words[i] == typo) return true;
    if (i + 1 < words.size() && words[i] + u" " + words[i + 1] == typo) return true;
  }
  return false;
}

// The same word with its tone on another vowel (xoá / xóa): the typing style,
// not a change of word.
bool OtherTonePlacement(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  int toneA = -1, toneB = -1;
  for (size_t i = 0; i < a.size(); ++i) {
    if (letters::StripTone(a[i]) != letters::StripTone(b[i])) return false;
    if (letters::ToneOf(a[i]) >= 0) toneA = letters::ToneOf(a[i]);
    if (letters::ToneOf(b[i]) >= 0) toneB = letters::ToneOf(b[i]);
  }
  return toneA == toneB;
}

struct Result {
  size_t words = 0;
  size_t changed = 0;       // words shown otherwise than with no spelling option
  size_t typosFixed = 0;    // of them, misspellings of the corpus
  std::vector<std::string> examples;  // "typed -> shown" of the first changes
  bool inStep = true;
  std::vector<std::u16string> shown;
};

// Types every line (Telex keys, Enter after each) with the options set by
// configure; the words on the screen.
Result TypeCorpus(const std::function<void(CTypingContext&)>& configure) {
  const Prose& prose = Corpus();
  TypingHarness h;
  h.Context.TuDien = &prose.single;
  h.Context.TuDienTuGhep = &prose.compound;
  configure(h.Context);
  for (const auto& line : prose.lines) h.Type(test::TelexKeys(line) + u"\n");
  Result r;
  r.inStep = h.Mismatch.empty();
  r.shown = SplitWords(h.Screen());
  r.words = r.shown.size();
  return r;
}

// Counts the words shown otherwise than in the reference run.
void Compare(Result& r, const Result& reference) {
  if (r.shown.size() != reference.shown.size()) {
    r.changed = reference.shown.size();  // words merged or split: everything counts
    r.examples.push_back("word count " + std::to_string(r.shown.size()) + " instead of " +
                         std::to_string(reference.shown.size()));
    return;
  }
  const auto& want = reference.shown;
  for (size_t i = 0; i < want.size(); ++i) {
    if (r.shown[i] == want[i]) continue;
    if (InCorpusTypo(want, i)) {
      ++r.typosFixed;
      continue;
    }
    ++r.changed;
    if (r.examples.size() < 12) {
      const std::u16string context = (i > 0 ? want[i - 1] + u" " : u"") + want[i];
      r.examples.push_back(Utf16ToUtf8(context) + " -> " + Utf16ToUtf8(r.shown[i]));
    }
  }
}

struct Option {
  const char* name;
  std::function<void(CTypingContext&)> set;
};

const std::vector<Option>& Options() {
  static const std::vector<Option> options = {
      {"none", [](CTypingContext&) {}},
      {"GoTatPAD", [](CTypingContext& c) { c.SetInitialShorthand(true); }},
      {"GoTatPAC", [](CTypingContext& c) { c.SetFinalShorthand(true); }},
      {"TuThemDauSac", [](CTypingContext& c) { c.TuThemDauSac = true; }},
      {"SuaLoiChinhTaTuDon", [](CTypingContext& c) { c.SuaLoiChinhTaTuDon = true; }},
      {"DungTuDienDeKTChinhTa", [](CTypingContext& c) { c.DungTuDienDeKTChinhTa = true; }},
      {"all but the dictionary check", [](CTypingContext& c) {
         c.SetInitialShorthand(true);
         c.SetFinalShorthand(true);
         c.TuThemDauSac = true;
         c.SuaLoiChinhTaTuDon = true;
       }},
  };
  return options;
}

void Print(const char* option, bool compound, const Result& r) {
  std::printf("  %-28s compound %-3s %6zu words %4zu changed %6.2f per 10,000 (%zu corpus typos fixed)\n",
              option, compound ? "on" : "off", r.words, r.changed,
              r.words == 0 ? 0.0 : 10000.0 * static_cast<double>(r.changed) / static_cast<double>(r.words),
              r.typosFixed);
  for (const auto& e : r.examples) std::printf("      %s\n", e.c_str());
}

TEST(ProseCorpus, IsLargeEnoughAndTypesBackAsWritten) {
  const Prose& prose = Corpus();
  EXPECT_GE(prose.words, 20000u);
  EXPECT_GT(prose.single.Size(), 5000u);
  EXPECT_GT(prose.compound.Size(), 50000u);
  // With no spelling option the keys give the text back, up to where the
  // typing style puts the tone.
  const Result plain = TypeCorpus([](CTypingContext&) {});
  EXPECT_TRUE(plain.inStep);
  std::vector<std::u16string> text;
  for (const auto& line : prose.lines) {
    for (auto& w : SplitWords(line)) text.push_back(std::move(w));
  }
  ASSERT_EQ(plain.shown.size(), text.size());
  size_t placement = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (plain.shown[i] == text[i]) continue;
    EXPECT_TRUE(OtherTonePlacement(plain.shown[i], text[i]))
        << Utf16ToUtf8(text[i]) << " -> " << Utf16ToUtf8(plain.shown[i]);
    ++placement;
  }
  std::printf("  %zu words typed with the tone on another vowel\n", placement);
}

// Each spelling option alone and with the compound correction on: fewer than
// 1 correct word in 10,000 may change because of the compound correction, and
// fewer than 1 in 10,000 with every correction on.
TEST(ProseCorpus, FalseChangesPerOption) {
  const Result reference = TypeCorpus([](CTypingContext&) {});
  for (const Option& o : Options()) {
    Result off = TypeCorpus(o.set);
    Result on = TypeCorpus([&](CTypingContext& c) {
      o.set(c);
      c.SetSuaLoiChinhTaTuGhep(true);
    });
    Compare(off, reference);
    Compare(on, reference);
    Print(o.name, false, off);
    Print(o.name, true, on);
    EXPECT_TRUE(off.inStep && on.inStep) << o.name;
    const size_t added = on.changed > off.changed ? on.changed - off.changed : 0;
    EXPECT_LT(added * 10000, on.words) << o.name;
    if (std::string(o.name) == "all but the dictionary check") {
      EXPECT_LT(on.changed * 10000, on.words);
    }
  }
}

}  // namespace
}  // namespace tavirel
