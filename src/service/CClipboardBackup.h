#pragma once
// A copy of the user's clipboard, taken before the service pastes its own
// text and put back afterwards. Only formats whose data is a plain memory
// block are kept: bitmaps, palettes and metafiles are handles to system
// objects that a byte copy cannot bring back (Windows offers the same picture
// as a device-independent bitmap block, which is kept, and re-creates the
// bitmap from it).
#include <cstdint>
#include <string>
#include <vector>

namespace tavirel {

class IDesktop;

struct ClipboardData {
  uint32_t Format = 0;
  std::u16string Name;  // empty for the standard formats or when unnamed
  std::vector<uint8_t> Bytes;
};

class CClipboardBackup {
 public:
  // Maximum length of a format name.
  static constexpr size_t kMaxNameLength = 100;

  // Copies every memory-block format of the clipboard in enumeration order,
  // replacing the previous copy. False (backup unchanged) when the clipboard
  // cannot be opened.
  bool Save(IDesktop& desktop);
  // Empties the clipboard and puts the copies back, re-registering named
  // formats by name. The copies stay until the next Save. False when the
  // clipboard cannot be opened.
  bool Restore(IDesktop& desktop);

  const std::vector<ClipboardData>& Records() const { return records_; }

 private:
  std::vector<ClipboardData> records_;
};

}  // namespace tavirel
