#include "service/CAnsiText.h"

namespace tavirel {

const std::u16string& CAnsiText::Of(std::u16string_view text) {
  text_.assign(text);
  for (char16_t& c : text_) {
    if (c >= 0x80 && c <= 0xFF && high_[c - 0x80] != 0) c = high_[c - 0x80];
  }
  return text_;
}

}  // namespace tavirel
