#include "app/UpdateSignature.h"

#include <algorithm>

namespace tavirel {

namespace {

// Reads one INTEGER at der[pos] into 32 big-endian bytes; advances pos.
bool ReadInteger(std::string_view der, size_t& pos, uint8_t* out) {
  if (pos + 2 > der.size() || static_cast<uint8_t>(der[pos]) != 0x02) return false;
  const size_t len = static_cast<uint8_t>(der[pos + 1]);
  pos += 2;
  if (len == 0 || len > 33 || pos + len > der.size()) return false;
  std::string_view value = der.substr(pos, len);
  pos += len;
  const uint8_t first = static_cast<uint8_t>(value[0]);
  if (first & 0x80) return false;  // negative
  if (first == 0) {
    // A leading zero only where the next byte would read as negative.
    if (len == 1 || !(static_cast<uint8_t>(value[1]) & 0x80)) return false;
    value.remove_prefix(1);
  }
  if (value.size() > 32) return false;
  std::fill(out, out + 32, 0);
  std::copy(value.begin(), value.end(), out + (32 - value.size()));
  return std::any_of(out, out + 32, [](uint8_t b) { return b != 0; });
}

}  // namespace

std::optional<RawSignature> EcdsaDerToRaw(std::string_view der) {
  if (der.size() < 8 || der.size() > kMaxSignatureFileSize) return std::nullopt;
  if (static_cast<uint8_t>(der[0]) != 0x30) return std::nullopt;
  const size_t body = static_cast<uint8_t>(der[1]);
  if (body >= 0x80 || body + 2 != der.size()) return std::nullopt;
  RawSignature raw{};
  size_t pos = 2;
  if (!ReadInteger(der, pos, raw.data()) || !ReadInteger(der, pos, raw.data() + 32)) return std::nullopt;
  if (pos != der.size()) return std::nullopt;
  return raw;
}

}  // namespace tavirel
