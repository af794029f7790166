#include <gtest/gtest.h>

#include <random>

#include "app/HookWatchdog.h"

namespace tavirel {
namespace {

// A desktop as the watchdog sees it: time passes, the user types or moves
// the mouse, and the hooks see what reaches them while they are alive. The
// watchdog is checked every second, as the tray window's timer does, and
// its probes reach the keyboard hook like a key. Raw keys, when on, reach
// the watchdog a little after the hook saw them (a swallowed key gives
// none); on Wine the system's last input time moves for real input only
// while some low-level hook of ours is alive.
struct Desktop {
  explicit Desktop(uint32_t start = 1'000'000) : now(start) {}

  uint32_t now;
  uint32_t lastInput = 0, lastKey = 0, lastMouse = 0, lastRaw = 0;
  bool keyHookAlive = true, mouseHookAlive = true;
  bool wanted = true, mouseHookIn = true;
  bool probesFail = false;
  bool rawKeys = false, wine = false;
  int probes = 0, reinstalls = 0;
  CHookWatchdog dog;

  bool HookAlive() const { return wanted && (keyHookAlive || (mouseHookIn && mouseHookAlive)); }
  void Counted() {
    if (!wine || HookAlive()) lastInput = now;
  }
  void Key(bool probe = false) {
    if (probe) lastInput = now;  // injected: counted on Wine too
    else Counted();
    const bool seen = keyHookAlive && wanted;
    if (seen) lastKey = now;
    if (rawKeys && !(probe && seen)) lastRaw = now + 30;
  }
  void Mouse() {
    Counted();
    if (mouseHookAlive && mouseHookIn && wanted) lastMouse = now;
  }
  void Check() {
    const WatchdogAction a = dog.Check({now, lastInput, lastKey, lastMouse, wanted, mouseHookIn, lastRaw});
    if (a == WatchdogAction::Probe) {
      ++probes;
      dog.ProbeSent(now, !probesFail);
      if (!probesFail) Key(true);
    } else if (a == WatchdogAction::Reinstall) {
      ++reinstalls;
      keyHookAlive = mouseHookAlive = true;
    }
  }
  // Seconds of time with a check each second; input each `every` ms.
  template <typename Input>
  void For(uint32_t ms, uint32_t every, Input input) {
    for (uint32_t t = 0; t < ms; t += 100) {
      now += 100;
      if (every && t % every == 0) input();
      if (now % 1000 == 0) Check();
    }
  }
  void Typing(uint32_t ms) { For(ms, 200, [this] { Key(); }); }
  void Moving(uint32_t ms) { For(ms, 100, [this] { Mouse(); }); }
  void Idle(uint32_t ms) { For(ms, 0, [] {}); }
};

TEST(HookWatchdog, LiveHooksAreLeftAloneWhateverTheInput) {
  for (int run = 0; run < 4; ++run) {
    const bool mouseHook = run % 2 == 0;
    std::mt19937 rng(7 + run);
    Desktop d;
    d.mouseHookIn = mouseHook;
    d.rawKeys = run >= 2;
    for (int round = 0; round < 500; ++round) {
      const uint32_t ms = 100 * (1 + rng() % 80);
      switch (rng() % 3) {
        case 0: d.Typing(ms); break;
        case 1: d.Moving(ms); break;
        default: d.Idle(ms); break;
      }
    }
    EXPECT_EQ(d.reinstalls, 0) << "mouse hook " << mouseHook << ", raw keys " << d.rawKeys;
    // Without the mouse hook, mouse input is checked with a probe, but
    // rarely: never more than one each kProbeEvery.
    if (mouseHook) {
      EXPECT_EQ(d.probes, 0);
    } else {
      EXPECT_GT(d.probes, 0);
      EXPECT_LE(d.probes, 1 + 500 * 8000 / 10000);
    }
    EXPECT_FALSE(d.dog.TakeNotice());
  }
}

TEST(HookWatchdog, AKeyboardHookTakenAwayIsReinstalledAfterAFewSecondsOfTyping) {
  Desktop d;
  d.Typing(5000);
  d.keyHookAlive = false;
  d.Typing(2000);
  EXPECT_EQ(d.reinstalls, 0) << "not before the hook has been silent for a few seconds";
  d.Typing(3000);
  EXPECT_EQ(d.reinstalls, 1);
  EXPECT_TRUE(d.keyHookAlive);
  EXPECT_TRUE(d.dog.TakeNotice());
  d.Typing(20000);
  EXPECT_EQ(d.reinstalls, 1) << "a hook that sees keys again is left alone";
  // Taken away a second time: installed again, without a second balloon.
  d.keyHookAlive = false;
  d.Typing(6000);
  EXPECT_EQ(d.reinstalls, 2);
  EXPECT_FALSE(d.dog.TakeNotice());
}

TEST(HookWatchdog, AnIdleDeskOrAGoneHookWithoutInputIsNoReason) {
  Desktop d;
  d.keyHookAlive = false;
  d.Idle(60000);
  EXPECT_EQ(d.reinstalls, 0);
  d.Key();  // one key: reinstalled once it has gone unseen for long enough
  d.Idle(5000);
  EXPECT_EQ(d.reinstalls, 1);
}

TEST(HookWatchdog, HooksDownOnPurposeAreNeverReinstalled) {
  Desktop d;
  d.Typing(3000);
  d.wanted = false;  // locked: the password is typed with the hooks out
  d.Typing(30000);
  d.Moving(5000);
  EXPECT_EQ(d.reinstalls, 0);
  EXPECT_EQ(d.probes, 0);
  // Unlocked: what was typed while locked is not held against the hooks.
  d.wanted = true;
  d.Idle(10000);
  d.Typing(10000);
  EXPECT_EQ(d.reinstalls, 0);
  // A probe in flight when the hooks go down is dropped with them.
  d.mouseHookIn = false;
  d.keyHookAlive = false;
  for (int i = 0; i < 100 && d.probes == 0; ++i) d.Moving(100);
  ASSERT_EQ(d.probes, 1);
  d.wanted = false;
  d.Idle(5000);
  d.wanted = true;
  d.Idle(5000);
  EXPECT_EQ(d.reinstalls, 0);
}

TEST(HookWatchdog, WithoutTheMouseHookTheKeyboardHookIsAskedBeforeReinstalling) {
  Desktop d;
  d.mouseHookIn = false;
  d.Moving(4000);
  EXPECT_EQ(d.probes, 1) << "mouse input no hook saw";
  EXPECT_EQ(d.reinstalls, 0) << "the keyboard hook saw the probe";
  d.Moving(5000);
  EXPECT_EQ(d.probes, 1) << "spaced out";
  // The keyboard hook gone: the next probe goes unanswered.
  d.keyHookAlive = false;
  d.Moving(8000);
  EXPECT_EQ(d.probes, 2);
  EXPECT_EQ(d.reinstalls, 1);
  EXPECT_TRUE(d.dog.TakeNotice());
}

TEST(HookWatchdog, AProbeThatCouldNotBeSentIsNoEvidence) {
  Desktop d;
  d.mouseHookIn = false;
  d.probesFail = true;
  d.keyHookAlive = false;
  d.Moving(30000);
  EXPECT_EQ(d.reinstalls, 0);
  EXPECT_GE(d.probes, 2);
  EXPECT_LE(d.probes, 4);
  d.probesFail = false;
  d.Typing(12000);
  EXPECT_EQ(d.reinstalls, 1);
}

TEST(HookWatchdog, OnWineRawKeysRevealAGoneKeyboardHookThatTheSystemsCountMisses) {
  // Wine: with no hook of ours alive, real keys no longer move the last
  // input time. Whatever the mouse hook, a few seconds of typing that only
  // the raw input saw bring the hooks back; typing that raw input saw and
  // the hook saw too changes nothing.
  for (bool mouseHook : {true, false}) {
    Desktop d;
    d.wine = d.rawKeys = true;
    d.mouseHookIn = mouseHook;
    d.Typing(10000);
    EXPECT_EQ(d.reinstalls, 0);
    d.keyHookAlive = d.mouseHookAlive = false;
    d.Typing(2000);
    EXPECT_EQ(d.reinstalls, 0) << "not before the hook has been silent for a few seconds";
    d.Typing(3000);
    EXPECT_EQ(d.reinstalls, 1) << "mouse hook " << mouseHook;
    EXPECT_TRUE(d.dog.TakeNotice());
    d.Typing(20000);
    EXPECT_EQ(d.reinstalls, 1);
    // Only the keyboard hook gone, the mouse hook alive and the mouse moving.
    d.keyHookAlive = false;
    d.For(6000, 100, [&d] { d.Mouse(); d.Key(); });
    EXPECT_EQ(d.reinstalls, 2) << "mouse hook " << mouseHook;
    EXPECT_LE(d.probes, 1) << "raw keys need no probe";
    // Without raw keys the same drop is not seen at all: that is what the
    // raw keys are for.
    Desktop blind;
    blind.wine = true;
    blind.mouseHookIn = mouseHook;
    blind.Typing(3000);
    blind.keyHookAlive = blind.mouseHookAlive = false;
    blind.Typing(30000);
    EXPECT_EQ(blind.reinstalls, 0);
    EXPECT_EQ(blind.probes, 0) << "nothing is sent while no input is counted";
  }
}

TEST(HookWatchdog, RawKeysFromBeforeTheHooksWereWantedDoNotCount) {
  Desktop d;
  d.rawKeys = true;
  d.Typing(3000);
  d.wanted = false;  // locked, or a window above Tavirel in front
  d.Typing(10000);
  d.wanted = true;
  d.Idle(10000);
  EXPECT_EQ(d.reinstalls, 0);
  // Raw keys that arrive after the hook is wanted again, though, do.
  d.keyHookAlive = false;
  d.Typing(5000);
  EXPECT_EQ(d.reinstalls, 1);
}

TEST(HookWatchdog, TheTickCounterWrapping) {
  // Ticks start 2 s before the 32-bit wrap: typing across it is seen, and
  // a hook taken away just after it is still noticed.
  Desktop d(0xFFFFFFFFu - 2099u);
  d.Typing(8000);
  EXPECT_EQ(d.reinstalls, 0);
  d.keyHookAlive = false;
  d.Typing(6000);
  EXPECT_EQ(d.reinstalls, 1);
  Desktop e(0xFFFFFFFFu - 2099u);
  e.Typing(1000);
  e.keyHookAlive = false;
  e.Typing(6000);
  EXPECT_EQ(e.reinstalls, 1);
}

}  // namespace
}  // namespace tavirel
