#include "sim/SimDesktop.h"

#include <algorithm>
#include <array>
#include <utility>

#include "service/CInputMethodService.h"
#include "service/HookLogic.h"
#include "sim/GermanKeyboard.h"
#include "sim/UsKeyboard.h"

namespace tavirel {

namespace {

constexpr uint32_t kFirstRegisteredFormat = 0xC000;

const std::u16string kEmpty;

bool IsDown(const uint8_t* state, uint16_t vk) { return (state[vk] & 0x80) != 0; }

// What the simulated keyboard and application do with a key, one table
// read per event.
enum : uint8_t {
  kFlagToggle = 1,  // Caps Lock, Num Lock, Scroll Lock: flips on each press
  kFlagSided = 2,   // left/right Shift, Ctrl, Alt: drives its generic key
  kFlagEdit = 4,    // edits or moves the caret whatever modifiers are held
};

constexpr std::array<uint8_t, 256> BuildKeyFlags() {
  std::array<uint8_t, 256> f{};
  f[vk::kCapital] = f[vk::kNumLock] = f[vk::kScroll] = kFlagToggle;
  for (uint16_t k = vk::kLShift; k <= vk::kRMenu; ++k) f[k] = kFlagSided;
  for (const uint16_t k : {vk::kBack, vk::kDelete, vk::kLeft, vk::kRight, vk::kHome, vk::kEnd}) {
    f[k] = kFlagEdit;
  }
  return f;
}

constexpr std::array<uint8_t, 256> kKeyFlags = BuildKeyFlags();

// An editing key gives no printable character on its own.
constexpr bool EditKeysTypeNothing() {
  for (size_t k = 0; k < 256; ++k) {
    if ((kKeyFlags[k] & kFlagEdit) != 0 && (uskeyboard_detail::kPackedKeys[k] & 0xFFFF) >= 0x20) return false;
  }
  return true;
}
static_assert(EditKeysTypeNothing());

// The keys TypeChar presses: none of them toggles or is a sided modifier,
// so their state byte is all that changes when they go down or up; none is
// a lock or modifier key to the service either.
constexpr bool StrokeKeysArePlain() {
  for (const UsKeyStroke& s : uskeyboard_detail::kStrokeTable) {
    if ((kKeyFlags[s.Vk] & (kFlagToggle | kFlagSided)) != 0 || s.Vk > 0xFF) return false;
    if (s.Vk != 0 && CInputMethodService::IsLockOrModifierKey(s.Vk)) return false;
  }
  return true;
}
static_assert(StrokeKeysArePlain());

// The key TypeChar presses for a character without Shift types that
// character when no modifier is held and Caps Lock is off.
constexpr bool PlainKeysTypeTheirCharacter() {
  for (char16_t ch = 0x20; ch < 0x80; ++ch) {
    const uint8_t vk = uskeyboard_detail::kPlainKeys[ch];
    if (vk != 0 && (uskeyboard_detail::kPackedKeys[vk] & 0xFFFF) != ch) return false;
  }
  return true;
}
static_assert(PlainKeysTypeTheirCharacter());

}  // namespace

SimDesktop::SimDesktop() { focus_ = AddWindow(u"Edit", true); }

// ---------------------------------------------------------------- hooks

void SimDesktop::InstallHooks(CInputMethodService* service) {
  service_ = service;
  if (service_ == nullptr) return;
  service_->SyncKeyboardState();
  mouseHook_ = service_->EnableMouseHook;
  service_->MouseHookInstalled = mouseHook_;
}

void SimDesktop::RemoveHooks() {
  if (service_ != nullptr) service_->MouseHookInstalled = false;
  service_ = nullptr;
  mouseHook_ = false;
}

// ---------------------------------------------------------------- input

[[gnu::always_inline]] inline void SimDesktop::UpdateSystemState(uint16_t vk, bool up) {
  const uint8_t flags = kKeyFlags[vk];
  uint8_t& s = sysState_[vk];
  if (up) {
    s &= 0x01;
  } else {
    if ((flags & kFlagToggle) != 0 && (s & 0x80) == 0) s ^= 0x01;
    s |= 0x80;
  }
  if ((flags & kFlagSided) != 0) [[unlikely]] {
    // Sided modifiers come in left/right pairs at even/odd codes; the
    // generic key is down while either of its pair is.
    const uint16_t left = vk & ~uint16_t{1};
    const auto generic = static_cast<uint16_t>(vk::kShift + (vk - vk::kLShift) / 2);
    const bool any = IsDown(sysState_, left) || IsDown(sysState_, static_cast<uint16_t>(left + 1));
    sysState_[generic] = static_cast<uint8_t>((sysState_[generic] & 0x01) | (any ? 0x80 : 0));
  }
}

[[gnu::always_inline]] inline void SimDesktop::InsertUnit(Window& w, char16_t unit) {
  // Typing at the end with room to spare is nearly every insertion.
  if (w.Caret == w.Text.size() && !w.Completes) [[likely]] {
    w.Text.push_back(unit);
    ++w.Caret;
    return;
  }
  InsertUnitSlow(w, unit);
}

void SimDesktop::InsertUnitSlow(Window& w, char16_t unit) {
  DeleteSelection(w);
  if (w.Caret == w.Text.size()) {
    w.Text.push_back(unit);
  } else {
    w.Text.insert(w.Caret, 1, unit);
  }
  ++w.Caret;
  if (!w.Completions.empty() && w.Caret == w.Text.size()) Complete(w);
}

bool SimDesktop::DeleteSelection(Window& w) {
  if (w.Selected == 0) return false;
  w.Text.erase(w.Caret, w.Selected);
  w.Selected = 0;
  return true;
}

void SimDesktop::Complete(Window& w) {
  size_t start = w.Caret;
  while (start > 0 && w.Text[start - 1] != u' ' && w.Text[start - 1] != u'\n') --start;
  const std::u16string_view word = std::u16string_view(w.Text).substr(start);
  if (word.empty()) return;
  for (const std::u16string& c : w.Completions) {
    if (c.size() > word.size() && std::u16string_view(c).substr(0, word.size()) == word) {
      w.Text.append(c, word.size());
      w.Selected = c.size() - word.size();
      return;
    }
  }
}

[[gnu::always_inline]] inline void SimDesktop::ApplyKeyDown(Window& w, uint16_t vk) {
  // The common case inline: a key that types a character with no Shift,
  // Ctrl or Alt held on the US layout. No editing key types one.
  if (vk <= 0xFF && !german_) [[likely]] {
    using namespace uskeyboard_detail;
    if ((GenericModifiers(sysState_) | SidedModifiers(sysState_)) == 0) {
      const uint32_t k = kPackedKeys[vk];
      const uint32_t flip = sysState_[vk::kCapital] & (k >> 31);
      const auto unit = static_cast<char16_t>((k >> (flip << 4)) & 0x7FFF);
      if (unit >= 0x20) [[likely]] {
        InsertUnit(w, unit);
        return;
      }
    }
  }
  ApplyKeyDownSlow(w, vk);
}

void SimDesktop::ApplyKeyDownSlow(Window& w, uint16_t vk) {
  // Backspace at the end of the text, next most common, then the full road.
  if ((kKeyFlags[vk] & kFlagEdit) == 0) {
    if (german_) {
      ApplyGermanKeyDown(w, vk);
      return;
    }
  } else if (vk == vk::kBack && w.Caret == w.Text.size() && w.Caret != 0) {
    w.Text.pop_back();
    --w.Caret;
    return;
  }
  ApplyOtherKeyDown(w, vk);
}

[[gnu::always_inline]] inline void SimDesktop::Deliver(uint16_t vk, bool up, char16_t unit) {
  if (service_ != nullptr) {
    const HookVerdict verdict = CHookLogic::OnKeyEvent(*service_, vk, !up);
    if (verdict != HookVerdict::Pass) [[unlikely]] {
      if (verdict == HookVerdict::Swallow) return;
      vk = 0;  // PassWithZeroKey
    }
  }
  DeliverToApp(vk, up, unit);
}

[[gnu::always_inline]] inline void SimDesktop::DeliverToApp(uint16_t vk, bool up, char16_t unit) {
  if (RecordAppKeys) [[unlikely]] RecordAppKey(vk, up, unit);
  if (AppLags) [[unlikely]] {
    QueueForApp(vk, up, unit);
    return;
  }
  if (vk == kVkPacket) {
    if (!up && focus_ != 0) {
      Window& w = windows_[focus_ - 1];
      if (!w.Console) InsertUnit(w, w.Unicode ? unit : AnsiByteOf(w.CodePage, unit));
    }
    return;
  }
  // A zeroed key reaches the application as nothing; codes past the byte
  // range have no state and no meaning to it.
  if (vk == 0 || vk > 0xFF) [[unlikely]] return;
  UpdateSystemState(vk, up);
  if (!up && focus_ != 0) ApplyKeyDown(windows_[focus_ - 1], vk);
}

void SimDesktop::QueueForApp(uint16_t vk, bool up, char16_t unit) {
  if (vk != kVkPacket && (vk == 0 || vk > 0xFF)) return;
  // The system's state moves now; the application sees the state each
  // event came with when it gets to it.
  if (vk != kVkPacket) UpdateSystemState(vk, up);
  AppEvent e;
  e.Vk = vk;
  e.Up = up;
  e.Unit = unit;
  e.Window = focus_;
  std::copy_n(sysState_, 256, e.State.begin());
  appQueue_.push_back(e);
}

bool SimDesktop::AskApplication(WindowHandle window) {
  if (window == 0 || window > windows_.size()) return false;
  ++questionsOut_;
  return true;
}

size_t SimDesktop::AppCatchUp(size_t n) {
  for (; n > 0 && !appQueue_.empty(); --n) {
    if (AppAnswersWhileLagging) answers_ += std::exchange(questionsOut_, 0);
    const AppEvent e = appQueue_.front();
    appQueue_.pop_front();
    if (e.Window != 0 && !e.Up) {
      const WindowHandle focus = focus_;
      focus_ = e.Window;
      if (e.Vk == kVkPacket) {
        Window& w = windows_[e.Window - 1];
        if (!w.Console) InsertUnit(w, w.Unicode ? e.Unit : AnsiByteOf(w.CodePage, e.Unit));
      } else {
        uint8_t now[256];
        std::copy_n(sysState_, 256, now);
        std::copy_n(e.State.begin(), 256, sysState_);
        ApplyKeyDown(windows_[e.Window - 1], e.Vk);
        std::copy_n(now, 256, sysState_);
      }
      focus_ = focus;
    }
    if (deferredPosted_ && !HoldDeferredWork) RunDeferredWork();
  }
  // It repaints once nothing waits in its queue.
  if (appQueue_.empty()) answers_ += std::exchange(questionsOut_, 0);
  return appQueue_.size();
}

void SimDesktop::ApplyGermanKeyDown(Window& w, uint16_t vk) {
  const bool ctrl = IsDown(sysState_, vk::kControl);
  const bool alt = IsDown(sysState_, vk::kMenu);
  // Enter, Tab, Ctrl+V and the menu keys as on any layout.
  if (vk == vk::kReturn || vk == vk::kTab || ctrl != alt) {
    ApplyOtherKeyDown(w, vk);
    return;
  }
  char16_t out[2] = {0, 0};
  const int n = GermanKeyboard::Translate(vk, sysState_, deadKey_, out);
  for (int i = 0; i < n; ++i) {
    if (out[i] >= 0x20) InsertUnit(w, out[i]);
  }
}

int SimDesktop::TranslateGerman(uint16_t vk, const uint8_t state[256], char16_t out[2]) {
  if (!TranslationKeepsDeadKey) {
    if (GermanKeyboard::IsDeadKey(vk, state)) return -1;
    return GermanKeyboard::Translate(vk, state, deadKey_, out);
  }
  char16_t dead = deadKey_;
  return GermanKeyboard::Translate(vk, state, dead, out);
}

void SimDesktop::RecordAppKey(uint16_t vk, bool up, char16_t unit) {
  AppKeys.push_back(AppKeyEvent{vk, up, vk == kVkPacket ? unit : char16_t{0}});
}

void SimDesktop::ApplyOtherKeyDown(Window& w, uint16_t vk) {
  // Editing and caret keys act the same under any modifier.
  if ((kKeyFlags[vk] & kFlagEdit) != 0) {
    switch (vk) {
      case vk::kBack:
        if (DeleteSelection(w) || w.Caret == 0) return;
        if (w.Caret == w.Text.size()) {
          w.Text.pop_back();
        } else {
          w.Text.erase(w.Caret - 1, 1);
        }
        --w.Caret;
        return;
      case vk::kDelete:
        if (!DeleteSelection(w) && w.Caret < w.Text.size()) w.Text.erase(w.Caret, 1);
        return;
      case vk::kLeft:
        w.Selected = 0;
        if (w.Caret > 0) --w.Caret;
        return;
      case vk::kRight:
        w.Selected = 0;
        if (w.Caret < w.Text.size()) ++w.Caret;
        return;
      case vk::kHome:
        w.Selected = 0;
        w.Caret = 0;
        return;
      default:  // vk::kEnd
        w.Selected = 0;
        w.Caret = w.Text.size();
        return;
    }
  }
  const bool ctrl = IsDown(sysState_, vk::kControl);
  const bool alt = IsDown(sysState_, vk::kMenu);
  // Typing keys next: they are nearly all the traffic.
  if (!ctrl && !alt) {
    char16_t out[2] = {0, 0};
    if (UsKeyboard::Translate(vk, sysState_, out) == 1 && out[0] >= 0x20) {
      InsertUnit(w, out[0]);
      return;
    }
    if (vk == vk::kReturn) {
      InsertUnit(w, u'\n');
    } else if (vk == vk::kTab) {
      InsertUnit(w, u'\t');
    }
    return;
  }
  if (ctrl && !alt) {
    if (vk == vk::kV) PasteIntoApp();
    return;
  }
  if (alt && !ctrl) return;  // menu accelerators
  // Ctrl+Alt (AltGr on other layouts): Enter and Tab still type.
  if (vk == vk::kReturn) {
    InsertUnit(w, u'\n');
    return;
  }
  if (vk == vk::kTab) {
    InsertUnit(w, u'\t');
    return;
  }
  char16_t out[2] = {0, 0};
  if (UsKeyboard::Translate(vk, sysState_, out) == 1 && out[0] >= 0x20) InsertUnit(w, out[0]);
}


[[gnu::always_inline]] inline void SimDesktop::UserKey(uint16_t vk, bool up) {
  held_[vk & 0xFF] = up ? 0 : 1;
  Deliver(vk, up, 0);
  AfterUserEvent();
}

// Flattened: the field insertion inlines into the one call per event.
[[gnu::flatten]] void SimDesktop::KeyDown(uint16_t vk) { UserKey(vk, false); }
[[gnu::flatten]] void SimDesktop::KeyUp(uint16_t vk) { UserKey(vk, true); }

bool SimDesktop::InsideHookCallback() const {
  return service_ != nullptr && service_->InHookCallback();
}

void SimDesktop::RunDeferredWork() {
  deferredPosted_ = false;
  if (service_ != nullptr) CHookLogic::OnDeferredWork(*service_);
}

void SimDesktop::Press(uint16_t vk) {
  KeyDown(vk);
  KeyUp(vk);
}

// A key TypeChar presses, going down or up: UserKey for a key that is
// neither a modifier nor a toggle and reaches the hook as it is. The rare
// roads go out of line, so that the loop of TypeText keeps what it needs in
// registers.
[[gnu::always_inline]] inline void SimDesktop::TypingKey(uint32_t vk, bool up, char16_t plain) {
  // Known of every such key (see StrokeKeysArePlain): the hook's handling
  // of its key-up inlines to nearly nothing.
  if (vk == 0 || vk > 0xFF || CInputMethodService::IsLockOrModifierKey(static_cast<uint16_t>(vk))) {
    __builtin_unreachable();
  }
  held_[vk] = up ? 0 : 1;
  if (service_ != nullptr) {
    const HookVerdict verdict = CHookLogic::OnKeyEvent(*service_, static_cast<uint16_t>(vk), !up);
    if (verdict != HookVerdict::Pass) {
      if (verdict == HookVerdict::PassWithZeroKey) [[unlikely]] {
        TypingKeyZeroed(up);
      } else {
        AfterUserEvent();
      }
      return;
    }
  }
  if (RecordAppKeys || AppLags) [[unlikely]] {
    TypingKeyToApp(vk, up);
    return;
  }
  if (up) {
    sysState_[vk] &= 0x01;
  } else {
    sysState_[vk] |= 0x80;
    if (focus_ != 0) {
      // With no Shift, Ctrl or Alt held, Caps Lock off and the US layout,
      // the key types its plain character.
      if (plain >= 0x20 && !german_ && NoModifierNorCapsLock()) [[likely]] {
        InsertUnit(windows_[focus_ - 1], plain);
      } else {
        ApplyTypingKeyDown(vk);
      }
    }
  }
  AfterUserEvent();
}

void SimDesktop::TypingKeyZeroed(bool up) {
  DeliverToApp(0, up, 0);
  AfterUserEvent();
}

void SimDesktop::TypingKeyToApp(uint32_t vk, bool up) {
  DeliverToApp(static_cast<uint16_t>(vk), up, 0);
  AfterUserEvent();
}

void SimDesktop::ApplyTypingKeyDown(uint32_t vk) { ApplyKeyDown(windows_[focus_ - 1], static_cast<uint16_t>(vk)); }

// A key without Shift, the common case, is pressed here with both events
// inline; the rest goes out of line.
[[gnu::flatten]] void SimDesktop::TypeChar(char16_t ch) {
  const uint32_t vk = UsKeyboard::PlainKeyFor(ch);
  if (vk == 0) [[unlikely]] {
    TypeOtherChar(ch);
    return;
  }
  TypingKey(vk, false, ch);
  TypingKey(vk, true, ch);
}

[[gnu::flatten]] void SimDesktop::TypeOtherChar(char16_t ch) {
  const UsKeyStroke stroke = UsKeyboard::StrokeFor(ch);
  if (stroke.Vk == 0) {
    Deliver(kVkPacket, false, ch);
    Deliver(kVkPacket, true, ch);
    AfterUserEvent();
    return;
  }
  const bool needShift = stroke.Shift && held_[vk::kLShift] == 0 && held_[vk::kRShift] == 0 &&
                         held_[vk::kShift] == 0;
  if (needShift) UserKey(vk::kLShift, false);
  TypingKey(stroke.Vk, false, 0);
  TypingKey(stroke.Vk, true, 0);
  if (needShift) UserKey(vk::kLShift, true);
}

// Out of line: the benchmarks and profiles count from here. Flattened: the
// keys of a text are pressed in one loop, not a call each.
[[gnu::noinline, gnu::flatten]] void SimDesktop::TypeText(std::u16string_view text) {
  for (const char16_t ch : text) TypeChar(ch);
}

void SimDesktop::Click(int position, bool right) {
  const DesktopPoint point{10, 10};
  const uint32_t down = right ? mousemsg::kRButtonDown : mousemsg::kLButtonDown;
  const uint32_t up = right ? mousemsg::kRButtonUp : mousemsg::kLButtonUp;
  if (service_ != nullptr && mouseHook_) CHookLogic::OnMouseEvent(*service_, down, point);
  if (Window* w = FocusedWindow(); w != nullptr && position >= 0) {
    w->Selected = 0;
    w->Caret = std::min(static_cast<size_t>(position), w->Text.size());
  }
  if (service_ != nullptr && mouseHook_) CHookLogic::OnMouseEvent(*service_, up, point);
  AfterUserEvent();
}

void SimDesktop::RunWhileInjecting() {
  const std::function<void()> user = std::move(WhileInjecting);
  WhileInjecting = nullptr;
  user();
}

// Inline on each injection; the rare user action stays out of line.
[[gnu::always_inline]] inline bool SimDesktop::InjectionAccepted(bool& dropped) {
  if (WhileInjecting) [[unlikely]] RunWhileInjecting();
  dropped = focus_ != 0 && windows_[focus_ - 1].HigherIntegrity;
  return !InjectionBlocked;
}

[[gnu::flatten]] bool SimDesktop::SendKey(uint16_t vk, bool up) {
  bool dropped = false;
  if (!InjectionAccepted(dropped)) [[unlikely]] return false;
  if (!dropped) [[likely]] DeliverToApp(vk, up, 0);
  return true;
}

[[gnu::always_inline]] inline void SimDesktop::DeliverPackets(std::u16string_view text) {
  if (!RecordAppKeys && !AppLags && focus_ != 0) [[likely]] {
    // What the packets amount to in a Unicode window that is not a console:
    // each unit's key-down types it.
    Window& w = windows_[focus_ - 1];
    if (w.Unicode && !w.Console) [[likely]] {
      for (const char16_t unit : text) InsertUnit(w, unit);
      return;
    }
  }
  for (const char16_t unit : text) {
    DeliverToApp(kVkPacket, false, unit);
    DeliverToApp(kVkPacket, true, unit);
  }
}

bool SimDesktop::SendUnicodeText(std::u16string_view text) {
  bool dropped = false;
  if (!InjectionAccepted(dropped)) [[unlikely]] return false;
  ++UnicodeInjections;
  if (dropped) [[unlikely]] return true;
  DeliverPackets(text);
  return true;
}

// One injection: the Deletes, the Backspaces and the text's packets go in
// together or not at all. The common case inline: no Delete, nothing
// watching or holding the events, a Unicode field that completes nothing
// and takes injected input, the caret at its end. What the events amount to
// there: each Backspace went down and up and took the character before the
// caret, and each unit's packet typed it.
[[gnu::flatten]] bool SimDesktop::SendReplacement(int deletes, int backspaces, std::u16string_view text) {
  if (deletes <= 0 && focus_ != 0 && !WhileInjecting && !InjectionBlocked && !RecordAppKeys && !AppLags) [[likely]] {
    Window& w = windows_[focus_ - 1];
    std::u16string& t = w.Text;
    const size_t size = t.size();
    if (w.Caret == size && w.Unicode && !w.HigherIntegrity && !w.Console && !w.Completes) [[likely]] {
      if (!text.empty()) ++UnicodeInjections;
      // The units the Backspaces took are overwritten, the rest appended.
      size_t taken = 0;
      if (backspaces > 0) {
        sysState_[vk::kBack] &= 0x01;
        taken = std::min(static_cast<size_t>(backspaces), size);
      }
      const size_t keep = size - taken;
      const size_t over = std::min(taken, text.size());
      char16_t* const at = t.data() + keep;
      for (size_t i = 0; i < over; ++i) at[i] = text[i];
      if (over < taken) t.erase(keep + over);
      for (const char16_t unit : text.substr(over)) t.push_back(unit);
      w.Caret = t.size();
      return true;
    }
  }
  return SendReplacementSlow(deletes, backspaces, text);
}

bool SimDesktop::SendReplacementSlow(int deletes, int backspaces, std::u16string_view text) {
  bool dropped = false;
  if (!InjectionAccepted(dropped)) [[unlikely]] return false;
  if (dropped) [[unlikely]] return true;
  if (!text.empty()) ++UnicodeInjections;
  for (int i = 0; i < deletes; ++i) {
    DeliverToApp(vk::kDelete, false, 0);
    DeliverToApp(vk::kDelete, true, 0);
  }
  if (backspaces > 0 && !RecordAppKeys && !AppLags && focus_ != 0) [[likely]] {
    // What the Backspaces amount to: each went down and up, and each took
    // the character before the caret.
    sysState_[vk::kBack] &= 0x01;
    Window& w = windows_[focus_ - 1];
    // The first only takes a selection.
    const size_t n = std::min(static_cast<size_t>(backspaces - (DeleteSelection(w) ? 1 : 0)), w.Caret);
    if (w.Caret == w.Text.size()) [[likely]] {
      w.Text.resize(w.Caret - n);  // the end of the text: nothing after it moves
    } else {
      w.Text.erase(w.Caret - n, n);
    }
    w.Caret -= n;
  } else {
    for (int i = 0; i < backspaces; ++i) {
      DeliverToApp(vk::kBack, false, 0);
      DeliverToApp(vk::kBack, true, 0);
    }
  }
  DeliverPackets(text);
  return true;
}

void SimDesktop::Insert(std::u16string_view text) {
  Window* w = FocusedWindow();
  if (w == nullptr) return;
  DeleteSelection(*w);
  if (w->Caret == w->Text.size()) {
    w->Text.append(text);
  } else {
    w->Text.insert(w->Caret, text);
  }
  w->Caret += text.size();
}

void SimDesktop::PasteIntoApp() {
  if (ClipboardLocked || clipboardOpen_) return;
  clipboardHeldUntil_ = now_ + AppHoldsClipboardMs;
  const Window* w = focus_ >= 1 && focus_ <= windows_.size() ? &windows_[focus_ - 1] : nullptr;
  if (w != nullptr && !w->Unicode && w->PastesAnsiText) {
    // It reads ANSI text: the clipboard's own when it has some, else the
    // system's conversion of the Unicode text in the code page of the
    // clipboard's locale (the program's here).
    std::u16string text;
    if (FindFormat(clipfmt::kText) != nullptr) {
      RenderOnRequest(clipfmt::kText);
      for (const uint8_t b : FindFormat(clipfmt::kText)->Bytes) {
        if (b == 0) break;
        text.push_back(b);
      }
    } else {
      RenderOnRequest(clipfmt::kUnicodeText);
      for (const char16_t c : ClipboardText()) text.push_back(AnsiByteOf(w->CodePage, c));
    }
    Insert(text);
    return;
  }
  RenderOnRequest(clipfmt::kUnicodeText);
  const std::u16string text = ClipboardText();
  Insert(text);
}

// ---------------------------------------------------------------- windows

WindowHandle SimDesktop::AddWindow(std::u16string className, bool unicode) {
  Window w;
  w.ClassName = std::move(className);
  w.Unicode = unicode;
  windows_.push_back(std::move(w));
  return windows_.size();
}

void SimDesktop::SetHigherIntegrity(WindowHandle window, bool higher) {
  if (window >= 1 && window <= windows_.size()) windows_[window - 1].HigherIntegrity = higher;
}

void SimDesktop::SetPassword(WindowHandle window, bool password) {
  if (window >= 1 && window <= windows_.size()) windows_[window - 1].Password = password;
}

void SimDesktop::SetPastesAnsiText(WindowHandle window) {
  if (window >= 1 && window <= windows_.size()) windows_[window - 1].PastesAnsiText = true;
}

void SimDesktop::SetConsole(WindowHandle window, bool console) {
  if (window >= 1 && window <= windows_.size()) windows_[window - 1].Console = console;
}

bool SimDesktop::IsConsoleWindow(WindowHandle window) {
  return window >= 1 && window <= windows_.size() && windows_[window - 1].Console;
}

bool SimDesktop::TypeIntoConsole(WindowHandle window, int backspaces, std::u16string_view text) {
  if (!IsConsoleWindow(window)) return false;
  if (HoldConsoleWrites) {
    consoleWrites_.push_back(ConsoleWrite{window, backspaces, std::u16string(text)});
    return true;
  }
  WriteConsole(ConsoleWrite{window, backspaces, std::u16string(text)});
  if (service_ != nullptr) CHookLogic::OnConsoleWritten(*service_, true);
  return true;
}

void SimDesktop::FinishConsoleWrites(size_t count) {
  std::vector<ConsoleWrite> writes = std::move(consoleWrites_);
  consoleWrites_.clear();
  if (count < writes.size()) {
    consoleWrites_.assign(writes.begin() + static_cast<std::ptrdiff_t>(count), writes.end());
    writes.resize(count);
  }
  for (const ConsoleWrite& write : writes) {
    WriteConsole(write);
    if (service_ != nullptr) CHookLogic::OnConsoleWritten(*service_, true);
  }
  AfterUserEvent();
}

void SimDesktop::FlushConsoleWrites(uint32_t /*milliseconds*/) {
  const std::vector<ConsoleWrite> writes = std::move(consoleWrites_);
  consoleWrites_.clear();
  for (const ConsoleWrite& write : writes) WriteConsole(write);
}

void SimDesktop::WriteConsole(const ConsoleWrite& write) {
  // Straight into the console's input: ahead of whatever still waits in the
  // window's message queue.
  Window& w = windows_[write.Window - 1];
  const int backspaces = write.Backspaces;
  const std::u16string_view text = write.Text;
  for (int i = 0; i < backspaces && w.Caret > 0; ++i) {
    w.Text.erase(w.Caret - 1, 1);
    --w.Caret;
  }
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'\n' && i > 0 && text[i - 1] == u'\r') continue;
    InsertUnit(w, text[i] == u'\r' ? u'\n' : text[i]);
  }
  ++ConsoleWrites;
}

