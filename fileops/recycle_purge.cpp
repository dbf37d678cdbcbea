// "Delete for good" of items in the bin: the question names the items as they were, and only
// items that lie directly in the bin are deleted.
#include "core/path_helpers.h"
#include "core/app_log.h"
#include "core/message_box.h"
#include "fileops/delete_items.h"
#include "fileops/recycle_bin.h"
#include "fileops/recycle_internal.h"
#include "platform/device_root.h"

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
