#include "zip/list_source_zip.h"

#include <QStringList>

#include "browse/icon_indices.h"
#include "browse/icon_manager.h"
#include "browse/list_columns.h"
#include "browse/list_source_factory.h"
#include "core/format.h"
#include "zip/zip_commands_internal.h"
#include "core/path_helpers.h"
#include "core/settings.h"
#include "core/texts.h"
#include "core/view_notify.h"
#include "platform/device_root.h"
#include "platform/file_system.h"
#include "platform/filetime.h"
#include "zip/opened_members.h"
#include "zip/zip_commands.h"

namespace {

template <class T>
int Order(const T& a, const T& b) {
  return a < b ? -1 : (b < a ? 1 : 0);
}

QString InnerParent(const QString& strInner) {
  const qsizetype cut = strInner.lastIndexOf(u'\\');
  return cut < 0 ? QString() : strInner.left(cut);
}

QString JoinInner(const QString& strInner, const QString& strName) {
  return strInner.isEmpty() ? strName : strInner + u'\\' + strName;
}

// Makes a folder and the folders above it that are missing, telling the views of each.
bool MakeFoldersShown(const QString& strFolder) {
  QString path;
  for (const QString& part : strFolder.split(u'\\', Qt::SkipEmptyParts)) {
    path += u'\\' + part;
    if (plat::GetFileAttributes(path) != INVALID_FILE_ATTRIBUTES) continue;
    if (!plat::CreateDirectory(path)) return false;
    fileops::NotifyFolderCreated(path);
  }
  return true;
}

std::unique_ptr<CListEntry> MakeMemberEntry(const zip::CZipArchive& archive,
                                            const QString& strInner, const zip::CZipChild& child) {
  auto item = std::make_unique<CZipMemberItem>();
  item->name = child.name;
  item->entryIndex = child.index;
  item->innerPath = JoinInner(strInner, child.name);
  if (child.index >= 0) {
    const zip::ZIPENTRY& e = archive.Entry(child.index);
    item->attributes = e.attr;
    item->creationTime = e.ctime;
    item->lastAccessTime = e.atime;
    item->lastWriteTime = e.mtime;
    item->size = child.bFolder ? CFileItem::kSizeUnknown : e.unc_size;
  } else {
    item->size = CFileItem::kSizeUnknown;
  }
  if (child.bFolder) item->attributes |= FILE_ATTRIBUTE_DIRECTORY;
  item->attributeText = browse::AttributeText(item->attributes);
  const DWORD type = child.bFolder ? eEntry_ZipFolder : eEntry_ZipFile;
  const QString shown = child.bFolder ? child.name : browse::ListDisplayName(child.name);
  return std::make_unique<CListEntry>(type, shown, std::move(item));
}

// The type text of a row, filled on first request and kept.
const QString& TypeText(const CListEntry& entry, CZipMemberItem* pItem) {
  if (pItem->typeText.isEmpty()) {
    if (entry.type == eEntry_ZipFolder)
      pItem->typeText = browse::FolderTypeText(FILE_ATTRIBUTE_DIRECTORY);
    else if (entry.type == eEntry_ZipFile)
      pItem->typeText = AppIconManager().TypeText(pItem->name);
  }
  return pItem->typeText;
}

int Group(DWORD dwType) {
  return dwType == eEntry_ZipParent ? 0 : dwType == eEntry_ZipFolder ? 1 : 2;
}

}  // namespace

QList<CListColumn> CZipListSource::Columns() const { return browse::FileSystemColumns(); }

void CZipListSource::Fill(CListEntries* pEntries) {
  auto parent = std::make_unique<CZipMemberItem>();
  parent->name = QStringLiteral("..");
  parent->attributeText = QStringLiteral("d........");
  parent->typeText = core::Text(900100);
  pEntries->Add(
      std::make_unique<CListEntry>(eEntry_ZipParent, QStringLiteral(".."), std::move(parent)));
  for (const zip::CZipChild& child : archive_->Children(inner_))
    pEntries->Add(MakeMemberEntry(*archive_, inner_, child));
}

CPanelLocation CZipListSource::Location() const {
  return zip::ZipLocation(archive_->Path(), inner_);
}

bool CZipListSource::Shows(const CPanelLocation& location) const { return location == Location(); }

int CZipListSource::InitialSortField() const { return eListField_Name; }