bool SimDesktop::ReplaceInField(WindowHandle window, int backspaces, std::u16string_view text, bool marked) {
  if (window < 1 || window > windows_.size()) return false;
  FieldEdit edit{window, backspaces, std::u16string(text), marked};
  if (HoldFieldReplacements) {
    fieldEdits_.push_back(std::move(edit));
    return true;
  }
  ReplaceNow(edit);
  return true;
}

void SimDesktop::FinishFieldReplacements() {
  const std::vector<FieldEdit> edits = std::move(fieldEdits_);
  fieldEdits_.clear();
  for (const FieldEdit& edit : edits) ReplaceNow(edit);
  AfterUserEvent();
}

void SimDesktop::ReplaceNow(const FieldEdit& edit) {
  // The field as its program has it now: input still in its queue is not
  // in the reading.
  FieldSelection s;
  if (AnswersFieldReads) {
    const Window& w = windows_[edit.Window - 1];
    s.Start = static_cast<int32_t>(w.Caret);
    s.End = static_cast<int32_t>(w.Caret + w.Selected);
    s.Length = static_cast<int32_t>(w.Text.size());
  }
  ++FieldReplacements;
  const bool ok = SendReplacement(DeletesBeforeReplacement(s, edit.Marked), edit.Backspaces, edit.Text);
  if (service_ != nullptr) CHookLogic::OnFieldReplaced(*service_, ok);
}

