#pragma once
// A service on a SimDesktop with its hooks installed, as the program runs.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "common/Utf8.h"
#include "service/CInputMethodService.h"
#include "service/CTypingContext.h"
#include "sim/SimDesktop.h"

namespace tavirel {

class PipelineTest : public ::testing::Test {
 protected:
  PipelineTest() { desk.InstallHooks(&service); }

  // Types the keys and returns the field as UTF-8.
  std::string Type(std::u16string_view keys) {
    desk.TypeText(keys);
    return Field();
  }
  // Empties the field and ends the word, as a user selecting all and
  // deleting would with a click.
  void Clear() {
    desk.ClearText();
    desk.Click();
  }
  std::string Field() const { return Utf16ToUtf8(desk.Text()); }
  // Holds modifier keys around one key press.
  void Chord(std::initializer_list<uint16_t> modifiers, uint16_t key) {
    for (uint16_t m : modifiers) desk.KeyDown(m);
    if (key != 0) desk.Press(key);
    for (auto it = std::rbegin(modifiers); it != std::rend(modifiers); ++it) desk.KeyUp(*it);
  }

  SimDesktop desk;
  CInputMethodService service{&desk};
};

}  // namespace tavirel
