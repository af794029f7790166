#include <gtest/gtest.h>

#include <random>
#include <string>

#include "common/Utf8.h"

namespace tavirel {
namespace {

TEST(Utf8, MalformedSequencesStopOrAreReplaced) {
  struct Case {
    std::string bytes;
    std::u16string stopped;
    std::u16string replaced;
  };
  const Case cases[] = {
      {"Vi\xE1\xBB\x87t", u"Việt", u"Việt"},
      {"a\xFF" "b", u"a", u"a\uFFFDb"},                  // invalid lead byte
      {"a\x80" "b", u"a", u"a\uFFFDb"},                  // stray continuation
      {"a\xE1\xBB", u"a", u"a\uFFFD\uFFFD"},             // truncated at the end
      {"a\xC0\xAF" "b", u"a", u"a\uFFFD\uFFFDb"},        // overlong slash
      {"a\xED\xA0\x80" "b", u"a", u"a\uFFFD\uFFFD\uFFFDb"},  // encoded surrogate
      {"\xF0\x9F\x98\x80", u"\U0001F600", u"\U0001F600"},  // outside the BMP
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Utf8ToUtf16(c.bytes), c.stopped) << c.bytes;
    EXPECT_EQ(Utf8ToUtf16Replacing(c.bytes), c.replaced) << c.bytes;
  }
}

TEST(Utf8, EncodeRoundTripAndLoneSurrogate) {
  const std::u16string text = u"Tiếng Việt \U0001F600 đ";
  EXPECT_EQ(Utf8ToUtf16(Utf16ToUtf8(text)), text);
  EXPECT_EQ(Utf16ToUtf8(std::u16string(1, u'\xD800')), "\xEF\xBF\xBD");
}

// Random texts of every kind of unit (ASCII runs, two- and three-byte
// letters, pairs and lone surrogates) and random bytes: what is encoded
// decodes back, with each lone surrogate as U+FFFD; decoding never yields
// more units than bytes, and the stopping decoder gives a prefix of the
// replacing one.
TEST(Utf8, RandomTextsAndBytesRoundTrip) {
  std::mt19937 rng(11);
  const char16_t pool[] = {u'a', u' ', u'\n', u'\x7F', u'\x80', u'\xE9', u'\x7FF', u'\x800',
                           u'ệ', u'\xFFFD', u'\xFFFF', u'\xD800', u'\xDBFF', u'\xDC00', u'\xDFFF'};
  for (int round = 0; round < 2000; ++round) {
    std::u16string text;
    const size_t length = rng() % 40;
    for (size_t i = 0; i < length; ++i) {
      if (rng() % 3 == 0) {
        text.append(rng() % 8, u'x');  // an ASCII run
      } else {
        text.push_back(pool[rng() % std::size(pool)]);
      }
    }
    std::u16string expected;
    for (size_t i = 0; i < text.size(); ++i) {
      const char16_t u = text[i];
      if (u >= 0xD800 && u <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
        expected += text.substr(i++, 2);
      } else {
        expected.push_back(u >= 0xD800 && u <= 0xDFFF ? u'\xFFFD' : u);
      }
    }
    const std::string bytes = Utf16ToUtf8(text);
    ASSERT_TRUE(IsValidUtf8(bytes));
    ASSERT_EQ(Utf8ToUtf16(bytes), expected);

    std::string noise = bytes;
    for (int k = 0; k < 3 && !noise.empty(); ++k) noise[rng() % noise.size()] = static_cast<char>(rng());
    const std::u16string replaced = Utf8ToUtf16Replacing(noise);
    const std::u16string stopped = Utf8ToUtf16(noise);
    ASSERT_LE(replaced.size(), noise.size());
    ASSERT_EQ(replaced.substr(0, stopped.size()), stopped);
    if (IsValidUtf8(noise)) {
      ASSERT_EQ(replaced, stopped);
      ASSERT_EQ(Utf16ToUtf8(replaced), noise);
    }
  }
}

}  // namespace
}  // namespace tavirel
