// The Blowfish cipher against the published independent test vectors (Eric Young's set),
// read once the usual big-endian way and once through the little-endian word order of
// ".enc" buffers.

#include <QByteArray>

#include <gtest/gtest.h>

#include "crypto/blowfish.h"

namespace {

using crypto::CBlowfish;

QByteArray Hex(const char* text) { return QByteArray::fromHex(text); }

DWORD LoadBE(const QByteArray& bytes, int at) {
  const auto* b = reinterpret_cast<const unsigned char*>(bytes.constData()) + at;
  return (DWORD(b[0]) << 24) | (DWORD(b[1]) << 16) | (DWORD(b[2]) << 8) | DWORD(b[3]);
}

// Reverses the bytes of every 4-byte word: big-endian words become little-endian ones.
QByteArray SwapWords(QByteArray bytes) {
  for (int i = 0; i + 4 <= bytes.size(); i += 4) {
    std::swap(bytes[i], bytes[i + 3]);
    std::swap(bytes[i + 1], bytes[i + 2]);
  }
  return bytes;
}

CBlowfish Keyed(const QByteArray& key) {
  CBlowfish cipher;
  EXPECT_TRUE(cipher.SetKey(reinterpret_cast<const BYTE*>(key.constData()), key.size()));
  return cipher;
}

// Checks one vector through both entry points and back.
void CheckVector(const CBlowfish& cipher, const QByteArray& plain, const QByteArray& expected) {
  DWORD left = LoadBE(plain, 0);
  DWORD right = LoadBE(plain, 4);
  cipher.EncryptBlock(&left, &right);
  EXPECT_EQ(left, LoadBE(expected, 0));
  EXPECT_EQ(right, LoadBE(expected, 4));
  cipher.DecryptBlock(&left, &right);
  EXPECT_EQ(left, LoadBE(plain, 0));
  EXPECT_EQ(right, LoadBE(plain, 4));

  QByteArray buffer = SwapWords(plain);
  ASSERT_TRUE(cipher.EncryptBuffer(reinterpret_cast<BYTE*>(buffer.data()), buffer.size()));
  EXPECT_EQ(SwapWords(buffer).toHex().toUpper(), expected.toHex().toUpper());
  ASSERT_TRUE(cipher.DecryptBuffer(reinterpret_cast<BYTE*>(buffer.data()), buffer.size()));
  EXPECT_EQ(SwapWords(buffer), plain);
}

struct CVector {
  const char* key;
  const char* plain;
  const char* cipher;
};

const CVector kEcbVectors[] = {
    {"0000000000000000", "0000000000000000", "4EF997456198DD78"},
    {"FFFFFFFFFFFFFFFF", "FFFFFFFFFFFFFFFF", "51866FD5B85ECB8A"},
    {"3000000000000000", "1000000000000001", "7D856F9A613063F2"},
    {"1111111111111111", "1111111111111111", "2466DD878B963C9D"},
    {"0123456789ABCDEF", "1111111111111111", "61F9C3802281B096"},
    {"1111111111111111", "0123456789ABCDEF", "7D0CC630AFDA1EC7"},
    {"FEDCBA9876543210", "0123456789ABCDEF", "0ACEAB0FC6A0A28D"},
    {"7CA110454A1A6E57", "01A1D6D039776742", "59C68245EB05282B"},
    {"0131D9619DC1376E", "5CD54CA83DEF57DA", "B1B8CC0B250F09A0"},
    {"07A1133E4A0B2686", "0248D43806F67172", "1730E5778BEA1DA4"},
    {"3849674C2602319E", "51454B582DDF440A", "A25E7856CF2651EB"},
    {"04B915BA43FEB5B6", "42FD443059577FA2", "353882B109CE8F1A"},
    {"0113B970FD34F2CE", "059B5E0851CF143A", "48F4D0884C379918"},
    {"0170F175468FB5E6", "0756D8E0774761D2", "432193B78951FC98"},
    {"43297FAD38E373FE", "762514B829BF486A", "13F04154D69D1AE5"},
    {"07A7137045DA2A16", "3BDD119049372802", "2EEDDA93FFD39C79"},
    {"04689104C2FD3B2F", "26955F6835AF609A", "D887E0393C2DA6E3"},
    {"37D06BB516CB7546", "164D5E404F275232", "5F99D04F5B163969"},
    {"1F08260D1AC2465E", "6B056E18759F5CCA", "4A057A3B24D3977B"},
    {"584023641ABA6176", "004BD6EF09176062", "452031C1E4FADA8E"},
    {"025816164629B007", "480D39006EE762F2", "7555AE39F59B87BD"},
    {"49793EBC79B3258F", "437540C8698F3CFA", "53C55F9CB49FC019"},
    {"4FB05E1515AB73A7", "072D43A077075292", "7A8E7BFA937E89A3"},
    {"49E95D6D4CA229BF", "02FE55778117F12A", "CF9C5D7A4986ADB5"},
    {"018310DC409B26D6", "1D9D5C5018F728C2", "D1ABB290658BC778"},
    {"1C587F1C13924FEF", "305532286D6F295A", "55CB3774D13EF201"},
    {"0101010101010101", "0123456789ABCDEF", "FA34EC4847B268B2"},
    {"1F1F1F1F0E0E0E0E", "0123456789ABCDEF", "A790795108EA3CAE"},
    {"E0FEE0FEF1FEF1FE", "0123456789ABCDEF", "C39E072D9FAC631D"},
    {"0000000000000000", "FFFFFFFFFFFFFFFF", "014933E0CDAFF6E4"},
    {"FFFFFFFFFFFFFFFF", "0000000000000000", "F21E9A77B71C49BC"},
    {"0123456789ABCDEF", "0000000000000000", "245946885754369A"},
    {"FEDCBA9876543210", "FFFFFFFFFFFFFFFF", "6B5C5A9C5D9E0A5A"},
};

// Keys of 1 to 24 bytes, the first n bytes of kVariableKey, on one plain block.
const char kVariableKey[] = "F0E1D2C3B4A5968778695A4B3C2D1E0F0011223344556677";
const char kVariablePlain[] = "FEDCBA9876543210";
const char* const kVariableCipher[] = {
    "F9AD597C49DB005E", "E91D21C1D961A6D6", "E9C2B70A1BC65CF3", "BE1E639408640F05",
    "B39E44481BDB1E6E", "9457AA83B1928C0D", "8BB77032F960629D", "E87A244E2CC85E82",
    "15750E7A4F4EC577", "122BA70B3AB64AE0", "3A833C9AFFC537F6", "9409DA87A90F6BF2",
    "884F80625060B8B4", "1F85031C19E11968", "79D9373A714CA34F", "93142887EE3BE15C",
    "03429E838CE2D14B", "A4299E27469FF67B", "AFD5AED1C1BC96A8", "10851C0E3858DA9F",
    "E6F51ED79B9DB21F", "64A6E14AFD36B46F", "80C7D7D45A5479AD", "05044B62FA52D080",
};

TEST(Blowfish, EcbVectors) {
  for (const CVector& v : kEcbVectors) {
    SCOPED_TRACE(v.key);
    SCOPED_TRACE(v.plain);
    CheckVector(Keyed(Hex(v.key)), Hex(v.plain), Hex(v.cipher));
  }
}

TEST(Blowfish, VariableKeyLengthVectors) {
  const QByteArray key = Hex(kVariableKey);
  for (int n = 1; n <= 24; ++n) {
    SCOPED_TRACE(n);
    CheckVector(Keyed(key.left(n)), Hex(kVariablePlain), Hex(kVariableCipher[n - 1]));
  }
}

TEST(Blowfish, BuffersOfManyBlocksAreIndependentBlocks) {
  const CBlowfish cipher = Keyed(Hex("0123456789ABCDEF"));
  QByteArray plain;
  for (const CVector& v : kEcbVectors) plain += Hex(v.plain);
  QByteArray buffer = plain;
  ASSERT_TRUE(cipher.EncryptBuffer(reinterpret_cast<BYTE*>(buffer.data()), buffer.size()));
  for (int at = 0; at < plain.size(); at += 8) {
    QByteArray block = plain.mid(at, 8);
    ASSERT_TRUE(cipher.EncryptBuffer(reinterpret_cast<BYTE*>(block.data()), 8));
    EXPECT_EQ(buffer.mid(at, 8), block) << at;
  }
  ASSERT_TRUE(cipher.DecryptBuffer(reinterpret_cast<BYTE*>(buffer.data()), buffer.size()));
  EXPECT_EQ(buffer, plain);
}

TEST(Blowfish, BufferThatIsNotWholeBlocksIsRefusedUntouched) {
  const CBlowfish cipher = Keyed(Hex("0123456789ABCDEF"));
  QByteArray buffer(12, 'x');
  EXPECT_FALSE(cipher.EncryptBuffer(reinterpret_cast<BYTE*>(buffer.data()), buffer.size()));
  EXPECT_FALSE(cipher.DecryptBuffer(reinterpret_cast<BYTE*>(buffer.data()), buffer.size()));
  EXPECT_EQ(buffer, QByteArray(12, 'x'));
}

TEST(Blowfish, KeyLengthLimits) {
  const QByteArray key(73, '\x5A');
  CBlowfish cipher;
  EXPECT_FALSE(cipher.SetKey(reinterpret_cast<const BYTE*>(key.constData()), 0));
  EXPECT_FALSE(cipher.SetKey(reinterpret_cast<const BYTE*>(key.constData()), 73));
  EXPECT_TRUE(cipher.SetKey(reinterpret_cast<const BYTE*>(key.constData()), 72));
}

// Every byte of a 72-byte key reaches the cipher: changing only the last one changes it.
TEST(Blowfish, LastByteOfLongestKeyCounts) {
  QByteArray a(72, '\x11');
  QByteArray b = a;
  b[71] = '\x12';
  DWORD la = 0, ra = 0, lb = 0, rb = 0;
  Keyed(a).EncryptBlock(&la, &ra);
  Keyed(b).EncryptBlock(&lb, &rb);
  EXPECT_TRUE(la != lb || ra != rb);
}

}  // namespace
