#include "fileops/op_texts.h"

#include "core/texts.h"

namespace fileops {

QString DeleteTitle() { return core::Text(55151); }

QString CannotDeleteText(const QString& strPath) { return core::Text(55153).arg(strPath); }

QString BytesLine(int nId, quint64 done, quint64 total) {
  return core::Text(nId).arg(done).arg(total);
}

QString CountLine(int nId, quint64 done, quint64 total) {
  return core::Text(nId).arg(done).arg(core::Text(done == 1 ? 55301 : 55302)).arg(total);
}

}  // namespace fileops
