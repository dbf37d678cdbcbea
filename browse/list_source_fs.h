#pragma once
// The file-system source (kind 2): the entries of one folder, its five columns (Name, Size,
// Date, Attributes, Type), the folders-first sort and the status text.

#include <QString>

#include "browse/file_item.h"
#include "browse/list_source.h"

// The record of an item handed to the panel's found-item sink from a folder other than the
// one listed: it keeps its own folder, so that its full path stays right.
class CFoundFileItem : public CFileItem {
 public:
  CFoundFileItem(const WIN32_FIND_DATAW& data, const QString& strFolder)
      : CFileItem(data), folder(strFolder) {}
  QString folder;
};

class CListSourceFactory;

class CFileSystemListSource : public IListSource {
 public:
  // strPath: a canonical device path ("\" or "\Docs", no trailing backslash).
  explicit CFileSystemListSource(const QString& strPath) : path_(strPath) {}

  const QString& Path() const { return path_; }

  DWORD Kind() const override { return ePanelSrc_FileSystem; }
  QList<CListColumn> Columns() const override;
  // "..", when MainListShowParent is 1 and the folder is not the root, then one entry per
  // item of the folder in the host's order: "." and "..", the recycle-bin folder and names
  // the device cannot show left out. A folder that cannot be read gives no items.
  void Fill(CListEntries* pEntries) override;
  CPanelLocation Location() const override { return CPanelLocation::FileSystem(path_); }
  // "Folders: %d, Files: %d" of the rows, or "Empty folder." when both are 0 (".." is not
  // counted).
  QString StatusText(const CListEntries& entries) const override;

  QString Text(CListEntry& entry, int nField) override;
  // Files and archives: the computed icon, else 19 while the worker will compute it, else
  // computed now. Folders: the folder icon rule, computed on first request and kept.
  int IconIndex(CListEntry& entry, bool bWorkerFillsIcons) override;
  bool IsLink(const CListEntry& entry) const override;
  int Compare(const CListEntry& a, const CListEntry& b, int nField,
              bool bAscending) const override;
  // Sorting by type needs every type text.
  void PrepareSort(CListEntries* pEntries, int nField) override;
  void Sort(CListEntries* pEntries, int nField, bool bAscending) override;

  // Folder and "..": the folder is loaded and recorded; file: handed to the panel's
  // observer; zip archive: the archive is listed (when a source of archives is registered).
  CListAction Activate(const CListEntry& entry) const override;
  bool CanGoUp() const override;
  CListAction Up() const override;
  CListAction Refresh() const override;
  QString FullPath(const CListEntry& entry) const override;

  // The same folder, compared ignoring case; new listings start sorted by name.
  bool Shows(const CPanelLocation& location) const override;
  int InitialSortField() const override;
  QString LocationText() const override { return path_; }
  QString FolderPath() const override { return path_; }
  DWORD OpenError() const override;
  // An item of the listed folder is a row; other places are not shown.
  EChangeFit ChangeFit(DWORD dwKind, HKEY root, const QString& strPath) const override;
  std::unique_ptr<CListEntry> EntryForItem(const QString& strPath) const override;
  // Folders (kind 2) and files (kind 1) of the rows' items; "..", and rows of another kind,
  // are left out.
  fileops::CSelection Selection(const CListEntries& entries,
                                const QList<int>& anRows) const override;
  // Every file command; Restore and Delete for good belong to the recycle bin.
  bool Offers(EListCommand command) const override;
  // The file menu, with the archive commands when the rows hold an archive and "Compress".
  QList<EListCommand> ContextMenuFor(const CListEntries& entries,
                                     const QList<int>& anRows) const override;
  QString ArchivePath(const CListEntries& entries, const QList<int>& anRows) const override;
  // A drop on a folder row goes into that folder, anywhere else into the listed folder.
  QString DropFolder(const CListEntry* pTarget) const override;

 private:
  QString path_;
};

namespace browse {

// Registers the file-system source (kind 2) and its typed addresses (a text that starts with
// "\" or "/") with the factory; done by the factory itself.
void RegisterFileSystemListSource(CListSourceFactory& factory);

}  // namespace browse
