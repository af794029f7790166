#include <gtest/gtest.h>

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

}  // namespace
}  // namespace tavirel
