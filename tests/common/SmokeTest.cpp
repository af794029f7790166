#include <gtest/gtest.h>
#include "common/Letters.h"
TEST(Letters, ToneTable) { EXPECT_EQ(tavirel::letters::AddTone(u'a', 0), u'á'); }
