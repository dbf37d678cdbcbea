#pragma once
// The whole data of an entry in one call, for the operations of this layer: the compressed
// bytes are read raw and inflated by libdeflate, which is faster than the streaming inflate.

#include <vector>

#include "zip/zip_layer.h"

namespace zip {

// Entries up to this size are read whole.
constexpr quint64 kWholeEntryLimit = 64ull << 20;

// The entry's data into *pData (resized to its length), its CRC checked. The results of
// UnzipItemToBuffer; eZipArgs for an entry above kWholeEntryLimit.
DWORD UnzipItemWhole(HZIP hz, int index, std::vector<char>* pData);

}  // namespace zip
