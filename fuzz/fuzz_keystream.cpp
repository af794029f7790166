// Random key streams into the input service on SimDesktop. The input is
// mostly text: a byte below 0x80 is a character typed on the US keyboard
// (so a corpus of typed prose is a corpus of inputs); a byte from 0x80 on is
// an operation whose argument is the next byte: raw key downs and ups,
// modifier chords and hotkeys, clicks, focus changes, the clock, clipboard
// contents, every code table and typing method, every option, shorthand
// tables, special words, re-bound built-in hotkeys and user hotkeys.
//
// The data (rhyme tables, dictionaries, code tables) is loaded once per
// process; each input starts from the same state: a copy of one desktop
// made at start, and the service put back to its defaults once what it
// waits for has ended. Only what an input changed is rebuilt. With
// TAVIREL_FUZZ_CHECK_FRESH set, each input also runs on a world made for it
// alone, and both runs must agree.
//
// Inputs are kept short (-max_len in fuzz_keystream.options), so that the
// fuzzer runs thousands of them a second; long streams come from the repeat
// operation, which plays the bytes before it again and again. A stream runs
// at most kMaxSteps steps: a few thousand keys fill every bound of the
// service (the run's words, its loose text, the replacement list, a long
// word) and the field's 4096 units here, and more would only repeat them.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "common/Letters.h"
#include "service/CHotKeyActionBase.h"
#include "service/CInputMethodService.h"
#include "service/CTypingContext.h"
#include "sim/SimDesktop.h"
#include "spelling/CTuDien.h"
#include "spelling/CTuDienTuGhep.h"
#include "tables/CBangMa.h"
#include "tables/CKieuGo.h"

using namespace tavirel;

namespace {

// The context's plain options, in the order the option operation picks them.
bool CTypingContext::* const kContextFlags[] = {
    &CTypingContext::GoTat,
    &CTypingContext::XuLyHoaThuongKhiGoTat,
    &CTypingContext::ChanPhimKhiGoTat,
    &CTypingContext::GoTatKhiTatTavirel,
    &CTypingContext::KhoiPhucPhimVoiTuSai,
    &CTypingContext::DungTuDienDeKTChinhTa,
    &CTypingContext::GoCacTuTVLienTuc,
    &CTypingContext::TuThemDauSac,
    &CTypingContext::SuaLoiChinhTaTuDon,
    &CTypingContext::SuaLoiChinhTaTuGhep,  // the dictionary is loaded once below
};
constexpr size_t kContextFlagCount = sizeof kContextFlags / sizeof kContextFlags[0];

bool CInputMethodService::* const kServiceFlags[] = {
    &CInputMethodService::CPUCao,
    &CInputMethodService::Clipboard,
    &CInputMethodService::RestoreClipboard,
    &CInputMethodService::DetectAutoCompleteWindows,
    &CInputMethodService::MasterSwitch,
};
constexpr size_t kServiceFlagCount = sizeof kServiceFlags / sizeof kServiceFlags[0];

// Words typed whole by one operation: Telex and VNI keys of real words,
// words that are not Vietnamese (restore), and common misspellings.
const char16_t* const kWords[] = {
    u"tieengs", u"Vieetj", u"dduowcj", u"truwowngf", u"hojc", u"nghieeng", u"khoong", u"cuar", u"gif",
    u"Nguyeenx", u"tuowngj", u"quoocs", u"giuwax", u"muoons", u"ddaay", u"tooi", u"ddi", u"hoaf",
    u"tie6ng1", u"d9uo7c5", u"Vie65t", u"window", u"class", u"street", u"hello", u"Windows", u"email",
    u"sanr suaats", u"buoonf bar", u"chuyeen", u"nhuwng", u"giaf", u"tw[]", u"koar[", u"tiee]", u"quo+i'",
    u"To^i\\.", u"Basic\\.", u"uoc", u"ah", u"fieenf", u"vn", u"ko", u"dc",
};
constexpr size_t kWordCount = sizeof kWords / sizeof kWords[0];

// Shorthand tables: none, a plain one, and one with awkward entries.
struct Shorthand {
  std::vector<std::u16string> keys, values;
};
const Shorthand kShorthands[] = {
    {{}, {}},
    {{u"vn", u"ko", u"dc", u"tp"}, {u"Việt Nam", u"không", u"được", u"thành phố"}},
    {{u"a", u"", u"x y", u"đ", u"VN"}, {u"", u"rỗng", u"\n", u"ĐĐĐĐĐĐĐĐĐĐĐĐĐĐĐĐĐĐĐĐĐĐĐĐĐĐĐĐĐĐĐĐ", u"việt nam"}},
};
constexpr size_t kShorthandCount = sizeof kShorthands / sizeof kShorthands[0];

const char16_t* const kClipboardTexts[] = {u"", u"user text", u"tiếng Việt 😀", u"\r\n\t"};
const char16_t* const kSpecialWords[] = {u"", u"gi,gin", u"uơ,uơn,uơng", u"\xD800,,,"};

const uint16_t kChordKeys[] = {0, 'A', 'Z', '1', vk::kF9, vk::kTab, vk::kEscape, vk::kSpace,
                               vk::kBack, vk::kReturn, 0xBA, 0xDB, vk::kLeft, vk::kF1, 0x60, vk::kDelete};

// A user hotkey that changes the service as the tray and hotkey actions do.
class FuzzAction : public CHotKeyActionBase {
 public:
  FuzzAction(CInputMethodService* service, KeyCombo key, uint8_t kind) : CHotKeyActionBase(service, key), kind_(kind) {}
  bool Execute() override;

