// Handlers that change the subscriber list while the event is raised.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/Event.h"

namespace tavirel {
namespace {

using Log = std::vector<std::string>;

TEST(Event, HandlersMaySubscribeAndUnsubscribeWhileRaised) {
  Event<int> e;
  Log log;
  Event<int>::Base* self = nullptr;
  e.AddFn([&](int) { log.push_back("a"); });
  // Removes itself, then still uses its own captured state.
  self = e.AddFn([&, name = std::string("once")](int) {
    e.RemoveHandler(self);
    log.push_back(name);
  });
  // Subscribes a new handler on every raise; the vector grows under the loop.
  e.AddFn([&](int n) {
    log.push_back("c");
    for (int i = 0; i < 8; ++i) e.AddFn([&log, n](int) { log.push_back("new" + std::to_string(n)); });
  });
  e.AddFn([&](int) { log.push_back("d"); });

  e.Raise(1);
  // Added handlers wait for the next raise; the removed one ran this time.
  EXPECT_EQ(log, (Log{"a", "once", "c", "d"}));
  EXPECT_EQ(e.Count(), 3u + 8u);

  log.clear();
  e.Raise(2);
  ASSERT_EQ(log.size(), 3u + 8u);
  EXPECT_EQ(log[0], "a");
  EXPECT_EQ(log[1], "c");
  EXPECT_EQ(log[2], "d");
  EXPECT_EQ(log[3], "new1");
  EXPECT_EQ(e.Count(), 3u + 16u);
}

TEST(Event, RemovalDuringARaiseSkipsLaterHandlersAndNestedRaisesAgree) {
  struct Owner {
    Event<int>* e = nullptr;
    Log* log = nullptr;
    std::string name;
    void On(int depth) {
      log->push_back(name + std::to_string(depth));
      // The first handler raises again, then unsubscribes the third owner.
      if (name == "x" && depth == 0) {
        e->Raise(1);
        e->Remove(third);
      }
    }
    Owner* third = nullptr;
  };
  Event<int> e;
  Log log;
  Owner x{&e, &log, "x"}, y{&e, &log, "y"}, z{&e, &log, "z"};
  x.third = &z;
  e.Add(&x, &Owner::On);
  e.Add(&y, &Owner::On);
  e.Add(&z, &Owner::On);
  e.Raise(0);
  EXPECT_EQ(log, (Log{"x0", "x1", "y1", "z1", "y0"}));
  EXPECT_EQ(e.Count(), 2u);

  // Clearing from an inner raise: nothing after it runs in either raise.
  log.clear();
  e.AddFn([&](int) {
    log.push_back("clear");
    e.Clear();
  });
  e.AddFn([&](int) { log.push_back("never"); });
  e.Raise(0);
  EXPECT_EQ(log, (Log{"x0", "x1", "y1", "clear"}));
  EXPECT_TRUE(e.Empty());
  log.clear();
  e.Raise(0);
  EXPECT_TRUE(log.empty());
}

TEST(Event, ResultIsTheLastLiveHandlersAndDefaultWhenNone) {
  Event<int, int> e;
  EXPECT_EQ(e.Raise(3), 0);
  e.AddFn([](int v) { return v + 1; });
  auto* last = e.AddFn([](int v) { return v * 10; });
  EXPECT_EQ(e.Raise(3), 30);
  e.RemoveHandler(last);
  EXPECT_EQ(e.Raise(3), 4);
}

}  // namespace
}  // namespace tavirel
