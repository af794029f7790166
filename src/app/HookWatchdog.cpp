#include "app/HookWatchdog.h"

namespace tavirel {

namespace {

// How much later a is than b (negative: earlier), across the wrap.
int32_t After(uint32_t a, uint32_t b) { return static_cast<int32_t>(a - b); }
uint32_t Latest(uint32_t a, uint32_t b) { return After(a, b) > 0 ? a : b; }

}  // namespace

WatchdogAction CHookWatchdog::Check(const HookWatchdogInput& in) {
  if (!in.HooksWanted) {
    wanted_ = false;
    probePending_ = false;
    return WatchdogAction::None;
  }
  if (!wanted_) {
    wanted_ = true;
    since_ = in.Now;
  }
  const auto unseen = [&](uint32_t input, uint32_t seen) {
    return After(input, seen) > static_cast<int32_t>(kTolerance) &&
           After(in.Now, seen) >= static_cast<int32_t>(kSilence);
  };
  const uint32_t keySeen = Latest(since_, in.LastKeyEvent);
  const uint32_t anySeen = in.MouseHookIn ? Latest(keySeen, in.LastMouseEvent) : keySeen;
  const bool keyUnseen = in.LastRawKey != 0 && unseen(in.LastRawKey, keySeen);

  if (keyUnseen) {
    probePending_ = false;
  } else if (probePending_) {
    if (After(in.LastKeyEvent, probeAt_) >= 0) {
      probePending_ = false;  // the keyboard hook answered
      return WatchdogAction::None;
    }
    if (After(in.Now, probeAt_) < static_cast<int32_t>(kProbeWait)) return WatchdogAction::None;
    probePending_ = false;
  } else {
    if (!unseen(in.LastInput, anySeen)) return WatchdogAction::None;
    if (!in.MouseHookIn) {
      if (probedOnce_ && After(in.Now, probeAt_) < static_cast<int32_t>(kProbeEvery)) return WatchdogAction::None;
      return WatchdogAction::Probe;
    }
  }
  since_ = in.Now;
  ++reinstalls_;
  return WatchdogAction::Reinstall;
}

void CHookWatchdog::ProbeSent(uint32_t at, bool sent) {
  probedOnce_ = true;
  probeAt_ = at;
  probePending_ = sent;
}

bool CHookWatchdog::TakeNotice() {
  if (reinstalls_ == 0 || noticeTaken_) return false;
  noticeTaken_ = true;
  return true;
}

}  // namespace tavirel
