// Alt+Enter and the context menus' "Properties": which item the dialog is for.
#include <QItemSelectionModel>

#include "browse/file_item.h"
#include "ui/file_commands.h"
#include "ui/item_properties_dialog.h"
#include "ui/list_view.h"
#include "ui/panel_controller.h"

QString CFileCommands::PropertiesTarget(quint64* pKnownBytes) const {
  if (pKnownBytes) *pKnownBytes = ~quint64(0);
  const CCommandTarget target = host_.CommandTarget();
  if (target.part == EPanelPart::eTree) return target.pActive->Folder(EPanelPart::eTree);
  const CListPanel& list = target.List();
  if (!list.Source()->Offers(EListCommand::eProperties)) return {};
  // The focused row when it is among the selected ones, else the first selected.
  const QList<int> rows = ActiveListRows();
  if (rows.isEmpty()) return {};
  const int nCurrent = target.ListView()->CurrentRow();
  const CListEntry* pEntry = list.Entries().At(rows.contains(nCurrent) ? nCurrent : rows.first());
  if (!pEntry) return {};
  if (pKnownBytes) {
    // A folder total the list's worker has already counted.
    const auto* pItem = pEntry->ItemAs<CFileItem>();
    if (pItem && pItem->IsFolder() && pItem->HasSize()) *pKnownBytes = pItem->size;
  }
  return list.Source()->FullPath(*pEntry);
}

void CFileCommands::ShowProperties() {
  quint64 uKnown = 0;
  const QString strPath = PropertiesTarget(&uKnown);
  if (strPath.isEmpty()) return;
  ShowItemProperties(strPath, uKnown, dialogParent_);
  AfterOperation();
}
