#include "registry/registry_file.h"

#include <QSet>
#include <QStringDecoder>
#include <QStringList>

#include <cstring>
#include <vector>

#include "core/message_box.h"
#include "core/texts.h"
#include "core/view_notify.h"
#include "platform/errors.h"
#include "platform/file.h"
#include "platform/file_system.h"
#include "platform/output_file.h"
#include "registry/registry_editor.h"
#include "registry/registry_view_source.h"

namespace regfile {
namespace {

constexpr char16_t kHeader5[] = u"Windows Registry Editor Version 5.00";
constexpr char16_t kHeader4[] = u"REGEDIT4";
// A hexadecimal line is continued once it reaches this column.
constexpr int kHexColumns = 76;

QString ErrorText(DWORD error) {
  const QString text = plat::SystemMessage(error).trimmed();
  return text.isEmpty() ? QStringLiteral("Error %1").arg(error) : text;
}

QString Escaped(const QString& strText) {
  QString out;
  out.reserve(strText.size() + 2);
  for (QChar c : strText) {
    if (c == u'\\' || c == u'"') out += u'\\';
    out += c;
  }
  return out;
}

QString Utf16Text(const QByteArray& data) {
  return QString::fromUtf16(reinterpret_cast<const char16_t*>(data.constData()), data.size() / 2);
}

QByteArray Utf16Bytes(const QString& strText) {
  return QByteArray(reinterpret_cast<const char*>(strText.utf16()), strText.size() * 2);
}

// The text of REG_SZ data when "text" in the file gives back exactly these bytes: one
// terminator at the end and none before it, no line breaks, valid UTF-16.
bool QuotableString(const QByteArray& data, QString* pstrText) {
  if (data.size() < 2 || data.size() % 2) return false;
  const QString all = Utf16Text(data);
  if (all.back() != QChar(0)) return false;
  const QString text = all.left(all.size() - 1);
  for (QChar c : text)
    if (c == QChar(0) || c == u'\r' || c == u'\n') return false;
  if (!text.isValidUtf16()) return false;
  *pstrText = text;
  return true;
}

class CExporter : public CRegEnumSink {
 public:
  explicit CExporter(bool bVersion5) : bVersion5_(bVersion5) {}

  bool OnKey(const CRegEnumItem& item) override {
    subKeys.append(item.name);
    return true;
  }

  bool OnValue(const CRegEnumItem& item) override {
    const QByteArray data(reinterpret_cast<const char*>(item.data), qsizetype(item.dataSize));
    const QString name = item.name == kRegNoName ? QString() : item.name;
    QString line = name.isEmpty() ? QStringLiteral("@=") : u'"' + Escaped(name) + QStringLiteral("\"=");
    QString text;
    if (item.platformType == REG_SZ && QuotableString(data, &text)) {
      line += u'"' + Escaped(text) + u'"';
    } else if (item.platformType == REG_DWORD && data.size() == 4) {
      quint32 number = 0;
      std::memcpy(&number, data.constData(), 4);
      line += QStringLiteral("dword:%1").arg(number, 8, 16, QLatin1Char('0'));
    } else {
      QByteArray bytes = data;
      if (!bVersion5_ && (item.platformType == REG_EXPAND_SZ || item.platformType == REG_MULTI_SZ) &&
          data.size() % 2 == 0 && Utf16Text(data).isValidUtf16())
        bytes = Utf16Text(data).toUtf8();  // 8-bit text in a REGEDIT4 file
      line += item.platformType == REG_BINARY
                  ? QStringLiteral("hex:")
                  : QStringLiteral("hex(%1):").arg(item.platformType, 0, 16);
      AppendHex(&line, bytes);
    }
    out += line;
    out += u"\r\n";
    ++values;
    return true;
  }

