// Suggestions switched on and off from another thread while the hook thread
// types: the loading runs on the worker, the hook thread never waits for it,
// and the compound dictionary is shared with the compound correction without
// either user losing it. Run with ThreadSanitizer by the tsan preset.
#include <gtest/gtest.h>

#include <cstdio>
#include <stdexcept>
#include <string>

#include "common/Utf8.h"
#include "service/CInputMethodService.h"
#include "service/CTypingContext.h"
#include "sim/SimDesktop.h"
#include "sim/SimHookThread.h"
#include "spelling/CTuDienTuGhep.h"

namespace tavirel {
namespace {

TEST(SuggestionThreads, SwitchedOnFromAnotherThreadTheyStartOnceLoaded) {
  SimDesktop desk;
  CInputMethodService service(&desk);
  service.UsedKeywordsPath = Utf8ToUtf16(testing::TempDir()) + u"threads_used_keywords.dat";
  std::remove(Utf16ToUtf8(service.UsedKeywordsPath).c_str());
  std::string errors;  // the hook thread's; read after Stop
  service.Error.AddFn([&](const std::exception& e) { errors += e.what(); });
  SimHookThread hook(desk, service);
  for (int round = 0; round < 3; ++round) {
    service.Dispatcher().Post([](CInputMethodService& s) {
      s.EnableSuggestions(true);
      // Posted on the hook thread, the load is out on the worker: nothing yet.
      if (s.SuggestionsActive()) throw std::runtime_error("loaded on the hook thread");
    });
    // Typing goes on meanwhile.
    hook.Input([&] { desk.TypeText(u"chuwowng tr"); });
    hook.Flush();
    service.FinishBackgroundWork();
    std::u16string second;
    hook.Input([&] {
      desk.ClearText();
      desk.Click();
      desk.TypeText(u"chuwowng tr");
      second = service.SuggestionText(1);
      desk.Press(static_cast<uint16_t>(vk::kF1 + 1));
    });
    hook.Flush();
    EXPECT_EQ(Utf16ToUtf8(desk.Text()), Utf16ToUtf8(second) + " ") << round;
    // Learned, so the two change places from round to round.
    EXPECT_EQ(Utf16ToUtf8(second), round % 2 == 0 ? "chương trình nghị sự" : "chương trình") << round;
    // The correction takes the same dictionary; switching suggestions off
    // leaves it to the correction.
    service.Dispatcher().Post([](CInputMethodService& s) {
      s.Context().SetSuaLoiChinhTaTuGhep(true);
      s.EnableSuggestions(false);
      if (s.CompoundDictionary().Empty()) throw std::runtime_error("released while the correction needs it");
      s.Context().SetSuaLoiChinhTaTuGhep(false);
      if (!s.CompoundDictionary().Empty()) throw std::runtime_error("kept with no user");
    });
    hook.Flush();
    service.FinishBackgroundWork();
  }
  hook.Stop();
  EXPECT_EQ(errors, "");
  std::remove(Utf16ToUtf8(service.UsedKeywordsPath).c_str());
}

}  // namespace
}  // namespace tavirel
