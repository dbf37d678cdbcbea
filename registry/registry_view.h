#pragma once
// The registry as a list: the entries of the four root keys, or of one key (an optional ".."
// entry, the subkeys and the values), their records, the texts of the three registry columns,
// their images and the registry sort. Pure building blocks without a panel; the list source
// (registry/registry_view_source.h) puts them into a list panel.
//
// Key paths built by navigation begin with a backslash at the first level: the subkey
// Software of a root is held as "\Software". The registry layer accepts them as they are.

#include <QString>

#include <memory>

#include "browse/icon_indices.h"
#include "core/list_entry.h"
#include "registry/registry_access.h"

// The record behind a registry row: root key entries, values and the ".." entry have one,
// subkey entries have none.
class CRegItem : public CItemRecord {
 public:
  QString dataText;    // the Data column (values only)
  int iconIndex = eIcon_RegistryKey;  // image index of the row
  DWORD typeCode = 0;  // ERegValueType of a value
  HKEY root = 0;       // the root of a root key entry or of a value
};

// Image indices of registry rows: the built-in registry pictures of the icon manager.
enum ERegIcon : int {
  eRegIcon_Key = eIcon_RegistryKey,  // subkeys and root keys
  eRegIcon_Unknown = eIcon_RegistryUnknown,
  eRegIcon_Dword = eIcon_RegistryDword,
  eRegIcon_DwordBigEndian = eIcon_RegistryDwordBigEndian,
  eRegIcon_Binary = eIcon_RegistryBinary,
  eRegIcon_ResourceList = eIcon_RegistryResourceList,
  eRegIcon_String = eIcon_RegistryString,
  eRegIcon_ExpandString = eIcon_RegistryExpandString,
  eRegIcon_MultiString = eIcon_RegistryMultiString,
};

// The registry columns, which are also the registry fields.
enum ERegField : int {
  eRegField_Name = 0,
  eRegField_Type = 1,
  eRegField_Data = 2,
};

namespace regview {

// The four roots in the order the list shows them: HKEY_CLASSES_ROOT, HKEY_LOCAL_MACHINE,
// HKEY_CURRENT_USER, HKEY_USERS.
constexpr HKEY kListRootOrder[] = {HKEY_CLASSES_ROOT, HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER,
                                   HKEY_USERS};

// A DWORD in a RegDigitBase: 0 binary (no leading zeros), 1 octal, 2 decimal, 3 upper-case
// hexadecimal, anything else decimal. 0 is "0" in every base.
QString DwordText(DWORD dwValue, DWORD dwBase);
// The Data column of a value: DWORDs in the RegDigitBase of the option set, big-endian
// DWORDs as "0x%.8x (%d)", strings as stored ("(x)" for a string value named exactly
// "Default"), multi-strings each followed by one space, nothing for binary, resource-list and
// unknown types. A value without data, or with too few bytes for its type, shows nothing.
QString ValueDataText(const QString& strName, DWORD dwTypeCode, const BYTE* pData,
                      DWORD dwDataSize);
// "DWORD", "Binary", "String" (plain and expandable), "Multi-String"; empty for big-endian
// DWORDs, resource lists and unknown types.
QString TypeName(DWORD dwTypeCode);
// The image of a value of a type code (27 to 34).
int ValueIcon(DWORD dwTypeCode);
// The image of the ".." entry: 13 with PersonalizeFolderIcons, else 2.
int ParentIcon();

// Entry builders.
std::unique_ptr<CListEntry> MakeRootEntry(HKEY root);
std::unique_ptr<CListEntry> MakeRegParentEntry();
std::unique_ptr<CListEntry> MakeSubKeyEntry(const QString& strName);
// A value entry from one enumeration record; the data are copied into the record at once.
std::unique_ptr<CListEntry> MakeValueEntry(const CRegEnumItem& item);

// The entries of the roots list.
void FillRoots(CListEntries* pEntries);
// The entries of one key: ".." when MainListRegShowParent is 1, the subkeys when
// MainListShowKeys is 1, then the values, in the registry's order (unsorted). A key that cannot
// be opened gives only the ".." entry.
void FillKey(HKEY root, const QString& strKeyPath, CListEntries* pEntries);

// The path of a subkey below a key path: one backslash between them, so an empty key path
// gives "\name".
QString SubKeyPath(const QString& strKeyPath, const QString& strName);

// The text of a row in a registry field: the name; "REG_KEY" for root keys and subkeys, else
// the type name; the data text.
QString RowText(const CListEntry& entry, int nField);
// The row's image: its record's, or the key image for a row without one.
int RowIcon(const CListEntry& entry);

// The registry sort: ".." first, then a value named "Default" (any case), then subkeys before
// values, then by name (ignoring case when MainTreeIgnoreCase is 1). Descending puts ".." and
// "Default" last and reverses the names; subkeys stay before values. Negative when a comes
// first, positive when b does, 0 when their order is kept.
int CompareEntries(const CListEntry& a, const CListEntry& b, bool bAscending);

}  // namespace regview
