#include "fileops/item_properties.h"

#include <QLocale>
#include <QThread>

#include "browse/file_item.h"
#include "browse/icon_manager.h"
#include "browse/list_columns.h"
#include "core/format.h"
#include "core/path_helpers.h"
#include "core/texts.h"
#include "core/view_notify.h"
#include "platform/errors.h"
#include "platform/file_system.h"
#include "platform/find.h"

namespace fileops {

DWORD ReadItemProperties(const QString& strPath, CItemProperties* pProperties,
                         quint64 uKnownFolderBytes) {
  CItemProperties props;
  props.strPath = strPath;
  const bool bRoot = strPath == QStringLiteral("\\");
  props.strName = bRoot ? strPath : browse::LastComponent(strPath);
  props.strLocation = bRoot ? QString() : browse::ParentPath(strPath);
  if (bRoot) {
    props.dwAttributes = plat::GetFileAttributes(strPath);
    if (props.dwAttributes == INVALID_FILE_ATTRIBUTES) return plat::GetLastError();
    if (!plat::GetFileTimes(strPath, &props.creation, &props.lastAccess, &props.lastWrite))
      return plat::GetLastError();
  } else {
    // The listing's own record: a link as the list shows it (its target's kind and size
    // inside the root, a file of size 0 outside it).
    WIN32_FIND_DATAW data;
    if (!plat::FindOne(strPath, &data)) {
      const DWORD dwError = plat::GetLastError();
      return dwError ? dwError : DWORD(ERROR_FILE_NOT_FOUND);
    }
    props.dwAttributes = data.dwFileAttributes;
    props.uSize = plat::FindSize(data);
    props.creation = data.ftCreationTime;
    props.lastAccess = data.ftLastAccessTime;
    props.lastWrite = data.ftLastWriteTime;
  }
  props.bFolder = (props.dwAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  props.bLink = (props.dwAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
  if (props.bLink) plat::ReadLinkTarget(strPath, &props.strLinkTarget);
  if (props.bFolder) {
    props.strType = browse::FolderTypeText(props.dwAttributes);
    props.bSizeKnown = uKnownFolderBytes != ~quint64(0);
    props.uSize = props.bSizeKnown ? uKnownFolderBytes : 0;
  } else {
    props.strType = AppIconManager().TypeText(props.strName);
    props.bSizeKnown = true;
  }
  *pProperties = props;
  return 0;
}

QString SizeText(quint64 uBytes) {
  return core::Text(901324).arg(core::FormatSize(uBytes), QLocale().toString(uBytes));
}

QString ContentsText(const CFolderTotals& totals) {
  // As the list's status line counts a folder.
  return core::Text(900108).arg(totals.folders).arg(totals.files);
}

QString TimeText(const FILETIME& ft) {
  if (ft.dwLowDateTime == 0 && ft.dwHighDateTime == 0) return core::Text(55009);
  return browse::FileTimeText(ft);
}

DWORD ApplyAttributes(const QString& strPath, bool bReadOnly, bool bHidden) {
  const DWORD dwOld = plat::GetFileAttributes(strPath);
  if (dwOld == INVALID_FILE_ATTRIBUTES) return plat::GetLastError();
  DWORD dwNew = dwOld & ~DWORD(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
  if (bReadOnly) dwNew |= FILE_ATTRIBUTE_READONLY;
  if (bHidden) dwNew |= FILE_ATTRIBUTE_HIDDEN;
  if (dwNew == dwOld) return 0;
  if (!plat::SetFileAttributes(strPath, dwNew)) {
    const DWORD dwError = plat::GetLastError();
    return dwError ? dwError : DWORD(ERROR_ACCESS_DENIED);
  }
  // The host may keep a bit as it is (a name that begins with a dot is always hidden): what
  // the disk holds now is what counts.
  const DWORD dwNow = plat::GetFileAttributes(strPath);
  NotifyItemAdded(strPath);
  if (dwNow != INVALID_FILE_ATTRIBUTES &&
      (dwNow & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN)) !=
          (dwNew & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN)))
    return ERROR_ACCESS_DENIED;
  return 0;
}

CFolderTotalsTask::CFolderTotalsTask(const QString& strFolder, QObject* pParent)
    : QObject(pParent) {
  thread_ = QThread::create([this, strFolder] {
    CFolderTotals totals;
    const bool bComplete =
        plat::ComputeFolderTotals(strFolder, &totals, [this] { return stop_.load(); });
    // Delivered on the task's own thread; dropped with the task when it is gone by then.
    QMetaObject::invokeMethod(
        this,
        [this, totals, bComplete] {
          totals_ = totals;
          complete_ = bComplete;
          finished_ = true;
          emit finished(bComplete);
        },
        Qt::QueuedConnection);
  });
  thread_->start(QThread::LowPriority);
}

CFolderTotalsTask::~CFolderTotalsTask() {
  stop_ = true;
  thread_->wait();
  delete thread_;
}

}  // namespace fileops
