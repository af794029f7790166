#pragma once
// Everything the input service needs from the desktop it runs on: key
// injection, the focused window, the clipboard, the keyboard state and key
// translation, the clipboard-restore timer, the caret and a beep.
// The Win32 implementation lives in service/win/, the in-memory one in sim/.
//
// Key codes, clipboard format numbers and mouse message numbers are the
// Windows values, so that both implementations and the service agree.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tavirel {

// A window as the desktop names it; 0 is no window.
using WindowHandle = std::uintptr_t;

struct DesktopPoint {
  int32_t x = 0;
  int32_t y = 0;
};

struct DesktopRect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
};

// Virtual-key codes the service refers to by number.
namespace vk {
constexpr uint16_t kBack = 0x08;
constexpr uint16_t kTab = 0x09;
constexpr uint16_t kReturn = 0x0D;
constexpr uint16_t kShift = 0x10;
constexpr uint16_t kControl = 0x11;
constexpr uint16_t kMenu = 0x12;  // Alt
constexpr uint16_t kCapital = 0x14;
constexpr uint16_t kEscape = 0x1B;
constexpr uint16_t kSpace = 0x20;
constexpr uint16_t kPrior = 0x21;
constexpr uint16_t kNext = 0x22;
constexpr uint16_t kEnd = 0x23;
constexpr uint16_t kHome = 0x24;
constexpr uint16_t kLeft = 0x25;
constexpr uint16_t kUp = 0x26;
constexpr uint16_t kRight = 0x27;
constexpr uint16_t kDown = 0x28;
constexpr uint16_t kDelete = 0x2E;
constexpr uint16_t kV = 0x56;
constexpr uint16_t kLWin = 0x5B;
constexpr uint16_t kRWin = 0x5C;
constexpr uint16_t kNumpad0 = 0x60;
constexpr uint16_t kNumpad9 = 0x69;
constexpr uint16_t kF1 = 0x70;
constexpr uint16_t kF9 = 0x78;
constexpr uint16_t kF12 = 0x7B;
constexpr uint16_t kNumLock = 0x90;
constexpr uint16_t kScroll = 0x91;
constexpr uint16_t kLShift = 0xA0;
constexpr uint16_t kRShift = 0xA1;
constexpr uint16_t kLControl = 0xA2;
constexpr uint16_t kRControl = 0xA3;
constexpr uint16_t kLMenu = 0xA4;
constexpr uint16_t kRMenu = 0xA5;
// An unassigned code: a key event that means nothing to any program.
constexpr uint16_t kNoKey = 0xE8;
}  // namespace vk

// Mouse messages the mouse hook hands to the service.
namespace mousemsg {
constexpr uint32_t kMouseMove = 0x0200;
constexpr uint32_t kLButtonDown = 0x0201;
constexpr uint32_t kLButtonUp = 0x0202;
constexpr uint32_t kRButtonDown = 0x0204;
constexpr uint32_t kRButtonUp = 0x0205;
constexpr uint32_t kMButtonDown = 0x0207;
constexpr uint32_t kMouseWheel = 0x020A;
constexpr uint32_t kXButtonDown = 0x020B;
constexpr uint32_t kMouseHWheel = 0x020E;
}  // namespace mousemsg

