#include "app/win/UpdateKey.h"

#include <algorithm>

namespace tavirel {

// The 16-byte marker, then the key's 64 bytes. scripts/package finds the
// marker (it must occur once in the file) and writes the key after it.
extern "C" __attribute__((used)) const unsigned char g_tavirelReleaseKey[16 + 64] = {
    'T', 'a', 'v', 'i', 'r', 'e', 'l', 'R', 'e', 'l', 'e', 'a', 's', 'e', 'K', ':'};

std::optional<PublicKeyP256> ReleasePublicKey() {
  // Read through volatile: the bytes change after the compiler has seen them.
  const volatile unsigned char* stamped = g_tavirelReleaseKey + 16;
  PublicKeyP256 key{};
  for (size_t i = 0; i < key.size(); ++i) key[i] = stamped[i];
  if (std::all_of(key.begin(), key.end(), [](uint8_t b) { return b == 0; })) return std::nullopt;
  return key;
}

}  // namespace tavirel
