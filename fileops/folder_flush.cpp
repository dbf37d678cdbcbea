#include "fileops/folder_flush.h"

#include "platform/file_system.h"

namespace fileops {

bool FlushFolder(const QString& strDevicePath) { return plat::FlushFolder(strDevicePath); }

}  // namespace fileops
