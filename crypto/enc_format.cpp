#include "crypto/enc_format.h"

#include <zlib.h>

namespace crypto {

namespace {

void StoreBE(BYTE* bytes, DWORD word) {
  bytes[0] = BYTE(word >> 24);
  bytes[1] = BYTE(word >> 16);
  bytes[2] = BYTE(word >> 8);
  bytes[3] = BYTE(word);
}

DWORD LoadBE(const BYTE* bytes) {
  return (DWORD(bytes[0]) << 24) | (DWORD(bytes[1]) << 16) | (DWORD(bytes[2]) << 8) |
         DWORD(bytes[3]);
}

}  // namespace

void StoreEncHeader(const CEncHeader& header, BYTE bytes[kEncHeaderSize]) {
  const DWORD words[10] = {header.magic1,    header.magic2,    header.version,
                           header.headerSize, header.encType,  header.algorithm,
                           header.reserved,  header.bufferSize, header.plainSize,
                           header.checkValue};
  for (int i = 0; i < 10; ++i) StoreBE(bytes + 4 * i, words[i]);
}

CEncHeader LoadEncHeader(const BYTE bytes[kEncHeaderSize]) {
  CEncHeader header;
  DWORD* words[10] = {&header.magic1,     &header.magic2,    &header.version,
                      &header.headerSize, &header.encType,   &header.algorithm,
                      &header.reserved,   &header.bufferSize, &header.plainSize,
                      &header.checkValue};
  for (int i = 0; i < 10; ++i) *words[i] = LoadBE(bytes + 4 * i);
  return header;
}

EEncHeaderCheck CheckEncHeader(const CEncHeader& header) {
  if (header.magic1 != kEncMagic1 || header.magic2 != kEncMagic2 ||
      header.version != kEncVersion || header.headerSize != kEncHeaderSize ||
      header.reserved != 0)
    return EEncHeaderCheck::eHeaderBad;
  if (header.encType != kEncTypeBlowfish) return EEncHeaderCheck::eHeaderBadType;
  if (header.algorithm != kEncAlgorithmEcb) return EEncHeaderCheck::eHeaderBadAlgorithm;
  return EEncHeaderCheck::eHeaderOK;
}

quint64 EncFileSizeFor(DWORD plainSize) {
  return kEncHeaderSize + (quint64(plainSize) + 7) / 8 * 8;
}

DWORD UpdateCheckValue(DWORD checkValue, const BYTE* data, std::size_t length) {
  // zlib keeps the same register but inverts it on the way in and out.
  return ~DWORD(crc32_z(~checkValue & 0xFFFFFFFFul, data, length));
}

}  // namespace crypto
