// The word model against the shipped rhyme tables and every dictionary syllable.
#include "WordTestUtil.h"

namespace tavirel::test {
namespace {

using letters::Bare;
using letters::StripTone;
using letters::ToneOf;

struct Split {
  std::u16string initial, nucleus, final;
};

// How a lower-case syllable divides: qu, or the leading consonants (gi when an
// i after g is followed by another vowel); then the vowels, then the rest.
Split ExpectedSplit(std::u16string_view s) {
  size_t i = 0;
  if (s.substr(0, 2) == u"qu") {
    i = 2;
  } else {
    while (i < s.size() && letters::IsConsonant(s[i])) ++i;
  }
  if (s.substr(0, i) == u"g" && i + 1 < s.size() && s[i] == u'i' && letters::IsVowelForm(s[i + 1])) ++i;
  size_t j = i;
  while (j < s.size() && letters::IsVowelForm(s[j])) ++j;
  Split out{std::u16string(s.substr(0, i)), std::u16string(s.substr(i, j - i)),
            std::u16string(s.substr(j))};
  for (auto& c : out.nucleus) c = StripTone(c);
  return out;
}

TEST_F(WordTest, EveryDictionarySyllableTypedBareSplitsRight) {
  ASSERT_GT(Syllables().size(), 5000u);
  int failures = 0;
  for (const auto& syl : Syllables()) {
    const std::u16string bare = Bare(syl);
    Letters(bare);
    const Split e = ExpectedSplit(bare);
    const bool ok = w.CD0TV == 0 && w.Initial() == e.initial && w.Nucleus() == e.nucleus &&
                    w.Final() == e.final && w.CacKT == bare && w.DT == -1 && w.VTDau == -1;
    if (!ok && ++failures <= 20) ADD_FAILURE() << U8(bare) << "\n" << U8(w.Dump());
  }
  EXPECT_EQ(failures, 0);
}

TEST_F(WordTest, EveryDictionarySyllableParsesFromText) {
  int failures = 0;
  for (const auto& syl : Syllables()) {
    w.FromText(syl);
    const Split e = ExpectedSplit(syl);
    int tonePos = -1, markPos = -1;
    for (int i = 0; i < static_cast<int>(syl.size()); ++i) {
      if (ToneOf(syl[i]) >= 0) tonePos = i;
      if (std::u16string_view(u"âăêôơư").find(StripTone(syl[i])) != std::u16string_view::npos) markPos = i;
    }
    const bool ok = w.CD0TV == 0 && !w.IsIncomplete() && w.CacKT == syl && w.Raw == syl &&
                    w.Initial() == e.initial && w.Nucleus() == e.nucleus && w.Final() == e.final &&
                    w.VTDT == tonePos && w.DT == (tonePos < 0 ? -1 : ToneOf(syl[tonePos])) &&
                    w.KTCoDT == (tonePos < 0 ? 0 : StripTone(syl[tonePos])) && w.VTDau == markPos;
    if (!ok && ++failures <= 20) ADD_FAILURE() << U8(syl) << "\n" << U8(w.Dump());
  }
  EXPECT_EQ(failures, 0);
}

TEST_F(WordTest, QuAndGiJoinTheInitial) {
  Letters(u"qua");

  Letters(u"gi");
  w.VTThayDoi = -1;
  w.SetKey(u'a', u'a');
  EXPECT_FALSE(w.AddLetter());
  EXPECT_EQ(w.Initial(), u"gi");
  EXPECT_EQ(w.Nucleus(), u"a");
  EXPECT_EQ(w.VTThayDoi, -1);

  // gì + a: the tone moves onto the a, the output restarts at the i.
  EXPECT_EQ(Type(u"gif"), u"gì");
  w.VTThayDoi = -1;
  w.SetKey(u'a', u'a');
  EXPECT_TRUE(w.AddLetter());
  EXPECT_EQ(w.CacKT, u"già");
  EXPECT_EQ(w.VTThayDoi, 1);

  // Backspace over the a gives g + nucleus i back.
  w.RemoveLast();
  EXPECT_EQ(w.CacKT, u"gi");
  EXPECT_EQ(w.CDPAD, 1);
}

TEST_F(WordTest, FinalMovesTheToneOfHoa) {
  EXPECT_EQ(Type(u"hoaf"), u"hòa");
  w.VTThayDoi = -1;
  w.SetKey(u'n', u'n');
  EXPECT_FALSE(w.AddLetter());
  EXPECT_EQ(w.CacKT, u"hoàn");
  EXPECT_EQ(w.VTThayDoi, 1);
  // Backspace over the final puts the tone back on the o.
  w.VTThayDoi = -1;
  w.RemoveLast();
  EXPECT_EQ(w.CacKT, u"hòa");
  EXPECT_EQ(w.VTThayDoi, 1);
}

TEST_F(WordTest, HornedUoCompletesWithTheNextLetter) {
  EXPECT_EQ(Type(u"tuwo"), u"tưo");
  w.VTThayDoi = -1;
  Key(u'i');
  EXPECT_EQ(w.CacKT, u"tươi");
  EXPECT_EQ(w.VTDau, 2);
  EXPECT_EQ(w.VTThayDoi, 2);

  EXPECT_EQ(Type(u"muwon"), u"mươn");

  // A tone typed on the ư follows the horn onto the ơ.
  EXPECT_EQ(Type(u"tuwfon"), u"tườn");
  EXPECT_EQ(w.VTDT, 2);
}

TEST_F(WordTest, UoWithFinalBecomesHornedUnlessWidened) {
  w.FromText(u"thuơ");
  w.SetKey(u'n', u'n');
  w.AddLetter();
  EXPECT_EQ(w.CacKT, u"thươn");
  EXPECT_EQ(w.VTThayDoi, 2);

  CGhepVan widened;
  widened.SetUoWithFinals(true);
  GhepVan = &widened;
  w.FromText(u"thuơ");
  w.VTThayDoi = -1;
  w.SetKey(u'n', u'n');
  w.AddLetter();
  EXPECT_EQ(w.CacKT, u"thuơn");
  EXPECT_EQ(w.CD0TV, 0);
  GhepVan = &ShippedGhepVan();
}

TEST_F(WordTest, NonVietnameseTailOnlyAppends) {
  Letters(u"khoai");
  w.SetKey(u'a', u'a');  // a fourth vowel
  w.AddLetter();
  EXPECT_EQ(w.CD0TV, 1);
  Letters(u"tana");  // a vowel after the final
  EXPECT_EQ(w.CD0TV, 1);
  Letters(u"bz");  // unknown initial
  EXPECT_EQ(w.CD0TV, 1);
  Letters(u"qa");  // a lone q is no initial
  EXPECT_EQ(w.CD0TV, 1);

  // Later keys are appended and counted, whatever they are.
  Type(u"tanuxs");
  EXPECT_EQ(w.CacKT, u"tanuxs");
  EXPECT_EQ(w.CD0TV, 3);
}

TEST_F(WordTest, BackspaceDropsTheToneWithItsVowel) {
  EXPECT_EQ(Type(u"tas"), u"tá");
  EXPECT_FALSE(w.RemoveLast());
  EXPECT_EQ(w.CacKT, u"t");
  EXPECT_TRUE(w.RemoveLast());
  EXPECT_TRUE(w.Raw.empty());
  EXPECT_TRUE(w.RemoveLast());  // an empty word stays empty

  // ngoái: removing the i re-places the tone on the two-vowel nucleus.
  EXPECT_EQ(Type(u"ngoais"), u"ngoái");
  w.VTThayDoi = -1;
  w.RemoveLast();
  EXPECT_EQ(w.CacKT, u"ngóa");
  EXPECT_EQ(w.VTThayDoi, 2);

  // ươ back to ư keeps the mark on the ư.
  Type(u"tuwow");
  w.RemoveLast();
  EXPECT_EQ(w.CacKT, u"tư");
  EXPECT_EQ(w.VTDau, 1);
}

TEST_F(WordTest, CaseIsKeptThroughMarksAndTones) {
  EXPECT_EQ(Type(u"Tieengs"), u"Tiếng");
  EXPECT_EQ(w.CacKTThuong, u"tiếng");
  EXPECT_EQ(Type(u"TIEENGS"), u"TIẾNG");
  EXPECT_EQ(Type(u"DDUWOWNGF"), u"ĐƯỜNG");
  EXPECT_EQ(Type(u"hOAf"), u"hÒA");
  Type(u"HOAf");
  w.SetKey(u'n', u'n');
  w.AddLetter();
  EXPECT_EQ(w.CacKT, u"HOÀn");
}

TEST_F(WordTest, IncompleteWords) {
  w.FromText(u"tâ");
  EXPECT_TRUE(w.IsIncomplete());
  w.FromText(u"hòa");
  EXPECT_FALSE(w.IsIncomplete());
  w.FromText(u"mất");
  EXPECT_FALSE(w.IsIncomplete());
  // A falling tone on a stop final cannot end a syllable.
  w.FromText(u"mầt");
  EXPECT_TRUE(w.IsIncomplete());
  w.FromText(u"tiec");  // bare ie exists only as iê
  EXPECT_EQ(w.CD0TV, 0);
  EXPECT_TRUE(w.IsIncomplete());
}

TEST_F(WordTest, AppendComposedKeepsParsing) {
  w.FromText(u"ng");
  w.AppendComposed(u"ườ", true);
  EXPECT_EQ(w.Nucleus(), u"ươ");
  EXPECT_EQ(w.VTDT, 3);
  w.AppendComposed(u"i", true);
  EXPECT_EQ(w.CacKT, u"người");

  w.FromText(u"tiếngx");
  EXPECT_EQ(w.CD0TV, 1);
  EXPECT_EQ(w.Final(), u"ng");
  w.FromText(u"nghx");
  EXPECT_EQ(w.CD0TV, 1);
  w.FromText(u"áá");  // two tones never make one nucleus
  EXPECT_EQ(w.CDNA, 1);
  EXPECT_EQ(w.CD0TV, 1);
  w.FromText(u"Hello, world");
  EXPECT_GT(w.CD0TV, 0);
}

TEST_F(WordTest, RestoreRawShowsTheKeys) {
  Type(u"truowngf");
  EXPECT_EQ(w.CacKT, u"trường");
  w.VTThayDoi = -1;
  w.RestoreRaw();
  EXPECT_EQ(w.CacKT, u"truowngf");
  EXPECT_EQ(w.VTThayDoi, 2);
  EXPECT_GT(w.CD0TV, 0);
  EXPECT_FALSE(w.RawDiffers());
}

TEST_F(WordTest, ReplaceInitialAndFinalKeepCase) {
  w.FromText(u"Nghiêng");
  w.VTThayDoi = -1;
  w.ReplaceInitial(u"ng");
  EXPECT_EQ(w.CacKT, u"Ngiêng");
  EXPECT_EQ(w.VTThayDoi, 2);
  EXPECT_EQ(w.VTDau, 3);

  w.FromText(u"CHÍN");
  w.VTThayDoi = -1;
  w.ReplaceInitial(u"tr");
  EXPECT_EQ(w.CacKT, u"TRÍN");
  EXPECT_EQ(w.VTThayDoi, 0);

  w.FromText(u"BÁT");
  w.VTThayDoi = -1;
  w.ReplaceFinal(u"c");
  EXPECT_EQ(w.CacKT, u"BÁC");
  EXPECT_EQ(w.VTThayDoi, 2);
}

TEST_F(WordTest, ChangeToneRewritesTheTonedVowel) {
  w.FromText(u"Mỉm");
  w.VTThayDoi = -1;
  EXPECT_TRUE(w.ChangeTone(3));
  EXPECT_EQ(w.CacKT, u"Mĩm");
  EXPECT_EQ(w.VTThayDoi, 1);
  EXPECT_FALSE(w.ChangeTone(3));
}

TEST_F(WordTest, DumpListsTheFields) {
  w.FromText(u"á");
  EXPECT_EQ(w.Dump(),
            u"CacKT = á\r\nRaw = á\r\nWA = 1\r\nCDPAD = 0\r\nCDNA = 1\r\nCDPAC = 0\r\nCD0TV = 0"
            u"\r\nVTDau = -1\r\nVTDT = 0\r\nDT = 0\r\nKTCoDT = a");
  w.Reset();
  EXPECT_EQ(w.Dump().find(u"KTCoDT"), std::u16string::npos);
}

TEST_F(WordTest, NoTablesMeansNothingIsVietnamese) {
  GhepVan = nullptr;
  Letters(u"ba");
  EXPECT_EQ(w.CD0TV, 2);
  w.FromText(u"bá");
  EXPECT_GT(w.CD0TV, 0);
  GhepVan = &ShippedGhepVan();
}

}  // namespace
}  // namespace tavirel::test
