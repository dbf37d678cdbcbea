#include "browse/list_source.h"

#include "core/path_helpers.h"

EChangeFit IListSource::ChangeFit(DWORD dwKind, HKEY, const QString& strPath) const {
  if (dwKind == eEntry_Folder && WatchesFolder(browse::ParentPath(strPath)))
    return EChangeFit::eRelist;
  return EChangeFit::eNone;
}

QList<EListCommand> FileListContextMenu() {
  using C = EListCommand;
  return {C::eOpen,       C::eSeparator,    C::eCut,        C::eCopy,       C::ePaste,
          C::ePasteShortcut, C::eSeparator, C::eCopyToOther, C::eMoveToOther, C::eDelete,
          C::eShred,      C::eEncrypt,      C::eDecrypt,    C::eRename,     C::eNewFolder,
          C::eSeparator,  C::eSelectAll,    C::eRefresh,    C::eSeparator, C::eProperties};
}
