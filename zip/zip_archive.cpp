#include "zip/zip_archive.h"

#include <QHash>
#include <QStringList>

#include "core/path_helpers.h"
#include "platform/file.h"
#include "platform/file_system.h"
#include "platform/filetime.h"
#include "zip/zip_names.h"

namespace zip {
namespace {

std::shared_ptr<CZipArchive>& Cached() {
  static std::shared_ptr<CZipArchive> cached;
  return cached;
}

bool StatArchive(const QString& strPath, quint64* pSize, FILETIME* pWritten) {
  plat::CHostFile file;
  return file.Open(strPath, plat::GENERIC_READ, plat::OPEN_EXISTING) && file.GetSize(pSize) &&
         plat::GetFileTimes(strPath, nullptr, nullptr, pWritten);
}

bool IsUsable(const ZIPENTRY& e) { return e.refusal == EZipRefusal::eNone; }

}  // namespace

std::shared_ptr<CZipArchive> CZipArchive::Open(const QString& strPath) {
  quint64 size = 0;
  FILETIME written{};
  if (!StatArchive(strPath, &size, &written)) return nullptr;
  std::shared_ptr<CZipArchive>& cached = Cached();
  if (cached && cached->path_ == strPath && cached->size_ == size &&
      plat::CompareFileTime(cached->written_, written) == 0)
    return cached;
  auto archive = std::shared_ptr<CZipArchive>(new CZipArchive);
  archive->handle_.reset(OpenZip(strPath));
  if (!archive->handle_) return nullptr;
  archive->path_ = strPath;
  archive->size_ = size;
  archive->written_ = written;
  ZIPENTRY count;
  GetZipItem(archive->Handle(), -1, &count);
  archive->entries_.resize(size_t(count.index));
  archive->normalised_.resize(size_t(count.index));
  for (int i = 0; i < count.index; ++i) {
    GetZipItem(archive->Handle(), i, &archive->entries_[size_t(i)]);
    archive->normalised_[size_t(i)] = NormaliseZipName(archive->entries_[size_t(i)].name);
  }
  cached = archive;
  return archive;
}

void CZipArchive::ForgetCached() { Cached().reset(); }

std::vector<CZipChild> CZipArchive::Children(const QString& strInner) const {
  std::vector<CZipChild> children;
  QHash<QString, size_t> folders;  // folder name -> its child
  const QString prefix = strInner.isEmpty() ? QString() : strInner + u'\\';
  for (size_t i = 0; i < entries_.size(); ++i) {
    if (!IsUsable(entries_[i])) continue;
    const QString& name = normalised_[i];
    if (!name.startsWith(prefix) || name.size() == prefix.size()) continue;
    const qsizetype cut = name.indexOf(u'\\', prefix.size());
    const bool bDeeper = cut >= 0;
    const QString child = name.mid(prefix.size(), bDeeper ? cut - prefix.size() : -1);
    const bool bFolder = bDeeper || entries_[i].IsFolder();
    if (!bFolder) {
      children.push_back({child, int(i), false});
      continue;
    }
    const auto found = folders.constFind(child);
    if (found == folders.cend()) {
      folders.insert(child, children.size());
      children.push_back({child, bDeeper ? -1 : int(i), true});
    } else if (!bDeeper && children[*found].index < 0) {
      children[*found].index = int(i);  // the folder's own entry, found after its contents
    }
  }
  return children;
}

bool CZipArchive::HasFolder(const QString& strInner) const {
  if (strInner.isEmpty()) return true;
  const QString prefix = strInner + u'\\';
  for (size_t i = 0; i < entries_.size(); ++i) {
    if (!IsUsable(entries_[i])) continue;
    if (normalised_[i].startsWith(prefix) || (normalised_[i] == strInner && entries_[i].IsFolder()))
      return true;
  }
  return false;
}

std::vector<int> CZipArchive::EntriesBelow(const QString& strInner) const {
  std::vector<int> found;
  const QString prefix = strInner.isEmpty() ? QString() : strInner + u'\\';
  for (size_t i = 0; i < entries_.size(); ++i) {
    const ZIPENTRY& e = entries_[i];
    // A refused entry is named by its cleaned name, normalised the same way.
    const QString name = IsUsable(e) ? normalised_[i] : NormaliseZipName(e.name);
    if (strInner.isEmpty() || name == strInner || name.startsWith(prefix)) found.push_back(int(i));
  }
  return found;
}

bool SplitArchivePath(const QString& strPath, QString* pstrArchive, QString* pstrInner) {
  const QStringList parts = strPath.split(u'\\');
  QString prefix;
  for (int i = 0; i < parts.size(); ++i) {
    if (i > 0) prefix += u'\\';
    prefix += parts[i];
    if (parts[i].isEmpty() || !browse::HasZipExtension(parts[i])) continue;
    const DWORD attr = plat::GetFileAttributes(prefix);
    if (attr == INVALID_FILE_ATTRIBUTES || (attr & 0x10)) continue;
    *pstrArchive = prefix;
    QStringList rest = parts.mid(i + 1);
    rest.removeAll(QString());
    *pstrInner = rest.join(u'\\');
    return true;
  }
  return false;
}

}  // namespace zip
