#pragma once
// Entry names: from the bytes of the central directory to the cleaned name, the name the
// file system and the panels see, and the bytes an archive stores.

#include <QByteArray>
#include <QString>

#include "zip/zip_layer.h"

namespace zip {

// Code page 437, the names' encoding when an entry says nothing else.
QString FromCp437(const QByteArray& raw);

// The name of an entry: UTF-8 when the flag bit 11 is set, else the Unicode path extra field
// (0x7075) when it belongs to these name bytes, else code page 437.
QString DecodeEntryName(const QByteArray& raw, bool bUtf8Flag, const QByteArray& extra);

// The cleaning of a read name, repeated until no rule applies: a drive prefix ("C:") goes, a
// leading "\" or "/" goes, and everything up to a "\..\", "\../", "/../" or "/..\" goes.
QString CleanZipName(const QString& strName);

// The name as the file system and the panels see it: "\" separated, one trailing "\" removed
// when the name is at least 2 characters long.
QString NormaliseZipName(const QString& strName);

// Whether a cleaned name may be extracted: no NUL, something left, and no component ".."
// (which a leading "..\" or a climb the cleaning left would be).
EZipRefusal CheckZipName(const QString& strCleaned);

// A name that passed CheckZipName without empty and "." components ("a//./b/" -> "a/b/"),
// "/" separated, a folder's trailing "/" kept.
QString TidyZipName(const QString& strCleaned);

// The bytes stored for a name given "\" or "/" separated: "/" separated UTF-8; *pbUtf8 tells
// whether the name is not plain ASCII (the entry then sets bit 11).
QByteArray StoredZipName(const QString& strName, bool* pbUtf8);

}  // namespace zip
