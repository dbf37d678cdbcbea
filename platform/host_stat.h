#pragma once
// Inside the host layer only: the host's status of one item turned into the handheld's
// attributes, times and find record (shared by CFind, GetFileAttributes and GetFileTimes);
// the attribute bits and the creation time the host cannot express, kept in extended
// attributes; and errno values of path operations turned into error codes.

#include <sys/types.h>

#include <QByteArray>
#include <QString>

#include "platform/device_root.h"
#include "platform/wintypes.h"

namespace plat::host {

// Extended attributes, both holding decimal ASCII text.
constexpr char kAttributesXattr[] = "user.pinbro.attributes";
constexpr char kCreationXattr[] = "user.pinbro.ctime";  // a FILETIME as one 64-bit number

// The bits kept in kAttributesXattr: those neither the mode nor the name expresses.
constexpr DWORD kStoredAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE |
                                    FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_COMPRESSED;

struct CItemStatus {
  bool isLink = false;
  bool dangling = false;    // a link whose target cannot be reached, or lies outside the root
  bool isDir = false;       // the item, or for a link its target, is a folder
  bool mountRoot = false;   // the item itself is the root of a mount (never a link)
  bool mountKnown = false;  // the host answers the mount-root question (Linux 5.8 and later)
  quint64 device = 0;       // st_dev of the item itself (of the link for a link)
  mode_t mode = 0;          // of the target for a link
  quint64 size = 0;         // 0 for folders and dangling links
  quint64 inode = 0;
  bool hasBirth = false;
  FILETIME birth{};
  FILETIME access{};
  FILETIME write{};
};

// The status of `name` in the folder dirFd, whose path relative to the root is
// folderRelative. The name itself is never followed; a link's target is looked up beneath
// the root, and only a target inside the root is reported (its type, size, times): a link
// that leads outside is reported as a dangling one is, a file of size 0. *pTarget, when given, receives an O_PATH descriptor of a link's target inside the
// root. 0 or errno.
int StatItem(int dirFd, const char* name, const QByteArray& folderRelative,
             CItemStatus* status, CFd* pTarget = nullptr);

// The status of the item the descriptor fd was opened on (O_PATH will do). 0 or errno.
int StatOpenItem(int fd, CItemStatus* status);

struct CStoredMeta {
  DWORD attributes = 0;  // only kStoredAttributes bits
  bool hasCreation = false;
  FILETIME creation{};
};

// The stored bits and creation time of `name` in the folder dirFd (never followed), or with an
// empty name of the item the descriptor dirFd was opened on (O_PATH will do). Missing or
// unsupported extended attributes give an empty result. One listing call when there are none.
CStoredMeta ReadStoredMeta(int dirFd, const char* name);

// The status and stored attributes of the item a canonical device path names (pMeta may be
// null): what a find record, GetFileAttributes and GetFileTimes report. 0, or the error code.
DWORD StatPath(const QString& canonical, CItemStatus* status, CStoredMeta* pMeta);

// True for a folder (not a link) that is the root of a mount of its own.
bool IsMountPoint(const CItemStatus& status, quint64 rootDevice);

// The item's attributes. dotName: its name begins with a dot. topLevel: it lies directly in
// the device root, where a folder that is a mount point is a storage card.
DWORD AttributesOf(const CItemStatus& status, const CStoredMeta& meta, bool dotName,
                   bool topLevel, quint64 rootDevice);

// The creation time reported: the stored one, else the host's birth time, else the
// modification time.
FILETIME CreationTimeOf(const CItemStatus& status, const CStoredMeta& meta);

void FillFindData(const CItemStatus& status, const CStoredMeta& meta, DWORD attributes,
                  const QString& name, WIN32_FIND_DATAW* data);

// Sets the read-only bit (the owner's write permission) and the stored bits of the item the
// descriptor fd was opened on (O_PATH will do). A file system without user extended
// attributes drops the stored bits silently. 0 or errno.
int ApplyAttributes(int fd, DWORD attributes, bool dotName);
// Keeps the creation time in the extended attribute (silently dropped where unsupported).
int StoreCreationTime(int fd, const FILETIME& creation);

// The error code of a failed operation on an item whose folder was found (folderFound) or
// not: ENOENT gives ERROR_FILE_NOT_FOUND for a missing item in an existing folder, and
// ERROR_PATH_NOT_FOUND (as ENOTDIR does) when the folder is missing.
DWORD PathError(int err, bool folderFound);
// The same for an operation that resolved the whole path at once: the item's folder is
// looked up (beneath the root) to tell a missing folder from a missing item.
DWORD PathErrorOf(int err, const QString& canonical);
// Sets the last error from errno of an operation on canonical; returns false.
bool FailPath(int err, const QString& canonical);
// Sets the last error; returns false.
bool Fail(DWORD error);

// Last component of a canonical device path ("" for "\"), and whether the path names an
// item directly in the root.
QString LastComponent(const QString& canonical);
bool IsTopLevel(const QString& canonical);

// "." and "..", which no listing reports.
bool IsDotOrDotDot(const char* raw);
// True for a host name the device can show: one without a backslash that survives the trip
// through the host encoding. *pName, when given, receives the device name.
bool DeviceName(const char* raw, QString* pName = nullptr);
// The host bytes of one device name; false (ERROR_INVALID_NAME) for a name that is not a single
// component: empty, "." or "..", holding a separator or NUL, or not held by the host encoding.
bool HostName(const QString& name, QByteArray* pRaw);

}  // namespace plat::host