QString CZipListSource::StatusText(const CListEntries& entries) const {
  int nFolders = 0, nFiles = 0;
  for (int i = 0; i < entries.Count(); ++i) {
    const DWORD type = entries.At(i)->type;
    if (type == eEntry_ZipFolder)
      ++nFolders;
    else if (type == eEntry_ZipFile)
      ++nFiles;
  }
  if (nFolders == 0 && nFiles == 0) return core::Text(900107);
  return core::Text(900108).arg(nFolders).arg(nFiles);
}

QString CZipListSource::LocationText() const { return Location().path; }

EChangeFit CZipListSource::ChangeFit(DWORD dwKind, HKEY, const QString& strPath) const {
  if (dwKind == eEntry_Folder && strPath.compare(archive_->Path(), Qt::CaseInsensitive) == 0)
    return EChangeFit::eRelist;
  return EChangeFit::eNone;
}

QString CZipListSource::Text(CListEntry& entry, int nField) {
  if (nField == eListField_Name) return entry.displayName;
  auto* pItem = entry.ItemAs<CZipMemberItem>();
  if (!pItem) return {};
  switch (nField) {
    case eListField_Size:
      return entry.type == eEntry_ZipFile ? core::FormatSize(pItem->size) : QString();
    case eListField_Date:
      return browse::FileTimeText(pItem->lastWriteTime);
    case eListField_Attributes:
      return pItem->attributeText;
    case eListField_Type:
      return TypeText(entry, pItem);
    default:
      return {};
  }
}

int CZipListSource::IconIndex(CListEntry& entry, bool) {
  auto* pItem = entry.ItemAs<CZipMemberItem>();
  if (!pItem) return eIcon_Unknown;
  if (pItem->iconIndex < 0) {
    if (entry.type == eEntry_ZipParent)
      pItem->iconIndex = settings.PersonalizeFolderIcons == 1 ? eIcon_ParentFolder : eIcon_Folder;
    else if (entry.type == eEntry_ZipFolder)
      pItem->iconIndex = eIcon_ZipFolder;
    else
      pItem->iconIndex = AppIconManager().IconForZipMember(pItem->name);
  }
  return pItem->iconIndex;
}

int CZipListSource::Compare(const CListEntry& a, const CListEntry& b, int nField,
                            bool bAscending) const {
  const int group = Order(Group(a.type), Group(b.type));
  if (group != 0) return group;
  const auto* pA = a.ItemAs<CZipMemberItem>();
  const auto* pB = b.ItemAs<CZipMemberItem>();
  if (!pA || !pB) return 0;
  const Qt::CaseSensitivity cs =
      settings.MainListIgnoreCase == 1 ? Qt::CaseInsensitive : Qt::CaseSensitive;
  int order = 0;
  switch (nField) {
    case eListField_Name:
      order = Order(a.displayName.compare(b.displayName, cs), 0);
      break;
    case eListField_Size:
      order = -Order(pA->size == CFileItem::kSizeUnknown ? 0 : pA->size,
                     pB->size == CFileItem::kSizeUnknown ? 0 : pB->size);
      break;
    case eListField_Date:
      order =
          -Order(plat::FileTimeToU64(pA->lastWriteTime), plat::FileTimeToU64(pB->lastWriteTime));
      break;
    case eListField_Type:
      order = Order(pA->typeText.compare(pB->typeText, cs), 0);
      break;
    default:
      return 0;
  }
  return bAscending ? order : -order;
}

void CZipListSource::PrepareSort(CListEntries* pEntries, int nField) {
  if (nField != eListField_Type) return;
  for (int i = 0; i < pEntries->Count(); ++i) {
    CListEntry* pEntry = pEntries->At(i);
    if (auto* pItem = pEntry->ItemAs<CZipMemberItem>()) TypeText(*pEntry, pItem);
  }
}

CListAction CZipListSource::Activate(const CListEntry& entry) const {
  const auto* pItem = entry.ItemAs<CZipMemberItem>();
  switch (entry.type) {
    case eEntry_ZipParent:
      return Up();
    case eEntry_ZipFolder:
      return pItem ? CListAction::Show(zip::ZipLocation(archive_->Path(), pItem->innerPath), false,
                                       true)
                   : CListAction{};
    case eEntry_ZipFile: {
      // The member goes to the folder for opened members first; a failure showed its box.
      if (!pItem) return {};
      const QString folder = zip::OpenedMembersFolder(archive_->Path());
      if (!MakeFoldersShown(folder)) return {};
      const fileops::CSelection member = {
          {fileops::eSelFile, archive_->Path() + u'\\' + pItem->innerPath}};
      if (zip::ExtractItems(archive_->Path(), member, folder) != zip::eZipCmdOK) return {};
      return CListAction::OpenFile(browse::AppendPathComponent(folder, pItem->name));
    }
    default:
      return {};
  }
}

