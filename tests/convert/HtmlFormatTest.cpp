// The clipboard's "HTML Format": offsets of the rebuilt header always point
// at the bytes written, and no header can make the reader leave the data.
#include <gtest/gtest.h>

#include <random>

#include "convert/ConvertTestUtil.h"
#include "convert/ConvertText.h"
#include "convert/HtmlFormat.h"
#include "tables/CBangMa.h"

namespace tavirel {
namespace {

// A header with the given numbers written in the given widths and line end.
std::string Make(const std::string& prefix, const std::string& fragment, const std::string& tail, const char* eol,
                 int width) {
  const auto num = [&](size_t n) {
    std::string d = std::to_string(n);
    if (static_cast<int>(d.size()) < width) d.insert(0, static_cast<size_t>(width) - d.size(), '0');
    return d;
  };
  size_t headerSize = 0;
  std::string header;
  for (int pass = 0; pass < 4; ++pass) {  // until the header's own length settles
    const size_t startHtml = headerSize;
    const size_t startFragment = startHtml + prefix.size();
    const size_t endFragment = startFragment + fragment.size();
    const size_t endHtml = endFragment + tail.size();
    header = std::string("Version:0.9") + eol + "StartHTML:" + num(startHtml) + eol + "EndHTML:" + num(endHtml) +
             eol + "StartFragment:" + num(startFragment) + eol + "EndFragment:" + num(endFragment) + eol +
             "SourceURL:about:blank" + eol;
    headerSize = header.size();
  }
  return header + prefix + fragment + tail;
}

// Checks that the header's offsets select the prefix, fragment and tail.
void ExpectConsistent(const std::string& data, const std::string& prefix, const std::string& fragment,
                      const std::string& tail) {
  const HtmlFormatHeader h = ParseHtmlFormatHeader(data);
  ASSERT_EQ(static_cast<size_t>(h.startHtml), h.headerEnd);
  ASSERT_EQ(static_cast<size_t>(h.endHtml), data.size());
  EXPECT_EQ(data.substr(h.startHtml, h.startFragment - h.startHtml), prefix);
  EXPECT_EQ(data.substr(h.startFragment, h.endFragment - h.startFragment), fragment);
  EXPECT_EQ(data.substr(h.endFragment, h.endHtml - h.endFragment), tail);
}

const std::string kPrefix = "<html><body>\r\n<!--StartFragment-->";
const std::string kTail = "<!--EndFragment-->\r\n</body></html>";

TEST(HtmlFormat, OffsetsFollowTheBytesWrittenForAnyHeaderWidthAndLineEnd) {
  const ConversionOptions toUnicode = test::Options(test::kTcvn3, u"Unicode");
  const ConversionOptions toTcvn = test::Options(u"Unicode", test::kTcvn3);
  for (const char* eol : {"\r\n", "\n"}) {
    for (int width : {1, 4, 8, 10}) {
      for (size_t words : {1, 60, 3000}) {  // the end offset grows past 4, 5 and 6 digits
        std::string text;
        for (size_t i = 0; i < words; ++i) text += "Tiếng Việt ";
        const std::string tcvn = Utf16ToUtf8(Encode(LoadBangMa(test::kTcvn3), Utf8ToUtf16(text)));
        SCOPED_TRACE(std::string(eol == std::string("\n") ? "LF " : "CRLF ") + std::to_string(width) + " " +
                     std::to_string(words));
        const std::string out = ConvertHtmlFormat(toUnicode, Make(kPrefix, tcvn, kTail, eol, width));
        ExpectConsistent(out, kPrefix, text, kTail);
        EXPECT_EQ(out.substr(0, ParseHtmlFormatHeader(out).headerEnd).find("\r\n") != std::string::npos,
                  eol == std::string("\r\n"));
        EXPECT_NE(out.find("SourceURL:about:blank"), std::string::npos);
        ExpectConsistent(ConvertHtmlFormat(toTcvn, out), kPrefix, tcvn, kTail);
      }
    }
  }
}

TEST(HtmlFormat, HeadersWithMissingOrLyingOffsets) {
  const ConversionOptions o = test::Options(u"Unicode", u"Unicode", convflag::kUpper);
  const std::string good = Make(kPrefix, "abc", kTail, "\r\n", 8);
  // Unknown StartHTML/EndHTML (-1, as some programs write): the document is
  // the rest of the data after the header.
  std::string noContext = good;
  const HtmlFormatHeader h = ParseHtmlFormatHeader(good);
  noContext.replace(noContext.find("StartHTML:") + 10, 8, "-0000001");
  const std::string out = ConvertHtmlFormat(o, noContext);
  ASSERT_FALSE(out.empty());
  EXPECT_NE(out.find("ABC"), std::string::npos);
  // A fragment beyond the data, reversed, or outside the document: nothing
  // to convert (empty), never a read past the data.
  for (const char* lie : {"99999999", "00000000"}) {
    std::string bad = good;
    bad.replace(bad.find("EndFragment:") + 12, 8, lie);
    EXPECT_EQ(ConvertHtmlFormat(o, bad), "") << lie;
  }
  EXPECT_EQ(ConvertHtmlFormat(o, "Version:0.9\nStartFragment:5\nEndFragment:900\n<b>x</b>"), "");
  EXPECT_EQ(ConvertHtmlFormat(o, ""), "");
  EXPECT_EQ(ConvertHtmlFormat(o, "no header at all"), "");
  EXPECT_EQ(h.version, "0.9");
  // The document's first line may hold a colon; it is not part of the header.
  const std::string doc = "<html xmlns:o=\"urn:x\">\r\n<body><!--StartFragment-->";
  const std::string word = Make(doc, "abc", kTail, "\r\n", 10);
  const std::string wordOut = ConvertHtmlFormat(o, word);
  ExpectConsistent(wordOut, doc, "ABC", kTail);
  // The document's text may hold lines shaped like header fields: the
  // document starts where StartHTML says, in the data read and in the data
  // written.
  const std::string fieldLike = Make("", "a:b\nStartSelection:1\n", kTail, "\n", 8);
  ExpectConsistent(fieldLike, "", "a:b\nStartSelection:1\n", kTail);
  ExpectConsistent(ConvertHtmlFormat(o, fieldLike), "", "A:B\nSTARTSELECTION:1\n", kTail);
  // Random cuts and byte flips of a good header never break the reader, and
  // whatever comes out is consistent.
  std::mt19937 rng(16);
  for (int i = 0; i < 3000; ++i) {
    std::string d = good.substr(0, rng() % (good.size() + 1));
    for (int f = 0; f < 3 && !d.empty(); ++f) d[rng() % d.size()] = static_cast<char>("0123456789:\n\r-x"[rng() % 16]);
    const std::string r = ConvertHtmlFormat(o, d);
    if (r.empty()) continue;
    const HtmlFormatHeader rh = ParseHtmlFormatHeader(r);
    EXPECT_EQ(static_cast<size_t>(rh.endHtml), r.size());
    EXPECT_LE(rh.startHtml, rh.startFragment);
    EXPECT_LE(rh.startFragment, rh.endFragment);
  }
}

}  // namespace
}  // namespace tavirel