// Clipboard formats.
namespace clipfmt {
constexpr uint32_t kText = 1;
constexpr uint32_t kBitmap = 2;
constexpr uint32_t kMetafilePict = 3;
constexpr uint32_t kPalette = 9;
constexpr uint32_t kLocale = 16;
constexpr uint32_t kUnicodeText = 13;
constexpr uint32_t kEnhMetafile = 14;
constexpr uint32_t kLastStandard = 14;  // formats above this may carry a name
constexpr uint32_t kOwnerDisplay = 0x80;
constexpr uint32_t kDspBitmap = 0x82;
constexpr uint32_t kDspMetafilePict = 0x83;
constexpr uint32_t kDspEnhMetafile = 0x8E;
constexpr uint32_t kPrivateFirst = 0x200;
constexpr uint32_t kGdiObjLast = 0x3FF;

// Whether the data of a format is a plain memory block whose bytes can be
// copied and put back. Bitmaps, palettes and metafiles are handles to system
// objects (a metafile picture is a block holding such a handle), owner-display
// has no data, and the private and GDI ranges hold handles the clipboard does
// not own. Copying any of those byte for byte would give back garbage.
constexpr bool IsMemoryBlock(uint32_t format) {
  switch (format) {
    case kBitmap:
    case kMetafilePict:
    case kPalette:
    case kEnhMetafile:
    case kOwnerDisplay:
    case kDspBitmap:
    case kDspMetafilePict:
    case kDspEnhMetafile:
      return false;
    default:
      return format != 0 && !(format >= kPrivateFirst && format <= kGdiObjLast);
  }
}
}  // namespace clipfmt

class IDesktop {
 public:
  virtual ~IDesktop() = default;

  // ---- input injection ----
  // Each returns false when the system took fewer events than were sent
  // (a locked desktop, input blocked by another program).
  //
  // One key event for a virtual-key code (scan code 0). Injected events come
  // back through the keyboard hook while the service's sending flag is set.
  virtual bool SendKey(uint16_t vk, bool up) = 0;
  // The text as Unicode key packets: for each UTF-16 unit a down and an up
  // record, all 2 x length records in one injection, in order.
  virtual bool SendUnicodeText(std::u16string_view text) = 0;
  // An edit before the caret as one injection, in this order: deletes
  // presses (down and up) of Delete, backspaces presses of Backspace, then
  // the text as SendUnicodeText sends it (nothing when it is empty). Counts
  // of zero or less send no presses. Desktops that can inject several
  // records at once should override this; the default makes the single calls.
  virtual bool SendReplacement(int deletes, int backspaces, std::u16string_view text) {
    bool ok = true;
    for (int i = 0; i < deletes; ++i) {
      ok = SendKey(vk::kDelete, false) && ok;
      ok = SendKey(vk::kDelete, true) && ok;
    }
    for (int i = 0; i < backspaces; ++i) {
      ok = SendKey(vk::kBack, false) && ok;
      ok = SendKey(vk::kBack, true) && ok;
    }
    if (!text.empty()) ok = SendUnicodeText(text) && ok;
    return ok;
  }

  // ---- focus ----
  // The focused window of the foreground thread; 0 when there is none.
  virtual WindowHandle FocusWindow() = 0;
  // The window's class name (at most 100 units); empty when unknown.
  virtual std::u16string WindowClassName(WindowHandle window) = 0;
  // Whether the window takes Unicode messages (a non-Unicode window with a
  // Unicode output table gets its text by pasting).
  virtual bool IsUnicodeWindow(WindowHandle window) = 0;
  // The code page through which a program that is not Unicode gets the
  // characters sent to this window: the ANSI code page of the input language
  // of the window's thread (the system's when that language has none).
  // Text of an 8-bit table for such a window goes out as the characters
  // this code page reads its bytes as, so that the program holds the bytes.
  // The default, 0: not known; the text then goes as it is.
  virtual uint32_t AnsiCodePageOf(WindowHandle /*window*/) { return 0; }
  // The one character that the code page reads this byte (0x80..0xFF) as
  // and gives back as the byte (code page 1252: U+20AC for 0x80); 0 when
  // there is none.
  virtual char16_t AnsiCodePageChar(uint32_t /*codePage*/, uint8_t /*byte*/) { return 0; }
  // The locale (LCID) of the input language of the window's thread, whose
  // ANSI code page AnsiCodePageOf gives; 0 when not known.
  virtual uint32_t InputLocaleOf(WindowHandle /*window*/) { return 0; }
  // Whether the window belongs to a program running at a higher integrity
  // level than this one: the system drops input injected into it.
  virtual bool IsWindowOfHigherIntegrity(WindowHandle /*window*/) { return false; }
  // Whether the window takes a password (an edit control with the password
  // style): its keys must not be processed, kept or put on the clipboard.
  virtual bool IsPasswordField(WindowHandle /*window*/) { return false; }
  // The executable file name (no folder) of the program that owns the
  // window, for the per-program rules; empty when unknown.
  virtual std::u16string WindowProgramName(WindowHandle /*window*/) { return {}; }

