// The key path keeps a few sums of its state, read at every key instead of
// the states themselves: whether a key-down can take the short road, and
// whether a replacement can go out as it is in key packets. Every way those
// states change must show at the very next key, after keys that took the
// short road.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "common/Utf8.h"
#include "service/AppRules.h"
#include "service/CInputMethodService.h"
#include "sim/SimDesktop.h"

namespace tavirel {
namespace {

struct Change {
  const char* name;
  // Before any key: windows, rules. Returns nothing; the desk has the focus
  // on a fresh Unicode window "edit.exe" afterwards.
  std::function<void(CInputMethodService&, SimDesktop&)> setup;
  std::function<void(CInputMethodService&, SimDesktop&)> change;
  const char* after;  // what "vieetj " gives after the change (UTF-8)
  bool pastes = false;  // and whether it went in through the clipboard
};

AppRule RuleFor(const char16_t* program, AppVietnamese vietnamese, AppDelivery delivery) {
  AppRule rule;
  rule.Program = program;
  rule.Vietnamese = vietnamese;
  rule.Delivery = delivery;
  return rule;
}

void Rules(CInputMethodService& s, std::vector<AppRule> rules) {
  CAppRules all;
  for (const AppRule& r : rules) all.Set(r);
  s.SetAppRules(std::move(all));
}

// Moves the focus to a new window of program, Unicode or not.
WindowHandle FocusNew(SimDesktop& d, const char16_t* program, bool unicode = true,
                      const char16_t* className = u"Edit") {
  const WindowHandle w = d.AddWindow(className, unicode);
  d.SetProgram(w, program);
  d.SetFocus(w);
  return w;
}

std::vector<Change> Changes() {
  using S = CInputMethodService;
  using D = SimDesktop;
  const auto none = [](S&, D&) {};
  return {
      // Vietnamese typing off, every way it goes off.
      {"SetVietnamese", none, [](S& s, D&) { s.SetVietnamese(false); }, "vieetj "},
      {"through the dispatcher", none,
       [](S& s, D&) { s.Dispatcher().Post([](S& service) { service.SetVietnamese(false); }); }, "vieetj "},
      {"the on/off hotkey", none,
       [](S&, D& d) {
         d.KeyDown(vk::kLControl);
         d.KeyDown(vk::kLShift);
         d.KeyUp(vk::kLShift);
         d.KeyUp(vk::kLControl);
       },
       "vieetj "},
      {"a program's rule at a focus change",
       [](S& s, D&) { Rules(s, {RuleFor(u"off.exe", AppVietnamese::Off, AppDelivery::Default)}); },
       [](S&, D& d) { FocusNew(d, u"off.exe"); }, "vieetj "},
      // The focus takes no processed keys.
      {"a window of higher integrity", none,
       [](S&, D& d) {
         const WindowHandle w = d.AddWindow(u"Edit");
         d.SetHigherIntegrity(w);
         d.SetFocus(w);
       },
       "vieetj "},
      {"a password field", none,
       [](S&, D& d) {
         const WindowHandle w = d.AddWindow(u"Edit");
         d.SetPassword(w);
         d.SetFocus(w);
       },
       "vieetj "},
      // The replacement goes out another way.
      {"a window that is not Unicode takes a paste", none,
       [](S&, D& d) { FocusNew(d, u"ansi.exe", false); }, "việt ", true},
      {"a window that pastes only", none,
       [](S&, D& d) { FocusNew(d, u"gtk.exe", true, u"gdkWindowToplevel"); }, "việt ", true},
      {"a rule that pastes",
       [](S& s, D&) { Rules(s, {RuleFor(u"paste.exe", AppVietnamese::Keep, AppDelivery::Clipboard)}); },
       [](S&, D& d) { FocusNew(d, u"paste.exe"); }, "việt ", true},
      {"a rule for a field that completes",
       [](S& s, D&) { Rules(s, {RuleFor(u"ac.exe", AppVietnamese::Keep, AppDelivery::AutoComplete)}); },
       [](S&, D& d) {
         const WindowHandle w = FocusNew(d, u"ac.exe");
         d.SetCompletions(w, {u"vietnam"});
       },
       "việt "},
      // A window that takes Unicode text by pasting only gets an 8-bit
      // table's text in key packets, and Unicode pasted again.
      {"the code table",
       [](S& s, D& d) {
         FocusNew(d, u"gtk.exe", true, u"gdkWindowToplevel");
         s.SetCodeTable(u"TCVN3 (ABC)");
       },
       [](S& s, D&) { s.SetCodeTable(u"Unicode"); }, "việt ", true},
      {"the code table through the dispatcher",
       [](S& s, D& d) {
         FocusNew(d, u"gtk.exe", true, u"gdkWindowToplevel");
         s.SetCodeTable(u"TCVN3 (ABC)");
       },
       [](S& s, D&) { s.Dispatcher().Post([](S& service) { service.SetCodeTable(u"Unicode"); }); }, "việt ",
       true},
  };
}

TEST(KeyRoad, EveryChangeShowsAtTheNextKey) {
  for (const Change& c : Changes()) {
    SCOPED_TRACE(c.name);
    SimDesktop desk;
    CInputMethodService service(&desk);
    desk.InstallHooks(&service);
    FocusNew(desk, u"edit.exe");
    c.setup(service, desk);
    // Words typed the short way first, then the change, then a word.
    desk.TypeText(u"tieengs ");
    const std::u16string before = desk.TextOf(desk.Focused());
    c.change(service, desk);
    desk.RunDeferredWork();
    desk.Advance(2000);  // the clipboard put back
    desk.TypeText(u"vieetj ");
    desk.RunDeferredWork();
    desk.FinishFieldReplacements();
    std::u16string text = desk.TextOf(desk.Focused());
    if (text.compare(0, before.size(), before) == 0 && desk.Focused() != 0) text.erase(0, before.size());
    EXPECT_EQ(Utf16ToUtf8(text), c.after);
    EXPECT_EQ(desk.TimerRunning(), c.pastes);
  }
}

}  // namespace
}  // namespace tavirel
