#pragma once
// Connects the engine's step lines to the application log's operation trace writer, which
// time-stamps each line and appends it to an open trace file.

#include "crypto/enc_engine.h"

namespace plat {
class CHostFile;
}

namespace crypto {

// A trace writer for CCryptoSettings::fnTrace that writes through TraceLine to `pFile`; the
// file stays the caller's (opened and closed by it). A null file writes nothing.
FnCryptoTrace TraceToFile(plat::CHostFile* pFile);

}  // namespace crypto
