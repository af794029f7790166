// The typing context's key step: bindings, escape, keypad, words that are not
// Vietnamese, Backspace across words, continuous typing and output through
// byte code tables. Every key is checked against the recorded screen.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "TypeKeys.h"
#include "common/Utf8.h"
#include "tables/CBangMa.h"

namespace tavirel {
namespace {

using test::TypingHarness;

TEST(TypingContextKeys, ComposesWordsAndKeepsScreenInStep) {
  TypingHarness h;
  h.Type(u"tieengs vieetj");
  EXPECT_EQ(h.Screen(), u"tiếng việt");
  EXPECT_EQ(h.Text(), u"tiếng việt");
  EXPECT_EQ(h.WordText(), u"việt");
  EXPECT_TRUE(h.Mismatch.empty()) << Utf16ToUtf8(h.Mismatch);
}

TEST(TypingContextKeys, CaseIsKeptAndShiftFindsTheSameBinding) {
  TypingHarness h;
  h.Type(u"TIEENGS Tieengs");
  EXPECT_EQ(h.Screen(), u"TIẾNG Tiếng");
  EXPECT_TRUE(h.Mismatch.empty());
}

TEST(TypingContextKeys, SecondPressUndoesAndTypesTheKey) {
  EXPECT_EQ(test::TypeKeys(u"ass"), u"as");
  EXPECT_EQ(test::TypeKeys(u"aaa"), u"aa");
  EXPECT_EQ(test::TypeKeys(u"dd"), u"đ");
  EXPECT_EQ(test::TypeKeys(u"ddd"), u"dd");
}

TEST(TypingContextKeys, MarksAndTonesNeverStartAWord) {
  // s is a tone: at the start it is a letter; [ creates ơ even at the start.
  EXPECT_EQ(test::TypeKeys(u"s"), u"s");
  EXPECT_EQ(test::TypeKeys(u"[n"), u"ơn");
  EXPECT_EQ(test::TypeKeys(u"w"), u"ư");
  // A bound key that creates nothing and is no letter stays outside words.
  TypingHarness h;
  h.Type(u"\\a");
  EXPECT_EQ(h.Screen(), u"\\a");
  EXPECT_TRUE(h.Mismatch.empty());
}

TEST(TypingContextKeys, EscapeOnceSwallowsTwiceTypes) {
  TypingHarness h;
  EXPECT_TRUE(h.Type(u"ba").Key(u'\\'));
  EXPECT_EQ(h.Screen(), u"ba");
  h.Type(u"s");
  EXPECT_EQ(h.Screen(), u"bas");
  EXPECT_FALSE(h.Context.EscapePending);

  TypingHarness twice;
  twice.Type(u"ba\\\\");
  EXPECT_EQ(twice.Screen(), u"ba\\");
  EXPECT_FALSE(twice.Context.EscapePending);
  EXPECT_TRUE(twice.Mismatch.empty());
}

TEST(TypingContextKeys, EscapeStateOutlivesTheWord) {
  TypingHarness h;
  h.Type(u"ba\\ as");
  EXPECT_EQ(h.Screen(), u"ba as");
  EXPECT_TRUE(h.Mismatch.empty());
}

TEST(TypingContextKeys, KeypadDigitsNeverBind) {
  TypingHarness vni(u"VNI");
  vni.Type(u"a1", /*keypadDigits=*/true);
  EXPECT_EQ(vni.Screen(), u"a1");
  TypingHarness row(u"VNI");
  row.Type(u"a1");
  EXPECT_EQ(row.Screen(), u"á");
  // Not even the escape key: a keypad digit bound to it is typed.
  TypingHarness esc(u"VNI");
  esc.Context.SetBinding(u'5', CTypingContext::Binding{0, u"", false});
  esc.Type(u"a5", true);
  EXPECT_EQ(esc.Screen(), u"a5");
  EXPECT_FALSE(esc.Context.EscapePending);
}

TEST(TypingContextKeys, WordThatIsNotVietnameseTakesKeysAsTyped) {
  TypingHarness h;
  h.Type(u"bcdsfr9");
  EXPECT_EQ(h.Screen(), u"bcdsfr9");
  EXPECT_EQ(h.WordText(), u"bcdsfr9");
  // Punctuation ends it.
  h.Type(u".a");
  EXPECT_EQ(h.Screen(), u"bcdsfr9.a");
  EXPECT_EQ(h.WordText(), u"a");
  EXPECT_TRUE(h.Mismatch.empty());
}

TEST(TypingContextKeys, BackspaceEditsWordsAndCrossesSpaces) {
  TypingHarness h;
  h.Type(u"hoaf");
  EXPECT_EQ(h.Screen(), u"hòa");
  h.Type(u"n");
  EXPECT_EQ(h.Screen(), u"hoàn");
  h.Type(u"\b");
  EXPECT_EQ(h.Screen(), u"hòa");
  EXPECT_TRUE(h.Mismatch.empty());

  // Backspace right after a space makes the previous word current again.
  TypingHarness back;
  back.Type(u"ban \bf");
  EXPECT_EQ(back.Screen(), u"bàn");
  EXPECT_EQ(back.WordText(), u"bàn");
  // Through punctuation and two words.
  back.Type(u", toi\b\b\b\b\bs");
  EXPECT_EQ(back.Screen(), u"bán");
  EXPECT_TRUE(back.Mismatch.empty());
}

TEST(TypingContextKeys, ContinuousTypingSplitsWords) {
  TypingHarness h;
  h.Context.GoCacTuTVLienTuc = true;
  h.Type(u"tieengsvieetj");
  EXPECT_EQ(h.Screen(), u"tiếngviệt");
  EXPECT_EQ(h.WordText(), u"việt");
  ASSERT_EQ(h.Context.Words.size(), 1u);
  EXPECT_EQ(h.Context.Words[0].CacKT, u"tiếng");
  EXPECT_TRUE(h.Mismatch.empty());

  TypingHarness off;
  off.Type(u"tieengsvieetj");
  EXPECT_TRUE(off.Context.Words.empty());
  EXPECT_TRUE(off.Mismatch.empty());
}

TEST(TypingContextKeys, ShorthandWhileVietnameseIsOff) {
  TypingHarness h;
  h.Context.SetShorthandTable({u"vn"}, {u"Việt Nam"});
  h.Service.VietnameseMode = false;
  h.Type(u"vn ");
  EXPECT_EQ(h.Screen(), u"Việt Nam ");
  h.Type(u"aas");  // no composition while off
  EXPECT_EQ(h.Screen(), u"Việt Nam aas");
  EXPECT_TRUE(h.Mismatch.empty());
}

TEST(TypingContextKeys, RunStaysBounded) {
  TypingHarness h;
  for (int i = 0; i < 200; ++i) h.Type(u"mootj ");
  EXPECT_LE(h.Context.Words.size(), CTypingContext::kMaxRunWords + CTypingContext::kRunSlack);
  for (int i = 0; i < 1000; ++i) h.Type(u"1");
  EXPECT_LE(h.Context.RecentText.size(), CTypingContext::kMaxLooseText);
  h.Type(u" hai");
  EXPECT_TRUE(h.Mismatch.empty());
}

// Byte tables: the screen holds encoded units and a Backspace must remove
// exactly the units of the character it deletes.
TEST(TypingContextKeys, ByteTablesCountUnits) {
  for (const char16_t* name : {u"VNI Windows", u"TCVN3 (ABC)", u"Unicode tổ hợp", u"VIQR"}) {
    TypingHarness h;
    h.SetTable(LoadBangMa(name));
    ASSERT_FALSE(h.Table.Empty()) << "missing table";
    h.Type(u"Tieengs Vieetj, ddaay laf muoons\b\b\b\bnguwowif\bi ");
    EXPECT_TRUE(h.Mismatch.empty()) << Utf16ToUtf8(h.Mismatch);
    EXPECT_EQ(h.Text(), u"Tiếng Việt, đây là người ");
  }
}

TEST(TypingContextKeys, AWordLongerThanAnySyllableStopsGrowing) {
  // A run of letters without a break: the context keeps a bounded tail, the
  // letters after the limit are not composed, and the screen stays in step.
  TypingHarness h;
  std::u16string keys;
  while (keys.size() < 100000) keys += u"tieengsvieetjaa";
  h.Type(keys);
  const size_t bound = CTypingContext::kMaxWordLength + CTypingContext::kMaxLooseText + 64;
  EXPECT_LE(h.Context.CurrentText().size(), bound);
  EXPECT_LE(h.Context.Word.Raw.size(), CTypingContext::kMaxWordLength);
  // What was allocated stays near the buffers' first size, far below the keys typed.
  EXPECT_LT(h.Context.Word.Raw.capacity() + h.Context.Word.CacKT.capacity() + h.Context.RecentText.capacity(),
            4096u);
  EXPECT_TRUE(h.Screen().ends_with(u"tieengsvieetjaatieengsvieetjaa"));
  EXPECT_TRUE(h.Mismatch.empty());

  // Ended for its length, the word is what a word end makes of it (its keys
  // back for a wrong word), and Backspace still reaches into it.
  TypingHarness v;
  const std::u16string tail(40, u'x');
  v.Type(u"vieetj" + tail + u"aas ");
  EXPECT_EQ(v.Screen(), u"vieetj" + tail + u"aas ");
  v.Type(std::u16string(40, u'\b') + u"oo ");
  EXPECT_EQ(v.Screen(), u"vieetj" + tail.substr(0, 4) + u"oo ");
  EXPECT_TRUE(v.Mismatch.empty()) << Utf16ToUtf8(v.Mismatch);
}

// Long random key streams never break the agreement between the screen and
// the context.
TEST(TypingContextKeys, RandomStreamsKeepScreenInStep) {
  const std::u16string keys = u"aeiouydstrnghcmfjxzwq[]\\AEOW0123456789 .,\b\b\b\n";
  for (const char16_t* table : {u"Unicode", u"VNI Windows"}) {
    for (unsigned seed = 1; seed <= 20; ++seed) {
      TypingHarness h;
      h.SetTable(LoadBangMa(table));
      h.Context.GoCacTuTVLienTuc = seed % 2 == 0;
      h.Context.SetFinalShorthand(seed % 3 == 0);
      h.Context.SetInitialShorthand(seed % 4 == 0);
      h.Context.TuThemDauSac = seed % 5 == 0;
      h.Context.SuaLoiChinhTaTuDon = true;
      h.Context.SetShorthandTable({u"ko", u"n/c"}, {u"không", u"nói chuyện"});
      std::mt19937 rng(seed);
      std::uniform_int_distribution<size_t> pick(0, keys.size() - 1);
      for (int i = 0; i < 3000; ++i) {
        h.Key(keys[pick(rng)], (seed % 3 == 1) && (i % 7 == 0));
        if (i % 97 == 0) h.Restore();
      }
      EXPECT_TRUE(h.Mismatch.empty()) << "seed " << seed << " keys " << Utf16ToUtf8(h.Mismatch)
                                      << " screen " << Utf16ToUtf8(h.Screen()) << " text "
                                      << Utf16ToUtf8(h.Text());
    }
  }
}

}  // namespace
}  // namespace tavirel
