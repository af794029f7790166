#include "app/UpdateCheck.h"

#include "common/Utf8.h"

namespace tavirel {

namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool ParseDigest(std::string_view hex, Sha256Digest& out) {
  if (hex.size() != 64) return false;
  for (size_t i = 0; i < 32; ++i) {
    const int hi = HexValue(hex[2 * i]);
    const int lo = HexValue(hex[2 * i + 1]);
    if (hi < 0 || lo < 0) return false;
    out[i] = static_cast<uint8_t>(hi * 16 + lo);
  }
  return true;
}

bool ParseSize(std::string_view text, uint64_t& out) {
  if (text.empty() || text.size() > 12) return false;
  out = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    out = out * 10 + static_cast<uint64_t>(c - '0');
  }
  return out > 0 && out <= kMaxPackageSize;
}

std::string_view TrimLine(std::string_view line) {
  while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) line.remove_suffix(1);
  while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
  return line;
}

bool IsLoopbackHost(std::u16string_view host) {
  return host == u"127.0.0.1" || host == u"[::1]" || host == u"localhost";
}

}  // namespace

std::optional<UpdateManifest> ParseUpdateManifest(std::string_view bytes) {
  if (bytes.size() > kMaxVersionFileSize) return std::nullopt;
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
  if (!IsValidUtf8(bytes)) return std::nullopt;
  UpdateManifest m;
  bool haveVersion = false, haveDigest = false, haveSize = false;
  while (!bytes.empty()) {
    const size_t end = bytes.find('\n');
    const std::string_view line = TrimLine(bytes.substr(0, end));
    bytes.remove_prefix(end == std::string_view::npos ? bytes.size() : end + 1);
    if (!haveVersion) {
      m.Version = Utf8ToUtf16(line);
      auto parts = ParseVersion(m.Version);
      if (!parts) return std::nullopt;
      m.Parts = std::move(*parts);
      haveVersion = true;
      continue;
    }
    if (line.empty()) continue;
    const size_t eq = line.find('=');
    if (eq == std::string_view::npos) return std::nullopt;
    const std::string_view name = TrimLine(line.substr(0, eq));
    const std::string_view value = TrimLine(line.substr(eq + 1));
    if (name == "sha256") {
      if (haveDigest || !ParseDigest(value, m.PackageSha256)) return std::nullopt;
      haveDigest = true;
    } else if (name == "size") {
      if (haveSize || !ParseSize(value, m.PackageSize)) return std::nullopt;
      haveSize = true;
    }
    // Other names are left for later versions of the file.
  }
  if (!haveVersion || !haveDigest || !haveSize) return std::nullopt;
  return m;
}

UpdateCheckResult JudgeVersionFile(std::string_view file, std::string_view signature,
                                   std::u16string_view currentVersion, const Hasher& hash,
                                   const SignatureVerifier& verify) {
  UpdateCheckResult result;
  const auto raw = EcdsaDerToRaw(signature);
  if (!raw || file.size() > kMaxVersionFileSize || !verify(hash(file), *raw)) {
    result.Verdict = UpdateVerdict::kBadSignature;
    return result;
  }
  auto manifest = ParseUpdateManifest(file);
  const auto current = ParseVersion(currentVersion);
  if (!manifest) {
    result.Verdict = UpdateVerdict::kUnreadable;
    return result;
  }
  result.Manifest = std::move(*manifest);
  // A running version that is no version (no version resource) is older
  // than any release.
  const bool newer = !current || CompareVersions(result.Manifest.Parts, *current) > 0;
  result.Verdict = newer ? UpdateVerdict::kOffer : UpdateVerdict::kUpToDate;
  return result;
}

PackageVerdict JudgePackage(const Sha256Digest& digest, uint64_t size, std::string_view signature,
                            const UpdateManifest& offered, const SignatureVerifier& verify) {
  const auto raw = EcdsaDerToRaw(signature);
  if (!raw || !verify(digest, *raw)) return PackageVerdict::kBadSignature;
  if (digest != offered.PackageSha256 || size != offered.PackageSize) return PackageVerdict::kNotTheOffered;
  return PackageVerdict::kGood;
}

std::u16string UpdateFileUrl(std::u16string_view location, std::u16string_view name) {
  std::u16string url(location);
  url += name;
  return url;
}

bool IsAcceptableUpdateLocation(std::u16string_view location) {
  if (location.empty() || location.back() != u'/' || location.size() > 1024) return false;
  for (char16_t c : location) {
    if (c <= 0x20 || c == u'"' || c == 0x7F) return false;
  }
  constexpr std::u16string_view kHttps = u"https://";
  constexpr std::u16string_view kHttp = u"http://";
  std::u16string_view rest;
  if (location.substr(0, kHttps.size()) == kHttps) {
    rest = location.substr(kHttps.size());
    return !rest.empty() && rest.front() != u'/';
  }
  if (location.substr(0, kHttp.size()) != kHttp) return false;
  rest = location.substr(kHttp.size());
  // The host ends at the port or the path; a user part ("a@b") is refused.
  if (rest.find(u'@') != std::u16string_view::npos) return false;
  size_t end = rest.find(u'/');
  std::u16string_view authority = rest.substr(0, end);
  size_t colon = authority.rfind(u':');
  if (colon != std::u16string_view::npos && authority.find(u']', colon) == std::u16string_view::npos) {
    const std::u16string_view port = authority.substr(colon + 1);
    if (port.empty() || port.size() > 5) return false;
    for (char16_t c : port) {
      if (c < u'0' || c > u'9') return false;
    }
    authority = authority.substr(0, colon);
  }
  return IsLoopbackHost(authority);
}

std::u16string UnpackCommandLine(std::u16string_view packagePath, std::u16string_view folder) {
  while (folder.size() > 3 && (folder.back() == u'\\' || folder.back() == u'/')) folder.remove_suffix(1);
  std::u16string line = u"\"";
  line += packagePath;
  line += u"\" -y -o\"";
  line += folder;
  line += u"\"";
  return line;
}

std::u16string RestartCommandLine(std::u16string_view programPath) {
  std::u16string line = u"\"";
  line += programPath;
  line += u"\" /Update";
  return line;
}

}  // namespace tavirel