void SimDesktop::SetProgram(WindowHandle window, std::u16string program) {
  if (window >= 1 && window <= windows_.size()) windows_[window - 1].Program = std::move(program);
}

void SimDesktop::SetCompletions(WindowHandle window, std::vector<std::u16string> words) {
  if (window < 1 || window > windows_.size()) return;
  Window& w = windows_[window - 1];
  w.Completions = std::move(words);
  w.Completes = !w.Completions.empty();
}

size_t SimDesktop::Selected() const {
  const Window* w = FocusedWindow();
  return w == nullptr ? 0 : w->Selected;
}

std::u16string SimDesktop::TypedText() const {
  const Window* w = FocusedWindow();
  if (w == nullptr) return {};
  std::u16string text = w->Text;
  if (w->Selected > 0 && w->Caret + w->Selected == text.size()) text.resize(w->Caret);
  return text;
}

bool SimDesktop::RequestFieldSelection(WindowHandle window, uint32_t serial) {
  fieldReads_.push_back(FieldRead{window, serial});
  return true;
}

std::u16string SimDesktop::WindowProgramName(WindowHandle window) {
  return window >= 1 && window <= windows_.size() ? windows_[window - 1].Program : std::u16string();
}

namespace {

// Code page 1252's characters for 0x80..0x9F (0xA0..0xFF are their own);
// the five bytes it leaves undefined read as their own code points, as
// Windows reads them.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

constexpr char16_t kCp1258High[128] = {
#include "common/CodePage1258Table.inc"
};

char16_t HighChar(uint32_t codePage, uint8_t byte) {
  if (codePage == 1258) return kCp1258High[byte - 0x80];
  return byte <= 0x9F ? kCp1252High[byte - 0x80] : byte;
}

}  // namespace

