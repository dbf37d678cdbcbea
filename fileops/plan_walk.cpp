#include "fileops/plan_walk.h"

#include <memory>
#include <vector>

#include "core/app_log.h"
#include "fileops/op_run.h"
#include "core/path_helpers.h"
#include "core/texts.h"
#include "platform/dir_walk.h"
#include "platform/errors.h"
#include "platform/find.h"

namespace fileops {
namespace {

// The entries of one folder, read in one go.
struct CListing {
  bool bRead = false;
  DWORD dwError = ERROR_SUCCESS;  // why it could not be read to its end
  std::vector<WIN32_FIND_DATAW> entries;
  std::vector<QByteArray> unnamed;
  std::vector<char> statusRead;  // a walk of names and kinds: whether each record is whole

  void Clear() {
    entries.clear();
    unnamed.clear();
    statusRead.clear();
  }
  void Read(const plat::CWalkFolder& folder, EWalkRead read) {
    Clear();
    bRead = folder.ReadEntries(&entries, &unnamed,
                               read == EWalkRead::eKinds ? &statusRead : nullptr);
    if (!bRead) {
      dwError = plat::GetLastError();
      Clear();
    }
  }
};

// One walk: its visitor, what it reads, and a listing for each depth it is at, kept from one
// folder to the next so that a walk of many folders does not grow a new listing each time.
struct CWalk {
  IPlanVisitor& visitor;
  EWalkRead read;
  std::vector<std::unique_ptr<CListing>> listings;
  size_t depth = 0;