 private:
  uint8_t kind_;
};

// Operations 0..19 act on the desktop and the service; the last one is the
// repeat (see Run).
constexpr uint8_t kOperationCount = 21;
constexpr uint8_t kRepeat = 20;
constexpr size_t kMaxSteps = 4096;

struct World {
  SimDesktop desk;
  // The desktop every input starts on, made once: copied over the used
  // one, whose storage it reuses.
  SimDesktop readyDesk;
  CInputMethodService service{&desk};
  std::vector<std::u16string> tables = GetCodeTableNames();
  std::vector<std::u16string> methods = KieuGoRegistry().BuiltInMethodNames();
  bool contextDefaults[kContextFlagCount] = {};
  bool serviceDefaults[kServiceFlagCount] = {};
  bool boDauDefault = false;
  WindowHandle windows[5] = {};

  // Traces the field after every step when not null (see CheckedRun).
  std::vector<uint64_t>* trace = nullptr;

  // Loads the compound dictionary, or reads the one given (loaded by
  // another world: it is only read).
  explicit World(const CTuDienTuGhep* dictionary = nullptr) {
    if (dictionary != nullptr) {
      service.Context().TuDienTuGhep = dictionary;
    } else {
      // The service takes in the loaded dictionary only while the option is
      // on (the setter turns it on only after the load), and lets go of it
      // when the setter turns it off: the option is on while it loads, and
      // from then on switched by its flag alone.
      service.Context().SuaLoiChinhTaTuGhep = true;
      service.LoadDictionaries(true);
      service.Context().SuaLoiChinhTaTuGhep = false;
    }
    for (size_t i = 0; i < kContextFlagCount; ++i) contextDefaults[i] = service.Context().*kContextFlags[i];
    for (size_t i = 0; i < kServiceFlagCount; ++i) serviceDefaults[i] = service.*kServiceFlags[i];
    boDauDefault = service.Context().BoDauThanhKieu2;
    methods.push_back(u"no such method");
    tables.push_back(u"no such table");
    readyDesk.RecordAppKeys = false;
    windows[0] = readyDesk.Focused();
    windows[1] = readyDesk.AddWindow(u"gdkWindowToplevel");
    windows[2] = readyDesk.AddWindow(u"Edit", false);
    windows[3] = readyDesk.AddWindow(u"Chrome_AutocompleteEditView");
    windows[4] = 0;
  }

