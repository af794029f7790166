#pragma once
// SHA-256 and ECDSA P-256 verification through Windows CNG (bcrypt).
#include <windows.h>

#include <optional>
#include <string_view>

#include "app/UpdateSignature.h"

namespace tavirel {

Sha256Digest Sha256(std::string_view bytes);

// SHA-256 over data given in pieces.
class CSha256 {
 public:
  CSha256();
  ~CSha256();
  CSha256(const CSha256&) = delete;
  CSha256& operator=(const CSha256&) = delete;
  bool Ok() const { return hash_ != nullptr; }
  void Add(const void* data, size_t size);
  Sha256Digest Finish();

 private:
  void* alg_ = nullptr;
  void* hash_ = nullptr;
};

// True only when the signature is valid for the digest under the key; any
// failure of CNG counts as not valid.
bool VerifyP256(const PublicKeyP256& key, const Sha256Digest& digest, const RawSignature& signature);

// A verifier for one key, for the update check's judgements.
SignatureVerifier VerifierFor(const PublicKeyP256& key);

// Unpredictable bytes from the system's generator; false when it failed.
bool RandomBytes(void* out, size_t size);

}  // namespace tavirel
