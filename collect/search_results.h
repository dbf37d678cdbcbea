#pragma once
// The results of the last search as a list panel source (kind ePanelSrc_Search, location kind
// eEntry_SearchResults): one row per collected item, with its name, folder, size and date,
// sortable by each; a new listing keeps the order they were found in.
//
// The results live in one store for the program (CurrentSearchResults), filled by the search
// run (collect/search_run.h) in batches; the panel that shows them appends each batch
// (CListPanel::AppendEntries with NewEntries). A row follows view notifications: a result
// whose item is deleted or renamed by another operation leaves the list, one that is
// replaced is read again; a new listing (Refresh) leaves out what has gone.
//
// Its commands: Open, Cut, Copy, "Open containing folder", Shred and Delete.
//
// User-interface thread only.

#include <QHash>
#include <QSet>
#include <QString>

#include <memory>
#include <vector>

#include "browse/file_item.h"
#include "browse/list_source.h"
#include "collect/collect_rules.h"

namespace collect {

// The fields beside the file-system ones (Name, Size, Date).
constexpr int eSearchField_Folder = 5;
constexpr int eSearchField_Found = 6;  // the order found; no column

// The record of a result row: the item as found, where it lies and when it was found.
class CFoundItem : public CFileItem {
 public:
  CFoundItem(const WIN32_FIND_DATAW& data, const QString& strFolder, quint64 uOrder)
      : CFileItem(data), folder(strFolder), order(uOrder) {}

  QString folder;
  quint64 order = 0;
};

// The items one search has found, in the order found.
class CSearchResults {
 public:
  struct CResult {
    QString strPath;
    WIN32_FIND_DATAW data{};
  };

  // A new search: the results emptied, the text and the start folder kept for the listing.
  void Start(const QString& strText, const QString& strStartFolder);
  const QString& Text() const { return text_; }
  // Adds results; those already held (the same path, case and all) are left out. Returns the index of the
  // first one added.
  size_t Add(const std::vector<CResult>& results);
  size_t Count() const { return results_.size(); }
  // The results from index uFrom on, as rows.
  void Rows(size_t uFrom, CListEntries* pEntries) const;
  bool Holds(const QString& strPath) const;
  // True when strPath is a folder some result lies in (at any depth).
  bool HoldsBelow(const QString& strPath) const;
  // A view notification concerns the result at strPath, or (bFolder) the results below the
  // folder strPath: their items are looked up again at the next listing.
  void Touch(const QString& strPath, bool bFolder = false) const;
  // Drops the results whose items are gone (those touched since the last listing only).
  void DropGone();
  // The running search's counts, for the status line.
  quint64 foldersSearched = 0;
  bool running = false;

 private:
  QString text_;
  QString start_;
  std::vector<CResult> results_;
  QHash<QString, size_t> index_;  // path -> index in results_
  QSet<QString> folders_;  // lower-case paths of the folders the results lie in, and above
  mutable QSet<QString> touched_;
  mutable QStringList touchedFolders_;  // lower-case, each with a trailing backslash
};

// The program's one store, the one the search bar fills.
const std::shared_ptr<CSearchResults>& CurrentSearchResults();

// The row of one result.
std::unique_ptr<CListEntry> ResultEntry(const CSearchResults::CResult& result, quint64 uOrder);

class CSearchListSource : public IListSource {
 public:
  explicit CSearchListSource(std::shared_ptr<CSearchResults> results)
      : results_(std::move(results)) {}

  DWORD Kind() const override { return ePanelSrc_Search; }
  // Name | Folder | Size | Date
  QList<CListColumn> Columns() const override;
  // Every result held now (a result whose item has gone since is left out).
  void Fill(CListEntries* pEntries) override;
  CPanelLocation Location() const override { return {eEntry_SearchResults, 0, {}}; }
  int InitialSortField() const override { return eSearchField_Found; }
  // "Folders searched: %1, files found: %2" (and "searching..." while the search runs).
  QString StatusText(const CListEntries& entries) const override;
  // "Search results: TEXT"
  QString LocationText() const override;
  // A change to an item that is a result touches its row.
  EChangeFit ChangeFit(DWORD dwKind, HKEY root, const QString& strPath) const override;
  std::unique_ptr<CListEntry> EntryForItem(const QString& strPath) const override;

  QString Text(CListEntry& entry, int nField) override;
  int IconIndex(CListEntry& entry, bool bWorkerFillsIcons) override;
  int Compare(const CListEntry& a, const CListEntry& b, int nField,
              bool bAscending) const override;

  // A file is handed to the observer to be opened; so is a folder (the frame shows it).
  CListAction Activate(const CListEntry& entry) const override;
  bool IsLink(const CListEntry& entry) const override;
  CListAction Refresh() const override;
  QString FullPath(const CListEntry& entry) const override;
  fileops::CSelection Selection(const CListEntries& entries,
                                const QList<int>& anRows) const override;
  bool Offers(EListCommand command) const override;
  QList<EListCommand> ContextMenu() const override;

 private:
  std::shared_ptr<CSearchResults> results_;
};

// Registers the search results (location kind eEntry_SearchResults: the current store) with
// the factory (browse/list_source_factory.h).
void RegisterSearchListSource();

}  // namespace collect
