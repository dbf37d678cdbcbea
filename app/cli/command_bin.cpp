// pinbro-cli bin restore NAME... and bin purge NAME...: restore items of the recycle bin to
// where they were, or delete them from the bin for good, through the same operations as the
// bin's list in the desktop program.
//
// NAME is an item's own name inside the bin (the last column of `ls :bin`, compared ignoring
// case), or else its original name or original full path where exactly one item has it.
// A NAME that names several items lists them (as `ls :bin` does) and nothing is done; so does
// a NAME that names none. The purge asks its question once for all items (--answer yes
// confirms it); the restore asks only before it would replace an existing file.
#include <QList>
#include <QStringList>

#include <algorithm>

#include "app/cli/cli_context.h"
#include "app/cli/commands.h"
#include "browse/list_panel.h"
#include "fileops/list_source_bin.h"
#include "fileops/recycle_bin.h"

namespace cli {
namespace {

int Usage(CCliContext& ctx) {
  ctx.err << "usage: pinbro-cli bin restore NAME... | bin purge NAME...\n";
  return kExitUsage;
}

// The rows of the bin listing that NAME names: the row with that bin name, else every row
// whose original name or original path it is.
QList<int> RowsNamed(const CListPanel& panel, const QString& strName) {
  QList<int> rows;
  for (int nRow = 0; nRow < panel.rowCount(); ++nRow) {
    const CBinItem* pItem = browse::BinItemAt(panel, nRow);
    if (pItem && pItem->binName.compare(strName, Qt::CaseInsensitive) == 0) return {nRow};
  }
  for (int nRow = 0; nRow < panel.rowCount(); ++nRow) {
    const CBinItem* pItem = browse::BinItemAt(panel, nRow);
    if (!pItem) continue;
    if (pItem->name.compare(strName, Qt::CaseInsensitive) == 0 ||
        pItem->originalPath.compare(strName, Qt::CaseInsensitive) == 0)
      rows.append(nRow);
  }
  return rows;
}

// The rows every NAME names, each once, in the order of the names. False, with the reason
// on standard error, when a name names no row or more than one.
bool ResolveNames(CCliContext& ctx, const CListPanel& panel, const QStringList& names,
                  QList<int>* pRows) {
  for (const QString& strName : names) {
    const QList<int> rows = RowsNamed(panel, strName);
    if (rows.isEmpty()) {
      ctx.err << "pinbro-cli: bin: there is no item \"" << strName << "\" in the recycle bin.\n";
      return false;
    }
    if (rows.size() > 1) {
      ctx.err << "pinbro-cli: bin: \"" << strName << "\" names " << rows.size()
              << " items of the recycle bin; name one by its name in the bin (last column):\n";
      for (int nRow : rows) ctx.err << ListingRowText(panel, nRow) << "\n";
      return false;
    }
    if (!pRows->contains(rows.first())) pRows->append(rows.first());
  }
  return true;
}

}  // namespace

int RunBinCommand(CCliContext& ctx) {
  if (ctx.args.size() < 2) return Usage(ctx);
  const QString strVerb = ctx.args.first();
  if (strVerb != u"restore" && strVerb != u"purge") return Usage(ctx);
  const QStringList names = ctx.args.mid(1);
  if (std::any_of(names.begin(), names.end(),
                  [](const QString& s) { return s.startsWith(QLatin1String("--")); }))
    return Usage(ctx);

  CListPanel panel(ePanel_A, nullptr, {.bWorker = false});
  browse::ShowRecycleBin(panel);
  QList<int> rows;
  if (!ResolveNames(ctx, panel, names, &rows)) return kExitFailed;
  const fileops::CSelection selection = browse::BinSelection(panel, rows);
  const int result = strVerb == u"restore" ? fileops::RestoreItems(selection)
                                           : fileops::PurgeBinItemsCommand(selection);
  return result == 0 ? kExitOk : kExitFailed;
}

}  // namespace cli
