#pragma once
// The pieces of a signed update that need no cryptography library: the
// ECDSA P-256 signature file as openssl writes it (DER: a SEQUENCE of the two
// INTEGERs r and s) turned into the 64 bytes r||s that Windows CNG verifies,
// and the fixed-size values passed between the reader and the verifier.
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

namespace tavirel {

using Sha256Digest = std::array<uint8_t, 32>;
using RawSignature = std::array<uint8_t, 64>;  // r then s, big-endian, 32 bytes each
using PublicKeyP256 = std::array<uint8_t, 64>;  // X then Y, big-endian

// A signature file is the DER signature alone; nothing longer is read.
constexpr size_t kMaxSignatureFileSize = 72;

// r||s from a DER ECDSA signature: strict DER (one SEQUENCE filling the
// input, short-form lengths, two positive minimal INTEGERs of at most 32
// significant bytes, neither zero). nullopt for anything else.
std::optional<RawSignature> EcdsaDerToRaw(std::string_view der);

// Checks a raw signature against the SHA-256 digest of the signed bytes.
using SignatureVerifier = std::function<bool(const Sha256Digest&, const RawSignature&)>;
// The SHA-256 digest of bytes.
using Hasher = std::function<Sha256Digest(std::string_view)>;

}  // namespace tavirel
