#include "browse/list_sort.h"

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

}  // namespace

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
