// One thread types random keys while another changes every option, typing
// method, code table and hotkey list through the dispatcher. Built with
// ThreadSanitizer by the tsan preset: any data race is a report there. In
// every build, after every key the end of the field is what the typing
// context believes is on screen.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "common/Utf8.h"
#include "service/CInputMethodService.h"
#include "service/CTypingContext.h"
#include "service/ServiceTables.h"
#include "sim/SimDesktop.h"
#include "sim/SimHookThread.h"
#include "tables/CBangMa.h"

namespace tavirel {
namespace {

// A user hotkey that does one of a few things to the service.
class StressAction : public CHotKeyActionBase {
 public:
  StressAction(CInputMethodService* s, KeyCombo key, int kind) : CHotKeyActionBase(s, key), kind_(kind) {}
  bool Execute() override {
    switch (kind_) {
      case 0:
        Service->SetVietnamese(!Service->IsVietnamese());
        return true;
      case 1:
        Service->SetTypingMethod(Service->TypingMethod() == u"VNI" ? u"Telex 2" : u"VNI");
        return true;
      case 2:
        Service->Reset();
        return false;
      default:
        Service->SetCodeTable(Service->CodeTable() == u"Unicode" ? u"VNI Windows" : u"Unicode");
        return true;
    }
  }

 private:
  int kind_;
};

// The changes the other thread posts, chosen at random.
void PostRandomChange(CInputMethodService& service, std::mt19937& rng, const std::vector<std::u16string>& methods,
                      const std::vector<std::u16string>& tables) {
  auto pick = [&](size_t n) { return static_cast<size_t>(rng() % n); };
  const bool on = rng() % 2 == 0;
  const uint32_t r = rng();
  CServiceDispatcher& d = service.Dispatcher();
  switch (pick(16)) {
    case 0:
      d.Post([m = methods[pick(methods.size())]](CInputMethodService& s) { s.SetTypingMethod(m); });
      break;
    case 1:
      d.Post([t = tables[pick(tables.size())]](CInputMethodService& s) { s.SetCodeTable(t); });
      break;
    case 2:
      d.Post([on](CInputMethodService& s) { s.SetVietnamese(on); });
      break;
    case 3:
      d.Post([on, r](CInputMethodService& s) {
        s.MasterSwitch = on || (r & 1);  // off only now and then
        s.CPUCao = (r & 2) && (r & 4);
        s.Clipboard = (r & 8) && (r & 16);
        s.RestoreClipboard = (r & 32) != 0;
        s.DetectAutoCompleteWindows = (r & 64) != 0;
        s.SuggestionsSuspended = (r & 128) != 0;
        s.EnableMouseHook = (r & 256) != 0;
        s.SoLuongTuGoiY = static_cast<int32_t>(r % 30);
      });
      break;
    case 4:
      d.Post([r](CInputMethodService& s) {
        CTypingContext& c = s.Context();
        c.GoTat = r & 1;
        c.XuLyHoaThuongKhiGoTat = r & 2;
        c.ChanPhimKhiGoTat = r & 4;
        c.GoTatKhiTatTavirel = r & 8;
        c.KhoiPhucPhimVoiTuSai = r & 16;
        c.DungTuDienDeKTChinhTa = r & 32;
        c.GoCacTuTVLienTuc = r & 64;
        c.TuThemDauSac = r & 128;
        c.SuaLoiChinhTaTuDon = r & 256;
        c.BoDauThanhKieu2 = r & 512;
        c.SetInitialShorthand(r & 1024);
        c.SetFinalShorthand(r & 2048);
        // Loads the compound dictionary on the worker, shared with suggestions.
        c.SetSuaLoiChinhTaTuGhep((r & 4096) != 0 && (r & 8192) != 0);
      });
      break;
    case 5: {
      // A new user hotkey list, built here and handed over whole.
      auto keys = std::make_shared<std::vector<std::pair<KeyCombo, int>>>();
      for (size_t i = 0, n = pick(4); i < n; ++i) {
        const uint16_t key = static_cast<uint16_t>(pick(3) == 0 ? 0 : 'A' + pick(26));
        keys->push_back({KeyCombo(static_cast<int32_t>(pick(8)), key), static_cast<int>(pick(4))});
      }
      d.Post([keys](CInputMethodService& s) {
        auto& list = s.UserHotKeys();
        list.clear();
        for (const auto& [combo, kind] : *keys) list.push_back(std::make_unique<StressAction>(&s, combo, kind));
      });
      break;
    }
    case 6:
      d.Post([r](CInputMethodService& s) {
        const KeyCombo combos[] = {KeyCombo(2, 0), KeyCombo(3, 0), KeyCombo(0, 9), KeyCombo(6, 0), KeyCombo(2, 'Q'),
                                   KeyCombo(0, 0)};
        s.SetPhimClear(combos[r % 6]);
        s.SetPhimKhoiPhuc(combos[(r >> 3) % 6]);
        s.SetPhimGoiY(combos[(r >> 6) % 6]);
        s.SetPhimChuyen(combos[(r >> 9) % 6]);
      });
      break;
    case 7:
      d.Post([r](CInputMethodService& s) {
        if (r % 2) {
          s.Context().SetShorthandTable({u"vn", u"ko", u"tks"}, {u"Việt Nam", u"không", u"cảm ơn"});
        } else {
          s.Context().SetShorthandTable({}, {});
        }
        s.SetSpecialWords(r % 3 ? u"" : u"gì\r\nkìa");
        s.ReleaseDictionaries();
      });
      break;
    case 8: {
      // Loaded here, off the hook thread, then installed there.
      auto loaded = ServiceTables::Load();
      d.Post([loaded](CInputMethodService& s) { s.SetTables(loaded); });
      break;
    }
    case 9: {
      // A caller that waits for an answer (or withdraws its question).
      d.Call([](CInputMethodService& s) { return s.IsVietnamese(); }, std::chrono::milliseconds(r % 50));
      break;
    }
    default:
      d.Post([on](CInputMethodService& s) { s.EnableSuggestions(on); });
      break;
  }
}

// One random key on the hook thread, then the check.
void TypeRandomKey(SimDesktop& desk, CInputMethodService& service, std::mt19937& rng, std::string& failure) {
  static const std::u16string letters = u"aaaeeeooouuuiiydddwwsfrxjzqngchtmklpvb123456789";
  static const std::u16string other = u"0.,;'[]\\/-=";
  auto pick = [&](size_t n) { return static_cast<size_t>(rng() % n); };
  const size_t r = pick(100);
  if (r < 60) {
    desk.TypeChar(letters[pick(letters.size())]);
  } else if (r < 66) {
    desk.TypeChar(static_cast<char16_t>(u'A' + pick(26)));
  } else if (r < 72) {
    desk.TypeChar(other[pick(other.size())]);
  } else if (r < 82) {
    desk.Press(vk::kSpace);
  } else if (r < 89) {
    desk.Press(vk::kBack);
  } else if (r < 91) {
    desk.Press(vk::kReturn);
  } else if (r < 93) {
    desk.Click();
  } else if (r < 95) {
    // A modifier-only hotkey (Ctrl, Ctrl+Shift, Ctrl+Alt) or a chord.
    const uint16_t second = pick(2) ? vk::kLShift : vk::kLMenu;
    desk.KeyDown(vk::kLControl);
    if (pick(2)) desk.KeyDown(second);
    if (pick(3) == 0) desk.Press(static_cast<uint16_t>('A' + pick(26)));
    if ((desk.SystemKeyState()[second] & 0x80) != 0) desk.KeyUp(second);
    desk.KeyUp(vk::kLControl);
  } else if (r < 97) {
    desk.Advance(1500);  // the clipboard restore
  } else if (r < 98) {
    desk.Press(vk::kEscape);
  } else {
    // Tab, F1 or F2: a suggestion picked when the list shows.
    const uint16_t pickKeys[] = {vk::kTab, vk::kF1, static_cast<uint16_t>(vk::kF1 + 1)};
    desk.Press(pickKeys[pick(3)]);
  }
  if (!failure.empty()) return;
  const CBangMa* table = service.Tables().FindCodeTable(service.CodeTable());
  const std::u16string context = service.Context().CurrentText();
  const std::u16string expected = table ? Encode(*table, context) : context;
  const std::u16string& field = desk.Text();
  if (!field.ends_with(expected)) {
    failure = "table " + Utf16ToUtf8(service.CodeTable()) + ", method " + Utf16ToUtf8(service.TypingMethod()) +
              ": field ends \"" + Utf16ToUtf8(field.substr(field.size() > 40 ? field.size() - 40 : 0)) +
              "\", context \"" + Utf16ToUtf8(context) + "\"";
  }
  if (field.size() > 2000) {
    desk.ClearText();
    desk.Click();
  }
}

TEST(ServiceStress, KeysWhileAnotherThreadChangesEverything) {
  constexpr int kKeys = 20000;
  const auto tables = ServiceTables::Shared();
  std::vector<std::u16string> methods;
  for (const auto& [name, method] : tables->Methods) methods.push_back(name);
  methods.push_back(u"Không có");  // no such method
  std::vector<std::u16string> tableNames{u"Unicode"};
  for (const auto& [name, table] : tables->CodeTables) tableNames.push_back(name);

  SimDesktop desk;
  CInputMethodService service(&desk);
  service.UsedKeywordsPath = Utf8ToUtf16(testing::TempDir()) + u"stress_used_keywords.dat";
  std::string failure;  // the hook thread's; read after Flush
  int modeEvents = 0;   // likewise
  service.ModeChanged.AddFn([&](CInputMethodService*) { ++modeEvents; });
  SimHookThread hook(desk, service);

  std::atomic<bool> typing{true};
  std::atomic<int> changes{0};
  std::thread changer([&] {
    std::mt19937 rng(20261208);
    while (typing) {
      PostRandomChange(service, rng, methods, tableNames);
      ++changes;
      // Now and then let a few keys through between changes.
      if (rng() % 4 == 0) std::this_thread::yield();
    }
  });

  std::mt19937 keys(11);
  for (int i = 0; i < kKeys; ++i) {
    const uint32_t seed = keys();
    hook.Input([&, seed] {
      std::mt19937 rng(seed);
      TypeRandomKey(desk, service, rng, failure);
    });
  }
  hook.Flush();
  typing = false;
  changer.join();
  hook.Stop();

  EXPECT_EQ(failure, "");
  EXPECT_GT(changes.load(), 0);
  EXPECT_GT(modeEvents, 0);
  // Everything posted ran: the caller's thread owns the service again.
  EXPECT_FALSE(service.Dispatcher().HasPending());
}

}  // namespace
}  // namespace tavirel
