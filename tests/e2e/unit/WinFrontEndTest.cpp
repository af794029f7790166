// The Win32 front end on its own: invoker, clipboard through the Win32
// desktop and the backup, and the hook thread's install/remove cycle. Runs
// under Wine (no display needed) and on Windows.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

#include "service/CClipboardBackup.h"
#include "service/CInputMethodService.h"
#include "service/win/CHookThread.h"
#include "service/win/CInvokerWnd.h"
#include "service/win/CWinDesktop.h"

namespace tavirel {
namespace {

void PumpFor(DWORD ms) {
  const DWORD end = GetTickCount() + ms;
  MSG msg;
  while (static_cast<LONG>(end - GetTickCount()) > 0) {
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    Sleep(5);
  }
}

TEST(InvokerWnd, RunsTheCallOnItsOwnThreadWithoutMakingTheSenderWait) {
  CInvokerWnd invoker;
  ASSERT_TRUE(invoker.Create());
  EXPECT_EQ(CInvokerWnd::Message(), RegisterWindowMessageW(L"MorskInvokeMethod"));

  struct Call {
    std::atomic<DWORD> ranOn{0};
    static void Run(void* self) { static_cast<Call*>(self)->ranOn = GetCurrentThreadId(); }
  } call;
  InvokeRecord record{&call, &Call::Run};

  bool sent = false;
  DWORD ranWhenSent = 1;
  // This thread does not pump while the sender runs: a waiting send would
  // hang here.
  std::thread sender([&] {
    sent = invoker.Invoke(&record);
    ranWhenSent = call.ranOn.load();
  });
  sender.join();
  EXPECT_TRUE(sent);
  EXPECT_EQ(ranWhenSent, 0u);
  PumpFor(100);
  EXPECT_EQ(call.ranOn.load(), GetCurrentThreadId());

  InvokeRecord empty{};
  EXPECT_FALSE(invoker.Invoke(&empty));
  EXPECT_FALSE(invoker.Invoke(nullptr));
}

class WinClipboard : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(desktop.CreateTimerWindow()); }
  void TearDown() override { desktop.DestroyTimerWindow(); }

  std::u16string ClipboardText() {
    std::u16string text;
    if (!desktop.OpenClipboard()) return u"(cannot open)";
    std::vector<uint8_t> bytes;
    if (desktop.GetClipboardBytes(CF_UNICODETEXT, bytes) && bytes.size() >= 2)
      text.assign(reinterpret_cast<const char16_t*>(bytes.data()));
    desktop.CloseClipboard();
    return text;
  }

  CWinDesktop desktop;
};

TEST_F(WinClipboard, BackupBringsBackTextNamedFormatsAndTheBitmap) {
  const UINT privateFormat = RegisterClipboardFormatW(L"Tavirel Test Private");
  const std::vector<uint8_t> privateBytes = {0x00, 0x01, 0xFE, 0xFF, 0x42};
  ASSERT_TRUE(desktop.OpenClipboard());
  ASSERT_TRUE(desktop.EmptyClipboard());
  ASSERT_TRUE(desktop.SetClipboardUnicodeText(u"Nội dung của người dùng"));
  ASSERT_TRUE(desktop.SetClipboardBytes(privateFormat, privateBytes));
  HDC screen = GetDC(nullptr);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 6, 4);
  ReleaseDC(nullptr, screen);
  ASSERT_TRUE(SetClipboardData(CF_BITMAP, bitmap));
  // Handles to system objects are never read or written as memory blocks.
  std::vector<uint8_t> bytes;
  EXPECT_FALSE(desktop.GetClipboardBytes(CF_BITMAP, bytes));
  EXPECT_FALSE(desktop.SetClipboardBytes(CF_BITMAP, {1, 2, 3}));
  desktop.CloseClipboard();

  CClipboardBackup backup;
  ASSERT_TRUE(backup.Save(desktop));
  for (const ClipboardData& record : backup.Records()) {
    EXPECT_TRUE(clipfmt::IsMemoryBlock(record.Format)) << record.Format;
    if (record.Format == privateFormat) {
      EXPECT_EQ(record.Name, u"Tavirel Test Private");
    }
  }

  ASSERT_TRUE(desktop.OpenClipboard());
  ASSERT_TRUE(desktop.EmptyClipboard());
  ASSERT_TRUE(desktop.SetClipboardUnicodeText(u"Tavirel"));
  desktop.CloseClipboard();
  EXPECT_EQ(ClipboardText(), u"Tavirel");

  ASSERT_TRUE(backup.Restore(desktop));
  EXPECT_EQ(ClipboardText(), u"Nội dung của người dùng");
  ASSERT_TRUE(desktop.OpenClipboard());
  ASSERT_TRUE(desktop.GetClipboardBytes(privateFormat, bytes));
  EXPECT_EQ(bytes, privateBytes);
  // The picture comes back from its device-independent copy.
  HBITMAP back = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP));
  BITMAP bm{};
  ASSERT_TRUE(back && GetObjectW(back, sizeof bm, &bm));
  EXPECT_EQ(bm.bmWidth, 6);
  EXPECT_EQ(bm.bmHeight, 4);
  desktop.CloseClipboard();
}

