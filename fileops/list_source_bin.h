#pragma once
// The recycle bin as a list panel source (kind 4): one row per container ("*.trb") and per
// recycled folder (a directory of the bin with its descriptor) in the bin folder, read from
// their records (fileops/recycle_format.h). The columns are those of the file-system listing,
// so that the two share their stored widths (column key "_FS_"), followed by the folder the
// item came from:
//
//   Name | Size | Date deleted | Attributes | Type | Original folder
//
// Name, size, attributes and type are the item's as it was recycled; the date is the moment
// of recycling. Recycled folders come before files; within each group the sort field decides
// as in a folder listing, and the original folder sorts A to Z.
//
// Containers and directories that cannot be read as the bin's own (a wrong magic or kind, a
// short record, a directory without its descriptor, a link, any other file) are left out of
// the listing: they cannot be restored, and listing them would offer a restore that fails.
//
// Opening a row does nothing; restoring and deleting for good go through the selection of
// the rows (BinSelection) and fileops/recycle_bin.h.

#include <QList>
#include <QString>

#include "browse/file_item.h"
#include "browse/list_source.h"
#include "core/selection.h"

class CListPanel;

// The record of a bin row: the item as it was recycled (CRecycledItem: attributes, size,
// name, the three times, the original full path) and where it lies in the bin.
class CBinItem : public CRecycledItem {
 public:
  CBinItem(const WIN32_FIND_DATAW& data, const QString& strOriginalPath)
      : CRecycledItem(data, strOriginalPath) {}

  QString binName;          // the container's or directory's own name in the bin
  FILETIME recycledTime{};  // the moment of recycling (UTC), shown in the Date column
};

// The field of the bin's last column; the others are the file-system fields (EListField).
constexpr int eBinField_OriginalFolder = 5;

class CRecycleBinListSource : public IListSource {
 public:
  // The bin folder of the settings (RecycleBinPath).
  CRecycleBinListSource();
  // Another bin folder (a canonical device path).
  explicit CRecycleBinListSource(const QString& strBinFolder) : bin_(strBinFolder) {}

  const QString& BinFolder() const { return bin_; }

  DWORD Kind() const override { return ePanelSrc_RecycleBin; }
  QList<CListColumn> Columns() const override;
  // The rows in the order of the bin names, so that rows the sort finds equal have a fixed
  // order. A bin folder that cannot be read lists as empty.
  void Fill(CListEntries* pEntries) override;
  // The bin is not a location that can be stored or walked back to: kind 0.
  CPanelLocation Location() const override { return {}; }

  QString Text(CListEntry& entry, int nField) override;
  // A recycled file: the cached picture of its extension (never a look-up); a recycled
  // folder: the folder picture.
  int IconIndex(CListEntry& entry, bool bWorkerFillsIcons) override;
  int Compare(const CListEntry& a, const CListEntry& b, int nField, bool bAscending) const override;
  // Sorting by type needs every type text.
  void PrepareSort(CListEntries* pEntries, int nField) override;

  // Recycled items are not opened.
  CListAction Activate(const CListEntry& entry) const override { return {}; }
  // The same bin listed again with the current sort.
  CListAction Refresh() const override;
  // The container or the recycled folder's directory in the bin.
  QString FullPath(const CListEntry& entry) const override;
  // A new listing of the bin starts sorted by name.
  int InitialSortField() const override;
  QString LocationText() const override;
  // A change to an item of the bin folder changes the rows.
  bool WatchesFolder(const QString& strFolder) const override;
  // A recycled folder as eSelFolder with its directory, a recycled file as eSelFile with its
  // container; rows that are not bin rows are left out.
  fileops::CSelection Selection(const CListEntries& entries,
                                const QList<int>& anRows) const override;
  // Restore and Delete for good (which Delete means here); no drop.
  bool Offers(EListCommand command) const override;
  QList<EListCommand> ContextMenu() const override;

 private:
  QString bin_;
};

namespace browse {

// Registers the recycle bin (location kind 14, eEntry_RecycleBin; its path the bin folder, or
// empty for RecycleBinPath) with the factory (browse/list_source_factory.h).
void RegisterRecycleBinListSource();

// Shows the recycle bin (RecycleBinPath) in a panel, sorted by name.
void ShowRecycleBin(CListPanel& panel);

// True when the panel shows the recycle bin and strFolder is its bin folder (ignoring case):
// a view notification about an item in that folder changes the rows, and the frame refreshes
// the panel (Refresh lists the bin again with the current sort).
bool ListsRecycleBinFolder(const CListPanel& panel, const QString& strFolder);

// The bin record of a row of a panel that shows the bin; null for any other row or source.
const CBinItem* BinItemAt(const CListPanel& panel, int nRow);

// The selection of bin rows that the restore and delete-for-good operations take: a recycled
// folder as eSelFolder with its directory, a recycled file as eSelFile with its container, in
// the order of anRows. Rows that are not bin rows are left out.
fileops::CSelection BinSelection(const CListPanel& panel, const QList<int>& anRows);

}  // namespace browse
