#include "service/PasteWait.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace tavirel {
namespace {

using Step = CPasteWait::Step;

// Runs checks at kCheckMs after the first kAnsweringMs with the answers the
// pattern gives; returns the time waited when the wait ended.
template <typename Answers>
uint32_t WaitEnd(bool canAsk, Answers answers) {
  CPasteWait wait;
  wait.Start();
  uint32_t interval = CPasteWait::kAnsweringMs;
  for (int check = 0;; ++check) {
    if (wait.Check(interval, canAsk, answers(check)) == Step::GiveUp) return wait.Waited();
    interval = CPasteWait::kCheckMs;
  }
}

TEST(PasteWaitTest, AnApplicationThatCannotBeAskedIsWaitedForTheShortBound) {
  EXPECT_EQ(WaitEnd(false, [](int) { return true; }), CPasteWait::kAnsweringMs);
}

TEST(PasteWaitTest, AnsweringWithoutReadingEndsTheWaitAfterAFewAnswersInARow) {
  // The first check asks; three answers to the questions after it end it.
  EXPECT_EQ(WaitEnd(true, [](int) { return true; }),
            CPasteWait::kAnsweringMs + CPasteWait::kAnswersToGiveUp * CPasteWait::kCheckMs);
  // An answer at the first check is to no question (none was asked yet).
  EXPECT_EQ(WaitEnd(true, [](int check) { return check > 0; }),
            CPasteWait::kAnsweringMs + CPasteWait::kAnswersToGiveUp * CPasteWait::kCheckMs);
}

TEST(PasteWaitTest, ABusyApplicationIsWaitedForTheLongBound) {
  EXPECT_EQ(WaitEnd(true, [](int) { return false; }), CPasteWait::kBusyMs);
  // Answers now and then, never enough in a row: still busy.
  EXPECT_EQ(WaitEnd(true, [](int check) { return check % CPasteWait::kAnswersToGiveUp != 0; }),
            CPasteWait::kBusyMs);
}

TEST(PasteWaitTest, AnyPatternOfAnswersEndsWithinTheBoundsAndOnlyAfterARunOfAnswers) {
  std::mt19937 rng(18);
  for (int round = 0; round < 500; ++round) {
    std::bernoulli_distribution answer(0.2 + 0.7 * (round % 8) / 7.0);
    std::vector<bool> seen;
    const uint32_t end = WaitEnd(true, [&](int) {
      seen.push_back(answer(rng));
      return seen.back();
    });
    ASSERT_GE(end, CPasteWait::kAnsweringMs);
    ASSERT_LE(end, CPasteWait::kBusyMs);
    if (end < CPasteWait::kBusyMs) {
      // Ended early: the last kAnswersToGiveUp checks (after the first) answered.
      ASSERT_GT(seen.size(), static_cast<size_t>(CPasteWait::kAnswersToGiveUp));
      for (size_t i = seen.size() - CPasteWait::kAnswersToGiveUp; i < seen.size(); ++i) ASSERT_TRUE(seen[i]);
    }
  }
}

}  // namespace
}  // namespace tavirel