  // Everything an input may have changed goes back to how it was built.
  // Setters that rebuild something are called only when their value
  // changed (the others compare themselves or cost nothing).
  void Reset() {
    CTypingContext& c = service.Context();
    // What the service still waits for ends as time and the application
    // would end it: the next desktop has no timers, no unread paste and no
    // field reading to answer, and no program holding the clipboard.
    desk.ClipboardLocked = false;
    desk.Advance(0);
    for (int i = 0; i < 8 && (desk.TimerRunning() || desk.PasteTimerRunning()); ++i) desk.Advance(5000);
    if (service.PasteUnread()) {
      std::u16string read;
      service.OnRenderClipboard(read);
    }
    desk.RunDeferredWork();
    if (service.RestorePending()) service.OnRestoreTimer();
    // Every wait has run out: a service still holding keys would hold the
    // user's typing for good.
    if (service.Deferring()) {
      std::fprintf(stderr, "fuzz_keystream: keys are still held after every wait ran out\n");
      std::abort();
    }
    desk = readyDesk;
    service.ResumeWaitingForAnswers();
    service.EnableMouseHook = true;
    desk.InstallHooks(&service);
    service.SetVietnamese(true);
    for (size_t i = 0; i < kContextFlagCount; ++i) c.*kContextFlags[i] = contextDefaults[i];
    for (size_t i = 0; i < kServiceFlagCount; ++i) service.*kServiceFlags[i] = serviceDefaults[i];
    c.BoDauThanhKieu2 = boDauDefault;
    c.SetInitialShorthand(false);
    c.SetFinalShorthand(false);
    c.GhepVanTables().SetFreeInitials(false);
    c.GhepVanTables().SetUoWithFinals(false);
    if (!service.SpecialWords().empty()) service.SetSpecialWords(u"");
    service.SetTypingMethod(std::u16string(kDefaultKieuGo));
    service.SetCodeTable(u"Unicode");
    if (!c.ShorthandKeys.empty() || !c.ShorthandValues.empty()) c.SetShorthandTable({}, {});
    service.SetPhimClear(CInputMethodService::kDefaultPhimClear);
    service.SetPhimKhoiPhuc(CInputMethodService::kDefaultPhimKhoiPhuc);
    service.SetPhimGoiY(CInputMethodService::kDefaultPhimGoiY);
    service.SetPhimChuyen(CInputMethodService::kDefaultPhimChuyen);
    service.UserHotKeys().clear();
    c.EscapePending = false;
    c.Replacements.clear();
    c.Reset();
    service.CheckFocusWindow();
  }

  void FlipOption(uint8_t arg) {
    CTypingContext& c = service.Context();
    const size_t n = arg % (kContextFlagCount + kServiceFlagCount + 5);
    if (n < kContextFlagCount) {
      c.*kContextFlags[n] = !(c.*kContextFlags[n]);
      return;
    }
    if (n < kContextFlagCount + kServiceFlagCount) {
      bool& flag = service.*kServiceFlags[n - kContextFlagCount];
      flag = !flag;
      return;
    }
    switch (n - kContextFlagCount - kServiceFlagCount) {
      case 0: c.SetInitialShorthand(!c.GoTatPAD); break;
      case 1: c.SetFinalShorthand(!c.GoTatPAC); break;
      case 2: c.GhepVanTables().SetFreeInitials((arg & 0x80) != 0); break;
      case 3: c.GhepVanTables().SetUoWithFinals((arg & 0x80) != 0); break;
      default: c.BoDauThanhKieu2 = !c.BoDauThanhKieu2; break;
    }
  }

  // Modifiers from the low bits (left and right Ctrl, Alt, Shift, Win), then
  // a key or none, then the ups in reverse order.
  void Chord(uint8_t arg) {
    static const uint16_t mods[] = {vk::kLControl, vk::kRMenu, vk::kLShift, vk::kLWin};
    static const uint16_t rightMods[] = {vk::kRControl, vk::kLMenu, vk::kRShift, vk::kRWin};
    const uint16_t* set = (arg & 0x80) ? rightMods : mods;
    const uint16_t key = kChordKeys[(arg >> 4) & 7];
    for (int i = 0; i < 4; ++i)
      if (arg & (1 << i)) desk.KeyDown(set[i]);
    if (key != 0) desk.Press(key);
    for (int i = 3; i >= 0; --i)
      if (arg & (1 << i)) desk.KeyUp(set[i]);
  }

