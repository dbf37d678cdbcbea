#include "core/selection.h"

#include "platform/folder_totals.h"
#include "platform/find.h"

namespace fileops {

bool ComputeSelectionTotals(const CSelection& selection, CSelectionTotals* pTotals,
                            const std::function<bool()>& fnStop) {
  *pTotals = CSelectionTotals{};
  bool bStopped = false;
  const std::function<bool()> stop = [&] { return bStopped = bStopped || (fnStop && fnStop()); };
  for (const CSelItem& item : selection) {
    if (stop()) return false;
    if (item.nKind == eSelFolder) {
      ++pTotals->folders;
      // The folder-size walk of the lists: the same link rules, one status call per item.
      CFolderTotals below;
      plat::ComputeFolderTotals(item.strPath, &below, fnStop ? stop : std::function<bool()>());
      pTotals->files += below.files;
      pTotals->folders += below.folders;
      pTotals->fileBytes += below.bytes;
      if (bStopped) return false;
      continue;
    }
    ++pTotals->files;
    WIN32_FIND_DATAW data;
    if (plat::FindOne(item.strPath, &data)) pTotals->fileBytes += plat::FindSize(data);
  }
  return true;
}

}  // namespace fileops
