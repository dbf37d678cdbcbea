#pragma once
// Blowfish, 16 rounds, in electronic-codebook mode. An 8-byte block is read as two 32-bit
// little-endian words (the first four bytes are the left half), which is the order ".enc"
// files have always used; published test vectors read blocks big-endian.

#include <cstddef>

#include "platform/wintypes.h"

namespace crypto {

constexpr int kBlowfishRounds = 16;
constexpr std::size_t kBlowfishBlockSize = 8;
// The key schedule folds at most 18 words of key into the P-array; bytes beyond would be lost.
constexpr std::size_t kBlowfishMaxKeyBytes = (kBlowfishRounds + 2) * 4;

// Initial values of the P-array and the S-boxes (blowfish_tables.cpp).
extern const DWORD kBlowfishInitP[kBlowfishRounds + 2];
extern const DWORD kBlowfishInitS[4][256];

// The keyed cipher state: P-array and S-boxes, 4,168 bytes.
struct CBlowfishState {
  DWORD p[kBlowfishRounds + 2];
  DWORD s[4][256];
};
static_assert(sizeof(CBlowfishState) == 4168);

class CBlowfish {
 public:
  // Runs the standard key schedule; the key bytes are packed into words most significant byte
  // first, cycling over the key. Needs 1 to kBlowfishMaxKeyBytes bytes; false otherwise (the
  // state is then left as it was).
  bool SetKey(const BYTE* key, std::size_t length);
  // Overwrites the keyed state with zeros.
  void Wipe();

  // One block as two words (left, right).
  void EncryptBlock(DWORD* left, DWORD* right) const;
  void DecryptBlock(DWORD* left, DWORD* right) const;

  // Whole buffers in place; the length must be a multiple of 8 (false, nothing changed, if not).
  bool EncryptBuffer(BYTE* data, std::size_t length) const;
  bool DecryptBuffer(BYTE* data, std::size_t length) const;

 private:
  CBlowfishState state_;
};

}  // namespace crypto
