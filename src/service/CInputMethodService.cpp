#include "service/CInputMethodService.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <stdexcept>

#include "common/AppDirectory.h"
#include "common/BackgroundQueue.h"
#include "service/CTypingContext.h"
#include "spelling/CSuggestionEngine.h"
#include "spelling/CTuDienTuGhep.h"
#include "service/ServiceTables.h"
#include "tables/CKieuGo.h"

namespace tavirel {

namespace {

CInputMethodService* g_service = nullptr;

// The generic key (Shift, Ctrl, Alt) and modifier bit of each virtual key:
// the sided keys map to their generic key, every other key to itself.
struct ModifierInfo {
  uint16_t Generic[256];
  uint8_t Bit[256];
};

constexpr ModifierInfo BuildModifierInfo() {
  ModifierInfo m{};
  for (uint16_t k = 0; k < 256; ++k) {
    m.Generic[k] = k;
    m.Bit[k] = 0;
  }
  const auto sided = [&m](uint16_t left, uint16_t right, uint16_t generic, int32_t bit) {
    for (const uint16_t k : {left, right, generic}) {
      m.Generic[k] = generic;
      m.Bit[k] = static_cast<uint8_t>(bit);
    }
  };
  sided(vk::kLShift, vk::kRShift, vk::kShift, modbits::kShift);
  sided(vk::kLControl, vk::kRControl, vk::kControl, modbits::kCtrl);
  sided(vk::kLMenu, vk::kRMenu, vk::kMenu, modbits::kAlt);
  m.Bit[vk::kLWin] = static_cast<uint8_t>(modbits::kWin);
  m.Bit[vk::kRWin] = static_cast<uint8_t>(modbits::kWin);
  return m;
}

constexpr ModifierInfo kModifierInfo = BuildModifierInfo();

uint16_t GenericOf(uint16_t key) { return key < 256 ? kModifierInfo.Generic[key] : key; }

constexpr int32_t ModifierBitOf(uint16_t key) { return key < 256 ? kModifierInfo.Bit[key] : 0; }

constexpr bool IsLockOrModifier(uint16_t key) { return CInputMethodService::IsLockOrModifierKey(key); }

// The set is exactly Caps Lock, Num Lock and the keys with a modifier bit.
constexpr bool LockOrModifierSetIsRight() {
  for (uint16_t k = 0; k < 300; ++k) {
    const bool expected = ModifierBitOf(k) != 0 || k == vk::kCapital || k == vk::kNumLock;
    if (IsLockOrModifier(k) != expected) return false;
  }
  return true;
}
static_assert(LockOrModifierSetIsRight());

constexpr bool NotLockOrModifierSetIsRight() {
  for (uint16_t k = 0; k < 256; ++k) {
    const bool in = ((CInputMethodService::kNotLockOrModifierSet[k >> 6] >> (k & 63)) & 1) != 0;
    if (in == IsLockOrModifier(k)) return false;
  }
  return true;
}
static_assert(NotLockOrModifierSetIsRight());

}  // namespace

CInputMethodService::CInputMethodService(IDesktop* desktop)
    : desktop_(desktop),
      compoundDictionary_(std::make_shared<CTuDienTuGhep>()),
      context_(std::make_unique<CTypingContext>(this)),
      clear_(this, kDefaultPhimClear),
      khoiPhuc_(this, kDefaultPhimKhoiPhuc),
      suggestion_(this, kDefaultPhimGoiY),
      closeSuggestion_(this, kCloseSuggestionKey),
      chuyen_(this, kDefaultPhimChuyen),
      chuyenMa_(this, kChuyenMaKey) {
  if (desktop_ == nullptr) throw std::invalid_argument("CInputMethodService needs a desktop");
  g_service = this;
  context_->TuDienTuGhep = compoundDictionary_.get();
  UsedKeywordsPath = AppFilePath(u"Suggestion_UsedKeywords.dat");
  builtInHotKeys_ = {&clear_, &khoiPhuc_, &suggestion_, &closeSuggestion_, &chuyen_, &chuyenMa_};
  tables_ = ServiceTables::Shared();
  SetTypingMethod(std::u16string(kDefaultKieuGo));
  SetCodeTable(u"Unicode");
  RefreshQuietKeys();
  RefreshRoads();
}

CInputMethodService::~CInputMethodService() {
  // The worker's last saves finish before anything they could reach goes.
  worker_.reset();
  // A pending restore would otherwise leave our pasted text on the user's
  // clipboard for good.
  StopWaitingForPaste();
  if (restorePending_) OnRestoreTimer();
  if (g_service == this) g_service = nullptr;
}

CInputMethodService* CInputMethodService::Instance() { return g_service; }

// ---------------------------------------------------------------- modes

void CInputMethodService::SetVietnamese(bool on) {
  if (on == vietnamese_) return;
  vietnamese_ = on;
  RefreshRoads();
  SyncKeyboardState();
  ModeChanged.Raise(this);
}

void CInputMethodService::SyncKeyboardState() {
  desktop_->GetKeyboardState(keyState_);
  for (const uint16_t toggle : {vk::kCapital, vk::kNumLock, vk::kScroll}) {
    const uint8_t s = keyState_[toggle];
    keyState_[toggle] = ((s & 0x01) != 0 && (s & 0x80) == 0) ? 1 : 0;
  }
  consumed_ = false;
  modifiers_ = 0;
  RefreshRoads();
  Reset();
}

void CInputMethodService::Reset() {
  if (context_->Active) context_->Reset();
  HideSuggestionList();
}

// In a catch block while a key was interpreted: the error is raised and the
// word dropped, so that what the context holds cannot differ from the screen.
void CInputMethodService::KeyFailed() {
  try {
    throw;
  } catch (const std::exception& e) {
    RaiseError(e);
  } catch (...) {
    RaiseError(std::runtime_error("unknown error while interpreting a key"));
  }
  Reset();
}

// ---------------------------------------------------------------- keys

bool CInputMethodService::OnKeyDown(uint16_t key) { return HandleKeyDown(key); }

bool CInputMethodService::OnHookKeyDown(uint16_t key) {
  const WindowHandle window = desktop_->FocusWindow();
  // Nearly every key is a letter, digit, punctuation or the space bar
  // pressed alone in the window that had the last key, with Vietnamese
  // typing on and nothing else going on: it takes a straight road here.
  // Every other key, and every key while anything unusual is on, takes
  // OnOtherKeyDown.
  if (window == focusWindow_ && StraightKey(key) && !keyRoadOff_ && !sending_ && MasterSwitch && !CPUCao &&
      !DetectAutoCompleteWindows) [[likely]] {
    passWithZeroKey_ = false;
    CTypingContext& ctx = *context_;
    bool r = false;
    try {
      if (key == vk::kSpace) [[unlikely]] {
        if (ctx.Active) {
          r = ctx.EndWord(u' ');
          if (engine_ != nullptr) UpdateSuggestions();
        }
      } else {
        char16_t chars[2] = {0, 0};
        const int n = desktop_->TranslateKey(key, keyState_, chars);
        if (n <= 0 || chars[0] == 0) [[unlikely]] return UntranslatedKey(n);
        numpadKey_ = false;
        ctx.Active = true;
        r = ctx.ComposeKey(chars[0]);
        if (engine_ != nullptr) UpdateSuggestions();
      }
    } catch (...) {
      KeyFailed();
    }
    if (injectionFailed_ || clipboardUsed_ || !DebugText.Empty()) [[unlikely]] return AfterKeyDown(r);
    return r;
  }
  return OnOtherKeyDown(key, window);
}

bool CInputMethodService::UntranslatedKey(int n) {
  deadKeyPending_ = n < 0;
  RefreshRoads();
  Reset();
  return AfterKeyDown(false);
}

bool CInputMethodService::AfterKeyDown(bool r) {
  if (injectionFailed_) HandleInjectionFailure();
  if (!DebugText.Empty()) RaiseDebugText();
  ArmRestoreTimerIfUsed();
  return r;
}

bool CInputMethodService::OnOtherKeyDown(uint16_t key, WindowHandle window) {
  if (window != focusWindow_) FocusChanged(window);
  charKey_ = false;
  const bool swallow = HandleKeyDown(key);
  ArmRestoreTimerIfUsed();
  if (DetectAutoCompleteWindows && !autoCompleteWindow_ && !IsLockOrModifierKey(key)) [[unlikely]] {
    WatchForAutoComplete();
  }
  return swallow;
}

// Inlined into both callers: one frame per key on the hook's road.
[[gnu::always_inline]] inline bool CInputMethodService::HandleKeyDown(uint16_t key) {
  if (sending_) return false;
  passWithZeroKey_ = false;
  // Nearly every key is pressed alone and is neither a modifier nor the key
  // of a hotkey: that is known beforehand (see QuietKey).
  const bool quiet = QuietKey(key);
  if (!quiet && IsLockOrModifier(key)) [[unlikely]] return OnLockOrModifierKeyDown(key);
  if (load_ != nullptr) [[unlikely]] TakeLoadedSuggestions();

  // MatchKeyDown, with only the rare run of the actions out of line.
  bool r = false;
  if (!quiet) [[unlikely]] {
    if ((key != 0 || modifiers_ != 0) && AnyHotKeyFor(KeyCombo(modifiers_, key))) [[unlikely]] {
      r = RunHotKeys(modifiers_, key);
    }
    if (consumed_ || modifiers_ != 0) consumed_ = true;
  }
  if (modifiers_ != 0 && modifiers_ != modbits::kShift) {
    // AltGr and the like: the application gets the key as it is.
    deadKeyPending_ = false;
    RefreshRoads();
    Reset();
  } else if (!r && focusKeysUntouched_) [[unlikely]] {
    // Nothing injected reaches that window, or it takes a password: the key
    // goes through untouched and the run keeps nothing of it.
    Reset();
  } else if (!r && MasterSwitch && (vietnamese_ || context_->GoTatKhiTatTavirel)) [[likely]] {
    try {
      r = InterpretKey(key, r);
    } catch (...) {
      KeyFailed();
    }
  } else if (!r) {
    // The key reaches the application without the context seeing it (all
    // processing switched off): what the run holds is no longer what is on
    // screen, and a later replacement would delete the wrong characters.
    Reset();
  }
  if (injectionFailed_) [[unlikely]] HandleInjectionFailure();
  if (!DebugText.Empty()) [[unlikely]] RaiseDebugText();
  return r;
}

void CInputMethodService::RefreshRoads() {
  keyRoadOff_ = modifiers_ != 0 || load_ != nullptr || !vietnamese_ || focusKeysUntouched_ || deadKeyPending_;
  // As WouldPaste and Deliver decide with both options off.
  const bool pastes = focusDelivery_ == AppDelivery::Clipboard ||
                      (focusDelivery_ != AppDelivery::KeyPackets && !focusConsole_ && FocusNeedsPaste());
  const bool ansi = !focusUnicode_ && focusWindow_ != 0 && !outputNeedsUnicode_;
  plainOutput_ = !pastes && !ansi && !ConsoleInput() && !autoCompleteWindow_;
}

void CInputMethodService::RefreshQuietKeys() {
  // Read first: a change while this runs is seen at the next key.
  hotKeyGeneration_ = HotKeyBinding::Generation();
  std::copy(std::begin(kNotLockOrModifierSet), std::end(kNotLockOrModifierSet), std::begin(quietKeys_));
  const auto take = [this](const CHotKeyActionBase& action) {
    const KeyCombo combo = action.Key;
    if (combo.Modifiers == 0 && combo.Key < 256) quietKeys_[combo.Key >> 6] &= ~(uint64_t{1} << (combo.Key & 63));
  };
  for (const CHotKeyActionBase* action : builtInHotKeys_) take(*action);
  for (const auto& action : userHotKeys_) {
    if (action != nullptr) take(*action);
  }
  // The straight road's keys: the quiet keys that neither edit (Backspace),
  // end the word another way, move, pick suggestions nor type a digit of
  // the number pad.
  std::copy(std::begin(quietKeys_), std::end(quietKeys_), std::begin(straightKeys_));
  const auto drop = [this](uint16_t key) { straightKeys_[key >> 6] &= ~(uint64_t{1} << (key & 63)); };
  for (const uint16_t key : {vk::kBack, vk::kEscape, vk::kReturn, vk::kTab, vk::kUp, vk::kDown, vk::kPrior, vk::kNext}) {
    drop(key);
  }
  for (uint16_t key = vk::kF1; key <= vk::kF12; ++key) drop(key);
  for (uint16_t key = vk::kNumpad0; key <= vk::kNumpad9; ++key) drop(key);
}

bool CInputMethodService::OnLockOrModifierKeyDown(uint16_t key) {
  if (!IsLockOrModifier(key)) return false;  // never: keeps key inside keyState_
  if (key == vk::kCapital || key == vk::kNumLock) return false;
  const uint16_t generic = GenericOf(key);
  keyState_[generic] = static_cast<uint8_t>((keyState_[generic] ^ 0x01) | 0x80);
  if (generic != key) keyState_[key] = static_cast<uint8_t>((keyState_[key] ^ 0x01) | 0x80);
  modifiers_ |= ModifierBitOf(key);
  RefreshRoads();
  consumed_ = false;
  // AltGr arrives as left Ctrl and right Alt; tapped alone it is no Ctrl+Alt.
  if ((keyState_[vk::kLControl] & 0x80) != 0 && (keyState_[vk::kRMenu] & 0x80) != 0) altGr_ = true;
  return false;
}

[[gnu::always_inline]] inline bool CInputMethodService::InterpretKey(uint16_t key, bool r) {
  CTypingContext& ctx = *context_;
  if (deadKeyPending_) [[unlikely]] {
    // The key completes a dead key of the layout in the application, which
    // translates it after us: it goes there untouched and untranslated (a
    // translation could use up the dead key before the application sees
    // it), and the word starts again after what it composes.
    deadKeyPending_ = false;
    RefreshRoads();
    Reset();
    return r;
  }
  switch (key) {
    case vk::kBack: {
      const bool empty = ctx.RecentText.empty() && !(ctx.HasWord && !ctx.Word.CacKT.empty());
      if (!empty) r = ctx.Backspace();
      UpdateSuggestions();
      return r;
    }
    case vk::kSpace:
      charKey_ = true;
      if (ctx.Active) {
        r = ctx.EndWord(u' ');
        UpdateSuggestions();
      }
      return r;
    case vk::kEscape:
    case vk::kReturn:
    case vk::kTab:
      if (ctx.Active) {
        r = ctx.EndWord(0);
        if (!r) Reset();
      }
      HideSuggestionList();
      return r;
    case vk::kUp:
    case vk::kDown:
      if (suggestionsOn_ && SuggestionUIHookUpDownKey && SuggestionWindowVisible()) {
        // The key moves the selection in the suggestion list.
        suggestionWindow_->MoveSelection(key == vk::kUp ? -1 : 1);
        return true;
      }
      Reset();
      return r;
    case vk::kPrior:
    case vk::kNext:
      if (suggestionsOn_ && SuggestionWindowVisible()) {
        if (key == vk::kPrior) {
          suggestionWindow_->PageUp();
        } else {
          suggestionWindow_->PageDown();
        }
        return true;
      }
      Reset();
      return r;
    default:
      break;
  }

  if (key >= vk::kF1 && key <= vk::kF12) {
    // Suggestion entries are picked with F1..F12 and Shift+F1..F12 while the
    // window shows; otherwise the key ends the word.
    if (suggestionsOn_ && SuggestionWindowVisible()) {
      const int row = suggestionWindow_->TopIndex() + (key - vk::kF1) + ((modifiers_ & modbits::kShift) != 0 ? 12 : 0);
      PickSuggestion(row);  // a row beyond the last is ignored
      return true;
    }
    Reset();
    return r;
  }

  char16_t chars[2] = {0, 0};
  const int n = desktop_->TranslateKey(key, keyState_, chars);
  if (n <= 0 || chars[0] == 0) {
    deadKeyPending_ = n < 0;
    RefreshRoads();
    Reset();
    return r;
  }
  numpadKey_ = key >= vk::kNumpad0 && key <= vk::kNumpad9;
  charKey_ = true;
  // ProcessChar would ask this service again whether Vietnamese is on.
  if (vietnamese_) [[likely]] {
    ctx.Active = true;
    r = ctx.ComposeKey(chars[0]);
  } else {
    r = ctx.ProcessChar(chars[0]);
  }
  if (CPUCao && !r && !deferring_) {
    // Slow programs: send the key itself after the replacement.
    sending_ = true;
    desktop_->SendKey(key, false);
    desktop_->SendKey(key, true);
    sending_ = false;
    r = true;
  }
  UpdateSuggestions();
  return r;
}

bool CInputMethodService::OnLockOrModifierKeyUp(uint16_t key) {
  if (!IsLockOrModifier(key)) return false;  // never: keeps key inside keyState_
  if (key == vk::kCapital || key == vk::kNumLock) {
    keyState_[key] ^= 0x01;
    return false;
  }
  constexpr int32_t kCtrlAlt = modbits::kCtrl | modbits::kAlt;
  if (!consumed_ && modifiers_ != 0 && !(altGr_ && (modifiers_ & kCtrlAlt) == kCtrlAlt)) {
    RunHotKeys(modifiers_, 0);
    // A paste made by a modifier-only hotkey is put back like any other.
    ArmRestoreTimerIfUsed();
    if (injectionFailed_) HandleInjectionFailure();
  }
  const uint16_t generic = GenericOf(key);
  keyState_[generic] &= 0x01;
  keyState_[key] &= 0x01;
  modifiers_ &= ~ModifierBitOf(key);
  RefreshRoads();
  consumed_ = modifiers_ != 0;
  if (modifiers_ == 0) altGr_ = false;
  return false;
}

bool CInputMethodService::MatchKeyDown(uint16_t key) {
  if (key == 0 && modifiers_ == 0) return false;
  if (!AnyHotKeyFor(KeyCombo(modifiers_, key))) [[likely]] return false;
  return RunHotKeys(modifiers_, key);
}

[[gnu::always_inline]] inline bool CInputMethodService::AnyHotKeyFor(KeyCombo combo) const {
  // Keys are read on every call: an action's key may be changed at any time.
  // The built-ins are members (the same six, in order, as builtInHotKeys_),
  // read in place; the key is compared first, as it rarely matches.
  const auto bound = [combo](const CHotKeyActionBase& action) {
    return action.Key.Key == combo.Key && action.Key.Modifiers == combo.Modifiers;
  };
  if (bound(clear_) || bound(khoiPhuc_) || bound(suggestion_) || bound(closeSuggestion_) ||
      bound(chuyen_) || bound(chuyenMa_)) {
    return true;
  }
  for (const auto& action : userHotKeys_) {
    if (action != nullptr && bound(*action)) return true;
  }
  return false;
}

bool CInputMethodService::RunHotKeys(int32_t modifiers, uint16_t key) {
  const KeyCombo combo(modifiers, key);
  // Nearly every key matches nothing; the actions only run when one does.
  if (!AnyHotKeyFor(combo)) return false;
  bool r = false;
  for (CHotKeyActionBase* action : builtInHotKeys_) {
    if (!(action->Key == combo)) continue;
    if (modifiers != 0) consumed_ = true;
    if (ExecuteGuarded(action)) {
      r = true;
      break;
    }
  }
  // By index: an action may refill the list.
  for (size_t i = 0; i < userHotKeys_.size(); ++i) {
    CHotKeyActionBase* action = userHotKeys_[i].get();
    if (action == nullptr || !(action->Key == combo)) continue;
    if (modifiers != 0) consumed_ = true;
    const bool consumedKey = ExecuteGuarded(action);
    ActionExecuted.Raise(action);
    if (consumedKey) r = true;
  }
  if (r && key != 0 && (modifiers & modbits::kAlt) != 0) passWithZeroKey_ = true;
  return r;
}

bool CInputMethodService::ExecuteGuarded(CHotKeyActionBase* action) {
  // An action runs inside the keyboard hook: nothing may escape from it.
  try {
    return action->Execute();
  } catch (const std::exception& e) {
    RaiseError(e);
  } catch (...) {
    RaiseError(std::runtime_error("unknown error in a hotkey action"));
  }
  Reset();
  return false;
}

void CInputMethodService::OnMouse(uint32_t message, DesktopPoint point) {
  const bool button = message == mousemsg::kLButtonDown || message == mousemsg::kRButtonDown ||
                      message == mousemsg::kMButtonDown || message == mousemsg::kXButtonDown;
  // Ctrl+Shift+click, Ctrl+wheel: the modifiers were used with something
  // else, so their release is no modifier-only hotkey.
  if (modifiers_ != 0 && (button || message == mousemsg::kMouseWheel || message == mousemsg::kMouseHWheel)) {
    consumed_ = true;
  }
  if (button) {
    // A click may select text in the field, or move the caret.
    autoComplete_.AfterOtherInput();
    // A click inside the visible suggestion window keeps the word.
    if (SuggestionWindowVisible() && suggestionWindow_->Contains(point)) return;
    Reset();
  }
}

void CInputMethodService::RaiseError(const std::exception& e) { Error.Raise(e); }

void CInputMethodService::RaiseDebugText() {
  if (DebugText.Empty()) return;
  const std::u16string text = context_->DebugText();
  DebugText.Raise(text);
}

void CInputMethodService::ReleaseModifierKeys() {
  static constexpr uint16_t kKeys[] = {vk::kLShift, vk::kRShift, vk::kLControl, vk::kRControl,
                                       vk::kLMenu,  vk::kRMenu,  vk::kLWin,     vk::kRWin};
  const bool wasSending = sending_;
  sending_ = true;
  // Alt or Win pressed and released with no other key between is a tap that
  // opens the program's menu bar or the Start menu, which would then take
  // the keys that follow. The hotkey's own key may not have reached the
  // program before this release (it is swallowed, or arrives after keys sent
  // from inside the hook), so a key that means nothing goes first.
  const auto held = [this](uint16_t key) { return (keyState_[key] & 0x80) != 0; };
  if (held(vk::kLMenu) || held(vk::kRMenu) || held(vk::kLWin) || held(vk::kRWin)) {
    desktop_->SendKey(vk::kNoKey, false);
    desktop_->SendKey(vk::kNoKey, true);
  }
  for (const uint16_t key : kKeys) {
    if ((keyState_[key] & 0x80) != 0) desktop_->SendKey(key, true);
  }
  sending_ = wasSending;
}

// ---------------------------------------------------------------- settings

void CInputMethodService::SetTypingMethod(const std::u16string& name) {
  if (name == typingMethod_) return;
  typingMethod_ = name;
  ApplyTypingMethod();
}

void CInputMethodService::ApplyTypingMethod() {
  // A name that is not among the loaded methods binds no key.
  static const CKieuGo kNoMethod;
  const CKieuGo* found = tables_->FindMethod(typingMethod_);
  const CKieuGo& method = found != nullptr ? *found : kNoMethod;
  context_->ClearBindings();
  for (const auto& [key, binding] : method) {
    CTypingContext::Binding b;
    b.Function = binding.function;
    b.Text = binding.text;
    b.IsText = binding.isText;
    context_->SetBinding(key, b);
  }
}

void CInputMethodService::SetSpecialWords(const std::u16string& text) {
  specialWords_ = text;
  context_->GhepVanTables().SetSpecialWords(text);
}

}  // namespace tavirel
