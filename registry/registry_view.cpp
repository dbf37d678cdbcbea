#include "registry/registry_view.h"

#include "browse/icon_indices.h"
#include "core/settings.h"
#include "core/texts.h"

namespace regview {

namespace {

QString BinaryDigits(DWORD dwValue) {
  if (dwValue == 0) return QStringLiteral("0");
  QString text;
  bool bSeenOne = false;
  for (int bit = 31; bit >= 0; --bit) {
    const bool bOne = (dwValue >> bit) & 1u;
    bSeenOne = bSeenOne || bOne;
    if (bSeenOne) text += bOne ? QLatin1Char('1') : QLatin1Char('0');
  }
  return text;
}

// UTF-16 text from value bytes, up to the first terminator or the end of the data (an odd
// last byte is ignored).
QString TextFromData(const BYTE* pData, DWORD dwDataSize, DWORD* pdwUsedChars = nullptr) {
  const qsizetype count = dwDataSize / 2;
  qsizetype length = 0;
  while (length < count && (pData[2 * length] | (pData[2 * length + 1] << 8)) != 0) ++length;
  QString text(length, Qt::Uninitialized);
  for (qsizetype i = 0; i < length; ++i)
    text[i] = QChar(char16_t(pData[2 * i] | (pData[2 * i + 1] << 8)));
  if (pdwUsedChars) *pdwUsedChars = DWORD(length);
  return text;
}

// The strings of a multi-string value, each followed by one space; the first empty string or
// the end of the data ends the list.
QString MultiStringText(const BYTE* pData, DWORD dwDataSize) {
  QString text;
  DWORD dwOffset = 0;  // in bytes
  while (dwOffset + 2 <= dwDataSize) {
    DWORD dwChars = 0;
    const QString part = TextFromData(pData + dwOffset, dwDataSize - dwOffset, &dwChars);
    if (part.isEmpty()) break;
    text += part;
    text += QLatin1Char(' ');
    dwOffset += (dwChars + 1) * 2;
  }
  return text;
}

QString BigEndianText(const BYTE* pData) {
  const DWORD dwValue = (DWORD(pData[0]) << 24) | (DWORD(pData[1]) << 16) |
                        (DWORD(pData[2]) << 8) | DWORD(pData[3]);
  return QStringLiteral("0x%1 (%2)")
      .arg(dwValue, 8, 16, QLatin1Char('0'))
      .arg(static_cast<qint32>(dwValue));
}

DWORD LittleEndianDword(const BYTE* pData) {
  return DWORD(pData[0]) | (DWORD(pData[1]) << 8) | (DWORD(pData[2]) << 16) |
         (DWORD(pData[3]) << 24);
}

bool IsDefaultValue(const CListEntry& entry) {
  return entry.type == eEntry_RegValue &&
         entry.displayName.compare(u"Default", Qt::CaseInsensitive) == 0;
}

// Negative when a comes first: "before" in ascending order, "after" in descending order.
int FirstWhen(bool bAFirst, bool bAscending) {
  const int nBefore = bAFirst ? -1 : 1;
  return bAscending ? nBefore : -nBefore;
}

class CKeyFiller : public CRegEnumSink {
 public:
  explicit CKeyFiller(CListEntries* pEntries) : entries_(pEntries) {}
  bool OnKey(const CRegEnumItem& item) override {
    entries_->Add(MakeSubKeyEntry(item.name));
    return true;
  }
  bool OnValue(const CRegEnumItem& item) override {
    entries_->Add(MakeValueEntry(item));
    return true;
  }

