#include "fileops/folder_flush.h"

#include <fcntl.h>
#include <unistd.h>

#include <QByteArray>

#include "platform/device_root.h"
#include "platform/errors.h"

namespace fileops {

bool FlushFolder(const QString& strDevicePath) {
  // The host layer has no call for a folder's entries; the device path is still mapped by it.
  QByteArray host;
  if (!plat::CDeviceRoot::ToHost(strDevicePath, &host)) return false;
  const int fd = ::open(host.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) {
    plat::SetLastError(plat::ErrorFromErrno(errno));
    return false;
  }
  const bool bOk = ::fsync(fd) == 0 || errno == EINVAL;  // some file systems cannot sync folders
  if (!bOk) plat::SetLastError(plat::ErrorFromErrno(errno));
  ::close(fd);
  return bOk;
}

}  // namespace fileops
