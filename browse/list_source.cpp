#include "browse/list_source.h"

QList<EListCommand> FileListContextMenu() {
  using C = EListCommand;
  return {C::eOpen,       C::eSeparator,    C::eCut,        C::eCopy,       C::ePaste,
          C::ePasteShortcut, C::eSeparator, C::eCopyToOther, C::eMoveToOther, C::eDelete,
          C::eShred,      C::eEncrypt,      C::eDecrypt,    C::eRename,     C::eNewFolder,
          C::eSeparator,  C::eSelectAll,    C::eRefresh};
}
