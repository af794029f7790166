#include "service/CClipboardBackup.h"

#include <algorithm>

#include "service/IDesktop.h"

namespace tavirel {

namespace {

constexpr uint32_t kDib = 8;
constexpr uint32_t kDibV5 = 17;

// A handle format the system makes again from another format when that one
// is on the clipboard.
bool ComesBackFrom(uint32_t format, const std::vector<uint32_t>& kept) {
  const auto has = [&kept](uint32_t f) { return std::find(kept.begin(), kept.end(), f) != kept.end(); };
  switch (format) {
    case clipfmt::kBitmap:
    case clipfmt::kPalette:
      return has(kDib) || has(kDibV5);
    case clipfmt::kMetafilePict:
      return has(clipfmt::kEnhMetafile);
    case clipfmt::kEnhMetafile:
      return has(clipfmt::kMetafilePict);
    default:
      return false;
  }
}

}  // namespace

bool CClipboardBackup::Save(IDesktop& desktop) {
  if (!desktop.OpenClipboard()) return false;
  std::vector<uint32_t> formats;
  uint32_t format = 0;
  // A clipboard cannot hold more formats than this; the bound keeps a
  // misbehaving enumeration from looping for ever.
  for (int guard = 0; guard < 0x10000; ++guard) {
    format = desktop.EnumClipboardFormats(format);
    if (format == 0) break;
    formats.push_back(format);
  }
  std::vector<ClipboardData> records;
  records.reserve(10);
  std::vector<uint32_t> kept;
  std::vector<uint32_t> notCopied;
  for (const uint32_t f : formats) {
    if (!desktop.IsMemoryBlockFormat(f)) {
      notCopied.push_back(f);
      continue;
    }
    ClipboardData record;
    record.Format = f;
    if (f > clipfmt::kLastStandard) {
      record.Name = desktop.ClipboardFormatName(f);
      if (record.Name.size() > kMaxNameLength) record.Name.resize(kMaxNameLength);
    }
    if (!desktop.GetClipboardBytes(f, record.Bytes)) continue;
    kept.push_back(f);
    records.push_back(std::move(record));
  }
  desktop.CloseClipboard();
  complete_ = std::all_of(notCopied.begin(), notCopied.end(),
                          [&kept](uint32_t f) { return ComesBackFrom(f, kept); });
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
