#include "crypto/enc_trace.h"

#include "core/app_log.h"

namespace crypto {

FnCryptoTrace TraceToFile(plat::CHostFile* pFile) {
  return [pFile](const QString& strLine) { TraceLine(pFile, u"%s", strLine); };
}

}  // namespace crypto
