// A hotkey's key changed in any way callers change it takes effect at the
// next key, also for a letter typed alone: the service skips the search of
// the hotkeys for a key that none without modifiers uses, and must learn of
// every change of the hotkeys to know which those are.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "AppTestUtil.h"
#include "app/AppOptions.h"
#include "app/LuaChonFile.h"
#include "app/PhimTatFile.h"
#include "service/CInputMethodService.h"
#include "sim/SimDesktop.h"

namespace tavirel {
namespace {

using test::TempFolder;

// A user action that swallows its key; optionally binds itself anew.
class SwallowingAction : public CHotKeyActionBase {
 public:
  using CHotKeyActionBase::CHotKeyActionBase;
  bool Execute() override {
    if (rebindTo.has_value()) Key = *rebindTo;
    return true;
  }
  std::optional<KeyCombo> rebindTo;
};

constexpr KeyCombo kK{0, 'K'};               // the letter alone
constexpr KeyCombo kAway{modbits::kCtrl, 'Q'};  // a chord no letter reaches

struct Path {
  const char* name;
  // Called on a fresh service before any key; gives the way to bind the
  // hotkey under test to a key.
  std::function<std::function<void(KeyCombo)>(CInputMethodService&, SimDesktop&, const TempFolder&)> make;
};

std::vector<Path> Paths() {
  return {
      {"built-in setter",
       [](CInputMethodService& s, SimDesktop&, const TempFolder&) {
         return [&s](KeyCombo k) { s.SetPhimChuyen(k); };
       }},
      {"built-in action's key through a pointer kept from before",
       [](CInputMethodService& s, SimDesktop&, const TempFolder&) {
         CHotKeyActionBase* chuyen = s.BuiltInHotKeys()[4];
         return [chuyen](KeyCombo k) { chuyen->Key = k; };
       }},
      {"LuaChon.ini",
       [](CInputMethodService& s, SimDesktop&, const TempFolder& dir) {
         return [&s, &dir](KeyCombo k) {
           dir.Write("LuaChon.ini", "[LuaChon]\r\nPhimChuyen=" + std::to_string(k.ToInt()) + "\r\n");
           AppOptions app;
           ASSERT_EQ(LoadOptions(dir.File("LuaChon.ini"), s, app, false), SettingsFileStatus::Read);
         };
       }},
      {"PhimTat.ini",
       [](CInputMethodService& s, SimDesktop&, const TempFolder& dir) {
         return [&s, &dir](KeyCombo k) {
           dir.Write("PhimTat.ini", "[0]\r\nName=BatTat\r\nHotKey=" + std::to_string(k.ToInt()) + "\r\n");
           ASSERT_EQ(LoadHotkeys(dir.File("PhimTat.ini"), s), SettingsFileStatus::Read);
         };
       }},
      {"user list, added to",
       [](CInputMethodService& s, SimDesktop&, const TempFolder&) {
         return [&s](KeyCombo k) {
           s.UserHotKeys().clear();
           s.UserHotKeys().push_back(std::make_unique<SwallowingAction>(&s, k));
         };
       }},
      {"user list replaced through the dispatcher (the hotkey editor)",
       [](CInputMethodService& s, SimDesktop&, const TempFolder&) {
         return [&s](KeyCombo k) {
           auto list = std::make_shared<std::vector<std::unique_ptr<CHotKeyActionBase>>>();
           list->push_back(std::make_unique<SwallowingAction>(&s, k));
           s.Dispatcher().Post([list](CInputMethodService& service) { service.UserHotKeys() = std::move(*list); });
         };
       }},
      {"user action's key through a pointer kept from before",
       [](CInputMethodService& s, SimDesktop&, const TempFolder&) {
         auto action = std::make_unique<SwallowingAction>(&s, kAway);
         SwallowingAction* kept = action.get();
         s.UserHotKeys().push_back(std::move(action));
         return [kept](KeyCombo k) { kept->Key = k; };
       }},
      {"an action binding itself anew when it runs",
       [](CInputMethodService& s, SimDesktop& desk, const TempFolder&) {
         auto action = std::make_unique<SwallowingAction>(&s, kAway);
         SwallowingAction* kept = action.get();
         s.UserHotKeys().push_back(std::move(action));
         return [kept, &desk](KeyCombo k) {
           kept->rebindTo = k;
           // Its key now, with its modifiers held.
           const KeyCombo from = kept->Key;
           const bool ctrl = (from.Modifiers & modbits::kCtrl) != 0, alt = (from.Modifiers & modbits::kAlt) != 0;
           if (ctrl) desk.KeyDown(vk::kLControl);
           if (alt) desk.KeyDown(vk::kLMenu);
           desk.Press(from.Key);
           if (alt) desk.KeyUp(vk::kLMenu);
           if (ctrl) desk.KeyUp(vk::kLControl);
           kept->rebindTo.reset();
         };
       }},
  };
}

TEST(HotKeyChanges, EveryPathTakesEffectAtTheNextKey) {
  for (const Path& path : Paths()) {
    SCOPED_TRACE(path.name);
    TempFolder dir;
    SimDesktop desk;
    CInputMethodService service(&desk);
    desk.InstallHooks(&service);
    const auto bind = path.make(service, desk, dir);
    // Typing on, a word typed (the letters went the short way), then the
    // change, then the letter.
    const auto typeAfter = [&](const std::function<void()>& change) {
      service.MasterSwitch = true;
      service.SetVietnamese(true);
      desk.ClearText();
      desk.Click();
      desk.TypeText(u"vie");
      change();
      desk.Press('K');
      return desk.Text();
    };
    EXPECT_EQ(typeAfter([] {}), u"viek");
    EXPECT_EQ(typeAfter([&] { bind(kK); }), u"vie") << "the hotkey swallows the letter";
    EXPECT_EQ(typeAfter([&] { bind(KeyCombo(modbits::kAlt, 'K')); }), u"viek");
    EXPECT_EQ(typeAfter([&] { bind(kK); }), u"vie");
    // Moved to a key the key path handles itself: the letter is free again.
    EXPECT_EQ(typeAfter([&] { bind(KeyCombo(0, vk::kTab)); }), u"viek");
  }
}

}  // namespace
}  // namespace tavirel
