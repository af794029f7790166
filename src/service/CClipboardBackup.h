#pragma once
// A copy of the user's clipboard, taken before the service pastes its own
// text and put back afterwards. Formats the desktop can copy faithfully are
// kept (memory blocks everywhere; the Win32 desktop also copies metafiles).
// A picture kept as a device-independent bitmap comes back as the bitmap and
// palette too (Windows makes those from it), so those two are not needed.
// Anything else cannot be brought back: the backup is then incomplete, and
// the service leaves the clipboard alone rather than destroy it.
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

  // Copies every format it can keep, in enumeration order, replacing the
  // previous copy. False (backup unchanged) when the clipboard cannot be
  // opened. Formats whose data cannot be had are left out: nobody can have
  // them.
  bool Save(IDesktop& desktop);
  // Whether the last Save kept everything the clipboard offered.
  bool Complete() const { return complete_; }
  // Empties the clipboard and puts the copies back, re-registering named
  // formats by name. The copies stay until the next Save. False when the
  // clipboard cannot be opened.
  bool Restore(IDesktop& desktop);

  const std::vector<ClipboardData>& Records() const { return records_; }

 private:
  std::vector<ClipboardData> records_;
  bool complete_ = true;
};

}  // namespace tavirel
