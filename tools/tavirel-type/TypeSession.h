#pragma once
// A service on a SimDesktop, fed with characters as key presses of a US
// keyboard, with the field's text written out as it grows.
#include <cstdio>
#include <string>
#include <string_view>

#include "app/AppOptions.h"
#include "service/CInputMethodService.h"
#include "sim/SimDesktop.h"

namespace tavirel {

class TypeSession {
 public:
  TypeSession();

  CInputMethodService& Service() { return service_; }
  SimDesktop& Desk() { return desk_; }
  // The application's own options (main dialog layout, conversion), read
  // from and kept for LuaChon.ini.
  AppOptions& App() { return app_; }

  // One character as a key press ('\n' Enter, '\b' Backspace, '\t' Tab).
  void Type(char16_t ch) { desk_.TypeChar(ch); }
  void Type(std::u16string_view text) { desk_.TypeText(text); }
  // Writes all but the last keep units of the field to out and drops them,
  // so that a long input never builds one giant field. The kept tail is far
  // longer than anything the service may still rewrite.
  void Flush(std::FILE* out, size_t keep);
  // The field's units as output bytes: UTF-8, or for a byte code table the
  // units themselves as bytes.
  std::string Encode(std::u16string_view units) const;
  void UpdateOutputKind();

 private:
  SimDesktop desk_;
  CInputMethodService service_{&desk_};
  AppOptions app_;
  bool byteOutput_ = false;
  std::string utf8_;  // the UTF-8 of a flush
};

}  // namespace tavirel