uint32_t SimDesktop::AnsiCodePageOf(WindowHandle window) {
  return window >= 1 && window <= windows_.size() ? windows_[window - 1].CodePage : 1252;
}

char16_t SimDesktop::AnsiCodePageChar(uint32_t codePage, uint8_t byte) {
  if (codePage != 1252 && codePage != 1258) return 0;
  return byte < 0x80 ? byte : HighChar(codePage, byte);
}

uint32_t SimDesktop::InputLocaleOf(WindowHandle window) {
  const uint32_t codePage = AnsiCodePageOf(window);
  return codePage == 1252 ? 0x0409 : codePage == 1258 ? 0x042A : 0;
}

void SimDesktop::SetCodePage(WindowHandle window, uint32_t codePage) {
  if (window >= 1 && window <= windows_.size()) windows_[window - 1].CodePage = codePage;
}

char16_t SimDesktop::AnsiByteOf(uint32_t codePage, char16_t unit) {
  if (unit < 0x80) return unit;
  for (int b = 0x80; b <= 0xFF; ++b) {
    if (HighChar(codePage, static_cast<uint8_t>(b)) == unit) return static_cast<char16_t>(b);
  }
  return u'?';
}

bool SimDesktop::IsPasswordField(WindowHandle window) {
  return window >= 1 && window <= windows_.size() && windows_[window - 1].Password;
}

