#include "Interactive.h"

#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <string>

#include "TypeSession.h"
#include "common/Utf8.h"

namespace tavirel {

namespace {

// Keys of the terminal session. A terminal does not report Ctrl+Shift or
// Ctrl alone, so they are given their own control keys.
constexpr char kQuit1 = 0x03;     // Ctrl+C
constexpr char kQuit2 = 0x04;     // Ctrl+D
constexpr char kSwitch = 0x14;    // Ctrl+T: the Ctrl+Shift switch
constexpr char kRestore = 0x12;   // Ctrl+R: the Ctrl+Alt restore
constexpr char kClear = 0x0C;     // Ctrl+L: empty the field

class RawTerminal {
 public:
  RawTerminal() {
    ok_ = tcgetattr(STDIN_FILENO, &saved_) == 0;
    if (!ok_) return;
    termios raw = saved_;
    raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | ISIG | IEXTEN);
    raw.c_iflag &= ~static_cast<tcflag_t>(IXON | ICRNL);
    raw.c_cc[VMIN] = 1;
    raw.c_cc[VTIME] = 0;
    tcsetattr(STDIN_FILENO, TCSANOW, &raw);  // keys typed before now are kept
  }
  ~RawTerminal() {
    if (ok_) tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved_);
  }
  bool Ok() const { return ok_; }

 private:
  termios saved_{};
  bool ok_ = false;
};

void Write(const std::string& s) {
  size_t done = 0;
  while (done < s.size()) {
    const ssize_t n = ::write(STDOUT_FILENO, s.data() + done, s.size() - done);
    if (n <= 0) return;
    done += static_cast<size_t>(n);
  }
}

// The field as the terminal can show it: byte tables as Latin-1.
std::string Printable(TypeSession& session) {
  const std::u16string& text = session.Desk().Text();
  std::u16string shown;
  shown.reserve(text.size());
  for (const char16_t c : text) shown.push_back(c == u'\t' ? u' ' : c);
  return Utf16ToUtf8(shown);
}

void Render(TypeSession& session) {
  winsize ws{};
  int rows = 24;
  if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &ws) == 0 && ws.ws_row > 2) rows = ws.ws_row;
  CInputMethodService& s = session.Service();
  std::string screen = "\x1b[H\x1b[2J\x1b[7m Tavirel | ";
  screen += Utf16ToUtf8(s.TypingMethod()) + " | " + Utf16ToUtf8(s.CodeTable()) + " | ";
  screen += s.IsVietnamese() ? "V (tiếng Việt)" : "E (tắt)";
  screen += " | Ctrl+T bật/tắt  Ctrl+R khôi phục  Ctrl+L xoá  Ctrl+D thoát \x1b[0m\r\n";
  // The last lines of the field that fit under the status line.
  const std::string text = Printable(session);
  size_t start = text.size();
  int lines = 0;
  while (start > 0 && lines < rows - 2) {
    --start;
    if (text[start] == '\n') ++lines;
  }
  if (lines >= rows - 2) ++start;
  for (size_t i = start; i < text.size(); ++i) {
    if (text[i] == '\n') {
      screen += "\r\n";
    } else {
      screen.push_back(text[i]);
    }
  }
  Write(screen);
}

void Chord(SimDesktop& desk, uint16_t a, uint16_t b) {
  desk.KeyDown(a);
  desk.KeyDown(b);
  desk.KeyUp(b);
  desk.KeyUp(a);
}

// The virtual key of a letter or digit byte; 0 for any other byte.
uint16_t LetterOrDigitKey(unsigned char c) {
  if (c >= 'a' && c <= 'z') return static_cast<uint16_t>(c - 'a' + 'A');
  if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return c;
  return 0;
}

CInputMethodService* g_service = nullptr;

bool UserHotkeyBound(KeyCombo combo) {
  if (g_service == nullptr) return false;
  for (const auto& action : g_service->UserHotKeys()) {
    if (action && action->Key == combo) return true;
  }
  return false;
}

bool ReadByte(unsigned char& c) { return ::read(STDIN_FILENO, &c, 1) == 1; }

