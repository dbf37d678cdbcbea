#pragma once
// The registry access layer: free functions over the platform registry that name the four
// roots, split registry path text, enumerate a key through a sink, read and write single values
// of the three editable kinds, and create and delete keys and values. Every function opens the
// key it needs and closes it again before returning; no handle outlives a call. The layer has
// no state: results come back through the caller's out parameters.
//
// Key paths are subkey paths below a root, backslash-separated, without a leading or trailing
// backslash. Failures set the platform's last error (GetLastError) at the failing call.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "platform/registry_hive.h"

// The layer's own value type codes; the registry view and the editor work only with these.
enum ERegValueType : DWORD {
  eRegVT_Unknown = 0,         // any other platform type (REG_NONE, REG_LINK, above 8)
  eRegVT_Dword = 1,           // REG_DWORD
  eRegVT_DwordBigEndian = 2,  // REG_DWORD_BIG_ENDIAN
  eRegVT_Binary = 3,          // REG_BINARY
  eRegVT_ResourceList = 4,    // REG_RESOURCE_LIST
  eRegVT_String = 5,          // REG_SZ
  eRegVT_ExpandString = 6,    // REG_EXPAND_SZ
  eRegVT_MultiString = 7,     // REG_MULTI_SZ
};

// The type given to every subkey record: the registry subkey entry type of the item model.
constexpr DWORD kRegEnumTypeSubKey = 11;

// How an unnamed (default) value is reported by EnumValues.
inline const QString kRegNoName = QStringLiteral("<NO NAME>");

// One subkey or value found by an enumeration.
struct CRegEnumItem {
  HKEY root = 0;              // the root of the enumeration, passed through
  QString name;               // subkey name or value name ("<NO NAME>" for the default value)
  DWORD type = 0;             // kRegEnumTypeSubKey for a subkey, an ERegValueType for a value
  const BYTE* data = nullptr; // value data (values only); valid only during the callback
  DWORD dataSize = 0;         // byte count of data (values only)
  DWORD platformType = 0;     // the stored platform type (REG_SZ, ...; values only)
};

// Receives the records of an enumeration. Each call returns true to go on, false to stop
// (EnumSubKeys reports every subkey whatever OnKey returns).
class CRegEnumSink {
 public:
  virtual ~CRegEnumSink() = default;
  virtual bool OnKey(const CRegEnumItem& item) { return true; }
  virtual bool OnValue(const CRegEnumItem& item) { return true; }
};

// --- Roots and path text ---------------------------------------------------------------------

// "HKEY_LOCAL_MACHINE" (or "HKLM" with bShort); "..." for a handle that is not one of the roots.
QString RootName(HKEY root, bool bShort = false);
// The ordinal kept in the settings for a remembered registry location: HKCR 1, HKLM 2, HKCU 3,
// HKU 4; 0 for any other handle. RootFromOrdinal gives 0 for any other number.
DWORD OrdinalFromRoot(HKEY root);
HKEY RootFromOrdinal(DWORD dwOrdinal);

// Splits "ROOT\sub\keys\last" into the root, the key path "sub\keys" and the last component
// "last". False only for a text shorter than 2 characters. Root names match case-sensitively;
// an unknown root part still returns true with *root 0 (not a registry path).
bool ParseRegistryPath(const QString& strText, HKEY* root, QString* strKeyPath,
                       QString* strLastComponent);
// The key path one level up: "a\b\c" -> "a\b"; empty for a path shorter than 3 characters or
// without an inner backslash. One trailing backslash is ignored.
QString ParentKeyPath(const QString& strPath);

// The layer's type code of a platform value type.
ERegValueType RegTypeCode(DWORD dwPlatformType);

// --- Enumeration -------------------------------------------------------------------------------

// Reports every subkey (in the registry's order) to pSink->OnKey. A key that cannot be opened
// counts as empty (true, nothing reported); false when its information cannot be read.
bool EnumSubKeys(HKEY root, const QString& strKeyPath, CRegEnumSink* pSink);
// Reports every value to pSink->OnValue until it returns false. A key that cannot be opened
// counts as empty (true); false when its information cannot be read or memory runs out.
bool EnumValues(HKEY root, const QString& strKeyPath, CRegEnumSink* pSink);
// The number of subkeys, or -1 when the key cannot be opened or queried.
int CountSubKeys(HKEY root, const QString& strKeyPath);

