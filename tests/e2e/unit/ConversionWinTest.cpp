// The clipboard conversion of the main thread on the real Win32 clipboard:
// legacy text another program put there becomes Unicode, and a clipboard
// with nothing to convert keeps every format, another program's own too.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>

#include "app/win/ClipboardConversion.h"

namespace tavirel {
namespace {

constexpr char kPrivate[] = "another program's own data";

class ConversionWin : public ::testing::Test {
 protected:
  void SetUp() override {
    owner_ = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_NE(owner_, nullptr);
    private_ = RegisterClipboardFormatW(L"Tavirel test private data");
  }
  void TearDown() override { DestroyWindow(owner_); }

  void Put(const std::u16string& text, bool withPrivate) {
    ASSERT_TRUE(OpenClipboard(owner_));
    EmptyClipboard();
    if (!text.empty()) Set(CF_UNICODETEXT, text.c_str(), (text.size() + 1) * sizeof(char16_t));
    if (withPrivate) Set(private_, kPrivate, sizeof kPrivate);
    CloseClipboard();
  }
  static void Set(UINT format, const void* data, size_t size) {
    HGLOBAL g = GlobalAlloc(GMEM_MOVEABLE, size);
    std::memcpy(GlobalLock(g), data, size);
    GlobalUnlock(g);
    SetClipboardData(format, g);
  }
  bool HasPrivate() {
    if (!OpenClipboard(owner_)) return false;
    const bool there = IsClipboardFormatAvailable(private_) != FALSE;
    CloseClipboard();
    return there;
  }

  HWND owner_ = nullptr;
  UINT private_ = 0;
};

TEST_F(ConversionWin, QuickConversionOfTheClipboard) {
  ConversionOptions o;
  o.source = u"TCVN3 (ABC)";
  o.target = u"Unicode";
  // "Đường ờ" in TCVN3 bytes as the characters U+00xx, as a program that
  // writes 8-bit text leaves it on the clipboard.
  Put(u"\u00A7\u00AD\u00EAng \u00EA", true);
  ConversionBalloon b = ConvertClipboardFor(o, owner_);
  EXPECT_EQ(b.Title, u"Đã chuyển mã xong") << std::string(b.Text.begin(), b.Text.end());
  EXPECT_EQ(ClipboardText(owner_), u"Đường ờ");
  EXPECT_FALSE(HasPrivate());

  Put(u"", true);
  b = ConvertClipboardFor(o, owner_);
  EXPECT_NE(b.Title, u"Đã chuyển mã xong");
  EXPECT_TRUE(HasPrivate());
  EXPECT_EQ(ClipboardText(owner_), u"");

  Put(u"Đường", true);  // converts to itself
  b = ConvertClipboardFor(o, owner_);
  EXPECT_TRUE(HasPrivate());
  EXPECT_EQ(ClipboardText(owner_), u"Đường");
}

}  // namespace
}  // namespace tavirel
