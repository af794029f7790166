// The raw keys of a word always describe what is on screen: a key that ends
// the word is typed once after it, the escape key acts the same after any
// word, and Backspace takes a character's keys with it. Checked over the
// dictionary's words typed in every built-in method.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "TypeKeys.h"
#include "common/AppDirectory.h"
#include "common/TextFile.h"
#include "common/Utf8.h"

namespace tavirel {
namespace {

using test::TypingHarness;

constexpr const char16_t* kMethods[] = {u"Telex", u"Telex 2", u"VNI", u"VIQR"};

const std::vector<std::u16string>& Words() {
  static const std::vector<std::u16string> words = ReadTextLines(ResourcePath(u"TuDien.txt"));
  return words;
}

// The keys a typist of the method presses for a word: each mark after its
// letter, the tone key at the end. Telex 2 sometimes uses [ and ] for ơ, ư.
std::u16string MethodKeys(std::u16string_view word, std::u16string_view method, std::mt19937& rng) {
  struct Mark {
    char16_t letter;
    const char16_t* telex;
    const char16_t* vni;
    const char16_t* viqr;
  };
  static constexpr Mark kMarks[] = {{u'â', u"aa", u"a6", u"a^"}, {u'ê', u"ee", u"e6", u"e^"},
                                    {u'ô', u"oo", u"o6", u"o^"}, {u'ă', u"aw", u"a8", u"a("},
                                    {u'ơ', u"ow", u"o7", u"o+"}, {u'ư', u"uw", u"u7", u"u+"},
                                    {u'đ', u"dd", u"d9", u"dd"}};
  const bool vni = method == u"VNI";
  const bool viqr = method == u"VIQR";
  const bool telex2 = method == u"Telex 2";
  std::u16string keys;
  int tone = -1;
  for (char16_t c : word) {
    char16_t base = letters::ToLower(c);
    if (letters::ToneOf(base) >= 0) {
      tone = letters::ToneOf(base);
      base = letters::StripTone(base);
    }
    const Mark* mark = nullptr;
    for (const Mark& m : kMarks) {
      if (m.letter == base) mark = &m;
    }
    if (mark == nullptr) {
      keys.push_back(base);
    } else if (telex2 && (base == u'ơ' || base == u'ư') && rng() % 2 == 0) {
      keys.push_back(base == u'ơ' ? u'[' : u']');
    } else {
      keys += vni ? mark->vni : viqr ? mark->viqr : mark->telex;
    }
  }
  if (tone >= 0) {
    // ToneOf: 0 sắc .. 4 nặng.
    const std::u16string_view tones = vni ? u"12345" : viqr ? u"'`?~." : u"sfrxj";
    keys.push_back(tones[static_cast<size_t>(tone)]);
  }
  return keys;
}

// The method's bound keys that are neither letters nor digits.
std::u16string PunctuationKeys(std::u16string_view method) {
  std::u16string keys;
  for (const auto& [key, binding] : LoadBuiltInKieuGo(std::u16string(method))) {
    const char16_t low = letters::ToLower(key);
    if (!(low >= u'a' && low <= u'z') && !(key >= u'0' && key <= u'9')) keys.push_back(key);
  }
  return keys;
}

// A dictionary word in the method's keys, sometimes cut short or with a
// stray key, so that wrong words (restored at the end) are common too.
std::u16string RandomWordKeys(std::u16string_view method, std::mt19937& rng) {
  const auto& words = Words();
  std::u16string keys = MethodKeys(words[rng() % words.size()], method, rng);
  switch (rng() % 4) {
    case 0:
      keys.push_back(u"abcdeghiklmnopqrstuvwxy"[rng() % 23]);
      break;
    case 1:
      if (keys.size() > 1) keys.resize(1 + rng() % (keys.size() - 1));
      break;
    default:
      break;
  }
  if (rng() % 5 == 0) keys[0] = letters::ToUpper(keys[0]);
  return keys;
}

// Types keys on a harness made fresh again (a new one costs a table load)
// and returns the screen.
const std::u16string& TypeAfresh(TypingHarness& h, std::u16string_view keys) {
  h.Context.Reset();
  h.Context.EscapePending = false;
  h.Context.Replacements.clear();
  h.Service.Screen.clear();
  h.Type(keys);
  return h.Screen();
}

size_t Count(std::u16string_view text, char16_t c) {
  size_t n = 0;
  for (char16_t x : text) n += x == c ? 1 : 0;
  return n;
}

TEST(RawKeys, AnEndingKeyIsTypedOnce) {
  EXPECT_EQ(test::TypeKeys(u"tiee] koar[ tw[] "), u"tiee] koar[ tw[] ");
  EXPECT_EQ(test::TypeKeys(u"ba(+ tie^( ", u"VIQR"), u"ba(+ tie^( ");
  std::mt19937 rng(5);
  for (const char16_t* method : kMethods) {
    const std::u16string enders = PunctuationKeys(method);
    ASSERT_FALSE(enders.empty());
    TypingHarness h(method);
    for (int i = 0; i < 1500; ++i) {
      const std::u16string keys = RandomWordKeys(method, rng) + enders[rng() % enders.size()] + u' ';
      TypeAfresh(h, keys);
      ASSERT_TRUE(h.Mismatch.empty()) << Utf16ToUtf8(keys);
      // No key shows more often than it was pressed, whether the word stood,
      // was restored, or the key acted on it.
      for (char16_t c : enders) {
        ASSERT_LE(Count(h.Screen(), c), Count(keys, c))
            << Utf16ToUtf8(method) << ": " << Utf16ToUtf8(keys) << " -> " << Utf16ToUtf8(h.Screen());
      }
    }
  }
}

TEST(RawKeys, EscapeActsTheSameAfterAnyWord) {
  EXPECT_EQ(test::TypeKeys(u"To^i\\. Basic\\. ", u"VIQR"), u"Tôi. Basic. ");
  EXPECT_EQ(test::TypeKeys(u"Basic\\\\ "), u"Basic\\ ");
  // The escape then a punctuation key ends the word as a space would, with
  // that key typed after it.
  std::mt19937 rng(6);
  for (const char16_t* method : kMethods) {
    const std::u16string enders = PunctuationKeys(method) + u".,;";
    TypingHarness h(method);
    for (int i = 0; i < 1500; ++i) {
      const std::u16string word = RandomWordKeys(method, rng);
      const char16_t e = enders[rng() % enders.size()];
      std::u16string expected = TypeAfresh(h, word + u' ');
      expected.insert(expected.size() - 1, 1, e);
      ASSERT_EQ(TypeAfresh(h, word + u'\\' + e + u' '), expected)
          << Utf16ToUtf8(method) << ": " << Utf16ToUtf8(word) << " \\" << Utf16ToUtf8(std::u16string(1, e));
    }
  }
}

TEST(RawKeys, DeletedLettersNeverComeBack) {
  TypingHarness a;
  a.Type(u"tieengs\b\bnh ");
  EXPECT_EQ(a.Screen(), u"tieesnh ");
  TypingHarness b;
  b.Type(u"Truwowngf hojc cuar\b\b\b\b\b\b\b\b\b\bngoon ");
  EXPECT_EQ(b.Screen(), u"Truwowfngoon ");
  TypingHarness c;
  c.Type(u"vieetj\b\b");
  c.Restore();
  EXPECT_EQ(c.Screen(), u"vi");
  TypingHarness d;
  d.Type(u"ddd\b");
  d.Restore();
  EXPECT_EQ(d.Screen(), u"d");
  EXPECT_TRUE(a.Mismatch.empty() && b.Mismatch.empty() && c.Mismatch.empty() && d.Mismatch.empty());
}

TEST(RawKeys, RestoreAfterBackspacesGivesTheKeysOfWhatIsShown) {
  // Random words with random Backspaces, also right after a tone or mark
  // key; the restored keys, typed afresh, must give what was on screen.
  std::mt19937 rng(7);
  for (const char16_t* method : kMethods) {
    TypingHarness h(method);
    TypingHarness again(method);
    for (int i = 0; i < 1500; ++i) {
      const std::u16string word = RandomWordKeys(method, rng);
      std::u16string keys;
      for (char16_t k : word) {
        keys.push_back(k);
        if (rng() % 4 == 0) keys.append(1 + rng() % 2, u'\b');
      }
      if (rng() % 2 == 0) keys += MethodKeys(Words()[rng() % Words().size()], method, rng);
      TypeAfresh(h, keys);
      if (!h.Context.HasWord || h.WordText().empty()) continue;
      const std::u16string shown = h.WordText();
      h.Restore();
      ASSERT_TRUE(h.Mismatch.empty()) << Utf16ToUtf8(keys);
      const std::u16string raw = h.WordText();
      EXPECT_EQ(TypeAfresh(again, raw), shown)
          << Utf16ToUtf8(method) << ": " << Utf16ToUtf8(keys) << " restored as " << Utf16ToUtf8(raw);
    }
  }
}

}  // namespace
}  // namespace tavirel
