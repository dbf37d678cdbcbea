#include "browse/list_sort.h"

#include <QString>
#include <QStringView>

#include <algorithm>
#include <vector>

#include "browse/file_item.h"
#include "browse/list_columns.h"
#include "core/settings.h"
#include "platform/filetime.h"

namespace browse {
namespace {

// -1, 0 or 1 when a is below, equal to or above b.
template <class T>
int Order(const T& a, const T& b) {
  return a < b ? -1 : (b < a ? 1 : 0);
}

// The comparison of two entries of the same group by the field, with the flag set.
int CompareByField(const CListEntry& a, const CListEntry& b, int nField) {
  const Qt::CaseSensitivity cs =
      settings.MainListIgnoreCase == 1 ? Qt::CaseInsensitive : Qt::CaseSensitive;
  if (nField == eListField_Name) return Order(a.displayName.compare(b.displayName, cs), 0);
  if (nField != eListField_Size && nField != eListField_Date && nField != eListField_Type)
    return 0;  // attributes: no order
  const auto* pA = a.ItemAs<CFileItem>();
  const auto* pB = b.ItemAs<CFileItem>();
  switch (nField) {
    case eListField_Size:
      if (!pA || !pB) return 0;
      return -Order(pA->size, pB->size);  // largest first
    case eListField_Date:
      if (!pA || !pB) return 0;
      return -plat::CompareFileTime(pA->lastWriteTime, pB->lastWriteTime);  // newest first
    case eListField_Type:
      if (!pA || !pB) return 0;
      return Order(pA->typeText.compare(pB->typeText, cs), 0);
    default:
      return 0;
  }
}

// One row's keys for the sort: its group, and the field's value as a number or a text.
struct CSortKey {
  int group;         // 0 "..", 1 folder, 2 anything else
  quint64 number;    // size or last write time
  QStringView text;  // name or type text, inside the arena of keys
  int row;
};

int Group(const CListEntry& entry) {
  return entry.type == eEntry_Parent ? 0 : entry.type == eEntry_Folder ? 1 : 2;
}

// The keys of every row, their texts copied one after another into *pArena. False when a
// row has no file item to take a size, date or type from (the generic sort handles that).
bool BuildKeys(const CListEntries& entries, int nField, std::vector<CSortKey>* pKeys,
               QString* pArena) {
  const bool bText = nField == eListField_Name || nField == eListField_Type;
  const bool bNumber = nField == eListField_Size || nField == eListField_Date;
  std::vector<qsizetype> offsets;
  pKeys->reserve(entries.Count());
  for (int i = 0; i < entries.Count(); ++i) {
    const CListEntry& entry = *entries.At(i);
    const auto* pItem = nField == eListField_Name ? nullptr : entry.ItemAs<CFileItem>();
    if ((bNumber || nField == eListField_Type) && !pItem) return false;
    CSortKey key{Group(entry), 0, {}, i};
    if (nField == eListField_Size) key.number = pItem->size;
    if (nField == eListField_Date) key.number = plat::FileTimeToU64(pItem->lastWriteTime);
    if (bText) {
      offsets.push_back(pArena->size());
      pArena->append(nField == eListField_Name ? entry.displayName : pItem->typeText);
    }
    pKeys->push_back(key);
  }
  if (bText) {
    offsets.push_back(pArena->size());
    for (size_t i = 0; i < pKeys->size(); ++i)
      (*pKeys)[i].text = QStringView(*pArena).mid(offsets[i], offsets[i + 1] - offsets[i]);
  }
  return true;
}

}  // namespace

void SortFileSystemEntries(CListEntries* pEntries, int nField, bool bAscending) {
  std::vector<CSortKey> keys;
  QString arena;
  if (!BuildKeys(*pEntries, nField, &keys, &arena)) {
    pEntries->StableSort([&](const CListEntry& a, const CListEntry& b) {
      return CompareFileSystemEntries(a, b, nField, bAscending) < 0;
    });
    return;
  }
  const Qt::CaseSensitivity cs =
      settings.MainListIgnoreCase == 1 ? Qt::CaseInsensitive : Qt::CaseSensitive;
  const bool bText = nField == eListField_Name || nField == eListField_Type;
  const bool bNumber = nField == eListField_Size || nField == eListField_Date;
  // The same decisions as CompareFileSystemEntries, step for step.
  std::stable_sort(keys.begin(), keys.end(), [&](const CSortKey& a, const CSortKey& b) {
    if (a.group != b.group) return a.group < b.group;
    if (a.group == 0) return false;
    int nOrder = 0;
    if (bText) nOrder = Order(a.text.compare(b.text, cs), 0);
    if (bNumber) nOrder = -Order(a.number, b.number);  // largest and newest first
    return (bAscending ? nOrder : -nOrder) < 0;
  });
  std::vector<int> order;
  order.reserve(keys.size());
  for (const CSortKey& key : keys) order.push_back(key.row);
  pEntries->Reorder(order);
}

int CompareFileSystemEntries(const CListEntry& a, const CListEntry& b, int nField,
                             bool bAscending) {
  const bool bParentA = a.type == eEntry_Parent, bParentB = b.type == eEntry_Parent;
  if (bParentA != bParentB) return bParentA ? -1 : 1;
  if (bParentA) return 0;
  const bool bFolderA = a.type == eEntry_Folder, bFolderB = b.type == eEntry_Folder;
  if (bFolderA != bFolderB) return bFolderA ? -1 : 1;
  const int nOrder = CompareByField(a, b, nField);
  return bAscending ? nOrder : -nOrder;
}

}  // namespace browse
