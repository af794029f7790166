#pragma once
// The text form of a hotkey, for the tray tooltip, the balloon after a user
// action and the hotkey editor: "Ctrl+Shift", "Ctrl+Shift+F9", "Alt+Z".
#include <cstdint>
#include <functional>
#include <string>

#include "service/KeyCombo.h"

namespace tavirel {

// Names a virtual key; the Windows program installs the system's names (of
// the keyboard layout), elsewhere the US names of PortableKeyName are used.
using KeyNamer = std::function<std::u16string(uint16_t vk)>;
void SetKeyNamer(KeyNamer namer);

// US names: letters and digits as themselves, "F1".."F24", "Tab", "Esc",
// "Space", "Enter", ...; "" for a key without a name here.
std::u16string PortableKeyName(uint16_t vk);

// The fifteen keys shown without a name: the modifiers (generic, left and
// right), the Win keys, the three lock keys and Delete. A combination ending
// in one of them shows a trailing "+"; the hotkey entry clears on them.
bool IsUnnamedHotkeyKey(uint16_t vk);

// "Ctrl+", "Shift+", "Alt+", "Win+" in that order, then the key's name; with
// no key the trailing "+" is dropped ("Ctrl+Shift"); nothing at all gives "".
std::u16string FormatKeyCombo(KeyCombo combo);
std::u16string FormatKeyCombo(KeyCombo combo, const KeyNamer& namer);

}  // namespace tavirel
