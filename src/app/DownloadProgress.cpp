#include "app/DownloadProgress.h"

#include <cstdio>

#include "common/Utf8.h"

namespace tavirel {

std::optional<std::u16string> CDownloadProgress::Report(uint64_t received, uint64_t total) {
  if (total == 0) return std::nullopt;
  if (received > total) received = total;
  const int percent = static_cast<int>(static_cast<double>(received) / static_cast<double>(total) * 100.0);
  if (percent <= shown_) return std::nullopt;
  shown_ = percent;
  char text[96];
  std::snprintf(text, sizeof text, "%.1f KB/ %.1f KB\n%d%%", static_cast<double>(received) / 1024.0,
                static_cast<double>(total) / 1024.0, percent);
  return Utf8ToUtf16(text);
}

}  // namespace tavirel
