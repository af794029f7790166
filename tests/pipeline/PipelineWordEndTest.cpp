// Word-end processing seen from the field: restore of wrong words, automatic
// sắc, consonant shorthand, the separator still reaching the application.
#include "pipeline/PipelineFixture.h"

namespace tavirel {
namespace {

TEST_F(PipelineTest, WrongWordsGetTheirKeysBackAtTheSpace) {
  EXPECT_EQ(Type(u"ddaa "), "ddaa ");
  EXPECT_EQ(Type(u"ddaay."), "ddaa đây.");
  Clear();
  service.Context().KhoiPhucPhimVoiTuSai = false;
  EXPECT_EQ(Type(u"ddaa "), "đâ ");
}

TEST_F(PipelineTest, AutomaticSacAndConsonantShorthandAtWordEnd) {
  service.Context().TuThemDauSac = true;
  EXPECT_EQ(Type(u"hoc bat\n"), "hóc bát\n");
  Clear();
  service.Context().SetInitialShorthand(true);
  service.Context().SetFinalShorthand(true);
  EXPECT_EQ(Type(u"fong jao "), "phong giao ");
}

TEST_F(PipelineTest, ShorthandWhileVietnameseIsOff) {
  service.Context().SetShorthandTable({u"vn"}, {u"Việt Nam"});
  service.Context().GoTatKhiTatTavirel = true;
  service.SetVietnamese(false);
  EXPECT_EQ(Type(u"vn vieetj "), "Việt Nam vieetj ");
}

}  // namespace
}  // namespace tavirel
