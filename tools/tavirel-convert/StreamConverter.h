#pragma once
// Converting a stream of bytes in pieces, in bounded memory: input bytes are
// read as the source table's bytes or as UTF-8, converted with the engine,
// and written as the target table's bytes or as UTF-8.
#include <cstddef>
#include <string>
#include <string_view>

#include "convert/ConvertText.h"

namespace tavirel {

class CStreamConverter {
 public:
  // utf8Input: read the input as UTF-8 even for a source table of bytes
  // (a file this program wrote with a byte-order mark).
  CStreamConverter(const ConversionOptions& options, bool utf8Input);

  // Converts what can be converted of the bytes given so far and appends the
  // output bytes to out; the rest waits for more input or Finish.
  void Feed(std::string_view bytes, std::string& out);
  void Finish(std::string& out);

  size_t LostCount() const { return converter_.LostCount(); }
  size_t MalformedBytes() const { return malformed_; }
  bool SourceIsBytes() const { return bytesIn_; }
  bool TargetIsBytes() const { return converter_.TargetIsBytes(); }

 private:
  void Decode(std::string_view bytes, bool final);
  void Emit(std::u16string_view text, std::string& out);

  CTextConverter converter_;
  bool bytesIn_;
  bool start_ = true;       // no input seen yet (a byte-order mark may follow)
  std::string byteTail_;    // an incomplete UTF-8 sequence at the end of the input so far
  std::u16string pending_;  // decoded text not converted yet
  std::u16string converted_;
  size_t malformed_ = 0;
};

}  // namespace tavirel
