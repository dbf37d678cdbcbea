// The commands a listing carries out itself (IListSource::RunCommand): on the active list's
// rows, or, in a tree, on the place of the selected node as its listing would show it. The
// frame names no kind: it asks the source.
#include "browse/folder_tree.h"
#include "browse/list_source_factory.h"
#include "ui/file_commands.h"

namespace {

// The listing of the active tree node's place; null for nodes that have none.
std::unique_ptr<IListSource> TreePlaceSource(const CCommandTarget& target) {
  if (target.part != EPanelPart::eTree) return nullptr;
  const CFolderTree& tree = target.pActive->Tree();
  // The factory makes nothing for a node without a place (kind 0).
  return ListSources().Make(tree.TargetOf(tree.Current()).location);
}

}  // namespace

bool CFileCommands::RunListingCommand(EListCommand command) {
  const CCommandTarget target = host_.CommandTarget();
  bool bHandled = false;
  if (target.part == EPanelPart::eList) {
    CListPanel& list = target.pActive->List();
    bHandled = list.Source()->RunCommand(command, list.Entries(), ActiveListRows());
  } else if (std::unique_ptr<IListSource> source = TreePlaceSource(target)) {
    if (!source->PlaceMenu().contains(command)) return false;
    bHandled = source->RunCommand(command, CListEntries(), {});
  }
  if (bHandled) AfterOperation();
  return bHandled;
}

QList<EListCommand> CFileCommands::TreePlaceMenu() const {
  const std::unique_ptr<IListSource> source = TreePlaceSource(host_.CommandTarget());
  return source ? source->PlaceMenu() : QList<EListCommand>();
}

bool CFileCommands::ActiveViewOffersOwn(EListCommand command) const {
  if (host_.CommandTarget().part == EPanelPart::eList) return ActiveListOffers(command);
  return TreePlaceMenu().contains(command);
}