  static void AppendHex(QString* pLine, const QByteArray& bytes) {
    static const char kDigits[] = "0123456789abcdef";
    qsizetype column = pLine->size();
    const qsizetype n = bytes.size();
    pLine->reserve(pLine->size() + n * 3 + n / 24 * 5);
    for (qsizetype i = 0; i < n; ++i) {
      const unsigned char b = static_cast<unsigned char>(bytes[i]);
      *pLine += QLatin1Char(kDigits[b >> 4]);
      *pLine += QLatin1Char(kDigits[b & 15]);
      column += 2;
      if (i + 1 < n) {
        *pLine += u',';
        ++column;
        if (column >= kHexColumns) {
          *pLine += u"\\\r\n  ";
          column = 2;
        }
      }
    }
  }

  QString out;
  QStringList subKeys;
  int values = 0;

 private:
  bool bVersion5_;
};

// One change an import makes, in file order.
struct COp {
  enum EKind { eKey, eDeleteKey, eValue, eDeleteValue } kind = eKey;
  int nLine = 0;
  HKEY root = 0;
  QString keyPath;  // keys: as navigation holds it ("\a\b")
  QString name;     // values
  DWORD type = 0;
  QByteArray data;
};

// Reads a quoted text at *pAt (which is at the opening quote); escapes \\ and \".
// 0 on success, else the number of the reason.
int ReadQuoted(const QString& line, qsizetype* pAt, QString* pstrOut, int nUnclosed) {
  pstrOut->clear();
  for (qsizetype i = *pAt + 1; i < line.size(); ++i) {
    const QChar c = line[i];
    if (c == u'"') {
      *pAt = i + 1;
      return 0;
    }
    if (c == u'\\') {
      if (i + 1 >= line.size()) return nUnclosed;
      const QChar next = line[i + 1];
      if (next != u'\\' && next != u'"') return 900974;
      *pstrOut += next;
      ++i;
    } else {
      *pstrOut += c;
    }
  }
  return nUnclosed;
}

int HexValue(QChar c) {
  if (c >= u'0' && c <= u'9') return c.unicode() - u'0';
  if (c >= u'a' && c <= u'f') return c.unicode() - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c.unicode() - u'A' + 10;
  return -1;
}

bool ParseHexBytes(QStringView text, QByteArray* pBytes) {
  pBytes->clear();
  if (text.trimmed().isEmpty()) return true;
  pBytes->reserve(text.size() / 3 + 1);
  for (QStringView piece : text.split(u',')) {
    piece = piece.trimmed();
    if (piece.isEmpty() || piece.size() > 2) return false;
    int value = 0;
    for (QChar c : piece) {
      const int digit = HexValue(c);
      if (digit < 0) return false;
      value = value * 16 + digit;
    }
    pBytes->append(char(value));
  }
  return true;
}

// The value data after "=": 0 and the type and bytes, or the number of the reason.
int ParseData(const QString& data, bool bVersion5, COp* pOp) {
  if (data.startsWith(u'"')) {
    qsizetype at = 0;
    QString text;
    if (const int why = ReadQuoted(data, &at, &text, 900969)) return why;
    if (!data.mid(at).trimmed().isEmpty()) return 900972;
    pOp->type = REG_SZ;
    pOp->data = Utf16Bytes(text) + QByteArray(2, '\0');
    return 0;
  }
  if (data.startsWith(u"dword:", Qt::CaseInsensitive)) {
    const QString digits = data.mid(6).trimmed();
    bool bOk = digits.size() >= 1 && digits.size() <= 8;
    const quint32 number = bOk ? digits.toUInt(&bOk, 16) : 0;
    if (!bOk || digits.startsWith(u'+') || digits.startsWith(u'-')) return 900971;
    pOp->type = REG_DWORD;
    pOp->data = QByteArray(reinterpret_cast<const char*>(&number), 4);
    return 0;
  }
  if (!data.startsWith(u"hex", Qt::CaseInsensitive)) return 900972;
  qsizetype colon = data.indexOf(u':');
  if (colon < 0) return 900972;
  const QString kind = data.left(colon).trimmed();
  if (kind.compare(u"hex", Qt::CaseInsensitive) == 0) {
    pOp->type = REG_BINARY;
  } else if (kind.size() > 5 && kind[3] == u'(' && kind.back() == u')') {
    bool bOk = false;
    pOp->type = kind.mid(4, kind.size() - 5).toUInt(&bOk, 16);
    if (!bOk) return 900970;
  } else {
    return 900972;
  }
  if (!ParseHexBytes(QStringView(data).mid(colon + 1), &pOp->data)) return 900970;
  if (!bVersion5 && (pOp->type == REG_EXPAND_SZ || pOp->type == REG_MULTI_SZ))
    pOp->data = Utf16Bytes(QString::fromUtf8(pOp->data));
  return 0;
}

bool Fail(CImportError* pError, int nLine, const QString& strWhy) {
  if (pError) *pError = {nLine, strWhy};
  return false;
}

// The lines of the file's text, each without its line end.
QStringList Lines(const QByteArray& bytes, bool* pbOk) {
  QString text;
  *pbOk = true;
  if (bytes.startsWith("\xFF\xFE")) {
    text = QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData() + 2),
                              (bytes.size() - 2) / 2);
  } else {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    text = decoder(bytes.startsWith("\xEF\xBB\xBF") ? bytes.mid(3) : bytes);
    *pbOk = !decoder.hasError();
  }
  QStringList lines = text.split(u'\n');
  for (QString& line : lines)
    if (line.endsWith(u'\r')) line.chop(1);
  return lines;
}

