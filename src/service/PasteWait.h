// How long a paste waits for the application to read it.
//
// An application that is busy (its thread has not got back to its messages)
// reads our Ctrl+V when it gets to it; the keys that follow would queue
// behind it anyway, so waiting loses nothing, whereas typing the text as key
// packets loses what key packets cannot carry. Only an application that
// answers, yet does not take the paste, ends the wait early.
#pragma once

#include <cstdint>

namespace tavirel {

class CPasteWait {
 public:
  // The wait for an application that answers but does not read the paste.
  static constexpr uint32_t kAnsweringMs = 2000;
  // The wait for an application that does not answer.
  static constexpr uint32_t kBusyMs = 10000;
  // How often the application is asked after kAnsweringMs.
  static constexpr uint32_t kCheckMs = 100;
  // Checks in a row at which it had answered the question before: it is
  // getting through its input (the Ctrl+V among it) without reading.
  static constexpr int kAnswersToGiveUp = 3;

  enum class Step { Wait, GiveUp };

  void Start() {
    waitedMs_ = 0;
    answersInRow_ = 0;
  }
  // waitedMs: time since the last call (or Start). canAsk: the application
  // can be asked whether it answers; answered: it answered the question
  // asked at the last check.
  Step Check(uint32_t waitedMs, bool canAsk, bool answered) {
    const bool asked = waitedMs_ >= kAnsweringMs;
    waitedMs_ += waitedMs;
    if (waitedMs_ >= kBusyMs) return Step::GiveUp;
    if (waitedMs_ < kAnsweringMs) return Step::Wait;
    if (!canAsk) return Step::GiveUp;
    answersInRow_ = asked && answered ? answersInRow_ + 1 : 0;
    return answersInRow_ >= kAnswersToGiveUp ? Step::GiveUp : Step::Wait;
  }
  uint32_t Waited() const { return waitedMs_; }

 private:
  uint32_t waitedMs_ = 0;
  int answersInRow_ = 0;
};

}  // namespace tavirel
