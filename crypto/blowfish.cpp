#include "crypto/blowfish.h"

#include <bit>
#include <cstring>
#include <utility>

namespace crypto {

namespace {

inline DWORD Swap(DWORD w) {
  return (w >> 24) | ((w >> 8) & 0xFF00) | ((w << 8) & 0xFF0000) | (w << 24);
}

inline DWORD LoadLE(const BYTE* bytes) {
  DWORD word;
  std::memcpy(&word, bytes, 4);
  if constexpr (std::endian::native == std::endian::big) word = Swap(word);
  return word;
}

inline void StoreLE(BYTE* bytes, DWORD word) {
  if constexpr (std::endian::native == std::endian::big) word = Swap(word);
  std::memcpy(bytes, &word, 4);
}

// The round function: the four bytes of x, most significant first, index the four S-boxes.
inline DWORD F(const CBlowfishState& st, DWORD x) {
  return ((st.s[0][x >> 24] + st.s[1][(x >> 16) & 0xFF]) ^ st.s[2][(x >> 8) & 0xFF]) +
         st.s[3][x & 0xFF];
}

// Sixteen rounds unrolled; each line is one round's F and the next round's P word.
inline void Encipher(const CBlowfishState& st, DWORD& left, DWORD& right) {
  const DWORD* p = st.p;
  DWORD l = left ^ p[0];
  DWORD r = right;
  r ^= F(st, l) ^ p[1];
  l ^= F(st, r) ^ p[2];
  r ^= F(st, l) ^ p[3];
  l ^= F(st, r) ^ p[4];
  r ^= F(st, l) ^ p[5];
  l ^= F(st, r) ^ p[6];
  r ^= F(st, l) ^ p[7];
  l ^= F(st, r) ^ p[8];
  r ^= F(st, l) ^ p[9];
  l ^= F(st, r) ^ p[10];
  r ^= F(st, l) ^ p[11];
  l ^= F(st, r) ^ p[12];
  r ^= F(st, l) ^ p[13];
  l ^= F(st, r) ^ p[14];
  r ^= F(st, l) ^ p[15];
  l ^= F(st, r) ^ p[16];
  r ^= p[17];
  left = r;
  right = l;
}

inline void Decipher(const CBlowfishState& st, DWORD& left, DWORD& right) {
  const DWORD* p = st.p;
  DWORD l = left ^ p[17];
  DWORD r = right;
  r ^= F(st, l) ^ p[16];
  l ^= F(st, r) ^ p[15];
  r ^= F(st, l) ^ p[14];
  l ^= F(st, r) ^ p[13];
  r ^= F(st, l) ^ p[12];
  l ^= F(st, r) ^ p[11];
  r ^= F(st, l) ^ p[10];
  l ^= F(st, r) ^ p[9];
  r ^= F(st, l) ^ p[8];
  l ^= F(st, r) ^ p[7];
  r ^= F(st, l) ^ p[6];
  l ^= F(st, r) ^ p[5];
  r ^= F(st, l) ^ p[4];
  l ^= F(st, r) ^ p[3];
  r ^= F(st, l) ^ p[2];
  l ^= F(st, r) ^ p[1];
  r ^= p[0];
  left = r;
  right = l;
}

// Blocks of a buffer are independent, so several are taken through the rounds side by side:
// one block's rounds are a chain of dependent table loads, and interleaving hides their
// latency. K indexes the blocks of the group; the fold expressions keep every block's halves
// in registers.
constexpr std::size_t kGroupBlocks = 8;

template <std::size_t... K>
inline void EncipherGroup(const CBlowfishState& st, BYTE* data, std::index_sequence<K...>) {
  const DWORD* p = st.p;
  DWORD l[sizeof...(K)];
  DWORD r[sizeof...(K)];
  ((l[K] = LoadLE(data + 8 * K) ^ p[0], r[K] = LoadLE(data + 8 * K + 4)), ...);
  for (int i = 1; i <= kBlowfishRounds; i += 2) {
    ((r[K] ^= F(st, l[K]) ^ p[i]), ...);
    ((l[K] ^= F(st, r[K]) ^ p[i + 1]), ...);
  }
  ((StoreLE(data + 8 * K, r[K] ^ p[17]), StoreLE(data + 8 * K + 4, l[K])), ...);
}

template <std::size_t... K>
inline void DecipherGroup(const CBlowfishState& st, BYTE* data, std::index_sequence<K...>) {
  const DWORD* p = st.p;
  DWORD l[sizeof...(K)];
  DWORD r[sizeof...(K)];
  ((l[K] = LoadLE(data + 8 * K) ^ p[17], r[K] = LoadLE(data + 8 * K + 4)), ...);
  for (int i = kBlowfishRounds; i >= 2; i -= 2) {
    ((r[K] ^= F(st, l[K]) ^ p[i]), ...);
    ((l[K] ^= F(st, r[K]) ^ p[i - 1]), ...);
  }
  ((StoreLE(data + 8 * K, r[K] ^ p[0]), StoreLE(data + 8 * K + 4, l[K])), ...);
}

}  // namespace

bool CBlowfish::SetKey(const BYTE* key, std::size_t length) {
  if (key == nullptr || length == 0 || length > kBlowfishMaxKeyBytes) return false;
  std::memcpy(state_.p, kBlowfishInitP, sizeof(state_.p));
  std::memcpy(state_.s, kBlowfishInitS, sizeof(state_.s));

  std::size_t at = 0;
  for (DWORD& word : state_.p) {
    DWORD data = 0;
    for (int k = 0; k < 4; ++k) {
      data = (data << 8) | key[at];
      at = (at + 1) % length;
    }
    word ^= data;
  }

  DWORD l = 0;
  DWORD r = 0;
  for (int i = 0; i < kBlowfishRounds + 2; i += 2) {
    Encipher(state_, l, r);
    state_.p[i] = l;
    state_.p[i + 1] = r;
  }
  for (auto& box : state_.s) {
    for (int i = 0; i < 256; i += 2) {
      Encipher(state_, l, r);
      box[i] = l;
      box[i + 1] = r;
    }
  }
  return true;
}

void CBlowfish::Wipe() {
  // A volatile pointer keeps the compiler from dropping the stores of a dying object.
  volatile BYTE* bytes = reinterpret_cast<volatile BYTE*>(&state_);
  for (std::size_t i = 0; i < sizeof(state_); ++i) bytes[i] = 0;
}

void CBlowfish::EncryptBlock(DWORD* left, DWORD* right) const {
  Encipher(state_, *left, *right);
}

void CBlowfish::DecryptBlock(DWORD* left, DWORD* right) const {
  Decipher(state_, *left, *right);
}

bool CBlowfish::EncryptBuffer(BYTE* data, std::size_t length) const {
  if (length % kBlowfishBlockSize != 0) return false;
  const CBlowfishState& st = state_;
  constexpr std::size_t kGroupBytes = kGroupBlocks * kBlowfishBlockSize;
  BYTE* const end = data + length;
  for (; std::size_t(end - data) >= kGroupBytes; data += kGroupBytes)
    EncipherGroup(st, data, std::make_index_sequence<kGroupBlocks>());
  for (; data != end; data += kBlowfishBlockSize) {
    DWORD l = LoadLE(data);
    DWORD r = LoadLE(data + 4);
    Encipher(st, l, r);
    StoreLE(data, l);
    StoreLE(data + 4, r);
  }
  return true;
}

bool CBlowfish::DecryptBuffer(BYTE* data, std::size_t length) const {
  if (length % kBlowfishBlockSize != 0) return false;
  const CBlowfishState& st = state_;
  constexpr std::size_t kGroupBytes = kGroupBlocks * kBlowfishBlockSize;
  BYTE* const end = data + length;
  for (; std::size_t(end - data) >= kGroupBytes; data += kGroupBytes)
    DecipherGroup(st, data, std::make_index_sequence<kGroupBlocks>());
  for (; data != end; data += kBlowfishBlockSize) {
    DWORD l = LoadLE(data);
    DWORD r = LoadLE(data + 4);
    Decipher(st, l, r);
    StoreLE(data, l);
    StoreLE(data + 4, r);
  }
  return true;
}

}  // namespace crypto