TEST_F(WinClipboard, MetafilesComeBackAndUnkeepableHandlesMakeTheBackupIncomplete) {
  HDC dc = CreateEnhMetaFileW(nullptr, nullptr, nullptr, nullptr);
  ASSERT_TRUE(dc);
  Rectangle(dc, 1, 2, 30, 40);
  HENHMETAFILE emf = CloseEnhMetaFile(dc);
  ASSERT_TRUE(emf);
  std::vector<uint8_t> bits(GetEnhMetaFileBits(emf, 0, nullptr));
  ASSERT_FALSE(bits.empty());
  GetEnhMetaFileBits(emf, static_cast<UINT>(bits.size()), bits.data());

  ASSERT_TRUE(desktop.OpenClipboard());
  ASSERT_TRUE(desktop.EmptyClipboard());
  ASSERT_TRUE(desktop.SetClipboardUnicodeText(u"picture"));
  ASSERT_TRUE(SetClipboardData(CF_ENHMETAFILE, emf));
  desktop.CloseClipboard();

  CClipboardBackup backup;
  ASSERT_TRUE(backup.Save(desktop));
  EXPECT_TRUE(backup.Complete());
  ASSERT_TRUE(desktop.OpenClipboard());
  ASSERT_TRUE(desktop.EmptyClipboard());
  desktop.CloseClipboard();
  ASSERT_TRUE(backup.Restore(desktop));
  EXPECT_EQ(ClipboardText(), u"picture");
  ASSERT_TRUE(desktop.OpenClipboard());
  auto back = static_cast<HENHMETAFILE>(GetClipboardData(CF_ENHMETAFILE));
  ASSERT_TRUE(back);
  std::vector<uint8_t> backBits(GetEnhMetaFileBits(back, 0, nullptr));
  GetEnhMetaFileBits(back, static_cast<UINT>(backBits.size()), backBits.data());
  EXPECT_EQ(backBits, bits);
  desktop.CloseClipboard();

  // What an owner draws itself cannot be copied by anybody.
  ASSERT_TRUE(desktop.OpenClipboard());
  ASSERT_TRUE(desktop.EmptyClipboard());
  ASSERT_TRUE(desktop.SetClipboardUnicodeText(u"drawn by its owner"));
  SetClipboardData(CF_OWNERDISPLAY, nullptr);
  desktop.CloseClipboard();
  ASSERT_TRUE(IsClipboardFormatAvailable(CF_OWNERDISPLAY));
  ASSERT_TRUE(backup.Save(desktop));
  EXPECT_FALSE(backup.Complete());
}

TEST_F(WinClipboard, TheSequenceNumberMovesWithTheContentOnly) {
  ASSERT_TRUE(desktop.OpenClipboard());
  ASSERT_TRUE(desktop.EmptyClipboard());
  ASSERT_TRUE(desktop.SetClipboardUnicodeText(u"one"));
  desktop.CloseClipboard();
  const uint32_t after = desktop.ClipboardSequenceNumber();
  EXPECT_EQ(ClipboardText(), u"one");  // reading changes nothing
  EXPECT_EQ(desktop.ClipboardSequenceNumber(), after);
  ASSERT_TRUE(desktop.OpenClipboard());
  ASSERT_TRUE(desktop.EmptyClipboard());
  ASSERT_TRUE(desktop.SetClipboardUnicodeText(u"two"));
  desktop.CloseClipboard();
  EXPECT_NE(desktop.ClipboardSequenceNumber(), after);
}

