// pinbro-cli ls [PATH] [--sort name|size|date|attr|type] [--desc]: a listing as a list panel
// shows it, one row per line with its cells separated by tabs, and the status text (where
// the source has one) as the last line. A row of the recycle bin (":bin") ends with one more
// cell: the item's own name in the bin, which `bin restore` and `bin purge` take.
//
// --sort acts as a click on that column's header of a freshly loaded panel (so, as on the
// panel, "--sort name" flips the name order a load has just set); --desc then clears the
// sort direction flag.
#include <QString>
#include <QStringList>

#include "app/cli/cli_context.h"
#include "app/cli/commands.h"
#include "browse/list_panel.h"
#include "fileops/list_source_bin.h"
#include "core/path_helpers.h"
#include "platform/device_root.h"
#include "registry/registry_access.h"
#include "registry/registry_view_source.h"
#include "zip/list_source_zip.h"
#include "zip/zip_archive.h"

namespace cli {
namespace {

// One form of path `ls` understands, and how its listing is put into a panel. The forms are
// tried in table order and the first that claims the path lists it; sources with a path form
// of their own (registry keys "HKLM\...", archives "ARCHIVE.zip\inner", the recycle bin
// ":bin") go before the file system, which claims every other path.
struct CLsForm {
  bool (*claims)(const QString& strPath);
  // Shows the listing; false with the reason in *pstrError when the path cannot be listed.
  bool (*show)(CListPanel& panel, const QString& strPath, QString* pstrError);
};

bool ClaimsDevicePath(const QString&) { return true; }

bool ShowFolder(CListPanel& panel, const QString& strPath, QString* pstrError) {
  QString strCanonical;
  if (!plat::CDeviceRoot::Canonical(strPath, &strCanonical)) {
    *pstrError = QStringLiteral("Could not list %1: not a valid device path.").arg(strPath);
    return false;
  }
  const DWORD dwKind = browse::ClassifyTypedPath(strCanonical);
  if (dwKind != eEntry_Folder) {
    *pstrError = QStringLiteral("Could not list %1: %2.")
                     .arg(strCanonical, dwKind == 0 ? QStringLiteral("there is no such folder")
                                                    : QStringLiteral("it is a file, not a folder"));
    return false;
  }
  return panel.LoadFolder(strCanonical, true, false);
}

// The registry: ":reg" lists the four root keys; a root name alone or followed by its
// subkeys ("HKLM", "HKLM\Software") lists that key. Root names are case-sensitive.
constexpr char16_t kRegistryTop[] = u":reg";

bool ClaimsRegistryPath(const QString& strPath) {
  HKEY root = 0;
  QString strKeyPath;
  return strPath == kRegistryTop || ParseRegistryListPath(strPath, &root, &strKeyPath);
}

bool ShowRegistry(CListPanel& panel, const QString& strPath, QString* pstrError) {
  if (strPath == kRegistryTop) {
    ShowRegistryRoots(panel);
    return true;
  }
  HKEY root = 0;
  QString strKeyPath;
  ParseRegistryListPath(strPath, &root, &strKeyPath);
  if (CountSubKeys(root, strKeyPath) < 0) {
    *pstrError = QStringLiteral("Could not list %1: there is no key of that name.").arg(strPath);
    return false;
  }
  ShowRegistryKey(panel, root, strKeyPath);
  return true;
}

// The recycle bin: ":bin" lists the bin folder's containers and recycled folders.
constexpr char16_t kRecycleBin[] = u":bin";

bool ClaimsBinPath(const QString& strPath) { return strPath == kRecycleBin; }

bool ShowBin(CListPanel& panel, const QString&, QString*) {
  browse::ShowRecycleBin(panel);
  return true;
}

// A folder inside a zip archive: "\dir\a.zip" lists its top, "\dir\a.zip\docs" a folder in it.
bool ClaimsArchivePath(const QString& strPath) {
  QString strCanonical, strArchive, strInner;
  return plat::CDeviceRoot::Canonical(strPath, &strCanonical) &&
         zip::SplitArchivePath(strCanonical, &strArchive, &strInner);
}

bool ShowArchive(CListPanel& panel, const QString& strPath, QString* pstrError) {
  QString strCanonical, strArchive, strInner;
  plat::CDeviceRoot::Canonical(strPath, &strCanonical);
  zip::SplitArchivePath(strCanonical, &strArchive, &strInner);
  zip::RegisterZipListSource();
  if (panel.ShowLocation(zip::ZipLocation(strArchive, strInner), true, false)) return true;
  *pstrError = QStringLiteral("Could not list %1: there is no such folder in the archive, or "
                              "it is no zip archive.").arg(strCanonical);
  return false;
}

const CLsForm kForms[] = {
    {&ClaimsBinPath, &ShowBin},
    {&ClaimsArchivePath, &ShowArchive},
    {&ClaimsRegistryPath, &ShowRegistry},
    {&ClaimsDevicePath, &ShowFolder},
};

struct CLsArgs {
  QString path = QStringLiteral("\\");
  QString sort;  // empty: the panel's order after loading
  bool desc = false;
};

bool ParseArgs(const QStringList& args, CLsArgs* pArgs, QString* pstrError) {
  bool bPathSeen = false;
  for (int i = 0; i < args.size(); ++i) {
    const QString& arg = args[i];
    if (arg == u"--desc") {
      pArgs->desc = true;
    } else if (arg == u"--sort") {
      if (i + 1 >= args.size()) {
        *pstrError = QStringLiteral("--sort needs name, size, date, attr or type.");
        return false;
      }
      pArgs->sort = args[++i];
    } else if (arg.startsWith(u"--") || bPathSeen) {
      *pstrError = QStringLiteral("unexpected argument \"%1\".").arg(arg);
      return false;
    } else {
      pArgs->path = arg;
      bPathSeen = true;
    }
  }
  static const QStringList kSortWords = {"name", "size", "date", "attr", "type"};
  if (!pArgs->sort.isEmpty() && !kSortWords.contains(pArgs->sort)) {
    *pstrError = QStringLiteral("--sort takes name, size, date, attr or type.");
    return false;
  }
  return true;
}

// The column a sort word names: the first whose header begins with the word ("attr" names
// "Attributes", "type" the registry's "Type:"); -1 when the listing has none.
int ColumnOfSortWord(const CListPanel& panel, const QString& strWord) {
  const QList<CListColumn> columns = panel.Columns();
  for (int i = 0; i < columns.size(); ++i)
    if (columns[i].header.startsWith(strWord, Qt::CaseInsensitive)) return i;
  return -1;
}

void PrintListing(const CListPanel& panel, QTextStream& out) {
  for (int nRow = 0; nRow < panel.rowCount(); ++nRow) out << ListingRowText(panel, nRow) << '\n';
  if (!panel.StatusText().isEmpty()) out << panel.StatusText() << '\n';
}

}  // namespace

QString EscapedCell(const QString& strCell) {
  QString strOut;
  strOut.reserve(strCell.size());
  for (const QChar c : strCell) {
    const char16_t u = c.unicode();
    if (u == u'\n') {
      strOut += QStringLiteral("\\n");
    } else if (u == u'\t') {
      strOut += QStringLiteral("\\t");
    } else if (u < 0x20 || (u >= 0x7F && u < 0xA0)) {
      for (const char byte : QString(c).toUtf8())
        strOut += QStringLiteral("\\%1").arg(uint(uchar(byte)), 3, 8, QChar(u'0'));
    } else {
      strOut += c;
    }
  }
  return strOut;
}

QString ListingRowText(const CListPanel& panel, int nRow) {
  QStringList cells;
  for (int nColumn = 0; nColumn < panel.columnCount(); ++nColumn)
    cells.append(EscapedCell(panel.CellText(nRow, nColumn)));
  if (const CBinItem* pItem = browse::BinItemAt(panel, nRow))
    cells.append(EscapedCell(pItem->binName));
  return cells.join(u'\t');
}

int RunLsCommand(CCliContext& ctx) {
  CLsArgs args;
  QString strError;
  if (!ParseArgs(ctx.args, &args, &strError)) {
    ctx.err << "pinbro-cli: ls: " << strError << "\n";
    return kExitUsage;
  }
  // No worker: the rows are printed as the load leaves them.
  CListPanel panel(ePanel_A, nullptr, {.bWorker = false});
  for (const CLsForm& form : kForms) {
    if (!form.claims(args.path)) continue;
    if (!form.show(panel, args.path, &strError)) {
      ctx.err << "pinbro-cli: ls: " << strError << "\n";
      return kExitFailed;
    }
    break;
  }
  if (!args.sort.isEmpty()) {
    const int nColumn = ColumnOfSortWord(panel, args.sort);
    if (nColumn < 0) {
      ctx.err << "pinbro-cli: ls: this listing has no " << args.sort << " column.\n";
      return kExitUsage;
    }
    panel.SortBy(nColumn, true);
  }
  if (args.desc) panel.SetSortAscending(false);
  PrintListing(panel, ctx.out);
  return kExitOk;
}

}  // namespace cli
