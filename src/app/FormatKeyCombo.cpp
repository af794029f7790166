#include "app/FormatKeyCombo.h"

#include "common/Utf8.h"

namespace tavirel {

namespace {

KeyNamer& Namer() {
  static KeyNamer namer;
  return namer;
}

}  // namespace

void SetKeyNamer(KeyNamer namer) { Namer() = std::move(namer); }

bool IsUnnamedHotkeyKey(uint16_t vk) {
  switch (vk) {
    case 16: case 17: case 18:              // Shift, Ctrl, Alt
    case 160: case 161: case 162: case 163:  // left/right Shift, Ctrl
    case 164: case 165:                      // left/right Alt
    case 91: case 92:                        // Win
    case 20: case 145: case 144:             // Caps, Scroll, Num Lock
    case 46:                                 // Delete
      return true;
    default:
      return false;
  }
}

std::u16string PortableKeyName(uint16_t vk) {
  if ((vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z')) return std::u16string(1, static_cast<char16_t>(vk));
  if (vk >= 0x70 && vk <= 0x87) return u"F" + Utf8ToUtf16(std::to_string(vk - 0x70 + 1));
  if (vk >= 0x60 && vk <= 0x69) return u"Num " + std::u16string(1, static_cast<char16_t>(u'0' + vk - 0x60));
  switch (vk) {
    case 0x08: return u"Backspace";
    case 0x09: return u"Tab";
    case 0x0D: return u"Enter";
    case 0x13: return u"Pause";
    case 0x1B: return u"Esc";
    case 0x20: return u"Space";
    case 0x21: return u"Page Up";
    case 0x22: return u"Page Down";
    case 0x23: return u"End";
    case 0x24: return u"Home";
    case 0x25: return u"Left";
    case 0x26: return u"Up";
    case 0x27: return u"Right";
    case 0x28: return u"Down";
    case 0x2C: return u"Prnt Scrn";
    case 0x2D: return u"Insert";
    case 0x6A: return u"Num *";
    case 0x6B: return u"Num +";
    case 0x6D: return u"Num -";
    case 0x6E: return u"Num Del";
    case 0x6F: return u"Num /";
    case 0xBA: return u";";
    case 0xBB: return u"=";
    case 0xBC: return u",";
    case 0xBD: return u"-";
    case 0xBE: return u".";
    case 0xBF: return u"/";
    case 0xC0: return u"`";
    case 0xDB: return u"[";
    case 0xDC: return u"\\";
    case 0xDD: return u"]";
    case 0xDE: return u"'";
    default: return {};
  }
}

std::u16string FormatKeyCombo(KeyCombo combo) {
  if (Namer()) return FormatKeyCombo(combo, Namer());
  return FormatKeyCombo(combo, PortableKeyName);
}

std::u16string FormatKeyCombo(KeyCombo combo, const KeyNamer& namer) {
  std::u16string text;
  if (combo.Modifiers & 2) text += u"Ctrl+";
  if (combo.Modifiers & 4) text += u"Shift+";
  if (combo.Modifiers & 1) text += u"Alt+";
  if (combo.Modifiers & 8) text += u"Win+";
  if (combo.Key == 0) {
    if (!text.empty()) text.pop_back();
    return text;
  }
  if (!IsUnnamedHotkeyKey(combo.Key)) text += namer(combo.Key);
  return text;
}

}  // namespace tavirel