TEST_F(WinClipboard, EmptyTextAndBadNamesAreHandled) {
  ASSERT_TRUE(desktop.OpenClipboard());
  ASSERT_TRUE(desktop.EmptyClipboard());
  EXPECT_TRUE(desktop.SetClipboardUnicodeText(u""));
  desktop.CloseClipboard();
  EXPECT_EQ(ClipboardText(), u"");

  EXPECT_EQ(desktop.RegisterClipboardFormat(u""), 0u);
  EXPECT_EQ(desktop.RegisterClipboardFormat(std::u16string(101, u'x')), 0u);
  EXPECT_NE(desktop.RegisterClipboardFormat(std::u16string(100, u'x')), 0u);
  EXPECT_EQ(desktop.ClipboardFormatName(CF_UNICODETEXT), u"");
}

TEST(WinDesktop, ClassNameAndUnicodeOfAWindow) {
  CWinDesktop desktop;
  EXPECT_EQ(desktop.WindowClassName(0), u"");
  EXPECT_FALSE(desktop.IsUnicodeWindow(0));
  HWND edit = CreateWindowExW(0, L"EDIT", L"", 0, 0, 0, 10, 10, HWND_MESSAGE, nullptr, nullptr, nullptr);
  ASSERT_TRUE(edit);
  EXPECT_EQ(desktop.WindowClassName(reinterpret_cast<WindowHandle>(edit)), u"Edit");
  EXPECT_TRUE(desktop.IsUnicodeWindow(reinterpret_cast<WindowHandle>(edit)));
  DestroyWindow(edit);
}

TEST(WinDesktop, OwnWindowsAreNotOfHigherIntegrity) {
  CWinDesktop desktop;
  EXPECT_FALSE(desktop.IsWindowOfHigherIntegrity(0));
  HWND edit = CreateWindowExW(0, L"EDIT", L"", 0, 0, 0, 10, 10, HWND_MESSAGE, nullptr, nullptr, nullptr);
  ASSERT_TRUE(edit);
  EXPECT_FALSE(desktop.IsWindowOfHigherIntegrity(reinterpret_cast<WindowHandle>(edit)));
  DestroyWindow(edit);
  // The desktop's own window belongs to another process of the same user.
  EXPECT_FALSE(desktop.IsWindowOfHigherIntegrity(reinterpret_cast<WindowHandle>(GetDesktopWindow())));
}

// The hook translates every key before the application does; a dead key
// pressed must still combine with the next key in the application.
TEST(WinDesktop, TranslationLeavesADeadKeyToTheApplication) {
  HKL international = LoadKeyboardLayoutW(L"00020409", KLF_ACTIVATE);
  if (!international || (MapVirtualKeyExW(VK_OEM_7, MAPVK_VK_TO_CHAR, international) & 0x80000000u) == 0) {
    GTEST_SKIP() << "no layout with dead keys on this system";
  }
  CWinDesktop desktop;
  uint8_t state[256] = {};
  char16_t out[2] = {};
  const auto app = [&](UINT vk) {
    wchar_t chars[4] = {};
    const int n = ToUnicodeEx(vk, MapVirtualKeyExW(vk, MAPVK_VK_TO_VSC, international), state, chars, 4, 0,
                              international);
    return std::make_pair(n, std::u16string(reinterpret_cast<const char16_t*>(chars), n > 0 ? n : 0));
  };
  EXPECT_LT(desktop.TranslateKey(VK_OEM_7, state, out), 0);  // the hook: a dead key
  EXPECT_EQ(app(VK_OEM_7).first, -1);                         // the application
  desktop.TranslateKey('E', state, out);                      // the hook
  EXPECT_EQ(app('E').second, u"\u00e9");                     // é in the application
}

