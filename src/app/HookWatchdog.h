#pragma once
// Notices that Windows has taken a low-level hook away. Windows removes a
// hook without a word when its procedure once answers too slowly; from then
// on keys pass untouched. Input that the system counted but no installed
// hook saw is the sign of it. Two witnesses count input: the keyboard's raw
// input (keys only, reaching the main thread whether a hook is in or not)
// and the system's last input time (GetLastInputInfo: keys and the mouse;
// Wine stops advancing it for real keys while no low-level hook is in, so
// there the raw keys are the witness that counts).
//
// The rule, on the main thread's timer:
//  - Only while the hooks are meant to be in: not while they are down on
//    purpose (locked session, suspend) or being taken down, nor while the
//    foreground window runs above Tavirel (its keys reach no hook of ours).
//    Input from before the hooks were (re)installed is never counted: the
//    password typed at the lock screen was not meant for them.
//  - Input counts as unseen when it came more than kTolerance after the last
//    event the hook concerned saw, and that hook event is kSilence old.
//  - A raw key the keyboard hook did not see: the keyboard hook is gone,
//    install again.
//  - With the mouse hook in, every key and every mouse movement passes one of
//    the hooks, so unseen input of the system's count means a hook is gone:
//    install again.
//  - With the mouse hook off, that input may be the mouse's. The keyboard
//    hook is then asked directly: one marked key event (that the hook
//    swallows) is sent, and if the hook has not seen it kProbeWait later the
//    hook is gone. Probes are spaced kProbeEvery apart so that a moving mouse
//    does not cause a stream of them. Nothing is ever sent while no input
//    came: a probe is input too, and must not keep an idle computer awake.
// Times are GetTickCount values in milliseconds; they wrap after 49.7 days,
// so "later" is decided on the difference.
#include <cstdint>

namespace tavirel {

struct HookWatchdogInput {
  uint32_t Now = 0;
  uint32_t LastInput = 0;       // the system's last input of any kind
  uint32_t LastKeyEvent = 0;    // the keyboard hook's last event
  uint32_t LastMouseEvent = 0;  // the mouse hook's last event
  bool HooksWanted = false;     // the hooks are meant to be in
  bool MouseHookIn = false;     // the mouse hook is meant to be in
  uint32_t LastRawKey = 0;      // the last key of the keyboard's raw input (0: none)
};

enum class WatchdogAction { None, Probe, Reinstall };

class CHookWatchdog {
 public:
  static constexpr uint32_t kTolerance = 1000;
  static constexpr uint32_t kSilence = 3000;
  static constexpr uint32_t kProbeWait = 1000;
  static constexpr uint32_t kProbeEvery = 10000;

  WatchdogAction Check(const HookWatchdogInput& in);
  // The caller sent the probe that Check asked for (sent false: it could
  // not be sent; the next one is asked for kProbeEvery later).
  void ProbeSent(uint32_t at, bool sent);
  // True once: after the first reinstall, for the one balloon that tells
  // the user.
  bool TakeNotice();
  int Reinstalls() const { return reinstalls_; }

 private:
  bool wanted_ = false;
  uint32_t since_ = 0;  // when the hooks were last (re)installed, as seen here
  bool probePending_ = false;
  bool probedOnce_ = false;
  uint32_t probeAt_ = 0;
  int reinstalls_ = 0;
  bool noticeTaken_ = false;
};

}  // namespace tavirel
