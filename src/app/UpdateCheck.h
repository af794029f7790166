#pragma once
// What the update check decides, apart from the network and Windows.
//
// The update location serves four files: the version file, the package, and
// a detached signature of each ("<name>.sig", DER ECDSA P-256 over SHA-256,
// made with the release key). The version file is UTF-8 (an EF BB BF is
// skipped): the first line is the version, further lines name the package:
//
//     1.2.0
//     sha256=<64 hex digits of the package's SHA-256>
//     size=<the package's size in bytes>
//
// Nothing is offered unless the version file's signature verifies, and its
// version is newer than the running one; a package is run only when its own
// signature verifies and its digest is the one the signed version file names,
// so an old package served again is refused as well as a changed one.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "app/UpdateSignature.h"
#include "app/UpdateVersion.h"

namespace tavirel {

inline constexpr char16_t kUpdateVersionFile[] = u"TavirelUpdate.txt";
inline constexpr char16_t kUpdatePackageFile[] = u"tavirel._exe";
inline constexpr char16_t kSignatureSuffix[] = u".sig";
inline constexpr size_t kMaxVersionFileSize = 4096;
inline constexpr uint64_t kMaxPackageSize = 64u << 20;

struct UpdateManifest {
  std::u16string Version;  // as written, trimmed
  VersionParts Parts;
  Sha256Digest PackageSha256{};
  uint64_t PackageSize = 0;
};

// The version file's content; nullopt when any required line is missing or
// malformed, the version is not a version, or the file is too long.
std::optional<UpdateManifest> ParseUpdateManifest(std::string_view bytes);

enum class UpdateVerdict {
  kOffer,          // signed, newer than the running version
  kUpToDate,       // signed, not newer: nothing to offer
  kBadSignature,   // the signature is missing, malformed or does not verify
  kUnreadable,     // signed, but not a version file this program reads
};

struct UpdateCheckResult {
  UpdateVerdict Verdict = UpdateVerdict::kUnreadable;
  UpdateManifest Manifest;
};

// Judges a downloaded version file and its signature file against the
// running program's version (its version resource's text).
UpdateCheckResult JudgeVersionFile(std::string_view file, std::string_view signature,
                                   std::u16string_view currentVersion, const Hasher& hash,
                                   const SignatureVerifier& verify);

enum class PackageVerdict { kGood, kBadSignature, kNotTheOffered };

// Judges a downloaded package by its digest and size: its signature must
// verify and it must be the package the signed version file named.
PackageVerdict JudgePackage(const Sha256Digest& digest, uint64_t size, std::string_view signature,
                            const UpdateManifest& offered, const SignatureVerifier& verify);

// The address of a file in the update location: the location ends with "/".
std::u16string UpdateFileUrl(std::u16string_view location, std::u16string_view name);

// Which update locations this program fetches from: any "https://" address,
// and "http://" only on the loopback address (127.0.0.1, [::1], localhost),
// where the tests serve. A location must end with "/" and hold no spaces,
// quotes or control characters.
bool IsAcceptableUpdateLocation(std::u16string_view location);

// The package's command line: unpack silently into the program's folder.
// "\"<package>\" -y -o\"<folder>\"", with a trailing backslash of the folder
// dropped so that it cannot escape the closing quote.
std::u16string UnpackCommandLine(std::u16string_view packagePath, std::u16string_view folder);

// The restarted program's command line: "\"<program>\" /Update".
std::u16string RestartCommandLine(std::u16string_view programPath);

}  // namespace tavirel