  // ---- the focused field ----
  // Asks for a reading of the window's selection and text length a little
  // later, once the program has had time to handle the keys sent so far,
  // and away from the hook thread (the program may be slow to answer). The
  // answer, or an unknown selection, comes back on the hook thread through
  // CHookLogic::OnFieldSelection with serial. False when the desktop cannot.
  virtual bool RequestFieldSelection(WindowHandle /*window*/, uint32_t /*serial*/) { return false; }
  // An edit before the caret of a field that may complete what is typed,
  // as one injection made away from the hook thread right after a reading
  // of the field: the Deletes DeletesBeforeReplacement gives for that
  // reading (marked: the window is known to complete), then backspaces
  // Backspaces and the text, as SendReplacement sends them. The reading
  // describes the field after its program handled the input sent before
  // the call (keys let through that may have moved the caret); when that
  // cannot be known in time, as the program answers it. When it is done the desktop calls CHookLogic::OnFieldReplaced
  // on the hook thread, at once or later. False when it cannot take the
  // edit (the caller injects it).
  virtual bool ReplaceInField(WindowHandle /*window*/, int /*backspaces*/, std::u16string_view /*text*/,
                              bool /*marked*/) {
    return false;
  }
  // Whether ReplaceInField takes edits (the service then hands it every
  // edit for a field that may complete).
  virtual bool ReadsFieldBeforeReplacing() { return false; }
  // Gives up the edit last handed to ReplaceInField when it has not begun
  // to go in: true then (no answer comes, the caller sends it itself),
  // false when it went or is going in.
  virtual bool CancelFieldReplacement() { return false; }
  // Whether the window is the window of a console. Text for it is written
  // into the console's input (TypeIntoConsole): a console may build its
  // input from the keys its keyboard layout has and drop Unicode packets.
  virtual bool IsConsoleWindow(WindowHandle /*window*/) { return false; }
  // An edit before the cursor of the console whose window this is, written
  // into the console's input as key records, in this order: backspaces
  // presses of Backspace, then the text. The desktop may write it later (a
  // console answers the writer only between its own messages, and those
  // may wait for the keyboard hook): it then calls
  // CHookLogic::OnConsoleWritten on the hook thread when done, at once or
  // later. False when it cannot take the edit (the caller injects keys).
  virtual bool TypeIntoConsole(WindowHandle /*window*/, int /*backspaces*/, std::u16string_view /*text*/) {
    return false;
  }
  // Writes every edit TypeIntoConsole took and has not written yet, waiting
  // for them at most milliseconds; their answers are no longer needed. Only
  // when the hook thread ends (nothing may wait in the hook).
  virtual void FlushConsoleWrites(uint32_t /*milliseconds*/) {}