bool SimDesktop::IsWindowOfHigherIntegrity(WindowHandle window) {
  return window >= 1 && window <= windows_.size() && windows_[window - 1].HigherIntegrity;
}

void SimDesktop::SetFocus(WindowHandle window) {
  focus_ = (window >= 1 && window <= windows_.size()) ? window : 0;
}

SimDesktop::Window* SimDesktop::FocusedWindow() {
  return focus_ == 0 ? nullptr : &windows_[focus_ - 1];
}

const SimDesktop::Window* SimDesktop::FocusedWindow() const {
  return focus_ == 0 ? nullptr : &windows_[focus_ - 1];
}

const std::u16string& SimDesktop::Text() const {
  const Window* w = FocusedWindow();
  return w == nullptr ? kEmpty : w->Text;
}

std::u16string SimDesktop::TextOf(WindowHandle window) const {
  if (window < 1 || window > windows_.size()) return {};
  return windows_[window - 1].Text;
}

size_t SimDesktop::Caret() const {
  const Window* w = FocusedWindow();
  return w == nullptr ? 0 : w->Caret;
}

void SimDesktop::SetText(std::u16string text) {
  Window* w = FocusedWindow();
  if (w == nullptr) return;
  w->Text = std::move(text);
  w->Caret = w->Text.size();
  w->Selected = 0;
}

