#include "registry/registry_access.h"

#include <memory>
#include <new>
#include <vector>

namespace {

struct CRootEntry {
  HKEY root;
  const char* longName;
  const char* shortName;
  DWORD ordinal;
};

// In the order ParseRegistryPath tries them.
constexpr CRootEntry kRoots[] = {
    {HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE", "HKLM", 2},
    {HKEY_CURRENT_USER, "HKEY_CURRENT_USER", "HKCU", 3},
    {HKEY_CLASSES_ROOT, "HKEY_CLASSES_ROOT", "HKCR", 1},
    {HKEY_USERS, "HKEY_USERS", "HKU", 4},
};

// The string reader's buffer: 1024 UTF-16 characters, terminator included.
constexpr DWORD kStringBufferBytes = 2048;

// A key opened for the length of one call.
class CKeyScope {
 public:
  CKeyScope() = default;
  ~CKeyScope() {
    if (key_) plat::RegCloseKey(key_);
  }
  CKeyScope(const CKeyScope&) = delete;
  CKeyScope& operator=(const CKeyScope&) = delete;

  bool Open(HKEY root, const QString& strKeyPath, DWORD access) {
    return plat::RegOpenKeyEx(root, strKeyPath, 0, access, &key_) == ERROR_SUCCESS;
  }
  bool Create(HKEY root, const QString& strKeyPath, DWORD* disposition = nullptr) {
    return plat::RegCreateKeyEx(root, strKeyPath, &key_, disposition) == ERROR_SUCCESS;
  }
  HKEY get() const { return key_; }

 private:
  HKEY key_ = 0;
};

// UTF-16 text from value data, ending at the first terminator or at the end of the data.
QString TextUpToTerminator(const char16_t* chars, qsizetype count) {
  qsizetype length = 0;
  while (length < count && chars[length] != 0) ++length;
  return QString::fromUtf16(chars, length);
}

bool WriteValue(HKEY root, const QString& strKeyPath, const QString& strValueName, DWORD type,
                const QByteArray& data, bool bFlush) {
  CKeyScope key;
  if (!key.Create(root, strKeyPath)) return false;
  if (plat::RegSetValueEx(key.get(), strValueName, type,
                          reinterpret_cast<const BYTE*>(data.constData()),
                          DWORD(data.size())) != ERROR_SUCCESS)
    return false;
  return !bFlush || plat::RegFlushKey(key.get()) == ERROR_SUCCESS;
}

QByteArray Utf16Bytes(const QString& text) {
  return QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
}

}  // namespace

QString RootName(HKEY root, bool bShort) {
  for (const CRootEntry& r : kRoots)
    if (r.root == root) return QLatin1String(bShort ? r.shortName : r.longName);
  return QStringLiteral("...");
}

DWORD OrdinalFromRoot(HKEY root) {
  for (const CRootEntry& r : kRoots)
    if (r.root == root) return r.ordinal;
  return 0;
}

HKEY RootFromOrdinal(DWORD dwOrdinal) {
  for (const CRootEntry& r : kRoots)
    if (r.ordinal == dwOrdinal) return r.root;
  return 0;
}

bool ParseRegistryPath(const QString& strText, HKEY* root, QString* strKeyPath,
                       QString* strLastComponent) {
  *root = 0;
  strKeyPath->clear();
  strLastComponent->clear();
  if (strText.size() < 2) return false;
  const qsizetype rootEnd = strText.indexOf(QLatin1Char('\\'), 1);
  const QString rootPart = rootEnd < 0 ? strText : strText.left(rootEnd);
  const qsizetype lastSlash = strText.lastIndexOf(QLatin1Char('\\'));
  if (lastSlash >= 0) *strLastComponent = strText.mid(lastSlash + 1);
  // The key path lies between the root part's backslash and the last backslash; with a
  // trailing backslash it is everything after the root part's backslash.
  if (strText.endsWith(QLatin1Char('\\')))
    *strKeyPath = rootEnd < 0 ? QString() : strText.mid(rootEnd + 1);
  else if (rootEnd >= 0 && lastSlash > rootEnd)
    *strKeyPath = strText.mid(rootEnd + 1, lastSlash - rootEnd - 1);
  for (const CRootEntry& r : kRoots) {
    if (rootPart == QLatin1String(r.longName) || rootPart == QLatin1String(r.shortName)) {
      *root = r.root;
      break;
    }
  }
  return true;
}

QString ParentKeyPath(const QString& strPath) {
  if (strPath.size() < 3) return {};
  QString path = strPath;
  if (path.endsWith(QLatin1Char('\\'))) path.chop(1);
  const qsizetype lastSlash = path.lastIndexOf(QLatin1Char('\\'));
  return lastSlash <= 0 ? QString() : path.left(lastSlash);
}

ERegValueType RegTypeCode(DWORD dwPlatformType) {
  switch (dwPlatformType) {
    case REG_DWORD: return eRegVT_Dword;
    case REG_DWORD_BIG_ENDIAN: return eRegVT_DwordBigEndian;
    case REG_BINARY: return eRegVT_Binary;
    case REG_RESOURCE_LIST: return eRegVT_ResourceList;
    case REG_SZ: return eRegVT_String;
    case REG_EXPAND_SZ: return eRegVT_ExpandString;
    case REG_MULTI_SZ: return eRegVT_MultiString;
    default: return eRegVT_Unknown;
  }
}

bool EnumSubKeys(HKEY root, const QString& strKeyPath, CRegEnumSink* pSink) {
  CKeyScope key;
  if (!key.Open(root, strKeyPath, 0)) return true;  // a vanished key lists as empty
  // The names are read in one go (the hive's equivalent of RegEnumKeyEx for index 0, 1, ...);
  // the sink is called once the key is closed again.
  QStringList names;
  if (plat::RegEnumKeyNames(key.get(), &names) != ERROR_SUCCESS) return false;
  CRegEnumItem item;
  item.root = root;
  item.type = kRegEnumTypeSubKey;
  for (const QString& name : names) {
    item.name = name;
    pSink->OnKey(item);
  }
  return true;
}

bool EnumValues(HKEY root, const QString& strKeyPath, CRegEnumSink* pSink) {
  CKeyScope key;
  if (!key.Open(root, strKeyPath, 0)) return true;  // a vanished key lists as empty
  // All values in one read (the hive's equivalent of RegQueryInfoKey and RegEnumValue for
  // each index), so a key with many values costs linear time.
  std::vector<plat::CRegValueRecord> records;
  if (plat::RegEnumValueRecords(key.get(), &records) != ERROR_SUCCESS) return false;
  CRegEnumItem item;
  item.root = root;
  for (const plat::CRegValueRecord& record : records) {
    item.name = record.name.isEmpty() ? kRegNoName : record.name;
    item.data = reinterpret_cast<const BYTE*>(record.data.constData());
    item.dataSize = DWORD(record.data.size());
    item.platformType = record.type;
    item.type = RegTypeCode(record.type);
    if (!pSink->OnValue(item)) break;
  }
  return true;
}

int CountSubKeys(HKEY root, const QString& strKeyPath) {
  CKeyScope key;
  DWORD subKeys = 0;
  if (!key.Open(root, strKeyPath, 0) ||
      plat::RegQueryInfoKey(key.get(), &subKeys, nullptr, nullptr, nullptr, nullptr) !=
          ERROR_SUCCESS)
    return -1;
  return int(subKeys);
}

bool ReadDword(HKEY root, const QString& strKeyPath, const QString& strValueName,
               DWORD* pdwValue) {
  *pdwValue = 0;
  CKeyScope key;
  if (!key.Open(root, strKeyPath, KEY_READ)) return false;
  DWORD number = 0, size = sizeof number, type = 0;
  if (plat::RegQueryValueEx(key.get(), strValueName, &type, reinterpret_cast<BYTE*>(&number),
                            &size) != ERROR_SUCCESS ||
      type != REG_DWORD)
    return false;
  *pdwValue = number;
  return true;
}

bool ReadString(HKEY root, const QString& strKeyPath, const QString& strValueName,
                QString* pstrValue) {
  pstrValue->clear();
  CKeyScope key;
  if (!key.Open(root, strKeyPath, KEY_READ)) return false;
  char16_t buffer[kStringBufferBytes / 2];
  DWORD size = sizeof buffer, type = 0;
  if (plat::RegQueryValueEx(key.get(), strValueName, &type, reinterpret_cast<BYTE*>(buffer),
                            &size) != ERROR_SUCCESS ||
      type != REG_SZ)
    return false;
  *pstrValue = TextUpToTerminator(buffer, size / 2);
  return true;
}

bool ReadMultiString(HKEY root, const QString& strKeyPath, const QString& strValueName,
                     QStringList* pList) {
  pList->clear();
  CKeyScope key;
  DWORD maxDataSize = 0;
  if (!key.Open(root, strKeyPath, KEY_READ) ||
      plat::RegQueryInfoKey(key.get(), nullptr, nullptr, nullptr, nullptr, &maxDataSize) !=
          ERROR_SUCCESS)
    return false;
  QByteArray buffer(qsizetype(maxDataSize), '\0');
  DWORD size = maxDataSize, type = 0;
  if (plat::RegQueryValueEx(key.get(), strValueName, &type,
                            reinterpret_cast<BYTE*>(buffer.data()), &size) != ERROR_SUCCESS)
    return false;
  // The strings are parsed within the data read, so a last string without its terminator is
  // kept whole instead of running past the data.
  const char16_t* chars = reinterpret_cast<const char16_t*>(buffer.constData());
  const qsizetype count = size / 2;
  for (qsizetype at = 0; at < count;) {
    const QString text = TextUpToTerminator(chars + at, count - at);
    if (text.isEmpty()) break;
    pList->append(text);
    at += text.size() + 1;
  }
  return true;
}

bool ReadValueData(HKEY root, const QString& strKeyPath, const QString& strValueName,
                   ERegValueType* pType, QByteArray* pData) {
  DWORD type = 0;
  *pType = eRegVT_Unknown;
  if (!ReadRawValue(root, strKeyPath, strValueName, &type, pData)) return false;
  *pType = RegTypeCode(type);
  return true;
}

bool ReadRawValue(HKEY root, const QString& strKeyPath, const QString& strValueName,
                  DWORD* pdwPlatformType, QByteArray* pData) {
  *pdwPlatformType = 0;
  if (pData) pData->clear();
  CKeyScope key;
  if (!key.Open(root, strKeyPath, KEY_READ)) return false;
  DWORD type = 0, size = 0;
  LONG rc = plat::RegQueryValueEx(key.get(), strValueName, &type, nullptr, &size);
  // The value may grow between the two calls (another process): ask again with the new size.
  for (int attempt = 0; pData && rc == ERROR_SUCCESS; ++attempt) {
    pData->resize(qsizetype(size));
    rc = plat::RegQueryValueEx(key.get(), strValueName, &type,
                               reinterpret_cast<BYTE*>(pData->data()), &size);
    if (rc == ERROR_SUCCESS) {
      pData->resize(qsizetype(size));
      break;
    }
    if (rc == ERROR_MORE_DATA && attempt < 3) rc = ERROR_SUCCESS;
  }
  if (rc != ERROR_SUCCESS) {
    if (pData) pData->clear();
    return false;
  }
  *pdwPlatformType = type;
  return true;
}

bool WriteRawValue(HKEY root, const QString& strKeyPath, const QString& strValueName,
                   DWORD dwPlatformType, const QByteArray& data) {
  return WriteValue(root, strKeyPath, strValueName, dwPlatformType, data, true);
}

bool WriteDword(HKEY root, const QString& strKeyPath, const QString& strValueName,
                DWORD dwValue) {
  return WriteValue(root, strKeyPath, strValueName, REG_DWORD,
                    QByteArray(reinterpret_cast<const char*>(&dwValue), sizeof dwValue), true);
}

bool WriteString(HKEY root, const QString& strKeyPath, const QString& strValueName,
                 const QString& strValue) {
  return WriteValue(root, strKeyPath, strValueName, REG_SZ,
                    Utf16Bytes(strValue) + QByteArray(2, '\0'), true);
}

bool WriteMultiString(HKEY root, const QString& strKeyPath, const QString& strValueName,
                      const QStringList& list) {
  QByteArray data;
  for (const QString& text : list) data += Utf16Bytes(text) + QByteArray(2, '\0');
  if (!list.isEmpty()) data += QByteArray(2, '\0');
  return WriteValue(root, strKeyPath, strValueName, REG_MULTI_SZ, data, false);
}

ECreateKeyResult CreateKey(HKEY root, const QString& strKeyPath) {
  CKeyScope key;
  DWORD disposition = 0;
  if (!key.Create(root, strKeyPath, &disposition)) return eCreateKey_Failed;
  return disposition == REG_OPENED_EXISTING_KEY ? eCreateKey_Existed : eCreateKey_Created;
}

bool DeleteValue(HKEY root, const QString& strKeyPath, const QString& strValueName) {
  CKeyScope key;
  if (!key.Open(root, strKeyPath, 0)) return false;
  if (plat::RegDeleteValue(key.get(), strValueName) != ERROR_SUCCESS) return false;
  plat::RegFlushKey(key.get());  // the value is gone either way; the flush only hardens it
  return true;
}

bool DeleteDefaultValue(HKEY root, const QString& strKeyPath) {
  return DeleteValue(root, strKeyPath, QString());
}

bool DeleteKey(HKEY root, const QString& strParentPath, const QString& strName) {
  CKeyScope parent;
  if (!parent.Open(root, strParentPath, 0)) return false;
  // The hive deletes the key with its whole subtree, as the handheld does.
  if (plat::RegDeleteKey(parent.get(), strName) != ERROR_SUCCESS) return false;
  plat::RegFlushKey(parent.get());
  return true;
}

bool KeyExists(HKEY root, const QString& strKeyPath) {
  CKeyScope key;
  return key.Open(root, strKeyPath, KEY_READ);
}

bool ValueExists(HKEY root, const QString& strKeyPath, const QString& strValueName) {
  CKeyScope key;
  DWORD type = 0, size = 0;
  return key.Open(root, strKeyPath, KEY_READ) &&
         plat::RegQueryValueEx(key.get(), strValueName, &type, nullptr, &size) == ERROR_SUCCESS;
}

namespace {

// Gathers the subkey names and the values of one key.
class CCopySink : public CRegEnumSink {
 public:
  struct CValue {
    QString name;
    DWORD type;
    QByteArray data;
  };
  bool OnKey(const CRegEnumItem& item) override {
    keys.append(item.name);
    return true;
  }
  bool OnValue(const CRegEnumItem& item) override {
    values.push_back({item.name == kRegNoName ? QString() : item.name, item.platformType,
                      QByteArray(reinterpret_cast<const char*>(item.data), item.dataSize)});
    return true;
  }
  QStringList keys;
  std::vector<CValue> values;
};

}  // namespace

bool CopyKeyTree(HKEY root, const QString& strFrom, const QString& strTo) {
  if (!KeyExists(root, strFrom) || CreateKey(root, strTo) != eCreateKey_Created) return false;
  std::vector<std::pair<QString, QString>> pending{{strFrom, strTo}};
  while (!pending.empty()) {
    const auto [from, to] = pending.back();
    pending.pop_back();
    CCopySink sink;
    if (!EnumSubKeys(root, from, &sink) || !EnumValues(root, from, &sink)) return false;
    CKeyScope key;
    if (!key.Create(root, to)) return false;
    for (const CCopySink::CValue& value : sink.values)
      if (plat::RegSetValueEx(key.get(), value.name, value.type,
                              reinterpret_cast<const BYTE*>(value.data.constData()),
                              DWORD(value.data.size())) != ERROR_SUCCESS)
        return false;
    for (const QString& name : sink.keys) {
      if (CreateKey(root, to + u'\\' + name) == eCreateKey_Failed) return false;
      pending.emplace_back(from + u'\\' + name, to + u'\\' + name);
    }
  }
  return true;
}

CRegBatch::CRegBatch() : begun_(plat::RegBeginBatch() == ERROR_SUCCESS) {}

CRegBatch::~CRegBatch() {
  if (begun_) plat::RegEndBatch(false);
}

bool CRegBatch::Commit() {
  if (!begun_) return false;
  begun_ = false;
  if (plat::RegEndBatch(true) != ERROR_SUCCESS) return false;
  HKEY any = HKEY_LOCAL_MACHINE;
  return plat::RegFlushKey(any) == ERROR_SUCCESS;
}
