// The update's signature check with Windows CNG, against files signed with
// openssl (`openssl dgst -sha256 -sign`) by two throwaway keys whose private
// halves were discarded: the version file of 1.10, an older one of 1.8, and
// the 1.10 file signed by the second key.
#include <gtest/gtest.h>

#include <string>

#include "app/UpdateCheck.h"
#include "app/win/UpdateCrypto.h"
#include "app/win/UpdateKey.h"

namespace tavirel {
namespace {

std::string Bytes(const char* hex) {
  std::string out;
  for (size_t i = 0; hex[i] && hex[i + 1]; i += 2) out += static_cast<char>(std::stoi(std::string(hex + i, 2), nullptr, 16));
  return out;
}

PublicKeyP256 Key(const char* hex) {
  const std::string b = Bytes(hex);
  PublicKeyP256 k{};
  std::copy(b.begin(), b.end(), k.begin());
  return k;
}

const PublicKeyP256 kRelease = Key(
    "b790e7e9e0ace83c3383c58edbcbe0307f4fd05416935bb4c0cff9705ca15fd7169555eff5fcf27316d74d5ed1ecd550f2b04a247bf7e26913b37aa55b1d74b9");
const PublicKeyP256 kOther = Key(
    "80a7b1c8d1f9d0d3c33719ca1fec51689c832d98282452a704e1cbf14120a9bebcaf262a88c9141ba05ff42b93cde0bc2e1f09b2dfc040c40e966bd3716b78bf");
const std::string kFile = "1.10\nsha256=bc4a71180870f7945155fbb02f4b0a2e3faa2a62d6d31b7039013055ed19869a\nsize=1309460\n";
const std::string kSig = Bytes(
    "304502206476553f9d873f84ac850a4b618e71368d3477d72ec6ece8031aad180f1a631c0221009b64ff7e8e2ab931076e22d67a847c6cec4022b"
    "332a46014affd7d5866f796db");
const std::string kOldFile = "1.8\nsha256=cba06b5736faf67e54b07b561eae94395e774c517a7d910a54369e1263ccfbd4\nsize=1309460\n";
const std::string kOldSig = Bytes(
    "3046022100ebad5708e03136eff4fcf9bf8dff12e1765ca791faf2b67fa64b7a1632db17c5022100a2ef0af2031ca93803728616fd6ba62606d4d6"
    "36660d410e69488e125ae00b47");
const std::string kSigByOther = Bytes(
    "304402206717d6badc398aa7be9e3ab24db2003855af8c78fade6cea6e78c62d61d8b04402201c8511b3a0bf73059670ddd60c74c990783460ff3b"
    "d2ee11ba6c4569a82d7240");

UpdateVerdict Judge(const std::string& file, const std::string& sig, const PublicKeyP256& key,
                    std::u16string_view running = u"1.9.0.0") {
  return JudgeVersionFile(file, sig, running, Sha256, VerifierFor(key)).Verdict;
}

TEST(UpdateVerify, Sha256KnownAnswersWholeAndInPieces) {
  const Sha256Digest abc = Sha256("abc");
  EXPECT_EQ(abc[0], 0xba);
  EXPECT_EQ(abc[31], 0xad);
  CSha256 pieces;
  pieces.Add("a", 1);
  pieces.Add("", 0);
  pieces.Add("bc", 2);
  EXPECT_EQ(pieces.Finish(), abc);
  EXPECT_NE(Sha256(""), Sha256(std::string(1, '\0')));
}

TEST(UpdateVerify, GoodTamperedTruncatedWrongKeyReplayed) {
  EXPECT_EQ(Judge(kFile, kSig, kRelease), UpdateVerdict::kOffer);
  EXPECT_EQ(Judge(kFile, kSigByOther, kOther), UpdateVerdict::kOffer);  // the second key's own file reads

  // Every single changed byte of the file, and a byte more or less.
  for (size_t i = 0; i < kFile.size(); ++i) {
    std::string bent = kFile;
    bent[i] = static_cast<char>(bent[i] ^ 0x01);
    EXPECT_EQ(Judge(bent, kSig, kRelease), UpdateVerdict::kBadSignature) << i;
  }
  EXPECT_EQ(Judge(kFile + "\n", kSig, kRelease), UpdateVerdict::kBadSignature);
  EXPECT_EQ(Judge(kFile.substr(0, kFile.size() - 1), kSig, kRelease), UpdateVerdict::kBadSignature);
  // Truncated or changed signatures: r and s each.
  for (size_t n = 0; n < kSig.size(); ++n) EXPECT_EQ(Judge(kFile, kSig.substr(0, n), kRelease), UpdateVerdict::kBadSignature);
  for (size_t i : {size_t{10}, size_t{40}, kSig.size() - 1}) {
    std::string bent = kSig;
    bent[i] = static_cast<char>(bent[i] ^ 0x40);
    EXPECT_EQ(Judge(kFile, bent, kRelease), UpdateVerdict::kBadSignature) << i;
  }
  // The wrong key, either way round.
  EXPECT_EQ(Judge(kFile, kSig, kOther), UpdateVerdict::kBadSignature);
  EXPECT_EQ(Judge(kFile, kSigByOther, kRelease), UpdateVerdict::kBadSignature);
  // An older release's genuine file served again: verified, never offered;
  // its signature does not carry over to the newer file.
  EXPECT_EQ(Judge(kOldFile, kOldSig, kRelease), UpdateVerdict::kUpToDate);
  EXPECT_EQ(Judge(kFile, kOldSig, kRelease), UpdateVerdict::kBadSignature);
  EXPECT_EQ(Judge(kFile, kSig, kRelease, u"1.10.0.0"), UpdateVerdict::kUpToDate);
}

TEST(UpdateVerify, ABuiltProgramCarriesNoKeyUntilPackaged) {
  EXPECT_FALSE(ReleasePublicKey());
  unsigned char a[16] = {}, b[16] = {};
  ASSERT_TRUE(RandomBytes(a, sizeof a));
  ASSERT_TRUE(RandomBytes(b, sizeof b));
  EXPECT_NE(std::string(a, a + 16), std::string(b, b + 16));
}

}  // namespace
}  // namespace tavirel
