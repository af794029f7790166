// The update check's decisions without the network: version numbers, the
// signed version file, the package check, the signature file's DER form,
// the progress balloons and the command lines. The real ECDSA verification
// with Windows CNG is tested under Wine (tests/e2e/unit/UpdateVerifyTest.cpp).
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <vector>

#include "app/DownloadProgress.h"
#include "app/UpdateCheck.h"

namespace tavirel {
namespace {

// ---- a stand-in for the release key: signs by remembering ----

Sha256Digest FakeHash(std::string_view data) {
  Sha256Digest d{};
  for (size_t k = 0; k < 4; ++k) {
    uint64_t h = 1469598103934665603ull ^ (k * 0x9E3779B97F4A7C15ull);
    for (char c : data) h = (h ^ static_cast<uint8_t>(c)) * 1099511628211ull;
    for (size_t i = 0; i < 8; ++i) d[k * 8 + i] = static_cast<uint8_t>(h >> (8 * i));
  }
  return d;
}

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

class Key {
 public:
  explicit Key(unsigned seed) : rng_(seed) {}
  std::string Sign(std::string_view data) {
    RawSignature s;
    for (auto& b : s) b = static_cast<uint8_t>(rng_());
    s[0] |= 1;
    s[32] |= 1;
    signed_[FakeHash(data)] = s;
    return Der(s);
  }
  SignatureVerifier Verifier() const {
    return [this](const Sha256Digest& d, const RawSignature& s) {
      auto it = signed_.find(d);
      return it != signed_.end() && it->second == s;
    };
  }