TEST(WinDesktop, TranslatesLettersWithTheGivenKeyState) {
  CWinDesktop desktop;
  uint8_t state[256] = {};
  char16_t out[2] = {};
  ASSERT_EQ(desktop.TranslateKey('A', state, out), 1);
  EXPECT_EQ(out[0], u'a');
  state[VK_SHIFT] = 0x80;
  ASSERT_EQ(desktop.TranslateKey('A', state, out), 1);
  EXPECT_EQ(out[0], u'A');
  state[VK_SHIFT] = 0;
  EXPECT_EQ(desktop.TranslateKey(VK_F5, state, out), 0);
}

// Install, remove and install again, all against the one hook thread.
TEST(HookThread, RemoveAndStartAgainKeepsOneThreadAndItsTimerWindow) {
  CWinDesktop desktop;
  CInputMethodService service(&desktop);
  ASSERT_TRUE(StartHookThread(service));
  EXPECT_TRUE(KeyboardHookInstalled());
  EXPECT_TRUE(MouseHookInstalled());
  EXPECT_TRUE(service.MouseHookInstalled);
  HWND timer = desktop.TimerWindow();
  ASSERT_TRUE(timer);
  const DWORD hookThread = GetWindowThreadProcessId(timer, nullptr);
  EXPECT_NE(hookThread, GetCurrentThreadId());

  RemoveHooks(service);
  EXPECT_FALSE(KeyboardHookInstalled());
  EXPECT_FALSE(MouseHookInstalled());
  // The service learns it on its own thread.
  EXPECT_EQ(service.Dispatcher().Call([](CInputMethodService& s) { return s.MouseHookInstalled; },
                                      std::chrono::milliseconds(5000)),
            false);

  // Without the mouse hook this time: only the keyboard hook comes back.
  ASSERT_TRUE(service.Dispatcher().Call([](CInputMethodService& s) { s.EnableMouseHook = false; },
                                        std::chrono::milliseconds(5000)));
  ASSERT_TRUE(StartHookThread(service));
  EXPECT_TRUE(KeyboardHookInstalled());
  EXPECT_FALSE(MouseHookInstalled());
  EXPECT_FALSE(service.MouseHookInstalled);
  EXPECT_EQ(desktop.TimerWindow(), timer);
  EXPECT_TRUE(IsWindow(timer));

  // A second start while the hooks are in changes nothing.
  ASSERT_TRUE(StartHookThread(service));
  EXPECT_EQ(desktop.TimerWindow(), timer);

  StopHookThread();
  EXPECT_FALSE(KeyboardHookInstalled());
  EXPECT_EQ(desktop.TimerWindow(), nullptr);
  EXPECT_FALSE(IsWindow(timer));

  // After the thread has ended a new one starts with its own timer window.
  ASSERT_TRUE(StartHookThread(service));
  EXPECT_TRUE(desktop.TimerWindow());
  EXPECT_NE(GetWindowThreadProcessId(desktop.TimerWindow(), nullptr), hookThread);
  StopHookThread();
  InvokerWindow().Destroy();
}

// The main thread's changes run on the hook thread; the hook thread's events
// come back to the main thread through the invoker.
TEST(HookThread, PostedChangesRunThereAndEventsComeBackByPosting) {
  CWinDesktop desktop;
  CInputMethodService service(&desktop);
  ASSERT_TRUE(StartHookThread(service));
  const DWORD hookThread = HookThreadId();
  ASSERT_NE(hookThread, 0u);
  ASSERT_NE(hookThread, GetCurrentThreadId());

  std::atomic<DWORD> modeSeenOn{0};
  std::atomic<int> modeSeen{-1};
  service.Dispatcher().Post([&](CInputMethodService& s) {
    s.ModeChanged.AddFn([&](CInputMethodService* raised) {
      const bool on = raised->IsVietnamese();
      InvokerWindow().Post([&, on] {
        modeSeen = on ? 1 : 0;
        modeSeenOn = GetCurrentThreadId();
      });
    });
  });
  service.Dispatcher().Post([](CInputMethodService& s) { s.SetVietnamese(false); });
  const auto ranOn =
      service.Dispatcher().Call([](CInputMethodService& s) { return std::make_pair(GetCurrentThreadId(), s.IsVietnamese()); },
                                std::chrono::milliseconds(5000));
  ASSERT_TRUE(ranOn.has_value());
  EXPECT_EQ(ranOn->first, hookThread);
  EXPECT_FALSE(ranOn->second);
  // The event's subscriber runs only when this thread pumps its messages.
  EXPECT_EQ(modeSeen.load(), -1);
  PumpFor(100);
  EXPECT_EQ(modeSeen.load(), 0);
  EXPECT_EQ(modeSeenOn.load(), GetCurrentThreadId());

  StopHookThread();
  // With no hook thread the caller runs the change itself.
  const auto after = service.Dispatcher().Call([](CInputMethodService&) { return GetCurrentThreadId(); },
                                               std::chrono::milliseconds(0));
  EXPECT_EQ(after, GetCurrentThreadId());
  InvokerWindow().Destroy();
}

