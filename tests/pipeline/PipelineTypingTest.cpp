#include "pipeline/PipelineFixture.h"

namespace tavirel {
namespace {

TEST_F(PipelineTest, TelexSentence) {
  EXPECT_EQ(Type(u"Tieengs Vieetj raats hay. "), "Tiếng Việt rất hay. ");
}

}  // namespace
}  // namespace tavirel
