// Changes posted to the service from another thread: where and when they
// run, waiting with a timeout, and failures.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "common/Utf8.h"
#include "service/CInputMethodService.h"
#include "sim/SimDesktop.h"
#include "sim/SimHookThread.h"

namespace tavirel {
namespace {

using std::chrono::milliseconds;

class DispatcherTest : public ::testing::Test {
 protected:
  // Occupies the hook thread until the returned promise is set.
  std::promise<void> BlockHookThread() {
    std::promise<void> release;
    auto released = release.get_future().share();
    std::promise<void> entered;
    auto inside = entered.get_future();
    hook.Input([released, &entered] {
      entered.set_value();
      released.wait();
    });
    inside.wait();
    return release;
  }

  SimDesktop desk;
  CInputMethodService service{&desk};
  SimHookThread hook{desk, service};
};

TEST_F(DispatcherTest, PostedChangesRunOnTheHookThreadInOrderBetweenKeys) {
  std::vector<std::string> log;  // written on the hook thread only
  std::vector<std::thread::id> ranOn;
  auto release = BlockHookThread();
  // Post never waits, even while the hook thread is busy.
  for (int i = 0; i < 3; ++i) {
    EXPECT_TRUE(service.Dispatcher().Post([&, i](CInputMethodService& s) {
      log.push_back("change" + std::to_string(i));
      ranOn.push_back(std::this_thread::get_id());
      s.SetVietnamese(i % 2 == 0);
    }));
  }
  EXPECT_TRUE(service.Dispatcher().HasPending());
  hook.Input([&] {
    desk.TypeText(u"as");
    log.push_back(Utf16ToUtf8(desk.Text()));
  });
  release.set_value();
  hook.Flush();
  // The changes came in while the first key event ran; they ran before the
  // next one, and the last left Vietnamese on.
  EXPECT_EQ(log, (std::vector<std::string>{"change0", "change1", "change2", "á"}));
  for (const auto id : ranOn) EXPECT_EQ(id, hook.Id());
  EXPECT_FALSE(service.Dispatcher().HasPending());
}

TEST_F(DispatcherTest, CallGivesTheResultOrWithdrawsTheChangeOnTimeout) {
  const auto method = service.Dispatcher().Call([](CInputMethodService& s) { return s.TypingMethod(); },
                                                milliseconds(10000));
  ASSERT_TRUE(method.has_value());
  EXPECT_EQ(*method, u"Telex 2");
  EXPECT_TRUE(service.Dispatcher().Call([](CInputMethodService& s) { s.Reset(); }, milliseconds(10000)));

  // The hook thread is busy: the call times out and its change never runs,
  // though it refers to a local that is gone by then.
  auto release = BlockHookThread();
  std::atomic<int> late{0};
  {
    int local = 7;
    const auto r = service.Dispatcher().Call(
        [&](CInputMethodService&) {
          late = local;
          return local;
        },
        milliseconds(20));
    EXPECT_FALSE(r.has_value());
  }
  release.set_value();
  hook.Flush();
  EXPECT_TRUE(service.Dispatcher().Call([](CInputMethodService&) {}, milliseconds(10000)));
  EXPECT_EQ(late.load(), 0);
}

TEST_F(DispatcherTest, CallNeverReturnsWhileItsChangeRuns) {
  // The change outlasts the timeout. Either it had not started when the
  // time ran out (withdrawn: no result, nothing written) or Call waits for
  // its end (result, and the caller's local written). Longer timeouts until
  // the second case has been seen; neither answer depends on speed.
  for (int ms = 1; ms <= 256; ms *= 2) {
    std::atomic<bool> started{false};
    std::string local;
    const auto r = service.Dispatcher().Call(
        [&](CInputMethodService&) {
          started = true;
          std::this_thread::sleep_for(milliseconds(ms + 20));
          local = "written";
          return 5;
        },
        milliseconds(ms));
    ASSERT_EQ(r.has_value(), started.load());
    if (!r) {
      EXPECT_EQ(local, "");
      continue;
    }
    EXPECT_EQ(*r, 5);
    EXPECT_EQ(local, "written");
    break;
  }
}

TEST_F(DispatcherTest, FailuresReachTheErrorEventOrTheCaller) {
  std::vector<std::string> errors;  // raised on the hook thread
  service.Dispatcher().Call(
      [&](CInputMethodService& s) { s.Error.AddFn([&](const std::exception& e) { errors.push_back(e.what()); }); },
      milliseconds(10000));
  service.Dispatcher().Post([](CInputMethodService&) { throw std::runtime_error("posted"); });
  EXPECT_THROW(service.Dispatcher().Call([](CInputMethodService&) -> int { throw std::runtime_error("called"); },
                                         milliseconds(10000)),
               std::runtime_error);
  hook.Flush();
  EXPECT_EQ(errors, std::vector<std::string>{"posted"});
  // Typing still works after both.
  hook.Input([&] { desk.TypeText(u"vieetj"); });
  hook.Flush();
  EXPECT_EQ(Utf16ToUtf8(desk.Text()), "việt");
}

TEST_F(DispatcherTest, OnTheHookThreadAndWithoutOneChangesRunAtOnce) {
  // A hotkey action posting from the hook thread must not wait for itself.
  bool nestedRan = false;
  hook.Input([&] {
    service.Dispatcher().Post([&](CInputMethodService&) { nestedRan = true; });
    const auto r = service.Dispatcher().Call([](CInputMethodService&) { return 1; }, milliseconds(0));
    EXPECT_TRUE(nestedRan);
    EXPECT_EQ(r, 1);
  });
  hook.Flush();
  EXPECT_TRUE(nestedRan);

  // After the thread stops, the caller's thread owns the service again;
  // what was still queued ran before the thread ended.
  auto release = BlockHookThread();
  bool queuedRan = false;
  service.Dispatcher().Post([&](CInputMethodService&) { queuedRan = true; });
  release.set_value();
  hook.Stop();
  EXPECT_TRUE(queuedRan);
  bool direct = false;
  service.Dispatcher().Post([&](CInputMethodService&) { direct = true; });
  EXPECT_TRUE(direct);
}

}  // namespace
}  // namespace tavirel
