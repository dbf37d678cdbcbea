#pragma once
// The ".enc" file format: a 40-byte header of ten big-endian 32-bit words, then the plain data
// Blowfish-encrypted in 4096-byte chunks, the last one zero-padded to a multiple of 8 bytes.

#include <cstddef>

#include <QtGlobal>

#include "platform/wintypes.h"

namespace crypto {

constexpr DWORD kEncMagic1 = 0x4B524D51;  // "KRMQ"
constexpr DWORD kEncMagic2 = 0x4E494200;  // "NIB" and a zero byte
constexpr DWORD kEncVersion = 0x00000100;
constexpr DWORD kEncHeaderSize = 40;
constexpr DWORD kEncTypeBlowfish = 2;  // the one encryption type there is
constexpr DWORD kEncAlgorithmEcb = 0;  // the one algorithm there is
constexpr DWORD kEncChunkSize = 4096;

struct CEncHeader {
  DWORD magic1 = kEncMagic1;
  DWORD magic2 = kEncMagic2;
  DWORD version = kEncVersion;
  DWORD headerSize = kEncHeaderSize;
  DWORD encType = kEncTypeBlowfish;
  DWORD algorithm = kEncAlgorithmEcb;
  DWORD reserved = 0;
  DWORD bufferSize = kEncChunkSize;
  DWORD plainSize = 0;
  DWORD checkValue = 0;
};

void StoreEncHeader(const CEncHeader& header, BYTE bytes[kEncHeaderSize]);
CEncHeader LoadEncHeader(const BYTE bytes[kEncHeaderSize]);

enum class EEncHeaderCheck {
  eHeaderOK,
  eHeaderBad,           // magic, version, header size or a reserved word that is not 0
  eHeaderBadType,       // encryption type other than 2
  eHeaderBadAlgorithm,  // algorithm other than 0
};
// The buffer-size word is informational and not checked.
EEncHeaderCheck CheckEncHeader(const CEncHeader& header);

// The exact length of a ".enc" file whose header declares plainSize: the header, then the
// plain size rounded up to whole 8-byte blocks. A file of any other length has a size word
// that lies, or bytes that belong to nothing.
quint64 EncFileSizeFor(DWORD plainSize);

// The check value is the CRC-32 register (IEEE 802.3, reflected) started at 0xFFFFFFFF and
// stored without the final inversion: the complement of the usual CRC-32 of the plain data.
constexpr DWORD kCheckValueStart = 0xFFFFFFFF;
DWORD UpdateCheckValue(DWORD checkValue, const BYTE* data, std::size_t length);

}  // namespace crypto
