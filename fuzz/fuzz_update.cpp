// Random bytes as the update's version file and as a signature file.
// Nothing may crash; a signature that reads must be the one canonical DER
// form of its r and s (so no two files read as the same signature), and a
// version file that reads must hold a version that reads back the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "app/UpdateCheck.h"

using namespace tavirel;

namespace {

std::string Der(const RawSignature& raw) {
  std::string body;
  for (int half = 0; half < 2; ++half) {
    std::string v(reinterpret_cast<const char*>(raw.data() + 32 * half), 32);
    while (v.size() > 1 && v[0] == 0) v.erase(0, 1);
    if (static_cast<uint8_t>(v[0]) & 0x80) v.insert(0, 1, '\0');
    body += '\x02';
    body += static_cast<char>(v.size());
    body += v;
  }
  return std::string("\x30", 1) + static_cast<char>(body.size()) + body;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  if (auto raw = EcdsaDerToRaw(bytes)) {
    if (Der(*raw) != bytes) std::abort();
  }

  if (auto m = ParseUpdateManifest(bytes)) {
    auto again = ParseVersion(m->Version);
    if (!again || *again != m->Parts || m->PackageSize == 0 || m->PackageSize > kMaxPackageSize) std::abort();
  }
  ParseVersion(std::u16string(reinterpret_cast<const char16_t*>(data), size / 2));
  return 0;
}