// A modal loop on the hook thread, as the system runs one while a scroll bar
// is held down: it delivers window messages and drops thread messages.
struct ModalLoopOnHookThread {
  std::atomic<bool> inLoop{false};
  std::atomic<bool> done{false};
  explicit ModalLoopOnHookThread(CInputMethodService& service) {
    service.Dispatcher().Post([this](CInputMethodService&) {
      inLoop = true;
      MSG msg;
      while (!done && GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
      inLoop = false;
    });
    for (int i = 0; i < 500 && !inLoop; ++i) Sleep(10);
  }
};

// A modal loop on the hook thread (a scroll bar held down in the suggestion
// popup) delivers window messages and drops thread messages: a change posted
// meanwhile still runs, and so do the ones after the loop.
TEST(HookThread, PostedChangesRunWhileAModalLoopRunsThere) {
  CWinDesktop desktop;
  CInputMethodService service(&desktop);
  ASSERT_TRUE(StartHookThread(service));
  ModalLoopOnHookThread loop(service);
  ASSERT_TRUE(loop.inLoop);
  const auto inside = service.Dispatcher().Call([&](CInputMethodService&) { return loop.done.exchange(true); },
                                                std::chrono::milliseconds(3000));
  EXPECT_TRUE(inside.has_value());
  if (!inside) {
    loop.done = true;
    PostMessageW(desktop.TimerWindow(), WM_NULL, 0, 0);
  }
  const auto after = service.Dispatcher().Call([&](CInputMethodService&) { return loop.inLoop.load(); },
                                               std::chrono::milliseconds(3000));
  EXPECT_EQ(after, std::optional<bool>(false));
  StopHookThread();
  InvokerWindow().Destroy();
}

// The same modal loop while the hooks must go back in: after a stop and
// start, and after Windows took them away (the watchdog's reinstall). The
// keyboard hook seeing the watchdog's probe shows they are in.
TEST(HookThread, HooksGoBackInWhileAModalLoopRunsThere) {
  CWinDesktop desktop;
  CInputMethodService service(&desktop);
  ASSERT_TRUE(StartHookThread(service));
  ModalLoopOnHookThread loop(service);
  ASSERT_TRUE(loop.inLoop);
  auto probeSeen = [] {
    const DWORD before = LastKeyboardHookEvent();
    Sleep(20);  // GetTickCount moves in steps of 10-16 ms
    if (!SendHookProbe()) return false;
    for (int i = 0; i < 200; ++i, Sleep(10))
      if (LastKeyboardHookEvent() != before) return true;
    return false;
  };

  RemoveHooks(service);
  EXPECT_FALSE(KeyboardHookInstalled());
  EXPECT_TRUE(StartHookThread(service));
  EXPECT_TRUE(KeyboardHookInstalled());
  EXPECT_TRUE(probeSeen());

  ASSERT_TRUE(DropHooksSilently());
  ASSERT_TRUE(service.Dispatcher().Call([](CInputMethodService&) {}, std::chrono::milliseconds(3000)));
  EXPECT_FALSE(probeSeen());
  ASSERT_TRUE(ReinstallHooks());
  EXPECT_TRUE(service.Dispatcher().Call([](CInputMethodService&) {}, std::chrono::milliseconds(3000)));
  EXPECT_TRUE(probeSeen());
  EXPECT_TRUE(loop.inLoop);

  loop.done = true;
  PostMessageW(desktop.TimerWindow(), WM_NULL, 0, 0);
  StopHookThread();
  InvokerWindow().Destroy();
}

}  // namespace
}  // namespace tavirel
