#include "app/win/UpdateCrypto.h"

#include <bcrypt.h>

#include <vector>

namespace tavirel {

CSha256::CSha256() {
  BCRYPT_ALG_HANDLE alg = nullptr;
  if (BCryptOpenAlgorithmProvider(&alg, BCRYPT_SHA256_ALGORITHM, nullptr, 0) != 0) return;
  BCRYPT_HASH_HANDLE hash = nullptr;
  if (BCryptCreateHash(alg, &hash, nullptr, 0, nullptr, 0, 0) != 0) {
    BCryptCloseAlgorithmProvider(alg, 0);
    return;
  }
  alg_ = alg;
  hash_ = hash;
}

CSha256::~CSha256() {
  if (hash_) BCryptDestroyHash(hash_);
  if (alg_) BCryptCloseAlgorithmProvider(alg_, 0);
}

void CSha256::Add(const void* data, size_t size) {
  auto* p = static_cast<const unsigned char*>(data);
  while (hash_ && size > 0) {
    const ULONG n = static_cast<ULONG>(std::min<size_t>(size, 1u << 30));
    if (BCryptHashData(hash_, const_cast<PUCHAR>(p), n, 0) != 0) {
      BCryptDestroyHash(hash_);
      hash_ = nullptr;
      return;
    }
    p += n;
    size -= n;
  }
}

Sha256Digest CSha256::Finish() {
  Sha256Digest d{};
  // A failed hash gives all zeros, which no package or signature matches.
  if (hash_ && BCryptFinishHash(hash_, d.data(), static_cast<ULONG>(d.size()), 0) != 0) d.fill(0);
  return d;
}

Sha256Digest Sha256(std::string_view bytes) {
  CSha256 h;
  h.Add(bytes.data(), bytes.size());
  return h.Finish();
}

bool VerifyP256(const PublicKeyP256& key, const Sha256Digest& digest, const RawSignature& signature) {
  BCRYPT_ALG_HANDLE alg = nullptr;
  if (BCryptOpenAlgorithmProvider(&alg, BCRYPT_ECDSA_P256_ALGORITHM, nullptr, 0) != 0) return false;
  std::vector<unsigned char> blob(sizeof(BCRYPT_ECCKEY_BLOB) + key.size());
  auto* header = reinterpret_cast<BCRYPT_ECCKEY_BLOB*>(blob.data());
  header->dwMagic = BCRYPT_ECDSA_PUBLIC_P256_MAGIC;
  header->cbKey = 32;
  std::copy(key.begin(), key.end(), blob.begin() + sizeof(BCRYPT_ECCKEY_BLOB));
  BCRYPT_KEY_HANDLE handle = nullptr;
  bool valid = false;
  if (BCryptImportKeyPair(alg, nullptr, BCRYPT_ECCPUBLIC_BLOB, &handle, blob.data(), static_cast<ULONG>(blob.size()),
                          0) == 0) {
    Sha256Digest d = digest;
    RawSignature s = signature;
    valid = BCryptVerifySignature(handle, nullptr, d.data(), static_cast<ULONG>(d.size()), s.data(),
                                  static_cast<ULONG>(s.size()), 0) == 0;
    BCryptDestroyKey(handle);
  }
  BCryptCloseAlgorithmProvider(alg, 0);
  return valid;
}

SignatureVerifier VerifierFor(const PublicKeyP256& key) {
  return [key](const Sha256Digest& d, const RawSignature& s) { return VerifyP256(key, d, s); };
}

bool RandomBytes(void* out, size_t size) {
  return BCryptGenRandom(nullptr, static_cast<PUCHAR>(out), static_cast<ULONG>(size),
                         BCRYPT_USE_SYSTEM_PREFERRED_RNG) == 0;
}

}  // namespace tavirel