  CListing& Enter() {
    if (depth == listings.size()) listings.push_back(std::make_unique<CListing>());
    return *listings[depth++];
  }
  void Leave() {
    CListing& listing = *listings[--depth];
    // The listing of a very large folder is not kept for the rest of the walk.
    if (listing.entries.capacity() > kKeptEntries) listing = CListing{};
  }
  static constexpr size_t kKeptEntries = 4096;
};

// The entries of an entered folder, then its FolderLeft. False when the walk stops.
bool WalkEntries(const plat::CWalkFolder& folder, const CWalkItem& self, CWalk& walk);

// The path of an entry of strFolder, made in one allocation (a walk makes one per entry).
QString ChildPath(const QString& strFolder, const WIN32_FIND_DATAW& entry) {
  qsizetype length = 0;
  while (length < MAX_PATH && entry.cFileName[length] != 0) ++length;
  const QStringView name(entry.cFileName, length);
  const bool bRoot = strFolder.endsWith(u'\\');
  QString path;
  path.reserve(strFolder.size() + 1 + length);
  path += strFolder;
  if (!bRoot) path += u'\\';
  path += name;
  return path;
}

// A sub-folder: opened relative to its parent, entered, walked, left.
EWalk WalkChild(const plat::CWalkFolder& parent, const CWalkItem& item, CWalk& walk) {
  IPlanVisitor& visitor = walk.visitor;
  plat::CWalkFolder child;
  const bool bOpened = child.OpenChild(parent, item.Name());
  const DWORD error = bOpened ? ERROR_SUCCESS : plat::GetLastError();
  if (!bOpened && error == ERROR_DIRECTORY) {
    // Swapped for a link (or a file) since the folder was listed: never followed.
    CWalkItem link = item;
    link.data.dwFileAttributes |= FILE_ATTRIBUTE_REPARSE_POINT;
    return visitor.LinkNotFollowed(link);
  }
  const EWalk entered = visitor.FolderEntered(item);
  if (entered != EWalk::eGoOn) return entered == EWalk::eStop ? EWalk::eStop : EWalk::eGoOn;
  if (!bOpened) {
    if (visitor.Refused(item, error) == EWalk::eStop) return EWalk::eStop;
    return visitor.FolderLeft(item) == EWalk::eStop ? EWalk::eStop : EWalk::eGoOn;
  }
  return WalkEntries(child, item, walk) ? EWalk::eGoOn : EWalk::eStop;
}

bool WalkEntries(const plat::CWalkFolder& folder, const CWalkItem& self, CWalk& walk) {
  struct CLevel {
    CWalk& walk;
    CListing& listing;
    explicit CLevel(CWalk& w) : walk(w), listing(w.Enter()) {}
    ~CLevel() { walk.Leave(); }
  } level(walk);
  IPlanVisitor& visitor = walk.visitor;
  CListing& listing = level.listing;
  listing.Read(folder, walk.read);
  if (!listing.bRead && visitor.Refused(self, listing.dwError) == EWalk::eStop) return false;
  for (const QByteArray& raw : listing.unnamed) {
    const EWalk next = visitor.Unnamed(self, plat::ShownHostName(raw));
    if (next == EWalk::eStop) return false;
    if (next == EWalk::eSkip) return visitor.FolderLeft(self) != EWalk::eStop;
  }
  for (size_t i = 0; i < listing.entries.size(); ++i) {
    const WIN32_FIND_DATAW& entry = listing.entries[i];
    const bool bStatusRead = listing.statusRead.empty() || listing.statusRead[i] != 0;
    const CWalkItem item{ChildPath(self.strPath, entry), entry, bStatusRead, &folder};
    EWalk next = EWalk::eGoOn;
    if (!bStatusRead && (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
      next = visitor.Link(item);
    } else if (plat::IsWalkableFolder(entry)) {
      next = WalkChild(folder, item, walk);
    } else if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      next = visitor.LinkNotFollowed(item);
    } else {
      next = visitor.File(item);
    }
    if (next == EWalk::eStop) return false;
    if (next == EWalk::eSkip) break;
  }
  return visitor.FolderLeft(self) != EWalk::eStop;
}

}  // namespace

QString CWalkItem::Name() const { return plat::FindName(data); }

EWalk IPlanVisitor::Link(const CWalkItem& link) {
  const WIN32_FIND_DATAW& record = link.Record();
  return (record.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? LinkNotFollowed(link)
                                                               : File(link);
}

const WIN32_FIND_DATAW& CWalkItem::Record() const {
  if (!bStatusRead && pFolder) {
    WIN32_FIND_DATAW full;
    if (pFolder->ReadEntry(Name(), &full)) data = full;
    bStatusRead = true;
  }
  return data;
}

quint64 CWalkItem::Size() const { return plat::FindSize(Record()); }

bool WalkFolder(const QString& strFolder, IPlanVisitor& visitor, EWalkRead read) {
  CWalkItem self;
  self.strPath = browse::StripTrailingBackslash(strFolder);
  // The root has no find record of its own: it is a folder, and nothing else is known of it.
  const bool bRoot = self.strPath == u"\\";
  if (bRoot) self.data.dwFileAttributes = FILE_ATTRIBUTE_DIRECTORY;
  const bool bFound = bRoot || plat::FindOne(self.strPath, &self.data);
  if (bFound && (self.data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
      (self.data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
    return visitor.LinkNotFollowed(self) != EWalk::eStop;
  plat::CWalkFolder folder;
  const bool bFolder = bFound && (self.data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
  const bool bOpened = bFolder && folder.Open(self.strPath);
  // A missing folder, or a file, has no listing to read: its path is not found.
  const DWORD error = bOpened ? ERROR_SUCCESS
                      : bFolder ? plat::GetLastError()
                                : DWORD(ERROR_PATH_NOT_FOUND);
  const EWalk entered = visitor.FolderEntered(self);
  if (entered == EWalk::eStop) return false;
  if (entered == EWalk::eSkip) return true;
  if (!bOpened) {
    if (visitor.Refused(self, error) == EWalk::eStop) return false;
    return visitor.FolderLeft(self) != EWalk::eStop;
  }
  CWalk walk{visitor, read, {}};
  return WalkEntries(folder, self, walk);
}

int WalkRemovingTree(const QString& strFolder, const FnTreeStep& fnFile, const FnTreeStep& fnLink,
                     const FnTreeStep& fnFolder, int nKeptResult, const QString& strTitle) {
  class CRemoveWalk final : public IPlanVisitor {
   public:
    CRemoveWalk(const FnTreeStep& fnFile, const FnTreeStep& fnLink, const FnTreeStep& fnFolder,
                int nKeptResult, const QString& strTitle)
        : file_(fnFile), link_(fnLink), folder_(fnFolder), kept_(nKeptResult), title_(strTitle) {}
    int result = 0;

   private:
    EWalk Done(int nResult) {
      result = nResult;
      return nResult == 0 ? EWalk::eGoOn : EWalk::eStop;
    }
    EWalk File(const CWalkItem& file) override { return Done(file_(file)); }
    EWalk LinkNotFollowed(const CWalkItem& link) override { return Done(link_(link)); }
    EWalk FolderLeft(const CWalkItem& folder) override { return Done(folder_(folder)); }
    EWalk Unnamed(const CWalkItem& folder, const QString& strShownName) override {
      ReportFolderKept(folder.strPath, strShownName, EFolderKept::eUnnamed, title_);
      return Done(kept_);
    }
    const FnTreeStep& file_;
    const FnTreeStep& link_;
    const FnTreeStep& folder_;
    int kept_;
    QString title_;
  } walk(fnFile, fnLink, fnFolder, nKeptResult, strTitle);
  WalkFolder(strFolder, walk);
  return walk.result;
}

void ReportFolderKept(const QString& strFolder, const QString& strName, EFolderKept because,
                      const QString& strTitle) {
  const QString strReason = core::Text(because == EFolderKept::eUnnamed ? 900220 : 900221);
  COpRun::Report(
      {0, 0, strFolder, QStringLiteral("Left in place (it holds %1, %2):").arg(strName, strReason)},
      {core::Text(900219).arg(strFolder, strName, strReason), strTitle});
}

}  // namespace fileops
