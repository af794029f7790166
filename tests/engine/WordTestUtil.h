#pragma once
// Shared fixture of the word tests: the shipped rhyme tables, an owner, and a
// small Telex-like key map that drives the word the way the typing context does.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "common/AppDirectory.h"
#include "common/Letters.h"
#include "common/TextFile.h"
#include "common/Utf8.h"
#include "engine/CWord.h"
#include "spelling/CGhepVan.h"
#include "engine/TelexWordKeys.h"

namespace tavirel::test {

inline const CGhepVan& ShippedGhepVan() {
  static const CGhepVan g;  // Resources/GhepVan.ini
  return g;
}

inline const std::vector<std::u16string>& Syllables() {
  static const std::vector<std::u16string> lines = [] {
    std::vector<std::u16string> out;
    for (auto& l : ReadTextLines(ResourcePath(u"TuDien.txt"))) {
      if (!l.empty()) out.push_back(l);
    }
    return out;
  }();
  return lines;
}

inline std::string U8(std::u16string_view s) { return Utf16ToUtf8(s); }

class WordTest : public ::testing::Test, public CWordOwner {
 protected:
  WordTest() : w(this) { GhepVan = &ShippedGhepVan(); }

  // One key the way the typing context applies it: a bound key on a word in
  // progress runs its function, anything else is a letter; ThemPhim adds the
  // key as a letter afterwards. Returns the swallow result.
  bool Key(char16_t key) { return TelexKey(w, key); }

  // Types keys into a fresh word and returns what it shows.
  std::u16string Type(std::u16string_view keys) {
    w.Reset();
    for (char16_t k : keys) Key(k);
    return w.CacKT;
  }

  // Feeds plain letters with AddLetter only.
  void Letters(std::u16string_view text) {
    w.Reset();
    for (char16_t k : text) {
      w.SetKey(k, letters::ToLower(k));
      w.AddLetter();
    }
  }

  CWord w;
};

}  // namespace tavirel::test