bool Parse(const QByteArray& bytes, std::vector<COp>* pOps, CImportError* pError) {
  bool bDecoded = true;
  const QStringList lines = Lines(bytes, &bDecoded);
  const QString header = lines.value(0).trimmed();
  if (header != QStringView(kHeader5) && header != QStringView(kHeader4))
    return Fail(pError, 1, core::Text(900963));
  if (!bDecoded) return Fail(pError, 1, core::Text(900980));
  const bool bVersion5 = header == QStringView(kHeader5);
  bool bHaveKey = false, bKeyDeleted = false;
  HKEY root = 0;
  QString keyPath;
  for (qsizetype i = 1; i < lines.size(); ++i) {
    const int nLine = int(i + 1);
    QString line = lines[i].trimmed();
    if (line.isEmpty() || line.startsWith(u';')) continue;
    if (line.startsWith(u'[')) {
      if (!line.endsWith(u']')) return Fail(pError, nLine, core::Text(900964));
      QString inner = line.mid(1, line.size() - 2);
      const bool bDelete = inner.startsWith(u'-');
      if (bDelete) inner.remove(0, 1);
      if (!ParseRegistryListPath(inner, &root, &keyPath))
        return Fail(pError, nLine, core::Text(900965));
      if (bDelete && keyPath.isEmpty())
        return Fail(pError, nLine, core::Text(900979).arg(ErrorText(ERROR_ACCESS_DENIED)));
      COp op;
      op.kind = bDelete ? COp::eDeleteKey : COp::eKey;
      op.nLine = nLine;
      op.root = root;
      op.keyPath = keyPath;
      pOps->push_back(std::move(op));
      bHaveKey = true;
      bKeyDeleted = bDelete;
      continue;
    }
    // A value line, continued over the following lines while it ends with a backslash.
    while (line.endsWith(u'\\')) {
      // A continued line needs a line after it that is not blank.
      if (i + 1 >= lines.size() || lines[i + 1].trimmed().isEmpty())
        return Fail(pError, nLine, core::Text(900973));
      line.chop(1);
      line += lines[++i].trimmed();
    }
    COp op;
    op.nLine = nLine;
    qsizetype at = 0;
    if (line.startsWith(u'@')) {
      at = 1;
    } else if (line.startsWith(u'"')) {
      if (const int why = ReadQuoted(line, &at, &op.name, 900967))
        return Fail(pError, nLine, core::Text(why));
    } else {
      return Fail(pError, nLine, core::Text(900972));
    }
    while (at < line.size() && line[at].isSpace()) ++at;
    if (at >= line.size() || line[at] != u'=') return Fail(pError, nLine, core::Text(900968));
    const QString data = line.mid(at + 1).trimmed();
    if (!bHaveKey) return Fail(pError, nLine, core::Text(900966));
    if (data == u"-") {
      op.kind = COp::eDeleteValue;
    } else {
      op.kind = COp::eValue;
      if (const int why = ParseData(data, bVersion5, &op))
        return Fail(pError, nLine, core::Text(why));
    }
    // The values of a deleted key's section are left out, as the key is gone.
    if (bKeyDeleted) continue;
    op.root = root;
    op.keyPath = keyPath;
    pOps->push_back(std::move(op));
  }
  return true;
}