  // ---- clipboard ----
  // Open fails when another program holds the clipboard. Every other call
  // below is only valid between a successful Open and Close.
  virtual bool OpenClipboard() = 0;
  virtual void CloseClipboard() = 0;
  virtual bool EmptyClipboard() = 0;
  virtual bool SetClipboardUnicodeText(std::u16string_view text) = 0;
  // The format after previous in enumeration order (0 starts); 0 at the end.
  virtual uint32_t EnumClipboardFormats(uint32_t previous) = 0;
  // The registered name of a format above the standard ones (at most 100
  // units); empty when the system gives none.
  virtual std::u16string ClipboardFormatName(uint32_t format) = 0;
  // Whether GetClipboardBytes can copy the format's data so that
  // SetClipboardBytes brings it back faithfully: plain memory blocks (see
  // clipfmt), and whatever else the desktop knows how to copy.
  virtual bool IsMemoryBlockFormat(uint32_t format) { return clipfmt::IsMemoryBlock(format); }
  // Copies the data of a format it can copy; false when there is no data.
  // Asking may make the program that owns the clipboard render the data.
  virtual bool GetClipboardBytes(uint32_t format, std::vector<uint8_t>& bytes) = 0;
  // Puts bytes from GetClipboardBytes back on the clipboard as that format.
  virtual bool SetClipboardBytes(uint32_t format, const std::vector<uint8_t>& bytes) = 0;
  // The format number of a name, registering it when new; 0 on failure.
  virtual uint32_t RegisterClipboardFormat(std::u16string_view name) = 0;
  // A number that changes whenever the clipboard's content changes; valid
  // without opening the clipboard.
  virtual uint32_t ClipboardSequenceNumber() = 0;
  // Puts Unicode text on the clipboard without its data: when a program asks
  // for it, the desktop calls CHookLogic::OnRenderClipboard for the text, so
  // the service learns that its paste has been read. False when the desktop
  // cannot (the caller then sets the text itself).
  virtual bool SetClipboardUnicodeTextOnRequest() { return false; }
  // After SetClipboardUnicodeTextOnRequest, for the text of an 8-bit code
  // table: offers ANSI text (CF_TEXT) on request too, rendered with the
  // bytes from CHookLogic::OnRenderClipboardBytes, so that a program that is
  // not Unicode reads the bytes rather than the system's conversion. That
  // request also tells that the paste has been read.
  // False when the desktop cannot (the caller then sets the bytes itself).
  virtual bool SetClipboardAnsiTextOnRequest() { return false; }
  // Whether the clipboard's content is still the one the service last put
  // there (nobody has emptied it since); valid without opening it. False
  // when the desktop cannot tell.
  virtual bool ServiceOwnsClipboard() { return false; }

  // ---- keyboard ----
  // The system's keyboard state: bit 7 pressed, bit 0 toggled.
  virtual void GetKeyboardState(uint8_t state[256]) = 0;
  // What the active layout gives for a key with that key state: the number
  // of characters written to out (0 none, 1 or 2; negative for a dead key).
  virtual int TranslateKey(uint16_t vk, const uint8_t state[256], char16_t out[2]) = 0;

  // ---- the clipboard-restore timer ----
  // Starts the one-shot timer, restarting it when it runs. When it fires the
  // desktop calls CHookLogic::OnRestoreTimer.
  virtual void StartRestoreTimer(uint32_t milliseconds) = 0;
  virtual void StopRestoreTimer() = 0;
  // The one-shot timer that bounds the wait for a paste to be read (or a
  // console write to be done); when it
  // fires the desktop calls CHookLogic::OnPasteTimer.
  virtual void StartPasteTimer(uint32_t /*milliseconds*/) {}
  virtual void StopPasteTimer() {}
  // Asks the program of a window, without waiting, whether it has got
  // through the input queued to it so far: it answers once it has (the
  // Ctrl+V of a paste among it). False where it cannot be asked.
  virtual bool AskApplication(WindowHandle /*window*/) { return false; }
  // The answers to those questions so far.
  virtual uint32_t ApplicationAnswers() { return 0; }

  // ---- work outside the hook callback ----
  // Asks the hook thread to call CHookLogic::OnDeferredWork soon, from its
  // message loop rather than from inside a hook callback, after the current
  // event. False when the desktop cannot (the work is then done at once).
  virtual bool PostDeferredWork() { return false; }

  // ---- caret and sound ----
  // The caret of the foreground thread in screen coordinates; false when
  // there is none.
  virtual bool CaretRect(DesktopRect& rect) = 0;
  virtual void MessageBeep() = 0;
};

}  // namespace tavirel
