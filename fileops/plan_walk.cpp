#include "fileops/plan_walk.h"

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

// The entries of an entered folder, then its FolderLeft. False when the walk stops.
bool WalkEntries(const plat::CWalkFolder& folder, const CWalkItem& self, IPlanVisitor& visitor);

// A sub-folder: opened relative to its parent, entered, walked, left.
EWalk WalkChild(const plat::CWalkFolder& parent, const CWalkItem& item, IPlanVisitor& visitor) {
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
  return WalkEntries(child, item, visitor) ? EWalk::eGoOn : EWalk::eStop;
}

bool WalkEntries(const plat::CWalkFolder& folder, const CWalkItem& self, IPlanVisitor& visitor) {
  std::vector<WIN32_FIND_DATAW> entries;
  std::vector<QByteArray> unnamed;
  if (!folder.ReadEntries(&entries, &unnamed)) {
    const DWORD error = plat::GetLastError();
    if (visitor.Refused(self, error) == EWalk::eStop) return false;
    entries.clear();
    unnamed.clear();
  }
  for (const QByteArray& raw : unnamed) {
    const EWalk next = visitor.Unnamed(self, plat::ShownHostName(raw));
    if (next == EWalk::eStop) return false;
    if (next == EWalk::eSkip) return visitor.FolderLeft(self) != EWalk::eStop;
  }
  for (const WIN32_FIND_DATAW& entry : entries) {
    const CWalkItem item{browse::AppendPathComponent(self.strPath, plat::FindName(entry)), entry};
    EWalk next = EWalk::eGoOn;
    if (plat::IsWalkableFolder(entry)) {
      next = WalkChild(folder, item, visitor);
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

quint64 CWalkItem::Size() const { return plat::FindSize(data); }

bool WalkFolder(const QString& strFolder, IPlanVisitor& visitor) {
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
  return WalkEntries(folder, self, visitor);
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
