#pragma once
// The progress balloons of the package download: a balloon only when the
// whole percentage grows, none while the total is unknown.
#include <cstdint>
#include <optional>
#include <string>

namespace tavirel {

inline constexpr char16_t kDownloadProgressTitle[] = u"Đang tải phiên bản mới";

class CDownloadProgress {
 public:
  // The balloon text for a report ("12.0 KB/ 120.0 KB\n10%"), or nullopt when
  // the percentage is not above the highest shown or the total is 0.
  std::optional<std::u16string> Report(uint64_t received, uint64_t total);
  void Reset() { shown_ = 0; }

 private:
  int shown_ = 0;
};

}  // namespace tavirel
