#include "fileops/rename.h"

#include "core/path_helpers.h"
#include "core/app_log.h"
#include "fileops/op_run.h"
#include "fileops/naming.h"
#include "core/view_notify.h"
#include "platform/device_root.h"
#include "platform/errors.h"
#include "platform/file_system.h"
#include "platform/shell.h"
#include "core/texts.h"

namespace fileops {
namespace {

struct CRenameTexts {
  const char16_t* pszFunction;
  UINT uText;  // %1 old path, %2 new path, %3 the system's error text
  UINT uTitle;
  UINT uHeader;
};

const CRenameTexts kFileTexts = {u"RenameFile", IDS_RENAME_FILE_TEXT, IDS_RENAME_FILE_TITLE,
                                 IDS_RENAME_FILE_HEADER};
const CRenameTexts kFolderTexts = {u"RenameFolder", IDS_RENAME_FOLDER_TEXT,
                                   IDS_RENAME_FOLDER_TITLE, IDS_RENAME_FOLDER_HEADER};

// The system's text of an error code as one line without trailing white space.
QString ErrorLine(DWORD dwError) {
  QString strText = plat::SystemMessage(dwError);
  for (qsizetype i = 0; i < strText.size(); ++i) {
    if (strText[i] == u'\r' || strText[i] == u'\n') {
      strText.truncate(i);
      break;
    }
  }
  while (!strText.isEmpty() && strText.back().isSpace()) strText.chop(1);
  return strText;
}

// A rename stays in its folder and makes a name an item can have.
bool StaysInFolder(const QString& strOldPath, const QString& strNewPath) {
  const QString strOldFolder = PathFolderPart(strOldPath);
  return !strOldFolder.isEmpty() && IsSameFolder(strNewPath, strOldFolder) &&
         IsValidItemName(PathNamePart(strNewPath));
}

bool RenameItem(const QString& strOldPath, const QString& strNewPath, bool bFolder) {
  const CRenameTexts& texts = bFolder ? kFolderTexts : kFileTexts;
  LogTrace(u"%s(%s, %s)...", QString::fromUtf16(texts.pszFunction), strOldPath, strNewPath);
  if (strOldPath == strNewPath) {
    LogTrace(u"%s", QString::fromUtf16(texts.pszFunction));
    return true;
  }
  const bool bMoved = StaysInFolder(strOldPath, strNewPath)
                          ? plat::MoveFile(strOldPath, strNewPath)
                          : (plat::SetLastError(ERROR_INVALID_NAME), false);
  if (!bMoved) {
    const DWORD dwError = plat::GetLastError();
    const QString strError = ErrorLine(dwError);
    COpRun::Report({0, dwError, strOldPath, QStringLiteral("Could not rename to %1:").arg(strNewPath)},
                   {core::Text(texts.uText).arg(strOldPath, strNewPath, strError),
                    core::Text(texts.uTitle), core::Text(texts.uHeader)});
    plat::SetLastError(dwError);
  } else if (bFolder) {
    NotifyFolderRenamed(strOldPath, strNewPath);
  } else {
    NotifyFileRenamed(strOldPath, strNewPath);
  }
  LogTrace(u"%s", QString::fromUtf16(texts.pszFunction));
  return bMoved;
}

}  // namespace

bool RenameFile(const QString& strOldPath, const QString& strNewPath) {
  return RenameItem(strOldPath, strNewPath, false);
}

bool RenameFolder(const QString& strOldPath, const QString& strNewPath) {
  return RenameItem(strOldPath, strNewPath, true);
}

bool CreateNewFolder(const QString& strFolder, QString* pNewPath) {
  if (strFolder.isEmpty()) {
    plat::SetLastError(ERROR_INVALID_NAME);
    return false;
  }
  LogTrace(u"CreateNewFolder(%s)...", strFolder);
  const QString strPath =
      browse::AppendPathComponent(strFolder, MakeNewFolderName(strFolder));
  const bool bCreated = plat::CreateDirectory(strPath);
  if (bCreated) {
    NotifyFolderCreated(strPath);
    if (pNewPath != nullptr) *pNewPath = strPath;
  } else {
    const DWORD dwError = plat::GetLastError();
    COpRun::Report({0, dwError, strPath, QStringLiteral("Could not create the folder")},
                   {core::Text(IDS_NEW_FOLDER_ERROR_TEXT).arg(strPath),
                    core::Text(IDS_NEW_FOLDER_ERROR_TITLE),
                    core::Text(IDS_NEW_FOLDER_ERROR_HEADER)});
    plat::SetLastError(dwError);
  }
  LogTrace(u"CreateNewFolder");
  return bCreated;
}

bool PasteShortcut(const QString& strTargetPath, const QString& strFolder,
                   QString* pShortcutPath) {
  LogTrace(u"PasteShortcut(%s, %s)...", strTargetPath, strFolder);
  // The canonical target has "\" separators only, so its name part is a bare name.
  QString strTarget;
  bool bCreated = !strFolder.isEmpty() && plat::CDeviceRoot::Canonical(strTargetPath, &strTarget);
  if (strFolder.isEmpty()) plat::SetLastError(ERROR_INVALID_NAME);
  if (bCreated) {
    const QString strName = MakeShortcutName(strTarget, strFolder);
    const QString strPath = browse::AppendPathComponent(
        strFolder, strName + QString::fromUtf16(kShortcutExtension));
    bCreated = plat::SHCreateShortcut(strPath, QLatin1Char('"') + strTarget + QLatin1Char('"'));
    if (bCreated) {
      NotifyItemAdded(strPath);
      if (pShortcutPath != nullptr) *pShortcutPath = strPath;
    } else {
      LogErr(u"Could not create the shortcut %s: %s", strPath,
             ErrorLine(plat::GetLastError()));
    }
  }
  LogTrace(u"PasteShortcut");
  return bCreated;
}

}  // namespace fileops