// The rest of an escape sequence after ESC: arrows, Home, End, Delete, in
// their "ESC [" and "ESC O" forms and the numbered forms ("ESC [1~" Home,
// "ESC [4~" End, "ESC [3~" Delete, 7~ and 8~ as rxvt sends Home and End).
// A lone Esc is followed by nothing within a short while; a byte that comes
// within that while but starts no sequence is a key typed right after Esc:
// Esc is pressed and the byte is handed back (true) to be typed as usual.
bool HandleEscape(SimDesktop& desk, unsigned char& next) {
  fd_set set;
  FD_ZERO(&set);
  FD_SET(STDIN_FILENO, &set);
  timeval tv{0, 30000};
  unsigned char c = 0;
  if (select(STDIN_FILENO + 1, &set, nullptr, nullptr, &tv) <= 0 || !ReadByte(c)) {
    desk.Press(vk::kEscape);
    return false;
  }
  if (c != '[' && c != 'O') {
    // Terminals send Alt+key as Esc and the key: a user hotkey on Alt+key
    // runs as that chord.
    const uint16_t key = LetterOrDigitKey(c);
    if (key != 0 && UserHotkeyBound(KeyCombo(modbits::kAlt, key))) {
      Chord(desk, vk::kLMenu, key);
      return false;
    }
    desk.Press(vk::kEscape);
    next = c;
    return true;
  }
  if (!ReadByte(c)) return false;
  switch (c) {
    case 'A': desk.Press(vk::kUp); return false;
    case 'B': desk.Press(vk::kDown); return false;
    case 'C': desk.Press(vk::kRight); return false;
    case 'D': desk.Press(vk::kLeft); return false;
    case 'H': desk.Press(vk::kHome); return false;
    case 'F': desk.Press(vk::kEnd); return false;
    default: break;
  }
  // Numbered keys: the digits, then "~" (or a modifier part, read to its
  // end and dropped).
  std::string number;
  while (c >= '0' && c <= '9') {
    number.push_back(static_cast<char>(c));
    if (!ReadByte(c)) return false;
  }
  while (c == ';' || (c >= '0' && c <= '9')) {
    if (!ReadByte(c)) return false;
  }
  if (c != '~') return false;
  if (number == "1" || number == "7") desk.Press(vk::kHome);
  if (number == "4" || number == "8") desk.Press(vk::kEnd);
  if (number == "3") desk.Press(vk::kDelete);
  return false;
}

}  // namespace

int RunInteractive(TypeSession& session) {
  RawTerminal terminal;
  if (!terminal.Ok()) return 1;
  SimDesktop& desk = session.Desk();
  g_service = &session.Service();
  Write("\x1b[?1049h");  // the alternate screen
  Render(session);
  std::string pending;  // bytes of a UTF-8 character being read
  unsigned char c = 0;
  bool haveByte = false;  // a byte read after Esc waits to be typed
  while (haveByte || ReadByte(c)) {
    haveByte = false;
    if (c == kQuit1 || c == kQuit2) break;
    if (c == kSwitch) {
      Chord(desk, vk::kLControl, vk::kLShift);
    } else if (c == kRestore) {
      Chord(desk, vk::kLControl, vk::kLMenu);
    } else if (c == kClear) {
      desk.KeyDown(vk::kLControl);
      desk.KeyUp(vk::kLControl);
      desk.ClearText();
    } else if (c == 0x7F || c == 0x08) {
      desk.Press(vk::kBack);
    } else if (c == '\r' || c == '\n') {
      desk.Press(vk::kReturn);
    } else if (c == 0x1B) {
      if (HandleEscape(desk, c)) {
        Render(session);
        haveByte = true;
        continue;
      }
    } else if (c >= 0x80) {
      pending.push_back(static_cast<char>(c));
      const std::u16string decoded = Utf8ToUtf16Replacing(pending);
      if (!decoded.empty() && decoded.back() != 0xFFFD) {
        for (const char16_t u : decoded) desk.TypeChar(u);
        pending.clear();
      } else if (pending.size() >= 4) {
        pending.clear();
      }
      if (!pending.empty()) continue;
    } else if (c == '\t' || c >= 0x20) {
      desk.TypeChar(static_cast<char16_t>(c));
    } else if (c >= 0x01 && c <= 0x1A && UserHotkeyBound(KeyCombo(modbits::kCtrl, 'A' + c - 1))) {
      // Ctrl+letter bound to a user hotkey (the session's own keys above
      // come first).
      Chord(desk, vk::kLControl, static_cast<uint16_t>('A' + c - 1));
    }
    Render(session);
  }
  Write("\x1b[?1049l");
  const std::string text = Printable(session);
  Write(text + (text.empty() || text.back() == '\n' ? "" : "\n"));
  return 0;
}

}  // namespace tavirel
