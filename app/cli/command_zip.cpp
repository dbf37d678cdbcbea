// pinbro-cli zip create ARCHIVE ITEM... [--level N], zip extract ARCHIVE DEST [ENTRY...] and
// zip test ARCHIVE: the archive operations on device paths. ENTRY names an item inside the
// archive ("docs/readme.txt" or "docs\readme.txt"); a folder brings everything below it.
#include <QStringList>

#include "app/cli/cli_context.h"
#include "app/cli/cli_selection.h"
#include "app/cli/commands.h"
#include "core/selection.h"
#include "platform/device_root.h"
#include "platform/file_system.h"
#include "zip/zip_archive.h"
#include "zip/zip_commands.h"
#include "zip/zip_names.h"

namespace cli {
namespace {

constexpr char kUsage[] =
    "usage: pinbro-cli zip create ARCHIVE ITEM... [--level 8|6|4|3|2|1]\n"
    "       pinbro-cli zip extract ARCHIVE DEST [ENTRY...]\n"
    "       pinbro-cli zip test ARCHIVE\n";

bool CanonicalOrSay(CCliContext& ctx, const QString& strPath, QString* pCanonical) {
  if (plat::CDeviceRoot::Canonical(strPath, pCanonical)) return true;
  ctx.err << "pinbro-cli: zip: " << strPath << " is not a valid device path.\n";
  return false;
}

int RunCreate(CCliContext& ctx, QStringList args) {
  int level = 6;
  const qsizetype at = args.indexOf(QStringLiteral("--level"));
  if (at >= 0) {
    static const QStringList kLevels = {"8", "6", "4", "3", "2", "1"};
    if (at + 1 >= args.size() || !kLevels.contains(args[at + 1])) {
      ctx.err << "pinbro-cli: zip create: --level takes 8, 6, 4, 3, 2 or 1.\n";
      return kExitUsage;
    }
    level = args[at + 1].toInt();
    args.remove(at, 2);
  }
  if (args.size() < 2) {
    ctx.err << kUsage;
    return kExitUsage;
  }
  QString archive;
  if (!CanonicalOrSay(ctx, args.takeFirst(), &archive)) return kExitUsage;
  fileops::CSelection selection;
  const int nRead = ReadSelection(ctx, args, "compress", &selection);
  if (nRead != kExitOk) return nRead;
  return zip::CompressItems(selection, archive, level) == zip::eZipCmdOK ? kExitOk : kExitFailed;
}

int RunExtract(CCliContext& ctx, QStringList args) {
  if (args.size() < 2) {
    ctx.err << kUsage;
    return kExitUsage;
  }
  QString archivePath, dest;
  if (!CanonicalOrSay(ctx, args.takeFirst(), &archivePath) ||
      !CanonicalOrSay(ctx, args.takeFirst(), &dest))
    return kExitUsage;
  const DWORD attr = plat::GetFileAttributes(dest);
  if (attr == INVALID_FILE_ATTRIBUTES || !(attr & FILE_ATTRIBUTE_DIRECTORY)) {
    ctx.err << "pinbro-cli: zip extract: " << dest << " is not a folder.\n";
    return kExitFailed;
  }
  if (args.isEmpty())
    return zip::ExtractAll(archivePath, dest) == zip::eZipCmdOK ? kExitOk : kExitFailed;
  const std::shared_ptr<zip::CZipArchive> archive = zip::CZipArchive::Open(archivePath);
  if (!archive) return zip::ExtractAll(archivePath, dest) == zip::eZipCmdOK ? kExitOk : kExitFailed;
  fileops::CSelection selection;
  for (const QString& entry : args) {
    const QString inner = zip::NormaliseZipName(zip::TidyZipName(entry));
    bool bFile = false;
    for (int i = 0; i < archive->Count() && !bFile; ++i)
      bFile = archive->Normalised(i) == inner && !archive->Entry(i).IsFolder();
    if (!bFile && !archive->HasFolder(inner)) {
      ctx.err << "pinbro-cli: zip extract: the archive holds no " << entry << ".\n";
      return kExitFailed;
    }
    selection.push_back(
        {bFile ? fileops::eSelFile : fileops::eSelFolder, archive->Path() + u'\\' + inner});
  }
  return zip::ExtractItems(archivePath, selection, dest) == zip::eZipCmdOK ? kExitOk : kExitFailed;
}

}  // namespace

int RunZipCommand(CCliContext& ctx) {
  QStringList args = ctx.args;
  const QString word = args.isEmpty() ? QString() : args.takeFirst();
  if (word == u"create") return RunCreate(ctx, args);
  if (word == u"extract") return RunExtract(ctx, args);
  if (word == u"test" && args.size() == 1) {
    QString archive;
    if (!CanonicalOrSay(ctx, args.first(), &archive)) return kExitUsage;
    return zip::TestArchive(archive) ? kExitOk : kExitFailed;
  }
  ctx.err << kUsage;
  return kExitUsage;
}

}  // namespace cli
