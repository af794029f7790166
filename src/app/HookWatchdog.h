#pragma once
// Notices that Windows has taken a low-level hook away. Windows removes a
// hook without a word when its procedure once answers too slowly; from then
// on keys pass untouched. Input that the system counted (GetLastInputInfo)
// but no installed hook saw is the sign of it.
//
// The rule, on the main thread's timer:
//  - Only while the hooks are meant to be in: not while they are down on
//    purpose (locked session, suspend) or being taken down. Input from before
//    the hooks were (re)installed is never counted: the password typed at the
//    lock screen was not meant for them.
//  - Input counts as unseen when it came more than kTolerance after the last
//    event any installed hook saw, and that hook event is kSilence old.
//  - With the mouse hook in, every key and every mouse movement passes one of
//    the hooks, so unseen input means a hook is gone: install again.
//  - With the mouse hook off, unseen input may be the mouse's. The keyboard
//    hook is then asked directly: one marked key event (that the hook
//    swallows) is sent, and if the hook has not seen it kProbeWait later the
//    hook is gone. Probes are spaced kProbeEvery apart so that a moving mouse
//    does not cause a stream of them.
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
