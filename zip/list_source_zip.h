#pragma once
// A folder inside a zip archive as a list panel source (kind 5): ".." first (one level up, or
// at the top the file-system folder that holds the archive), then the folders, then the
// files directly inside it, folders that only appear inside member names included. The
// columns are the file-system ones under their own stored widths ("ZIP_"):
//
//   Name | Size | Date | Attributes | Type
//
// Locations: kind 5 (eEntry_Zip) with the archive's path for its top, kind 7
// (eEntry_ZipFolder) with "<archive path>\<folder inside>" for a folder in it. Opening a
// folder row lists it; opening a file row extracts the member into the program's folder for
// opened members (zip/opened_members.h) and hands that file on. The selection of rows
// names each item as "<archive path>\<name inside>" (zip::ExtractItems takes that); copied
// out, the items are extracted (the copy-out the kinds register with the factory).

#include <QString>

#include <memory>

#include "browse/file_item.h"
#include "browse/list_source.h"
#include "zip/zip_archive.h"

// The record of a row: the member as a file item, its entry and its name inside the archive.
class CZipMemberItem : public CFileItem {
 public:
  int entryIndex = -1;  // -1 for ".." and folders without an entry of their own
  QString innerPath;    // "docs\readme.txt"
};

class CZipListSource : public IListSource {
 public:
  CZipListSource(std::shared_ptr<zip::CZipArchive> archive, const QString& strInner)
      : archive_(std::move(archive)), inner_(strInner) {}

  const QString& ArchivePath() const { return archive_->Path(); }
  const QString& InnerPath() const { return inner_; }

  DWORD Kind() const override { return ePanelSrc_Zip; }
  QList<CListColumn> Columns() const override;
  void Fill(CListEntries* pEntries) override;
  CPanelLocation Location() const override;
  bool Shows(const CPanelLocation& location) const override;
  int InitialSortField() const override;
  QString StatusText(const CListEntries& entries) const override;
  // "\dir\a.zip" at the top, "\dir\a.zip\docs" inside.
  QString LocationText() const override;
  // A change to the archive file lists it again.
  EChangeFit ChangeFit(DWORD dwKind, HKEY root, const QString& strPath) const override;

  QString Text(CListEntry& entry, int nField) override;
  int IconIndex(CListEntry& entry, bool bWorkerFillsIcons) override;
  int Compare(const CListEntry& a, const CListEntry& b, int nField, bool bAscending) const override;
  void PrepareSort(CListEntries* pEntries, int nField) override;

  CListAction Activate(const CListEntry& entry) const override;
  bool CanGoUp() const override { return true; }
  CListAction Up() const override;
  CListAction Refresh() const override;
  fileops::CSelection Selection(const CListEntries& entries,
                                const QList<int>& anRows) const override;
  bool Offers(EListCommand command) const override;
  QList<EListCommand> ContextMenu() const override;
  QString ArchivePath(const CListEntries&, const QList<int>&) const override {
    return archive_->Path();
  }

 private:
  std::shared_ptr<zip::CZipArchive> archive_;
  QString inner_;
};

namespace zip {

// The location of a folder inside an archive (kind 5 for its top, 7 below).
CPanelLocation ZipLocation(const QString& strArchive, const QString& strInner);

// Registers kinds 5 and 7 with the factory, and typed addresses that name a folder inside an
// archive ("\dir\a.zip\docs"). An archive that cannot be opened is not listed: the "Unsupported
// zip format" box is shown and the panel stays where it was. Items of an archive copied into a
// folder (Paste, copy to the other panel, a drop) are extracted there (ExtractItems).
void RegisterZipListSource();

// The names of the folders directly inside a folder of an archive (for the folder tree).
QStringList ArchiveFolders(const QString& strArchive, const QString& strInner);

}  // namespace zip