void SimDesktop::ClearText() {
  Window* w = FocusedWindow();
  if (w == nullptr) return;
  w->Text.clear();
  w->Caret = 0;
  w->Selected = 0;
}

std::u16string SimDesktop::TakeText() {
  Window* w = FocusedWindow();
  if (w == nullptr) return {};
  std::u16string text = std::move(w->Text);
  w->Text.clear();
  w->Caret = 0;
  w->Selected = 0;
  return text;
}

void SimDesktop::EraseTextStart(size_t count) {
  Window* w = FocusedWindow();
  if (w == nullptr) return;
  const size_t n = std::min(count, w->Text.size());
  w->Text.erase(0, n);
  if (w->Caret >= n) {
    w->Caret -= n;
  } else {
    w->Caret = 0;
    w->Selected = std::min(w->Selected, w->Text.size());
  }
}

std::u16string SimDesktop::WindowClassName(WindowHandle window) {
  if (window < 1 || window > windows_.size()) return {};
  std::u16string name = windows_[window - 1].ClassName;
  if (name.size() > 100) name.resize(100);
  return name;
}

bool SimDesktop::IsUnicodeWindow(WindowHandle window) {
  return window >= 1 && window <= windows_.size() && windows_[window - 1].Unicode;
}

bool SimDesktop::CaretRect(DesktopRect& rect) {
  const Window* w = FocusedWindow();
  if (w == nullptr) return false;
  const auto x = static_cast<int32_t>(10 + 8 * std::min<size_t>(w->Caret, 100000));
  rect = DesktopRect{x, 100, x + 1, 116};
  return true;
}

