#include "service/CClipboardBackup.h"

#include "service/IDesktop.h"

namespace tavirel {

bool CClipboardBackup::Save(IDesktop& desktop) {
  if (!desktop.OpenClipboard()) return false;
  std::vector<ClipboardData> records;
  records.reserve(10);
  uint32_t format = 0;
  // A clipboard cannot hold more formats than this; the bound keeps a
  // misbehaving enumeration from looping for ever.
  for (int guard = 0; guard < 0x10000; ++guard) {
    format = desktop.EnumClipboardFormats(format);
    if (format == 0) break;
    if (!desktop.IsMemoryBlockFormat(format)) continue;
    ClipboardData record;
    record.Format = format;
    if (format > clipfmt::kLastStandard) {
      record.Name = desktop.ClipboardFormatName(format);
      if (record.Name.size() > kMaxNameLength) record.Name.resize(kMaxNameLength);
    }
    if (!desktop.GetClipboardBytes(format, record.Bytes)) continue;
    records.push_back(std::move(record));
  }
  desktop.CloseClipboard();
  records_ = std::move(records);
  return true;
}

bool CClipboardBackup::Restore(IDesktop& desktop) {
  if (!desktop.OpenClipboard()) return false;
  desktop.EmptyClipboard();
  for (const ClipboardData& record : records_) {
    uint32_t format = record.Format;
    if (!record.Name.empty()) {
      const uint32_t registered = desktop.RegisterClipboardFormat(record.Name);
      if (registered != 0) format = registered;
    }
    desktop.SetClipboardBytes(format, record.Bytes);
  }
  desktop.CloseClipboard();
  return true;
}

}  // namespace tavirel