// --- Single values -------------------------------------------------------------------------

// True only when the value exists and is a REG_DWORD; otherwise *pdwValue is 0.
bool ReadDword(HKEY root, const QString& strKeyPath, const QString& strValueName,
               DWORD* pdwValue);
// True only when the value exists, is a REG_SZ and fits 2048 bytes; otherwise *pstrValue is
// empty. The text ends at its first terminator.
bool ReadString(HKEY root, const QString& strKeyPath, const QString& strValueName,
                QString* pstrValue);
// The strings of a multi-string value; the first empty string (or the end of the data) ends
// the list. False when the value cannot be read; the list is then empty.
bool ReadMultiString(HKEY root, const QString& strKeyPath, const QString& strValueName,
                     QStringList* pList);
// The layer's type code and the stored bytes of a value of any type (pData may be null);
// false when the value cannot be read.
bool ReadValueData(HKEY root, const QString& strKeyPath, const QString& strValueName,
                   ERegValueType* pType, QByteArray* pData);

// The stored platform type (REG_SZ, REG_BINARY, any number) and bytes of a value; false when
// it cannot be read.
bool ReadRawValue(HKEY root, const QString& strKeyPath, const QString& strValueName,
                  DWORD* pdwPlatformType, QByteArray* pData);
// Writes a value of any platform type with exactly these bytes, creating the key path when it
// is missing, and flushes.
bool WriteRawValue(HKEY root, const QString& strKeyPath, const QString& strValueName,
                   DWORD dwPlatformType, const QByteArray& data);

// The writers create the key path when it is missing. WriteDword and WriteString flush the
// key (true only when the flush succeeded too); WriteMultiString commits without a flush.
bool WriteDword(HKEY root, const QString& strKeyPath, const QString& strValueName,
                DWORD dwValue);
bool WriteString(HKEY root, const QString& strKeyPath, const QString& strValueName,
                 const QString& strValue);
// Each string with its terminator, then one more terminator; an empty list is written as a
// value of length 0.
bool WriteMultiString(HKEY root, const QString& strKeyPath, const QString& strValueName,
                      const QStringList& list);

// --- Keys and values ---------------------------------------------------------------------------

// Result of CreateKey.
enum ECreateKeyResult {
  eCreateKey_Created = 0,  // a new key was made
  eCreateKey_Existed = 1,  // the key was there already and is left as it was
  eCreateKey_Failed = 2,
};
ECreateKeyResult CreateKey(HKEY root, const QString& strKeyPath);
// Deletes one value and flushes; true when the delete succeeded.
bool DeleteValue(HKEY root, const QString& strKeyPath, const QString& strValueName);
bool DeleteDefaultValue(HKEY root, const QString& strKeyPath);
// Deletes the subkey strName of strParentPath with its whole subtree and flushes.
bool DeleteKey(HKEY root, const QString& strParentPath, const QString& strName);
// True when the key exists (it can be opened).
bool KeyExists(HKEY root, const QString& strKeyPath);
// True when the key holds a value of that name (any type).
bool ValueExists(HKEY root, const QString& strKeyPath, const QString& strValueName);
// Copies the key strFrom with every value and subkey to strTo, which must not exist yet.
bool CopyKeyTree(HKEY root, const QString& strFrom, const QString& strTo);

// Groups registry changes into one transaction for its lifetime: Commit() makes them all
// durable at once; without it (an error, an early return) the destructor drops them all.
// Only one batch at a time; Begun() is false when none could be opened.
class CRegBatch {
 public:
  CRegBatch();
  ~CRegBatch();
  CRegBatch(const CRegBatch&) = delete;
  CRegBatch& operator=(const CRegBatch&) = delete;
  bool Begun() const { return begun_; }
  // Commits and flushes; false (with the platform's last error) when the commit failed.
  bool Commit();

 private:
  bool begun_ = false;
};