 private:
  std::mt19937 rng_;
  std::map<Sha256Digest, RawSignature> signed_;
};

std::string Hex(const Sha256Digest& d) {
  static const char* digits = "0123456789abcdef";
  std::string s;
  for (uint8_t b : d) {
    s += digits[b >> 4];
    s += digits[b & 15];
  }
  return s;
}

std::string VersionFile(const std::string& version, const std::string& package) {
  return version + "\nsha256=" + Hex(FakeHash(package)) + "\nsize=" + std::to_string(package.size()) + "\n";
}

// ---- version numbers ----

TEST(UpdateVersion, NumericPartByPart) {
  auto v = [](std::u16string_view t) { return *ParseVersion(t); };
  EXPECT_GT(CompareVersions(v(u"1.10"), v(u"1.9")), 0);
  EXPECT_LT(CompareVersions(v(u"0.9.9.9"), v(u"1")), 0);
  EXPECT_EQ(CompareVersions(v(u"1.2"), v(u"1.2.0.0")), 0);
  EXPECT_EQ(CompareVersions(v(u"0.1.0.0"), v(u"0.1.0")), 0);
  EXPECT_EQ(CompareVersions(v(u"01.002"), v(u"1.2")), 0);
  EXPECT_GT(CompareVersions(v(u"999999999"), v(u"999999998.9")), 0);
  // The text is trimmed: a line end after the version is not part of it.
  EXPECT_EQ(CompareVersions(v(u" 1.2\r\n"), v(u"1.2")), 0);
  EXPECT_EQ(TrimVersionText(u"\t1.2 \n"), u"1.2");
  for (const char16_t* bad : {u"", u" ", u".", u"1.", u".1", u"1..2", u"1.2.3.4.5", u"v1", u"-1", u"+1", u"1 .2",
                              u"1,2", u"1.2a", u"1234567890", u"1.２", u"1\u00A0"}) {
    EXPECT_FALSE(ParseVersion(bad)) << "accepted: " << std::string(bad, bad + std::char_traits<char16_t>::length(bad));
  }
}

TEST(UpdateVersion, ComparisonIsAnOrderOnRandomVersions) {
  std::mt19937 rng(17);
  auto random = [&] {
    VersionParts p(1 + rng() % 4);
    for (auto& x : p) x = rng() % 3 == 0 ? rng() % 1000000000 : rng() % 12;
    return p;
  };
  auto text = [](const VersionParts& p) {
    std::u16string s;
    for (size_t i = 0; i < p.size(); ++i) {
      if (i) s += u'.';
      for (char c : std::to_string(p[i])) s += static_cast<char16_t>(c);
    }
    return s;
  };
  for (int i = 0; i < 3000; ++i) {
    const VersionParts a = random(), b = random(), c = random();
    ASSERT_EQ(*ParseVersion(text(a)), a);
    EXPECT_EQ(CompareVersions(a, b), -CompareVersions(b, a));
    if (CompareVersions(a, b) <= 0 && CompareVersions(b, c) <= 0) {
      EXPECT_LE(CompareVersions(a, c), 0);
    }
    // Appending zero parts changes nothing; appending a non-zero part is newer.
    VersionParts longer = a;
    if (longer.size() < 4) {
      longer.push_back(0);
      EXPECT_EQ(CompareVersions(longer, a), 0);
      longer.back() = 1;
      EXPECT_GT(CompareVersions(longer, a), 0);
    }
  }
}

// ---- the signature file ----

TEST(UpdateSignature, SignatureMadeByOpensslReadsAsRAndS) {
  // `openssl dgst -sha256 -sign` output: s needed a leading zero.
  static const char kDer[] =
      "\x30\x45\x02\x20\x3F\xCB\x20\x5D\x30\x93\xC5\xC0\x45\xE9\x71\x06\x61\xB4\x6C\x01\x07\x89\x66\x7C\x41\xFA\x7B\x99"
      "\xB7\x8E\xFF\x3D\x50\x0E\xFC\x72\x02\x21\x00\x85\x29\x7F\xAF\xF2\x9A\x39\x21\x54\x0C\xFF\x74\xEB\x40\x95\x9D\x99"
      "\x5B\xCD\x66\x39\xE3\x6A\x1A\x6E\xA9\x76\x9D\x2B\x7E\x77\x6E";
  const std::string der(kDer, sizeof kDer - 1);
  ASSERT_EQ(der.size(), 71u);
  const auto raw = EcdsaDerToRaw(der);
  ASSERT_TRUE(raw);
  EXPECT_EQ((*raw)[0], 0x3F);
  EXPECT_EQ((*raw)[31], 0x72);
  EXPECT_EQ((*raw)[32], 0x85);
  EXPECT_EQ((*raw)[63], 0x6E);
}

TEST(UpdateSignature, RoundTripAndEveryDamageOnRandomSignatures) {
  std::mt19937 rng(5);
  for (int i = 0; i < 2000; ++i) {
    RawSignature s;
    for (auto& b : s) b = static_cast<uint8_t>(rng());
    // Short values too: r or s with leading zero bytes.
    const size_t zeros = rng() % 4 == 0 ? rng() % 31 : 0;
    std::fill(s.begin(), s.begin() + static_cast<long>(zeros), 0);
    s[31] |= 1;
    s[63] |= 1;
    const std::string der = Der(s);
    ASSERT_EQ(EcdsaDerToRaw(der), s);
    // Every truncation and any extra byte is refused.
    for (size_t n = 0; n < der.size(); ++n) EXPECT_FALSE(EcdsaDerToRaw(der.substr(0, n)));
    EXPECT_FALSE(EcdsaDerToRaw(der + '\0'));
    // A changed byte never reads as the same signature.
    std::string bent = der;
    const size_t at = rng() % der.size();
    bent[at] = static_cast<char>(bent[at] ^ (1 + rng() % 255));
    const auto read = EcdsaDerToRaw(bent);
    EXPECT_TRUE(!read || *read != s);
  }
}

TEST(UpdateSignature, NonCanonicalFormsAreRefused) {
  const std::string one = "\x02\x01\x01";
  EXPECT_TRUE(EcdsaDerToRaw("\x30\x06" + one + one));
  EXPECT_FALSE(EcdsaDerToRaw(std::string("\x30\x06\x02\x01\x00", 5) + one));        // r = 0
  EXPECT_FALSE(EcdsaDerToRaw(std::string("\x30\x07\x02\x02\x00\x01", 6) + one));    // needless zero
  EXPECT_FALSE(EcdsaDerToRaw(std::string("\x30\x06\x02\x01\x80", 5) + one));        // negative
  EXPECT_FALSE(EcdsaDerToRaw(std::string("\x31\x06", 2) + one + one));              // not a SEQUENCE
  EXPECT_FALSE(EcdsaDerToRaw(std::string("\x30\x81\x06", 3) + one + one));          // long-form length
  EXPECT_FALSE(EcdsaDerToRaw(std::string("\x30\x06\x04\x01\x01", 5) + one));        // not an INTEGER
  std::string wide = "\x30\x46\x02\x21" + std::string(33, '\x01') + "\x02\x21" + std::string(33, '\x01');
  EXPECT_FALSE(EcdsaDerToRaw(wide));  // 33 significant bytes
}

// ---- the signed version file and the package ----

TEST(UpdateCheck, VersionFileForms) {
  const std::string sha(64, 'a');
  auto m = ParseUpdateManifest("\xEF\xBB\xBF 1.10 \r\nsha256=" + sha + "\r\nsize=42\r\nnote=later\r\n\r\n");
  ASSERT_TRUE(m);
  EXPECT_EQ(m->Version, u"1.10");
  EXPECT_EQ(m->Parts, (VersionParts{1, 10}));
  EXPECT_EQ(m->PackageSize, 42u);
  EXPECT_EQ(m->PackageSha256[0], 0xAA);
  for (const std::string& bad : std::vector<std::string>{
           "", "1.2", "1.2\nsize=42", "1.2\nsha256=" + sha, "\n1.2\nsha256=" + sha + "\nsize=1",
           "1.2\nsha256=" + sha.substr(1) + "\nsize=1", "1.2\nsha256=" + sha + "g\nsize=1",
           "1.2\nsha256=" + sha + "\nsize=0", "1.2\nsha256=" + sha + "\nsize=99999999999",
           "1.2\nsha256=" + sha + "\nsize=1\nsize=1", "1.2\nsha256=" + sha + "\nsize=1\njunk",
           "1.2\xFF\nsha256=" + sha + "\nsize=1", "1.2\nsha256=" + sha + "\nsize=1\n" + std::string(4096, ' ')}) {
    EXPECT_FALSE(ParseUpdateManifest(bad)) << bad;
  }
}

TEST(UpdateCheck, OnlyASignedNewerVersionIsOffered) {
  Key release(1), other(2);
  const SignatureVerifier verify = release.Verifier();
  const std::string file = VersionFile("1.10", "package");
  const std::string sig = release.Sign(file);
  auto judge = [&](const std::string& f, const std::string& s, std::u16string_view current) {
    return JudgeVersionFile(f, s, current, FakeHash, verify).Verdict;
  };
  EXPECT_EQ(judge(file, sig, u"1.9"), UpdateVerdict::kOffer);
  EXPECT_EQ(judge(file, sig, u"0.1.0.0"), UpdateVerdict::kOffer);
  EXPECT_EQ(judge(file, sig, u""), UpdateVerdict::kOffer);  // no version resource
  EXPECT_EQ(judge(file, sig, u"1.10.0.0"), UpdateVerdict::kUpToDate);
  EXPECT_EQ(judge(file, sig, u"1.10.0.1"), UpdateVerdict::kUpToDate);
  EXPECT_EQ(judge(file, sig, u"2"), UpdateVerdict::kUpToDate);

  // An older release's file, validly signed, served again: never offered.
  const std::string old = VersionFile("1.8", "old package");
  EXPECT_EQ(judge(old, release.Sign(old), u"1.9"), UpdateVerdict::kUpToDate);

  // Tampered, truncated, wrong key, no signature, another file's signature.
  std::string tampered = file;
  tampered[2] = '9';
  EXPECT_EQ(judge(tampered, sig, u"1.9"), UpdateVerdict::kBadSignature);
  EXPECT_EQ(judge(file + "\n", sig, u"1.9"), UpdateVerdict::kBadSignature);
  EXPECT_EQ(judge(file.substr(0, file.size() - 1), sig, u"1.9"), UpdateVerdict::kBadSignature);
  for (size_t n = 0; n < sig.size(); ++n) EXPECT_EQ(judge(file, sig.substr(0, n), u"1.9"), UpdateVerdict::kBadSignature);
  EXPECT_EQ(judge(file, other.Sign(file), u"1.9"), UpdateVerdict::kBadSignature);
  EXPECT_EQ(judge(file, release.Sign("something else"), u"1.9"), UpdateVerdict::kBadSignature);

  // Signed but not a version file: nothing is offered either.
  const std::string junk = "1.99 beta\n";
  EXPECT_EQ(judge(junk, release.Sign(junk), u"1.9"), UpdateVerdict::kUnreadable);
}

TEST(UpdateCheck, OnlyTheOfferedPackageRuns) {
  Key release(3), other(4);
  const std::string package = "new package bytes", oldPackage = "old package bytes";
  const auto offered = *ParseUpdateManifest(VersionFile("2.0", package));
  auto judge = [&](const std::string& p, const std::string& sig) {
    return JudgePackage(FakeHash(p), p.size(), sig, offered, release.Verifier());
  };
  EXPECT_EQ(judge(package, release.Sign(package)), PackageVerdict::kGood);
  std::string tampered = package;
  tampered.back() ^= 1;
  EXPECT_EQ(judge(tampered, release.Sign(package)), PackageVerdict::kBadSignature);
  EXPECT_EQ(judge(package, other.Sign(package)), PackageVerdict::kBadSignature);
  EXPECT_EQ(judge(package, ""), PackageVerdict::kBadSignature);
  // A genuine older package, with its own good signature, in place of the new.
  EXPECT_EQ(judge(oldPackage, release.Sign(oldPackage)), PackageVerdict::kNotTheOffered);
  // The right digest with a size that disagrees is not the offered package.
  EXPECT_EQ(JudgePackage(FakeHash(package), package.size() + 1, release.Sign(package), offered, release.Verifier()),
            PackageVerdict::kNotTheOffered);
}

// ---- where from, and the command lines ----

TEST(UpdateCheck, UpdateLocations) {
  for (const char16_t* good : {u"https://example.test/tavirel/", u"http://127.0.0.1:8123/", u"http://localhost/u/",
                               u"http://[::1]:80/"}) {
    EXPECT_TRUE(IsAcceptableUpdateLocation(good)) << std::u16string(good).size();
  }
  for (const char16_t* bad :
       {u"", u"http://example.test/", u"http://127.0.0.1.example.test/", u"http://127.0.0.1@evil.test/",
        u"http://localhost.evil.test/", u"http://127.0.0.1:80x/", u"https://example.test/file", u"https:///",
        u"ftp://127.0.0.1/", u"file:///C:/x/", u"https://a b/", u"https://a\"/", u"http://127.0.0.2/"}) {
    EXPECT_FALSE(IsAcceptableUpdateLocation(bad));
  }
  EXPECT_EQ(UpdateFileUrl(u"https://example.test/u/", kUpdateVersionFile), u"https://example.test/u/TavirelUpdate.txt");
}

TEST(UpdateCheck, CommandLinesQuoteEveryPath) {
  EXPECT_EQ(UnpackCommandLine(u"C:\\Users\\An Bình\\Temp\\x\\tavirel.exe", u"C:\\Program Files\\Tavirel\\"),
            u"\"C:\\Users\\An Bình\\Temp\\x\\tavirel.exe\" -y -o\"C:\\Program Files\\Tavirel\"");
  EXPECT_EQ(UnpackCommandLine(u"p.exe", u"D:\\T\\\\"), u"\"p.exe\" -y -o\"D:\\T\"");
  EXPECT_EQ(RestartCommandLine(u"C:\\My Programs\\Tavirel.exe"), u"\"C:\\My Programs\\Tavirel.exe\" /Update");
}

// ---- progress balloons ----

TEST(DownloadProgress, ABalloonOnlyWhenThePercentageGrows) {
  CDownloadProgress p;
  EXPECT_EQ(p.Report(10, 100), u"0.0 KB/ 0.1 KB\n10%");
  EXPECT_FALSE(p.Report(10, 100));
  EXPECT_FALSE(p.Report(9, 100));
  EXPECT_EQ(p.Report(11, 100), u"0.0 KB/ 0.1 KB\n11%");
  EXPECT_FALSE(p.Report(5, 0));      // total unknown
  EXPECT_FALSE(p.Report(0, 1000));   // 0 %
  EXPECT_EQ(p.Report(2048 * 1024, 2048 * 1024), u"2048.0 KB/ 2048.0 KB\n100%");
  EXPECT_FALSE(p.Report(5000 * 1024, 2048 * 1024));  // more than announced stays 100 %
  p.Reset();
  EXPECT_EQ(p.Report(1536, 3072), u"1.5 KB/ 3.0 KB\n50%");
  // Sizes beyond 32 bits.
  EXPECT_EQ(CDownloadProgress().Report(uint64_t{3} << 32, uint64_t{4} << 32), u"12582912.0 KB/ 16777216.0 KB\n75%");
}

}  // namespace
}  // namespace tavirel