// A key handle for the length of one section.
class CSectionKey {
 public:
  ~CSectionKey() { Close(); }
  void Close() {
    if (key_) plat::RegCloseKey(key_);
    key_ = 0;
  }
  LONG Create(HKEY root, const QString& path) {
    Close();
    return plat::RegCreateKeyEx(root, path, &key_, nullptr);
  }
  HKEY get() const { return key_; }

 private:
  HKEY key_ = 0;
};

bool Apply(const std::vector<COp>& ops, CImportError* pError) {
  CRegBatch batch;
  if (!batch.Begun())
    return Fail(pError, 0, core::Text(900975).arg(ErrorText(plat::GetLastError())));
  CSectionKey key;
  for (const COp& op : ops) {
    LONG rc = ERROR_SUCCESS;
    int nWhy = 900975;
    switch (op.kind) {
      case COp::eKey:
        rc = key.Create(op.root, op.keyPath);
        break;
      case COp::eDeleteKey: {
        key.Close();
        const QString parent = ParentKeyPath(op.keyPath);
        const QString name = op.keyPath.mid(op.keyPath.lastIndexOf(u'\\') + 1);
        if (KeyExists(op.root, op.keyPath) && !DeleteKey(op.root, parent, name)) {
          rc = LONG(plat::GetLastError());
          nWhy = 900979;
        }
        break;
      }
      case COp::eValue:
        rc = plat::RegSetValueEx(key.get(), op.name, op.type,
                                 reinterpret_cast<const BYTE*>(op.data.constData()),
                                 DWORD(op.data.size()));
        break;
      case COp::eDeleteValue:
        rc = plat::RegDeleteValue(key.get(), op.name);
        if (rc == ERROR_FILE_NOT_FOUND) rc = ERROR_SUCCESS;  // nothing to delete
        break;
    }
    if (rc != ERROR_SUCCESS) return Fail(pError, op.nLine, core::Text(nWhy).arg(ErrorText(DWORD(rc))));
  }
  key.Close();
  if (!batch.Commit())
    return Fail(pError, 0, core::Text(900975).arg(ErrorText(plat::GetLastError())));
  return true;
}

void NotifyImported(const std::vector<COp>& ops) {
  fileops::CViewRun run;
  QSet<QString> told;
  for (const COp& op : ops) {
    if (op.kind != COp::eKey && op.kind != COp::eDeleteKey) continue;
    const QString id = QString::number(op.root) + op.keyPath.toLower() + QString::number(op.kind);
    if (told.contains(id)) continue;
    told.insert(id);
    fileops::NotifyRegistryChange(op.kind == COp::eKey ? fileops::EViewChange::eFolderCreated
                                                       : fileops::EViewChange::eFolderRemoved,
                                  op.root, op.keyPath);
  }
}

bool ReadDeviceFile(const QString& strPath, QByteArray* pBytes) {
  plat::CHostFile file;
  if (!file.Open(strPath, plat::GENERIC_READ, plat::OPEN_EXISTING)) return false;
  quint64 size = 0;
  if (!file.GetSize(&size) || size > quint64(1) << 30) return false;
  pBytes->resize(qsizetype(size));
  qsizetype done = 0;
  while (done < pBytes->size()) {
    DWORD got = 0;
    if (!file.Read(pBytes->data() + done, DWORD(pBytes->size() - done), &got)) return false;
    if (got == 0) break;
    done += got;
  }
  pBytes->resize(done);
  return file.Close();
}

}  // namespace

