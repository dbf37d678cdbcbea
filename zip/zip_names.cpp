#include "zip/zip_names.h"

#include <zlib.h>

#include <QStringList>

#include "zip/zip_extra.h"

namespace zip {
namespace {

// The characters of bytes 0x80-0xFF in code page 437.
constexpr char16_t kCp437High[128] = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7, 0x00EA, 0x00EB, 0x00E8, 0x00EF,
    0x00EE, 0x00EC, 0x00C4, 0x00C5, 0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,
    0x00FF, 0x00D6, 0x00DC, 0x00A2, 0x00A3, 0x00A5, 0x20A7, 0x0192, 0x00E1, 0x00ED, 0x00F3, 0x00FA,
    0x00F1, 0x00D1, 0x00AA, 0x00BA, 0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556, 0x2555, 0x2563, 0x2551, 0x2557,
    0x255D, 0x255C, 0x255B, 0x2510, 0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F,
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567, 0x2568, 0x2564, 0x2565, 0x2559,
    0x2558, 0x2552, 0x2553, 0x256B, 0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,
    0x03B1, 0x00DF, 0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4, 0x03A6, 0x0398, 0x03A9, 0x03B4,
    0x221E, 0x03C6, 0x03B5, 0x2229, 0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248,
    0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2, 0x25A0, 0x00A0,
};

constexpr quint16 kUnicodePathTag = 0x7075;

bool IsAscii(const QByteArray& bytes) {
  for (const char c : bytes)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

}  // namespace

QString FromCp437(const QByteArray& raw) {
  QString text;
  text.reserve(raw.size());
  for (const char c : raw) {
    const auto b = static_cast<unsigned char>(c);
    text.append(b < 0x80 ? QChar(char16_t(b)) : QChar(kCp437High[b - 0x80]));
  }
  return text;
}

QString DecodeEntryName(const QByteArray& raw, bool bUtf8Flag, const QByteArray& extra) {
  if (bUtf8Flag) return QString::fromUtf8(raw);
  // Unicode path field: version 1, the CRC-32 of the name it stands for, the UTF-8 name.
  const QByteArray field = FindExtraField(extra, kUnicodePathTag);
  if (field.size() > 5 && field[0] == 1) {
    const quint32 crc = quint32(uchar(field[1])) | quint32(uchar(field[2])) << 8 |
                        quint32(uchar(field[3])) << 16 | quint32(uchar(field[4])) << 24;
    const auto* data = reinterpret_cast<const Bytef*>(raw.constData());
    if (crc == quint32(crc32(0, data, uInt(raw.size())))) return QString::fromUtf8(field.mid(5));
  }
  if (IsAscii(raw)) return QString::fromLatin1(raw);
  return FromCp437(raw);
}

QString CleanZipName(const QString& strName) {
  static const QString kClimbs[] = {QStringLiteral("\\..\\"), QStringLiteral("\\../"),
                                    QStringLiteral("/../"), QStringLiteral("/..\\")};
  // Most names need nothing: no drive, no leading separator, no "..".
  if (!(strName.size() >= 2 && strName[1] == u':') && !strName.startsWith(u'/') &&
      !strName.startsWith(u'\\') && !strName.contains(u".."))
    return strName;
  QString name = strName;
  for (;;) {
    if (name.size() >= 2 && name[1] == u':') {
      name.remove(0, 2);
      continue;
    }
    if (!name.isEmpty() && (name[0] == u'\\' || name[0] == u'/')) {
      name.remove(0, 1);
      continue;
    }
    // The first of the sequences found, from the start of the name.
    qsizetype cut = -1;
    for (const QString& seq : kClimbs) {
      const qsizetype at = name.indexOf(seq);
      if (at >= 0 && (cut < 0 || at + seq.size() < cut)) cut = at + seq.size();
    }
    if (cut < 0) return name;
    name.remove(0, cut);
  }
}

QString NormaliseZipName(const QString& strName) {
  QString name = strName;
  name.replace(u'/', u'\\');
  if (name.size() >= 2 && name.endsWith(u'\\')) name.chop(1);
  return name;
}

EZipRefusal CheckZipName(const QString& strCleaned) {
  // One pass over the components between separators ("/" and "\\" alike).
  bool bAnything = false;
  const qsizetype n = strCleaned.size();
  qsizetype start = 0;
  for (qsizetype i = 0; i <= n; ++i) {
    const char16_t c = i < n ? strCleaned[i].unicode() : u'/';
    if (c == 0) return EZipRefusal::eBadName;
    if (c != u'/' && c != u'\\') continue;
    const qsizetype len = i - start;
    if (len == 2 && strCleaned[start] == u'.' && strCleaned[start + 1] == u'.')
      return EZipRefusal::eClimbs;
    if (len > 1 || (len == 1 && strCleaned[start] != u'.')) bAnything = true;
    start = i + 1;
  }
  return bAnything ? EZipRefusal::eNone : EZipRefusal::eBadName;
}

QString TidyZipName(const QString& strCleaned) {
  if (!strCleaned.contains(u'\\') && !strCleaned.contains(u"//") && !strCleaned.contains(u"/./") &&
      !strCleaned.startsWith(u"./") && !strCleaned.endsWith(u"/.") && strCleaned != u".")
    return strCleaned;
  QString name = strCleaned;
  name.replace(u'\\', u'/');
  const bool bFolder = name.endsWith(u'/');
  QStringList parts;
  for (const QString& part : name.split(u'/'))
    if (!part.isEmpty() && part != u".") parts.append(part);
  QString tidy = parts.join(u'/');
  if (bFolder) tidy += u'/';
  return tidy;
}

QByteArray StoredZipName(const QString& strName, bool* pbUtf8) {
  QString name = strName;
  name.replace(u'\\', u'/');
  const QByteArray bytes = name.toUtf8();
  *pbUtf8 = !IsAscii(bytes);
  return bytes;
}

}  // namespace zip
