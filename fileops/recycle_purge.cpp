// "Delete for good" of items in the bin: the question names the items as they were, and only
// items that lie directly in the bin are deleted.
#include "core/path_helpers.h"
#include "core/app_log.h"
#include "core/message_box.h"
#include "fileops/delete_items.h"
#include "fileops/recycle_bin.h"
#include "fileops/op_texts.h"
#include "fileops/recycle_internal.h"
#include "fileops/shredder.h"
#include "platform/device_root.h"
#include "platform/filetime.h"
#include "platform/find.h"
#include "platform/output_file.h"

namespace fileops {
namespace {

using namespace recycle_detail;

// The name an item of the bin had before it was recycled; the bin's own name when its record
// cannot be read.
QString OriginalName(const CSelItem& item) {
  CRecycleRecord record;
  const bool bRead = item.nKind == eSelFolder ? Read(&record, item.strPath)
                                              : ReadContainer(item.strPath, &record) == 0;
  if (!bRead) return browse::LastComponent(item.strPath);
  return item.nKind == eSelFolder ? browse::LastComponent(record.OriginalPath()) : record.Name();
}

bool LiesInBin(const QString& strPath) {
  QString canonical, bin;
  return plat::CDeviceRoot::Canonical(strPath, &canonical) &&
         plat::CDeviceRoot::Canonical(RecycleBinFolder(), &bin) && canonical != bin &&
         browse::ParentPath(canonical).compare(bin, Qt::CaseInsensitive) == 0;
}

}  // namespace

void recycle_detail::RemovePartialContainers(const QString& strBin, qint64 uSinceMs) {
  plat::RemoveLeftovers(strBin, uSinceMs);
  std::vector<WIN32_FIND_DATAW> entries;
  if (!plat::ReadFolderEntries(strBin, &entries)) return;
  for (const WIN32_FIND_DATAW& entry : entries) {
    const QString name = plat::FindName(entry);
    if ((entry.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) ||
        !IsContainerName(name))
      continue;
    qint64 seconds = 0, nanoseconds = 0;
    plat::FileTimeToUnix(entry.ftLastWriteTime, &seconds, &nanoseconds);
    if (seconds * 1000 + nanoseconds / 1000000 >= uSinceMs) continue;  // not from before the run
    const QString path = browse::AppendPathComponent(strBin, name);
    CRecycleRecord record;
    if (ReadContainer(path, &record) != eContainerPartial) continue;
    // Its source was never deleted: the container holds nothing that is not still there.
    LogNotice(u"  Removed the partial container %s", path);
    ShredFile(path);
  }
}

int PurgeBinItemsCommand(const CSelection& selection) {
  if (selection.empty()) return eDeleteNothing;
  const CSelItem& first = selection.front();
  QString text;
  if (selection.size() > 1)
    text = ConfirmItemsText(static_cast<qsizetype>(selection.size()));
  else if (first.nKind == eSelFolder)
    text = ConfirmFolderText(OriginalName(first));
  else
    text = ConfirmFileText(OriginalName(first));
  if (MsgQuestion(text, DeleteTitle(), ConfirmDeleteHeader()) != eMsgAnsYes)
    return eDeleteCancelled;
  return PurgeBinItems(selection);
}

int PurgeBinItems(const CSelection& selection) {
  CSelection inBin;
  int result = eDeleteOK;
  for (const CSelItem& item : selection) {
    if (LiesInBin(item.strPath)) {
      inBin.push_back(item);
    } else {
      LogErr(u"%s is not an item of the recycle bin; it is not deleted", item.strPath);
      result = eDeleteNothing;
    }
  }
  if (inBin.empty()) return eDeleteNothing;
  const int deleted = DeleteItemsCommand(inBin);
  return deleted != eDeleteOK ? deleted : result;
}

}  // namespace fileops