QByteArray ExportText(HKEY root, const QString& strKeyPath, ERegFileFormat format, int* pnKeys,
                      int* pnValues) {
  const bool bVersion5 = format == eRegFile_Version5;
  QString text = QString::fromUtf16(bVersion5 ? kHeader5 : kHeader4) + QStringLiteral("\r\n\r\n");
  int nKeys = 0, nValues = 0;
  QString start = strKeyPath;
  while (start.endsWith(u'\\')) start.chop(1);
  std::vector<QString> pending{start};
  while (!pending.empty()) {
    const QString path = pending.back();
    pending.pop_back();
    CExporter sink(bVersion5);
    if (!KeyExists(root, path)) continue;
    EnumValues(root, path, &sink);
    EnumSubKeys(root, path, &sink);
    QString below = path;
    while (below.startsWith(u'\\')) below.remove(0, 1);
    text += u'[' + RootName(root) + (below.isEmpty() ? QString() : u'\\' + below) + QStringLiteral("]\r\n");
    text += sink.out;
    text += u"\r\n";
    ++nKeys;
    nValues += sink.values;
    // Depth first, subkeys in the registry's order.
    for (qsizetype i = sink.subKeys.size() - 1; i >= 0; --i)
      pending.push_back((below.isEmpty() ? QString() : u'\\' + below) + u'\\' + sink.subKeys[i]);
  }
  if (pnKeys) *pnKeys = nKeys;
  if (pnValues) *pnValues = nValues;
  if (!bVersion5) return text.toUtf8();
  return QByteArray("\xFF\xFE", 2) + Utf16Bytes(text);
}

bool ImportText(const QByteArray& bytes, CImportError* pError) {
  std::vector<COp> ops;
  if (!Parse(bytes, &ops, pError) || !Apply(ops, pError)) return false;
  NotifyImported(ops);
  return true;
}

bool ExportToFile(HKEY root, const QString& strKeyPath, const QString& strDevicePath,
                  ERegFileFormat format, QString* pstrError) {
  if (!KeyExists(root, strKeyPath)) {
    *pstrError = ErrorText(ERROR_FILE_NOT_FOUND);
    return false;
  }
  const QByteArray bytes = ExportText(root, strKeyPath, format);
  const bool bExists = plat::GetFileAttributes(strDevicePath) != INVALID_FILE_ATTRIBUTES;
  plat::COutputFile out;
  DWORD written = 0;
  if (!out.Create(strDevicePath, bExists) ||
      !out.File().Write(bytes.constData(), DWORD(bytes.size()), &written) ||
      !out.Commit(true, true)) {
    *pstrError = ErrorText(plat::GetLastError());
    return false;
  }
  return true;
}

bool ImportFromFile(const QString& strDevicePath, QString* pstrMessage) {
  QByteArray bytes;
  if (!ReadDeviceFile(strDevicePath, &bytes)) {
    *pstrMessage = core::Text(900977).arg(strDevicePath, ErrorText(plat::GetLastError()));
    return false;
  }
  CImportError error;
  if (ImportText(bytes, &error)) return true;
  *pstrMessage = core::Text(900960).arg(strDevicePath).arg(error.nLine).arg(error.strWhy);
  return false;
}

bool ExportCommand(HKEY root, const QString& strKeyPath) {
  regedit::IRegistryDialogs* pDialogs = regedit::RegistryDialogs();
  if (root == 0 || !pDialogs) return false;
  QString name = strKeyPath;
  while (name.endsWith(u'\\')) name.chop(1);
  name = name.mid(name.lastIndexOf(u'\\') + 1);
  bool bRegedit4 = false;
  const QString path =
      pDialogs->ExportFile((name.isEmpty() ? RootName(root) : name) + QStringLiteral(".reg"), &bRegedit4);
  if (path.isEmpty()) return false;
  QString error;
  if (ExportToFile(root, strKeyPath, path, bRegedit4 ? eRegFile_Regedit4 : eRegFile_Version5,
                   &error))
    return true;
  MsgError(core::Text(900976).arg(path, error), core::Text(900923), core::Text(900962));
  return false;
}

bool ImportCommand() {
  regedit::IRegistryDialogs* pDialogs = regedit::RegistryDialogs();
  if (!pDialogs) return false;
  const QString path = pDialogs->ImportFile();
  if (path.isEmpty()) return false;
  QString message;
  if (ImportFromFile(path, &message)) return true;
  MsgError(message, core::Text(900923), core::Text(900961));
  return false;
}

}  // namespace regfile
