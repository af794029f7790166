// Source detection on real prose: paragraphs of 20, 50, 100 and 400 letters
// encoded into every table must be read back right, each table and length
// above its floor, and Unicode text must never be taken for a table.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>

#include "common/Letters.h"
#include "convert/ConvertTestUtil.h"
#include "convert/ConvertText.h"
#include "tables/CBangMa.h"

namespace tavirel {
namespace {

std::string DataFolder() {
  const std::string here = __FILE__;
  const std::string tests = here.substr(0, here.rfind('/', here.rfind('/') - 1));
  return tests + "/spelling/data/";
}

// Lines of real Vietnamese prose (comment lines start with "#").
std::vector<std::u16string> ProseLines() {
  std::vector<std::u16string> lines;
  std::ifstream prose(DataFolder() + "ProseCorpus.txt", std::ios::binary);
  std::string line;
  while (std::getline(prose, line)) {
    if (!line.empty() && line[0] != '#') lines.push_back(Utf8ToUtf16(line));
  }
  return lines;
}

// Paragraphs of at least `letters` letters, cut after a word.
std::vector<std::u16string> Paragraphs(const std::vector<std::u16string>& lines, size_t letters, size_t most) {
  std::vector<std::u16string> out;
  std::u16string para;
  size_t count = 0;
  for (const auto& line : lines) {
    for (const char16_t c : line + u" ") {
      para.push_back(c);
      if (IsConversionLetter(c)) {
        ++count;
      } else if (count >= letters) {
        out.push_back(para);
        para.clear();
        count = 0;
        if (out.size() == most) return out;
      }
    }
  }
  return out;
}

TEST(DetectionCorpus, SharesReadBackRightPerLengthAndTable) {
  test::LoadDictionary();
  const std::vector<std::u16string> lines = ProseLines();
  ASSERT_GT(lines.size(), 100u);
  const CSourceDetector detector(CodeTableNames());
  // Floors per length; a table's share may not fall below them.
  const std::map<size_t, double> floors{{20, 0.95}, {50, 0.98}, {100, 0.99}, {400, 0.99}};
  std::ostringstream report;
  for (const auto& [letters, floor] : floors) {
    const std::vector<std::u16string> paras = Paragraphs(lines, letters, 300);
    ASSERT_EQ(paras.size(), 300u);
    report << letters << " letters, " << paras.size() << " paragraphs:";
    for (const auto& name : CodeTableNames()) {
      const CBangMa table = LoadBangMa(name);
      size_t right = 0;
      for (const auto& p : paras) {
        const std::u16string encoded = Encode(table, p);
        const std::u16string found = detector.Detect(encoded, CTuDien::Instance());
        // Right when it is the table, or another that reads the text back
        // alike (tables that write both cases of a letter alike read back in
        // lower case).
        const bool ok = found == name || letters::ToLower(ConvertText(test::Options(found, u"Unicode"), encoded)) ==
                                             letters::ToLower(p);
        right += ok;
        if (name == u"Unicode") {
          EXPECT_TRUE(ok) << "Unicode text taken for " << test::U8(found) << ": " << test::U8(p);
        }
      }
      const double share = static_cast<double>(right) / static_cast<double>(paras.size());
      char cell[64];
      std::snprintf(cell, sizeof cell, " %s %.1f%%", test::U8(name).c_str(), 100.0 * share);
      report << cell;
      EXPECT_GE(share, floor) << test::U8(name) << " at " << letters << " letters";
    }
    report << "\n";
  }
  std::printf("%s", report.str().c_str());
}

}  // namespace
}  // namespace tavirel
