// The hotkey entry: what the four boxes and the key box give back.
#include <gtest/gtest.h>

#include "app/HotKeyEntry.h"

namespace tavirel {
namespace {

// A layout that names letters only, like a real layout without names for
// some keys.
std::u16string LettersOnly(uint16_t vk) {
  if (vk >= 'A' && vk <= 'Z') return std::u16string(1, static_cast<char16_t>(vk));
  return {};
}

TEST(HotKeyEntry, EveryStoredHotkeyComesBackWhateverTheLayoutNames) {
  for (const KeyNamer& namer : {KeyNamer(PortableKeyName), KeyNamer(LettersOnly)}) {
    CHotKeyEntry entry(namer);
    for (int32_t mods = 0; mods < 16; ++mods) {
      for (uint32_t key = 0; key < 256; ++key) {
        const auto vk = static_cast<uint16_t>(key);
        entry.SetKeyCombo(KeyCombo(mods, vk));
        const KeyCombo expected(mods, IsUnnamedHotkeyKey(vk) ? 0 : vk);
        ASSERT_EQ(entry.GetKeyCombo(), expected) << mods << " " << key;
        ASSERT_EQ(entry.KeyText().empty(), expected.Key == 0) << key;
      }
    }
  }
}

TEST(HotKeyEntry, KeysPressedInTheBox) {
  CHotKeyEntry entry(LettersOnly);
  entry.SetModifier(modbits::kCtrl, true);
  entry.CaptureKey(162);  // left Ctrl, pressed on the way to Ctrl+Z
  EXPECT_EQ(entry.KeyText(), u"");
  entry.CaptureKey('Z');
  EXPECT_EQ(entry.GetKeyCombo(), KeyCombo(2, 'Z'));
  EXPECT_EQ(entry.KeyText(), u"Z");
  entry.CaptureKey(0x7B);  // F12: no name in this layout, shown by number
  EXPECT_EQ(entry.KeyText(), u"#123");
  EXPECT_EQ(entry.GetKeyCombo(), KeyCombo(2, 0x7B));
  entry.CaptureKey(46);  // Delete clears the key, not the modifiers
  EXPECT_EQ(entry.GetKeyCombo(), KeyCombo(2, 0));
  entry.SetModifier(modbits::kCtrl, false);
  entry.SetModifier(modbits::kShift, true);
  entry.SetModifier(modbits::kAlt, true);
  EXPECT_EQ(entry.GetKeyCombo(), KeyCombo(5, 0));
}

TEST(HotKeyEntry, StrayModifierBitsOfAFileAreNotKept) {
  CHotKeyEntry entry;
  entry.SetKeyCombo(KeyCombo::FromInt(-1));  // every bit set in the file
  EXPECT_EQ(entry.Modifiers(), 15);
  EXPECT_EQ(entry.GetKeyCombo().Modifiers, 15);
}

}  // namespace
}  // namespace tavirel
