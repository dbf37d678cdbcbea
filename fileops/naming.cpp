#include "fileops/naming.h"

#include <string_view>

#include "core/path_helpers.h"
#include "core/message_box.h"
#include "core/texts.h"
#include "platform/find.h"

namespace fileops {
namespace {

// The characters a name may not hold, in the order they are removed.
constexpr char16_t kInvalidNameChars[] = u"\\/:*?<>|\"'";

// The first of "first" and "numbered" with 2, 3, ... that makes a free path in strFolder,
// where strSuffix is appended to each candidate for the existence test only.
template <typename FirstFn, typename NumberedFn>
QString UniqueName(const QString& strFolder, const QString& strSuffix, FirstFn first,
                   NumberedFn numbered) {
  QString strCandidate = first();
  for (int n = 2; ItemExists(browse::AppendPathComponent(strFolder, strCandidate + strSuffix));
       ++n) {
    strCandidate = numbered(n);
  }
  return strCandidate;
}

// The text after the last "\" or "/": a name that came with a path never carries its folders
// into the made name.
QString BareName(const QString& strName) {
  const qsizetype nCut = qMax(strName.lastIndexOf(u'\\'), strName.lastIndexOf(u'/'));
  return strName.mid(nCut + 1);
}

}  // namespace

bool ItemExists(const QString& strPath) {
  WIN32_FIND_DATAW data;
  return plat::FindOne(strPath, &data);
}

QString MakeNewFolderName(const QString& strFolder) {
  return UniqueName(
      strFolder, {}, [] { return core::Text(IDS_NEW_FOLDER); },
      [](int n) { return core::Text(IDS_NEW_FOLDER_N).arg(n); });
}

QString MakeCopyName(const QString& strName, const QString& strFolder) {
  const QString strBare = BareName(strName);
  return UniqueName(
      strFolder, {}, [&] { return core::Text(IDS_COPY_OF).arg(strBare); },
      [&](int n) { return core::Text(IDS_COPY_N_OF).arg(QString::number(n), strBare); });
}

QString MakeShortcutName(const QString& strTargetPath, const QString& strFolder) {
  const QString strTargetName = BareName(strTargetPath);
  return UniqueName(
      strFolder, QString::fromUtf16(kShortcutExtension),
      [&] { return core::Text(IDS_SHORTCUT_TO).arg(strTargetName); },
      [&](int n) { return core::Text(IDS_SHORTCUT_N_TO).arg(QString::number(n), strTargetName); });
}

QString RemoveInvalidNameChars(const QString& strText) {
  QString strResult = strText;
  for (const char16_t ch : std::u16string_view(kInvalidNameChars)) strResult.remove(QChar(ch));
  return strResult;
}

bool HasInvalidNameChars(const QString& strText) {
  for (const char16_t ch : std::u16string_view(kInvalidNameChars)) {
    if (strText.contains(QChar(ch))) return true;
  }
  return false;
}

bool IsValidItemName(const QString& strName) {
  return !strName.isEmpty() && strName != u"." && strName != u".." &&
         !HasInvalidNameChars(strName);
}

bool CheckTypedName(const QString& strName) {
  if (IsValidItemName(strName)) return true;
  MsgError(core::Text(IDS_INVALID_NAME_TEXT), core::Text(IDS_INVALID_NAME_TITLE),
           core::Text(IDS_INVALID_NAME_HEADER));
  return false;
}

QString StripShortcutExtension(const QString& strName) {
  const qsizetype nExt = std::u16string_view(kShortcutExtension).size();
  if (strName.size() > nExt &&
      strName.endsWith(QStringView(kShortcutExtension), Qt::CaseInsensitive)) {
    return strName.left(strName.size() - nExt);
  }
  return strName;
}

QString PathNamePart(const QString& strPath) {
  if (strPath.endsWith(u'\\')) return {};
  return browse::LastComponent(strPath);
}

QString PathFolderPart(const QString& strPath) {
  // A trailing "\" ends the folder part itself; otherwise the parent is the folder part.
  if (strPath.endsWith(u'\\')) {
    return strPath.size() == 1 ? QStringLiteral("\\") : strPath.left(strPath.size() - 1);
  }
  return browse::ParentPath(strPath);
}

QString PathExtension(const QString& strPath) {
  const QString strName = PathNamePart(strPath);
  const qsizetype nDot = strName.lastIndexOf(u'.');
  return nDot < 0 ? QString() : strName.mid(nDot);
}

QString PathWithoutExtension(const QString& strPath) {
  return strPath.left(strPath.size() - PathExtension(strPath).size());
}

bool IsSameFolder(const QString& strPath, const QString& strFolder) {
  return PathFolderPart(strPath).compare(browse::StripTrailingBackslash(strFolder),
                                         Qt::CaseInsensitive) == 0;
}

}  // namespace fileops
