#include "browse/selection_summary.h"

#include "browse/file_item.h"
#include "browse/list_panel.h"
#include "core/format.h"
#include "core/texts.h"

namespace browse {

CSelectionSummary SummarizeRows(const CListPanel& panel, const QList<int>& rows) {
  CSelectionSummary summary;
  for (int nRow : rows) {
    const CListEntry* pEntry = panel.Entries().At(nRow);
    if (!pEntry || pEntry->type == eEntry_Parent) continue;
    ++summary.nItems;
    const auto* pItem = pEntry->ItemAs<CFileItem>();
    if (!pItem) continue;
    if (pItem->HasSize())
      summary.uBytes += pItem->size;
    else
      summary.bAllSized = false;
  }
  return summary;
}

QString SelectionSummaryText(const CSelectionSummary& summary) {
  if (summary.nItems == 0) return {};
  return core::Text(901302).arg(summary.nItems).arg(core::FormatSize(summary.uBytes));
}

}  // namespace browse