// ---------------------------------------------------------------- clipboard

SimDesktop::ClipFormat* SimDesktop::FindFormat(uint32_t format) {
  for (ClipFormat& f : clipboard_) {
    if (f.Format == format) return &f;
  }
  return nullptr;
}

const SimDesktop::ClipFormat* SimDesktop::FindFormat(uint32_t format) const {
  for (const ClipFormat& f : clipboard_) {
    if (f.Format == format) return &f;
  }
  return nullptr;
}

void SimDesktop::SetClipboardText(std::u16string_view text) {
  clipboard_.clear();
  serviceOwns_ = false;
  ++clipboardSequence_;
  const bool wasOpen = clipboardOpen_;
  clipboardOpen_ = true;
  SetClipboardUnicodeText(text);
  clipboardOpen_ = wasOpen;
}

std::u16string SimDesktop::ClipboardText() const {
  const ClipFormat* f = FindFormat(clipfmt::kUnicodeText);
  std::u16string text;
  if (f == nullptr) return text;
  for (size_t i = 0; i + 1 < f->Bytes.size(); i += 2) {
    const auto c = static_cast<char16_t>(f->Bytes[i] | (f->Bytes[i + 1] << 8));
    if (c == 0) break;
    text.push_back(c);
  }
  return text;
}

void SimDesktop::PutClipboardFormat(uint32_t format, std::vector<uint8_t> bytes) {
  ++clipboardSequence_;
  if (!clipboardOpen_) serviceOwns_ = false;  // another program's
  if (ClipFormat* f = FindFormat(format)) {
    f->Bytes = std::move(bytes);
    f->OnRequest = false;
  } else {
    clipboard_.push_back(ClipFormat{format, std::move(bytes)});
  }
}

bool SimDesktop::ClipboardHas(uint32_t format) const { return FindFormat(format) != nullptr; }

std::vector<uint8_t> SimDesktop::ClipboardFormatBytes(uint32_t format) const {
  const ClipFormat* f = FindFormat(format);
  return f == nullptr ? std::vector<uint8_t>() : f->Bytes;
}

std::vector<uint32_t> SimDesktop::ClipboardFormats() const {
  std::vector<uint32_t> formats;
  for (const ClipFormat& f : clipboard_) formats.push_back(f.Format);
  return formats;
}

bool SimDesktop::OpenClipboard() {
  if (ClipboardLocked || clipboardOpen_ || now_ < clipboardHeldUntil_) return false;
  clipboardOpen_ = true;
  ++ClipboardOpens;
  if (service_ != nullptr && service_->InHookCallback()) ++ClipboardOpensInHook;
  return true;
}

void SimDesktop::CloseClipboard() { clipboardOpen_ = false; }

bool SimDesktop::EmptyClipboard() {
  if (!clipboardOpen_) return false;
  clipboard_.clear();
  serviceOwns_ = true;
  ++clipboardSequence_;
  return true;
}

bool SimDesktop::SetClipboardUnicodeText(std::u16string_view text) {
  if (!clipboardOpen_) return false;
  std::vector<uint8_t> bytes;
  bytes.reserve((text.size() + 1) * 2);
  for (const char16_t c : text) {
    bytes.push_back(static_cast<uint8_t>(c & 0xFF));
    bytes.push_back(static_cast<uint8_t>(c >> 8));
  }
  bytes.push_back(0);
  bytes.push_back(0);
  PutClipboardFormat(clipfmt::kUnicodeText, std::move(bytes));
  return true;
}

bool SimDesktop::SetClipboardAnsiTextOnRequest() {
  if (!clipboardOpen_ || !RendersOnRequest) return false;
  PutClipboardFormat(clipfmt::kText, {});
  FindFormat(clipfmt::kText)->OnRequest = true;
  return true;
}