CListAction CZipListSource::Up() const {
  if (inner_.isEmpty())
    return CListAction::Show(CPanelLocation::FileSystem(browse::ParentPath(archive_->Path())),
                             false, true);
  return CListAction::Show(zip::ZipLocation(archive_->Path(), InnerParent(inner_)), false, true);
}

CListAction CZipListSource::Refresh() const { return CListAction::Show(Location(), true, false); }

fileops::CSelection CZipListSource::Selection(const CListEntries& entries,
                                              const QList<int>& anRows) const {
  fileops::CSelection selection;
  for (int nRow : anRows) {
    const CListEntry* pEntry = entries.At(nRow);
    if (!pEntry || pEntry->type == eEntry_ZipParent) continue;
    const auto* pItem = pEntry->ItemAs<CZipMemberItem>();
    if (!pItem) continue;
    selection.push_back({pEntry->type == eEntry_ZipFolder ? fileops::eSelFolder : fileops::eSelFile,
                         archive_->Path() + u'\\' + pItem->innerPath});
  }
  return selection;
}

bool CZipListSource::Offers(EListCommand command) const {
  using C = EListCommand;
  switch (command) {
    case C::eOpen:
    case C::eCopy:  // copied out, members are extracted
    case C::eCopyToOther:
    case C::eExtractHere:
    case C::eExtractTo:
    case C::eTestArchive:
    case C::eSelectAll:
    case C::eRefresh:
      return true;
    default:
      return false;
  }
}

QList<EListCommand> CZipListSource::ContextMenu() const {
  using C = EListCommand;
  return {C::eOpen,        C::eSeparator, C::eCopy,        C::eCopyToOther,
          C::eSeparator,   C::eExtractHere, C::eExtractTo, C::eTestArchive,
          C::eSeparator,   C::eSelectAll, C::eRefresh};
}

namespace zip {

CPanelLocation ZipLocation(const QString& strArchive, const QString& strInner) {
  if (strInner.isEmpty()) return CPanelLocation(eEntry_Zip, 0, strArchive);
  return CPanelLocation(eEntry_ZipFolder, 0, strArchive + u'\\' + strInner);
}

namespace {

std::unique_ptr<IListSource> MakeZipSource(const CPanelLocation& location) {
  QString archivePath = location.path, inner;
  if (location.kind == eEntry_ZipFolder && !SplitArchivePath(location.path, &archivePath, &inner))
    return nullptr;
  QString canonical;
  if (!plat::CDeviceRoot::Canonical(archivePath, &canonical)) return nullptr;
  std::shared_ptr<CZipArchive> archive = CZipArchive::Open(canonical);
  if (!archive) {
    ReportDamaged(canonical);
    return nullptr;
  }
  if (!archive->HasFolder(inner)) return nullptr;
  return std::make_unique<CZipListSource>(std::move(archive), inner);
}

// Items of one archive, each "<archive>\<name inside>", extracted into strFolder. Items that
// name no place inside an archive (files of the file system, the archive itself) are not
// these.
bool CopyOutOfArchive(const fileops::CSelection& items, const QString& strFolder) {
  QString archive;
  for (const fileops::CSelItem& item : items) {
    QString itemArchive, inner;
    if (!SplitArchivePath(item.strPath, &itemArchive, &inner) || inner.isEmpty()) return false;
    if (archive.isEmpty())
      archive = itemArchive;
    else if (itemArchive.compare(archive, Qt::CaseInsensitive) != 0)
      return false;
  }
  ExtractItems(archive, items, strFolder);
  return true;
}

}  // namespace

void RegisterZipListSource() {
  CListSourceKind sources;
  sources.make = &MakeZipSource;
  sources.copyOut = &CopyOutOfArchive;
  sources.parseAddress = [](const QString& strText, CPanelLocation* pLocation) {
    QString archivePath, inner;
    if (!SplitArchivePath(strText, &archivePath, &inner)) return false;
    *pLocation = ZipLocation(archivePath, inner);
    return true;
  };
  ListSources().Register({eEntry_Zip, eEntry_ZipFolder}, sources);
}

QStringList ArchiveFolders(const QString& strArchive, const QString& strInner) {
  QStringList names;
  const std::shared_ptr<CZipArchive> archive = CZipArchive::Open(strArchive);
  if (!archive) return names;
  for (const CZipChild& child : archive->Children(strInner))
    if (child.bFolder) names.append(child.name);
  return names;
}

}  // namespace zip
