#pragma once
// Types key strings into a typing context the way the input service does, on
// a recording service whose "screen" applies every SendText and every key
// the context lets through. After each key the screen must end with what the
// context believes is there (its CurrentText, through the code table).
//
// Keys: '\b' Backspace, ' ' Space, '\n' Enter (word end with no character,
// then a reset when the key passes), everything else a character key.
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/Letters.h"
#include "service/CTypingContext.h"
#include "service/IInputMethodService.h"
#include "tables/CBangMa.h"
#include "tables/CKieuGo.h"

namespace tavirel::test {

class RecordingService : public IInputMethodService {
 public:
  std::u16string Screen;  // code units as the application holds them
  std::vector<std::pair<int, std::u16string>> Sent;
  bool Numpad = false;
  bool VietnameseMode = true;
  bool LoadDictionariesResult = true;
  int LoadCalls = 0;
  int ReleaseCalls = 0;
  bool DeletedTooMuch = false;  // a SendText asked for more Backspaces than the screen held

  void SendText(int backspaces, const std::u16string& text) override {
    Sent.emplace_back(backspaces, text);
    Backspaces(backspaces);
    Screen += text;
  }
  bool IsNumpadKey() override { return Numpad; }
  bool IsCapsLockOn() override { return false; }
  void SetVietnamese(bool on) override { VietnameseMode = on; }
  bool IsVietnamese() override { return VietnameseMode; }
  bool LoadDictionaries(bool) override {
    ++LoadCalls;
    return LoadDictionariesResult;
  }
  void ReleaseDictionaries() override { ++ReleaseCalls; }

  void Backspaces(int n) {
    if (n < 0) return;
    if (static_cast<size_t>(n) > Screen.size()) {
      DeletedTooMuch = true;
      n = static_cast<int>(Screen.size());
    }
    Screen.resize(Screen.size() - static_cast<size_t>(n));
  }
};

class TypingHarness {
 public:
  explicit TypingHarness(std::u16string_view method = u"Telex 2") : Context(&Service) {
    Context.SetBindings(LoadBuiltInKieuGo(std::u16string(method)));
  }
  TypingHarness(const TypingHarness&) = delete;
  TypingHarness& operator=(const TypingHarness&) = delete;

  RecordingService Service;
  CTypingContext Context;
  CBangMa Table;             // the output table; empty is Unicode
  std::u16string Mismatch;   // keys typed when the screen first disagreed

  void SetTable(const CBangMa& table) {
    Table = table;
    Context.SetCodeTable(table);
  }

  // One key press; returns whether the context swallowed it.
  bool Key(char16_t ch, bool keypad = false) {
    Service.Numpad = keypad;
    bool swallowed = false;
    if (ch == u'\b') {
      if (!Context.CurrentText().empty()) swallowed = Context.Backspace();
      if (!swallowed && !Service.Screen.empty()) Service.Screen.pop_back();
    } else if (ch == u' ') {
      if (Context.Active) swallowed = Context.EndWord(u' ');
      if (!swallowed) Service.Screen += u' ';
    } else if (ch == u'\n') {
      if (Context.Active) {
        swallowed = Context.EndWord(0);
        if (!swallowed) Context.Reset();
      }
      if (!swallowed) Service.Screen += u'\n';
    } else {
      swallowed = Context.ProcessChar(ch);
      if (!swallowed) Service.Screen += Encode(Table, std::u16string_view(&ch, 1));
    }
    Service.Numpad = false;
    typed_.push_back(ch);
    if (Mismatch.empty() && !ScreenMatches()) Mismatch = typed_;
    return swallowed;
  }

  // Types every key; keypadDigits makes the digits come from the keypad.
  TypingHarness& Type(std::u16string_view keys, bool keypadDigits = false) {
    for (char16_t ch : keys) Key(ch, keypadDigits && ch >= u'0' && ch <= u'9');
    return *this;
  }

  void Restore() {
    Context.RestoreLastWord();
    typed_ += u"<restore>";
    if (Mismatch.empty() && !ScreenMatches()) Mismatch = typed_;
  }

  // The screen ends with the context's text and nothing was over-deleted.
  bool ScreenMatches() const {
    const std::u16string expected = Encode(Table, Context.CurrentText());
    const std::u16string& s = Service.Screen;
    return !Service.DeletedTooMuch && s.size() >= expected.size() &&
           s.compare(s.size() - expected.size(), expected.size(), expected) == 0;
  }

  std::u16string Text() const { return Context.CurrentText(); }
  std::u16string WordText() const { return Context.HasWord ? Context.Word.CacKT : std::u16string(); }
  const std::u16string& Screen() const { return Service.Screen; }

 private:
  std::u16string typed_;
};

// The Telex keys a typist presses for a text: marks right after their
// letter, the tone key at the end of each syllable.
inline std::u16string TelexKeys(std::u16string_view text) {
  std::u16string keys;
  int tone = -1;
  auto flushTone = [&] {
    if (tone >= 0) keys.push_back(u"sfrxj"[tone]);
    tone = -1;
  };
  for (char16_t c : text) {
    const char16_t lower = letters::ToLower(c);
    const bool isLetter = (lower >= u'a' && lower <= u'z') || letters::IndexIn(letters::CaseLower, lower) >= 0;
    if (!isLetter) {
      flushTone();
      keys.push_back(c);
      continue;
    }
    const bool upper = lower != c;
    char16_t base = lower;
    if (letters::ToneOf(lower) >= 0) {
      tone = letters::ToneOf(lower);
      base = letters::StripTone(lower);
    }
    std::u16string k;
    switch (base) {
      case u'â': k = u"aa"; break;
      case u'ê': k = u"ee"; break;
      case u'ô': k = u"oo"; break;
      case u'ă': k = u"aw"; break;
      case u'ơ': k = u"ow"; break;
      case u'ư': k = u"uw"; break;
      case u'đ': k = u"dd"; break;
      default: k = std::u16string(1, base);
    }
    if (upper) k = letters::ToUpper(k);
    keys += k;
  }
  flushTone();
  return keys;
}

// Composes keys in a fresh context of the method; returns the screen.
inline std::u16string TypeKeys(std::u16string_view keys, std::u16string_view method = u"Telex 2",
                               bool keypadDigits = false) {
  TypingHarness h(method);
  h.Type(keys, keypadDigits);
  return h.Screen();
}

}  // namespace tavirel::test
