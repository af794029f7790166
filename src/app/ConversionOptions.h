#pragma once
// The one record of the code conversion's choices: what the quick conversion
// and the conversion dialog use, kept in LuaChon.ini's "ChuyenMa" section.
#include <cstdint>
#include <string>

namespace tavirel {

struct ConversionOptions {
  int32_t flags = 0;            // conversion option bits
  bool autoDetect = false;      // guess the source code table
  double threshold = 0.7;       // detection accuracy, 0..1
  std::u16string source = u"Unicode";
  std::u16string target = u"Unicode";
  bool clipboard = false;       // the dialog converts the clipboard rather than a file
  std::u16string sourceFile;
  std::u16string targetFile;
};

}  // namespace tavirel
