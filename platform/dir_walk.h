#pragma once
// The host calls of folder walks and of making folder changes durable.
//
// A walk holds each folder it is in open as a descriptor and opens a sub-folder relative to
// its parent's descriptor, refusing a symbolic link at that moment: a folder swapped for a
// link between listing and descending is never followed, wherever the link points.

#include <QByteArray>
#include <QString>

#include <vector>

#include "platform/wintypes.h"

namespace plat {

// One folder of a walk, open while the walk is inside it. Move-only.
class CWalkFolder {
 public:
  CWalkFolder() = default;
  ~CWalkFolder();
  CWalkFolder(CWalkFolder&& other) noexcept;
  CWalkFolder& operator=(CWalkFolder&& other) noexcept;
  CWalkFolder(const CWalkFolder&) = delete;
  CWalkFolder& operator=(const CWalkFolder&) = delete;

  // The folder at a device path, where the walk starts. A link is refused (ERROR_DIRECTORY),
  // as is anything that is not a folder; a missing one gives ERROR_PATH_NOT_FOUND.
  bool Open(const QString& devicePath);
  // The sub-folder strName of an open folder, opened relative to it; refused as Open refuses.
  bool OpenChild(const CWalkFolder& parent, const QString& strName);
  bool IsOpen() const { return fd_ >= 0; }
  // The canonical device path.
  const QString& Path() const { return path_; }

  // Every entry, read in one go before the caller changes any (records as plat::CFind
  // makes them). False, last error set, when the folder could not be read to its end.
  // pUnnamed, when given, receives the host names the device cannot name.
  // pStatusRead, when given, asks for names and kinds only (plat::ForEachKindOfOpenFolder):
  // it receives, for each entry, whether its record is whole.
  bool ReadEntries(std::vector<WIN32_FIND_DATAW>* pEntries,
                   std::vector<QByteArray>* pUnnamed = nullptr,
                   std::vector<char>* pStatusRead = nullptr) const;
  // The whole record of the entry strName, looked up relative to the folder, never followed.
  bool ReadEntry(const QString& strName, WIN32_FIND_DATAW* pData) const;

 private:
  bool Take(int fd, const QString& canonical, const QByteArray& relative);

  int fd_ = -1;
  QString path_;
  QByteArray relative_;  // the host path relative to the root, made once for the whole walk
  mutable bool read_ = false;  // the descriptor was read from (it is no longer at its start)
};

}  // namespace plat