 private:
  CListEntries* entries_;
};

}  // namespace

QString DwordText(DWORD dwValue, DWORD dwBase) {
  switch (dwBase) {
    case 0:
      return BinaryDigits(dwValue);
    case 1:
      return QString::number(dwValue, 8);
    case 3:
      return QString::number(dwValue, 16).toUpper();
    default:
      return QString::number(dwValue);
  }
}

QString ValueDataText(const QString& strName, DWORD dwTypeCode, const BYTE* pData,
                      DWORD dwDataSize) {
  if (!pData) return {};
  switch (dwTypeCode) {
    case eRegVT_Dword:
      return dwDataSize >= 4 ? DwordText(LittleEndianDword(pData), settings.RegDigitBase)
                             : QString();
    case eRegVT_DwordBigEndian:
      return dwDataSize >= 4 ? BigEndianText(pData) : QString();
    case eRegVT_String: {
      const QString text = TextFromData(pData, dwDataSize);
      return strName == u"Default" ? QLatin1Char('(') + text + QLatin1Char(')') : text;
    }
    case eRegVT_ExpandString:
      return TextFromData(pData, dwDataSize);
    case eRegVT_MultiString:
      return MultiStringText(pData, dwDataSize);
    default:  // binary, resource list, unknown
      return {};
  }
}

QString TypeName(DWORD dwTypeCode) {
  switch (dwTypeCode) {
    case eRegVT_Dword:
      return core::Text(900400);
    case eRegVT_Binary:
      return core::Text(900401);
    case eRegVT_String:
    case eRegVT_ExpandString:
      return core::Text(900402);
    case eRegVT_MultiString:
      return core::Text(900403);
    default:
      return {};
  }
}

int ValueIcon(DWORD dwTypeCode) {
  switch (dwTypeCode) {
    case eRegVT_Dword:
      return eRegIcon_Dword;
    case eRegVT_DwordBigEndian:
      return eRegIcon_DwordBigEndian;
    case eRegVT_Binary:
      return eRegIcon_Binary;
    case eRegVT_ResourceList:
      return eRegIcon_ResourceList;
    case eRegVT_String:
      return eRegIcon_String;
    case eRegVT_ExpandString:
      return eRegIcon_ExpandString;
    case eRegVT_MultiString:
      return eRegIcon_MultiString;
    default:
      return eRegIcon_Unknown;
  }
}

int ParentIcon() {
  return settings.PersonalizeFolderIcons == 1 ? eIcon_ParentFolder : eIcon_Folder;
}

std::unique_ptr<CListEntry> MakeRootEntry(HKEY root) {
  auto item = std::make_unique<CRegItem>();
  item->root = root;
  item->iconIndex = eRegIcon_Key;
  return std::make_unique<CListEntry>(eEntry_RegRoot, RootName(root), std::move(item));
}

std::unique_ptr<CListEntry> MakeRegParentEntry() {
  auto item = std::make_unique<CRegItem>();
  item->iconIndex = ParentIcon();
  return std::make_unique<CListEntry>(eEntry_RegParent, QStringLiteral(".."), std::move(item));
}

std::unique_ptr<CListEntry> MakeSubKeyEntry(const QString& strName) {
  return std::make_unique<CListEntry>(eEntry_RegKey, strName, nullptr);
}

std::unique_ptr<CListEntry> MakeValueEntry(const CRegEnumItem& item) {
  auto record = std::make_unique<CRegItem>();
  record->typeCode = item.type;
  record->root = item.root;
  record->dataText = ValueDataText(item.name, item.type, item.data, item.dataSize);
  record->iconIndex = ValueIcon(item.type);
  return std::make_unique<CListEntry>(eEntry_RegValue, item.name, std::move(record));
}

void FillRoots(CListEntries* pEntries) {
  for (HKEY root : kListRootOrder) pEntries->Add(MakeRootEntry(root));
}

void FillKey(HKEY root, const QString& strKeyPath, CListEntries* pEntries) {
  if (settings.MainListRegShowParent == 1) pEntries->Add(MakeRegParentEntry());
  CKeyFiller filler(pEntries);
  if (settings.MainListShowKeys == 1) EnumSubKeys(root, strKeyPath, &filler);
  EnumValues(root, strKeyPath, &filler);
}

QString SubKeyPath(const QString& strKeyPath, const QString& strName) {
  if (strKeyPath.endsWith(QLatin1Char('\\'))) return strKeyPath + strName;
  return strKeyPath + QLatin1Char('\\') + strName;
}

QString RowText(const CListEntry& entry, int nField) {
  const CRegItem* pItem = entry.ItemAs<CRegItem>();
  switch (nField) {
    case eRegField_Name:
      return entry.displayName;
    case eRegField_Type:
      if (entry.type == eEntry_RegRoot || entry.type == eEntry_RegKey)
        return core::Text(900404);
      return pItem ? TypeName(pItem->typeCode) : QString();
    case eRegField_Data:
      return pItem ? pItem->dataText : QString();
    default:
      return {};
  }
}

int RowIcon(const CListEntry& entry) {
  const CRegItem* pItem = entry.ItemAs<CRegItem>();
  return pItem ? pItem->iconIndex : int(eRegIcon_Key);
}

int CompareEntries(const CListEntry& a, const CListEntry& b, bool bAscending) {
  const bool bParentA = a.type == eEntry_RegParent;
  const bool bParentB = b.type == eEntry_RegParent;
  if (bParentA != bParentB) return FirstWhen(bParentA, bAscending);
  if (bParentA) return 0;

  const bool bDefaultA = IsDefaultValue(a);
  const bool bDefaultB = IsDefaultValue(b);
  if (bDefaultA != bDefaultB) return FirstWhen(bDefaultA, bAscending);

  if (a.type == eEntry_RegKey && b.type == eEntry_RegValue) return -1;
  if (a.type == eEntry_RegValue && b.type == eEntry_RegKey) return 1;

  const Qt::CaseSensitivity cs =
      settings.MainTreeIgnoreCase == 1 ? Qt::CaseInsensitive : Qt::CaseSensitive;
  const int nCompare = a.displayName.compare(b.displayName, cs);
  return bAscending ? nCompare : -nCompare;
}

}  // namespace regview
