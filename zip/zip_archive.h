#pragma once
// An open archive as the panels and the extraction see it: its entries with normalised names
// ("docs\readme.txt"), and the folders they make, including folders that only appear inside
// member names. The handle stays open while a listing shows the archive; the last archive
// opened is kept for the next listing of it (a move into a sub-folder), as long as the file
// has the same size and time.

#include <QString>

#include <memory>
#include <vector>

#include "zip/zip_layer.h"

namespace zip {

// One item directly inside a folder of the archive.
struct CZipChild {
  QString name;    // its last component
  int index = -1;  // its entry; -1 for a folder that has no entry of its own
  bool bFolder = false;
};

class CZipArchive {
 public:
  // The archive at a device path, opened or taken from the cache; null when it cannot be
  // opened or is no zip archive.
  static std::shared_ptr<CZipArchive> Open(const QString& strPath);
  // Forgets the kept archive (its handle is closed once no listing holds it).
  static void ForgetCached();

  const QString& Path() const { return path_; }
  HZIP Handle() const { return handle_.get(); }
  int Count() const { return int(entries_.size()); }
  const ZIPENTRY& Entry(int index) const { return entries_[size_t(index)]; }
  // The entry's normalised name ("docs\readme.txt", no trailing "\").
  const QString& Normalised(int index) const { return normalised_[size_t(index)]; }

  // The items directly inside the folder strInner ("" for the top, "docs\sub" below it), in
  // the order of the entries; entries refused by the layer are left out.
  std::vector<CZipChild> Children(const QString& strInner) const;
  // True when strInner is a folder of the archive (the top always is).
  bool HasFolder(const QString& strInner) const;
  // The entries at or below the item strInner (a file: its own entry; a folder: its entry, if
  // any, and everything below it), in index order; refused entries are included.
  std::vector<int> EntriesBelow(const QString& strInner) const;

 private:
  QString path_;
  CZipPtr handle_;
  std::vector<ZIPENTRY> entries_;
  std::vector<QString> normalised_;
  quint64 size_ = 0;
  FILETIME written_{};
};

// Splits "\dir\a.zip\docs\sub" into the archive ("\dir\a.zip": the first component ending in
// ".zip" that is a file) and the folder inside it ("docs\sub"); false when no such component
// is a file.
bool SplitArchivePath(const QString& strPath, QString* pstrArchive, QString* pstrInner);

}  // namespace zip
