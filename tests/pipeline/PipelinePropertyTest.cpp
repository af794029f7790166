// Long random key streams: nothing crashes, and after every key the end of
// the field is what the typing context believes is on screen.
#include <random>

#include "pipeline/PipelineFixture.h"
#include "tables/CBangMa.h"

namespace tavirel {
namespace {

void RandomStream(SimDesktop& desk, CInputMethodService& service, const CBangMa& table, uint32_t seed,
                  int keys) {
  std::mt19937 rng(seed);
  const std::u16string letters = u"aaaeeeooouuuiiydddwwsfrxjzqngchtmklpvb";
  const std::u16string other = u"0123456789.,;'[]\\/-=";
  auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<uint32_t>(n)); };
  for (int i = 0; i < keys; ++i) {
    const int r = pick(100);
    if (r < 60) {
      desk.TypeChar(letters[static_cast<size_t>(pick(static_cast<int>(letters.size())))]);
    } else if (r < 66) {
      desk.TypeChar(static_cast<char16_t>(u'A' + pick(26)));
    } else if (r < 72) {
      desk.TypeChar(other[static_cast<size_t>(pick(static_cast<int>(other.size())))]);
    } else if (r < 82) {
      desk.Press(vk::kSpace);
    } else if (r < 90) {
      desk.Press(vk::kBack);
    } else if (r < 92) {
      desk.Press(vk::kReturn);
    } else if (r < 94) {
      desk.Press(static_cast<uint16_t>(vk::kNumpad0 + pick(10)));
    } else if (r < 96) {
      desk.Click();
    } else if (r < 97) {
      desk.KeyDown(vk::kLControl);
      desk.KeyUp(vk::kLControl);
    } else if (r < 98) {
      desk.KeyDown(vk::kLControl);
      desk.Press('C');
      desk.KeyUp(vk::kLControl);
    } else {
      desk.Press(vk::kEscape);
    }
    const std::u16string expected = Encode(table, service.Context().CurrentText());
    const std::u16string& field = desk.Text();
    ASSERT_TRUE(field.size() >= expected.size() && field.ends_with(expected))
        << "seed " << seed << " key " << i << ": field ends \""
        << Utf16ToUtf8(field.substr(field.size() > 40 ? field.size() - 40 : 0)) << "\", context \""
        << Utf16ToUtf8(service.Context().CurrentText()) << "\"";
    if (field.size() > 2000) {
      desk.ClearText();
      desk.Click();
    }
  }
}

class PipelinePropertyTest : public PipelineTest, public ::testing::WithParamInterface<const char16_t*> {};

TEST_P(PipelinePropertyTest, FieldFollowsTheContext) {
  service.SetCodeTable(GetParam());
  const CBangMa table = LoadBangMa(GetParam());
  for (uint32_t seed = 1; seed <= 20; ++seed) {
    RandomStream(desk, service, table, seed, 2000);
    if (HasFatalFailure()) return;
  }
}

INSTANTIATE_TEST_SUITE_P(Tables, PipelinePropertyTest, ::testing::Values(u"Unicode", u"VNI Windows"));

TEST_F(PipelineTest, RandomStreamsWithEveryMethodAndOptionsNeverCrash) {
  for (const char16_t* method : {u"Telex", u"VNI", u"VIQR"}) {
    service.SetTypingMethod(method);
    service.Context().GoCacTuTVLienTuc = true;
    service.Context().TuThemDauSac = true;
    service.CPUCao = true;
    RandomStream(desk, service, CBangMa(), 99, 3000);
  }
}

}  // namespace
}  // namespace tavirel