  static KeyCombo ComboOf(uint8_t arg) {
    return KeyCombo{static_cast<int32_t>(arg & 0xF), kChordKeys[(arg >> 4) & 0xF]};
  }

  void Operation(uint8_t op, uint8_t arg) {
    CTypingContext& c = service.Context();
    switch (op % kOperationCount) {
      case 0: {
        static const std::u16string letters = std::u16string(letters::CaseLower) + std::u16string(letters::CaseUpper);
        desk.TypeChar(letters[arg % letters.size()]);
        break;
      }
      case 1: desk.KeyDown(arg); break;
      case 2: desk.KeyUp(arg); break;
      case 3: desk.Press(arg); break;
      case 4: desk.Click(arg % 3 == 0 ? static_cast<int>(arg) : -1, (arg & 1) != 0); break;
      case 5: desk.SetFocus(windows[arg % 5]); break;
      case 6: desk.Advance(static_cast<uint32_t>(arg) * 10); break;
      case 7: desk.ClipboardLocked = (arg & 1) != 0; break;
      case 8:
        if (arg & 0x80) {
          desk.PutClipboardFormat(arg & 0x7F, std::vector<uint8_t>(arg & 0x1F, arg));
        } else {
          desk.SetClipboardText(kClipboardTexts[arg % 4]);
        }
        break;
      case 9: service.SetCodeTable(tables[arg % tables.size()]); break;
      case 10: service.SetTypingMethod(methods[arg % methods.size()]); break;
      case 11: FlipOption(arg); break;
      case 12: Chord(arg); break;
      case 13: {
        const KeyCombo combo = ComboOf(arg);
        switch (arg % 4) {
          case 0: service.SetPhimClear(combo); break;
          case 1: service.SetPhimKhoiPhuc(combo); break;
          case 2: service.SetPhimGoiY(combo); break;
          default: service.SetPhimChuyen(combo); break;
        }
        break;
      }
      case 14:
        if (service.UserHotKeys().size() < 8)
          service.UserHotKeys().push_back(std::make_unique<FuzzAction>(&service, ComboOf(arg), arg));
        break;
      case 15: desk.TypeText(kWords[arg % kWordCount]); break;
      case 16: {
        // Setting the table in place again would only copy its texts.
        const Shorthand& s = kShorthands[arg % kShorthandCount];
        if (c.ShorthandKeys != s.keys || c.ShorthandValues != s.values) c.SetShorthandTable(s.keys, s.values);
        break;
      }
      case 17: service.SetSpecialWords(kSpecialWords[arg % 4]); break;
      case 18:
        if (arg & 1) {
          service.SyncKeyboardState();
        } else {
          service.Reset();
        }
        break;
      default: desk.TypeChar(static_cast<char16_t>((arg & 1 ? 0xD800 : 0x1E00) + arg)); break;
    }
  }
};

World& TheWorld() {
  static World* world = [] {
    CTuDien::Load();
    World* w = new World();  // never destroyed: the process ends with it
    w->Reset();
    return w;
  }();
  return *world;
}

bool FuzzAction::Execute() {
  World& w = TheWorld();
  switch (kind_ % 5) {
    case 0: Service->SetCodeTable(w.tables[kind_ % w.tables.size()]); return true;
    case 1: Service->SetTypingMethod(w.methods[kind_ % w.methods.size()]); return true;
    case 2: Service->SetVietnamese(!Service->IsVietnamese()); return true;
    case 3: Service->Context().RestoreLastWord(); return true;
    default: return false;  // passes the key on
  }
}

// Runs data[from, to) as a key stream; a repeat plays the (1 + arg % 32)
// bytes before it (1 << (arg / 32)) more times, 2 to 256, and is a plain
// step when played again itself. Counts the steps in steps and stops at
// kMaxSteps.
void Run(World& w, const uint8_t* data, size_t from, size_t to, bool repeats, size_t& steps) {
  for (size_t i = from; i < to && steps < kMaxSteps; ++i, ++steps) {
    const uint8_t b = data[i];
    if (b < 0x80) {
      w.desk.TypeChar(static_cast<char16_t>(b));
    } else {
      const size_t at = i;
      const uint8_t arg = i + 1 < to ? data[++i] : 0;
      const uint8_t op = (b & 0x7F) % kOperationCount;
      if (op == kRepeat) {
        if (!repeats) continue;
        const size_t length = std::min<size_t>(1 + arg % 32, at - from);
        for (int k = 1 << (arg / 32 + 1); k > 0 && steps < kMaxSteps; --k) {
          Run(w, data, at - length, at, false, steps);
        }
        continue;
      }
      w.Operation(op, arg);
    }
    if (w.desk.Text().size() > 4096) w.desk.ClearText();
    if (w.trace != nullptr) [[unlikely]] {
      const std::u16string& text = w.desk.Text();
      w.trace->push_back((uint64_t{text.empty() ? 0u : text.back()} << 48) | (uint64_t{w.desk.Caret()} << 24) |
                         text.size());
    }
  }
}

void Append(std::vector<uint64_t>& out, std::u16string_view text) {
  out.push_back(text.size());
  for (const char16_t unit : text) out.push_back(unit);
}

// What an input leaves that the user or a later input could see: every
// field, the clipboard, the beeps and injections, the service's modes and
// the text it remembers.
void AppendOutcome(World& w, std::vector<uint64_t>& out) {
  for (WindowHandle window = 1; window <= 4; ++window) Append(out, w.desk.TextOf(window));
  out.push_back(w.desk.Focused());
  out.push_back(w.desk.Caret());
  for (const uint32_t format : w.desk.ClipboardFormats()) {
    out.push_back(format);
    const std::vector<uint8_t> bytes = w.desk.ClipboardFormatBytes(format);
    out.push_back(bytes.size());
    out.insert(out.end(), bytes.begin(), bytes.end());
  }
  out.push_back(static_cast<uint64_t>(w.desk.Beeps));
  out.push_back(static_cast<uint64_t>(w.desk.UnicodeInjections));
  out.push_back(w.service.IsVietnamese());
  Append(out, w.service.TypingMethod());
  Append(out, w.service.CodeTable());
  Append(out, w.service.Context().CurrentText());
}

// Runs the input on w and gives its trace and outcome.
std::vector<uint64_t> TracedRun(World& w, const uint8_t* data, size_t size) {
  std::vector<uint64_t> trace;
  w.trace = &trace;
  size_t steps = 0;
  Run(w, data, 0, size, true, steps);
  w.trace = nullptr;
  AppendOutcome(w, trace);
  w.Reset();
  return trace;
}

// With TAVIREL_FUZZ_CHECK_FRESH set, each input also runs on a world made
// for it alone, and the two runs must agree step by step: an input's result
// must not depend on the inputs before it.
void CheckedRun(World& w, const uint8_t* data, size_t size) {
  const std::vector<uint64_t> shared = TracedRun(w, data, size);
  std::vector<uint64_t> fresh;
  {
    World alone(w.service.Context().TuDienTuGhep);
    alone.Reset();
    fresh = TracedRun(alone, data, size);
  }
  if (fresh != shared) {
    size_t at = 0;
    while (at < fresh.size() && at < shared.size() && fresh[at] == shared[at]) ++at;
    std::fprintf(stderr, "fuzz_keystream: the input gives another result after earlier inputs (first difference at %zu)\n", at);
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  World& w = TheWorld();
  static const bool check = std::getenv("TAVIREL_FUZZ_CHECK_FRESH") != nullptr;
  if (check) {
    CheckedRun(w, data, size);
    return 0;
  }
  size_t steps = 0;
  Run(w, data, 0, size, true, steps);
  // Reset after the input rather than before it, so that what the input
  // allocated is freed within it (libFuzzer runs an input twice when it
  // seems to leak).
  w.Reset();
  return 0;
}