bool SimDesktop::SetClipboardUnicodeTextOnRequest() {
  if (!clipboardOpen_ || !RendersOnRequest) return false;
  PutClipboardFormat(clipfmt::kUnicodeText, {});
  FindFormat(clipfmt::kUnicodeText)->OnRequest = true;
  return true;
}

void SimDesktop::RenderOnRequest(uint32_t format) {
  ClipFormat* f = FindFormat(format);
  if (f == nullptr || !f->OnRequest) return;
  f->OnRequest = false;
  std::u16string text;
  if (format == clipfmt::kText) {
    std::string bytes;
    if (service_ == nullptr || !CHookLogic::OnRenderClipboardBytes(*service_, bytes)) return;
    for (const char b : bytes) text.push_back(static_cast<uint8_t>(b));
  } else if (service_ == nullptr || !CHookLogic::OnRenderClipboard(*service_, text)) {
    return;
  }
  f = FindFormat(format);
  if (f == nullptr) return;
  f->Bytes.clear();
  for (const char16_t c : text) {
    f->Bytes.push_back(static_cast<uint8_t>(c & 0xFF));
    if (format != clipfmt::kText) f->Bytes.push_back(static_cast<uint8_t>(c >> 8));
  }
  f->Bytes.push_back(0);
  if (format != clipfmt::kText) f->Bytes.push_back(0);
}

uint32_t SimDesktop::EnumClipboardFormats(uint32_t previous) {
  if (!clipboardOpen_ || clipboard_.empty()) return 0;
  if (previous == 0) return clipboard_.front().Format;
  for (size_t i = 0; i + 1 < clipboard_.size(); ++i) {
    if (clipboard_[i].Format == previous) return clipboard_[i + 1].Format;
  }
  return 0;
}

std::u16string SimDesktop::ClipboardFormatName(uint32_t format) {
  if (format < kFirstRegisteredFormat) return {};
  const size_t i = format - kFirstRegisteredFormat;
  return i < registeredNames_.size() ? registeredNames_[i] : std::u16string();
}

bool SimDesktop::GetClipboardBytes(uint32_t format, std::vector<uint8_t>& bytes) {
  if (!clipboardOpen_) return false;
  if (WhileRendering) {
    const std::function<void()> rendering = std::move(WhileRendering);
    WhileRendering = nullptr;
    rendering();
  }
  RenderOnRequest(format);
  const ClipFormat* f = FindFormat(format);
  if (f == nullptr) return false;
  bytes = f->Bytes;
  return true;
}

bool SimDesktop::SetClipboardBytes(uint32_t format, const std::vector<uint8_t>& bytes) {
  if (!clipboardOpen_ || format == 0) return false;
  PutClipboardFormat(format, bytes);
  return true;
}

uint32_t SimDesktop::RegisterClipboardFormat(std::u16string_view name) {
  if (name.empty()) return 0;
  for (size_t i = 0; i < registeredNames_.size(); ++i) {
    if (registeredNames_[i] == name) return static_cast<uint32_t>(kFirstRegisteredFormat + i);
  }
  registeredNames_.emplace_back(name);
  return static_cast<uint32_t>(kFirstRegisteredFormat + registeredNames_.size() - 1);
}

// ---------------------------------------------------------------- keyboard

void SimDesktop::GetKeyboardState(uint8_t state[256]) { std::copy_n(sysState_, 256, state); }

// ---------------------------------------------------------------- clock

void SimDesktop::StartRestoreTimer(uint32_t milliseconds) {
  timerArmed_ = true;
  timerDeadline_ = now_ + milliseconds;
}

void SimDesktop::StopRestoreTimer() { timerArmed_ = false; }

void SimDesktop::StartPasteTimer(uint32_t milliseconds) {
  pasteTimerArmed_ = true;
  pasteTimerDeadline_ = now_ + milliseconds;
}

void SimDesktop::StopPasteTimer() { pasteTimerArmed_ = false; }

void SimDesktop::Advance(uint32_t milliseconds) {
  const uint64_t end = now_ + milliseconds;
  if (!fieldReads_.empty()) [[unlikely]] {
    // The program answers what its field holds now.
    const std::vector<FieldRead> reads = std::move(fieldReads_);
    fieldReads_.clear();
    for (const FieldRead& r : reads) {
      FieldSelection s;
      if (AnswersFieldReads && r.Window >= 1 && r.Window <= windows_.size()) {
        const Window& w = windows_[r.Window - 1];
        s.Start = static_cast<int32_t>(w.Caret);
        s.End = static_cast<int32_t>(w.Caret + w.Selected);
        s.Length = static_cast<int32_t>(w.Text.size());
        ++FieldReads;
      }
      if (service_ != nullptr) CHookLogic::OnFieldSelection(*service_, r.Serial, s);
    }
  }
  if (deferredPosted_) RunDeferredWork();
  for (;;) {
    const bool restoreDue = timerArmed_ && timerDeadline_ <= end;
    const bool pasteDue = pasteTimerArmed_ && pasteTimerDeadline_ <= end;
    if (!restoreDue && !pasteDue) break;
    if (!AppLags || AppAnswersWhileLagging || appQueue_.empty()) answers_ += std::exchange(questionsOut_, 0);
    if (pasteDue && (!restoreDue || pasteTimerDeadline_ <= timerDeadline_)) {
      now_ = std::max(now_, pasteTimerDeadline_);
      pasteTimerArmed_ = false;
      if (service_ != nullptr) CHookLogic::OnPasteTimer(*service_);
    } else {
      now_ = std::max(now_, timerDeadline_);
      timerArmed_ = false;
      if (service_ != nullptr) CHookLogic::OnRestoreTimer(*service_);
    }
    if (deferredPosted_ && !HoldDeferredWork) RunDeferredWork();
  }
  now_ = end;
}

}  // namespace tavirel
