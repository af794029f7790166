#pragma once
// Shared set-up of the conversion tests: the shipped dictionary and tables.
#include <gtest/gtest.h>

#include <string>

#include "app/ConversionOptions.h"
#include "common/Utf8.h"
#include "spelling/CTuDien.h"

namespace tavirel::test {

inline const std::u16string kTcvn3 = u"TCVN3 (ABC)";
inline const std::u16string kVni = u"VNI Windows";
inline const std::u16string kViscii = u"VISCII";
inline const std::u16string kVps = u"VPS";
inline const std::u16string kCombining = u"Unicode tổ hợp";
inline const std::u16string kCp1258 = u"Vietnamese locale CP 1258";
inline const std::u16string kViqr = u"VIQR";

inline void LoadDictionary() {
  if (CTuDien::Instance().Empty()) CTuDien::Load();
}

inline ConversionOptions Options(std::u16string source, std::u16string target, int32_t flags = 0) {
  ConversionOptions o;
  o.source = std::move(source);
  o.target = std::move(target);
  o.flags = flags;
  return o;
}

inline std::string U8(std::u16string_view s) { return Utf16ToUtf8(s); }

}  // namespace tavirel::test
