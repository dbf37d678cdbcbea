#include "core/app_log.h"

#include <QMutexLocker>

#include "core/message_box.h"
#include "platform/errors.h"
#include "platform/filetime.h"
#include "platform/system.h"

namespace {

constexpr DWORD kSevereLevels = eLogEmerg | eLogAlert | eLogCrit;
constexpr DWORD kAllLevels = 0xFF;

// Keeps the caller's last error across the log's own file calls.
class CKeepLastError {
 public:
  CKeepLastError() : error_(plat::GetLastError()) {}
  ~CKeepLastError() { plat::SetLastError(error_); }

 private:
  DWORD error_;
};

// "yyyy-mm-dd hh:mm:ss" as "%4d-%02d-%02d %02d:%02d:%02d" writes it.
QString TimeStamp(const SYSTEMTIME& st) {
  const QLatin1Char zero('0');
  return QStringLiteral("%1-%2-%3 %4:%5:%6")
      .arg(st.wYear, 4, 10, QLatin1Char(' '))
      .arg(st.wMonth, 2, 10, zero)
      .arg(st.wDay, 2, 10, zero)
      .arg(st.wHour, 2, 10, zero)
      .arg(st.wMinute, 2, 10, zero)
      .arg(st.wSecond, 2, 10, zero);
}

// Appends the bytes to the file at devicePath: open (create, never truncate), seek to the end,
// write, flush, close. False only when the file could not be opened.
bool AppendToFile(const QString& devicePath, const QByteArray& bytes) {
  plat::CHostFile file;
  if (!file.Open(devicePath, plat::GENERIC_WRITE, plat::OPEN_ALWAYS)) return false;
  DWORD written = 0;
  if (file.Seek(0, plat::FILE_END)) {
    file.Write(bytes.constData(), DWORD(bytes.size()), &written);
    file.Flush();
  }
  file.Close();
  return true;
}

}  // namespace

QString CLogOptions::DefaultFolder() {
  const QString exe = plat::GetModuleFileName();
  const qsizetype slash = exe.lastIndexOf(QLatin1Char('\\'));
  return slash < 0 ? QStringLiteral("\\") : exe.left(slash);
}

CLogOptions CLogOptions::Defaults() {
  CLogOptions options;
  options.strFolder = DefaultFolder();
  return options;
}

namespace {

// Each switch field with its level bit.
struct CSwitchField {
  DWORD CLogOptions::*field;
  DWORD dwLevel;
};
constexpr CSwitchField kSwitchFields[] = {
    {&CLogOptions::dwLogEmerg, eLogEmerg},   {&CLogOptions::dwLogAlert, eLogAlert},
    {&CLogOptions::dwLogCrit, eLogCrit},     {&CLogOptions::dwLogErr, eLogErr},
    {&CLogOptions::dwLogWarn, eLogWarn},     {&CLogOptions::dwLogNotice, eLogNotice},
    {&CLogOptions::dwLogInfo, eLogInfo},     {&CLogOptions::dwLogDebug, eLogDebug},
};

}  // namespace

DWORD CLogOptions::SwitchBits() const {
  DWORD bits = 0;
  for (const CSwitchField& s : kSwitchFields)
    if (this->*s.field) bits |= s.dwLevel;
  return bits;
}

void CLogOptions::SetSwitchBits(DWORD dwBits) {
  for (const CSwitchField& s : kSwitchFields) this->*s.field = (dwBits & s.dwLevel) ? 1 : 0;
}

QString LogPathOfFolder(const QString& strFolder) {
  const QString name = QString::fromUtf16(kLogFileName);
  if (strFolder.endsWith(QLatin1Char('\\'))) return strFolder + name;
  return strFolder + QLatin1Char('\\') + name;
}

QString LogLevelTag(DWORD dwLevel) {
  switch (dwLevel) {
    case eLogEmerg: return QStringLiteral("emrg");
    case eLogAlert: return QStringLiteral("alrt");
    case eLogCrit: return QStringLiteral("crit");
    case eLogErr: return QStringLiteral("err!");
    case eLogWarn: return QStringLiteral("warn");
    case eLogNotice: return QStringLiteral("note");
    case eLogInfo: return QStringLiteral("info");
    case eLogDebug: return QStringLiteral("dbug");
    default: return QStringLiteral("????");
  }
}

QString FormatLogLine(DWORD dwLevel, const SYSTEMTIME& st, QStringView message) {
  QString line;
  line.reserve(message.size() + 32);
  line += QLatin1Char('[') + LogLevelTag(dwLevel) + QStringLiteral(" @ ") + TimeStamp(st) +
          QStringLiteral("]: ");
  line += message;
  line += QStringLiteral("\r\n");
  return line;
}

CAppLog& CAppLog::Instance() {
  static CAppLog log;
  return log;
}

void CAppLog::Open(const CLogOptions& options) {
  CKeepLastError keep;
  const QString path = LogPathOfFolder(options.strFolder);
  if (options.dwTruncateLog) {
    plat::CHostFile file;
    if (file.Open(path, plat::GENERIC_WRITE, plat::CREATE_ALWAYS)) file.Close();
  }
  {
    QMutexLocker lock(&mutex_);
    path_ = path;
    folder_ = options.strFolder;
    truncateLog_ = options.dwTruncateLog;
  }
  gate_.store(kOpenBit | options.SwitchBits(), std::memory_order_release);
}

void CAppLog::Retarget(const QString& strFolder) {
  QMutexLocker lock(&mutex_);
  path_ = LogPathOfFolder(strFolder);
  folder_ = strFolder;
}

void CAppLog::Close() {
  gate_.fetch_and(~kOpenBit, std::memory_order_release);
  QMutexLocker lock(&mutex_);
  path_.clear();
}

QString CAppLog::Path() const {
  QMutexLocker lock(&mutex_);
  return path_;
}

CLogOptions CAppLog::Options() const {
  CLogOptions options;
  {
    QMutexLocker lock(&mutex_);
    options.strFolder = folder_;
    options.dwTruncateLog = truncateLog_;
  }
  options.SetSwitchBits(gate_.load(std::memory_order_relaxed) & kAllLevels);
  return options;
}

void CAppLog::SetSwitch(DWORD dwLevel, bool bOn) {
  dwLevel &= kAllLevels;
  if (bOn)
    gate_.fetch_or(dwLevel, std::memory_order_relaxed);
  else
    gate_.fetch_and(~dwLevel, std::memory_order_relaxed);
}

void CAppLog::SetClock(ClockFn clock) { clock_.store(clock); }

void CAppLog::ReadClock(SYSTEMTIME* st) const {
  const ClockFn clock = clock_.load();
  if (clock)
    clock(st);
  else
    plat::GetLocalTime(st);
}

void CAppLog::WriteLine(DWORD dwTagLevel, QStringView format, const CPrintfArg* args,
                        std::size_t count) {
  CKeepLastError keep;
  // The message is formatted into this call's own storage; only the time stamp, the
  // conversion and the append run under the lock, so lines never interleave and their time
  // stamps follow the order of the file.
  const QString message = PrintfFormatArgs(format, args, count, kLogMessageChars);
  {
    QMutexLocker lock(&mutex_);
    if (!IsOpen()) return;  // closed while this line was being formatted
    SYSTEMTIME st{};
    ReadClock(&st);
    const QByteArray bytes = plat::ToAnsi(FormatLogLine(dwTagLevel, st, message));
    if (!AppendToFile(path_, bytes)) return;  // the line is lost, and no box is shown
  }
  // The box waits for the user, so it is shown outside the lock: other threads keep logging,
  // and the user-interface thread can log while a worker waits for its box.
  if (dwTagLevel & kSevereLevels) {
    MsgError(message, QStringLiteral("Error!"), QStringLiteral("A critical error occured!"));
  }
}

void OpenLog(const CLogOptions& options) { CAppLog::Instance().Open(options); }
void RetargetLog(const QString& strFolder) { CAppLog::Instance().Retarget(strFolder); }
void CloseLog() { CAppLog::Instance().Close(); }
void SetLogSwitch(DWORD dwLevel, bool bOn) { CAppLog::Instance().SetSwitch(dwLevel, bOn); }
bool IsLogOn(DWORD dwLevel) { return CAppLog::Writes(dwLevel); }

namespace {

// The system's text cut before its first carriage return or form feed. (The handheld limits
// SystemErrorText's lines to 255 characters; the host's descriptions are single sentences, so
// both helpers cut the same text.)
QString FirstLineOfSystemMessage(DWORD dwError) {
  QString text = plat::SystemMessage(dwError);
  const qsizetype cr = text.indexOf(QLatin1Char('\r'));
  const qsizetype ff = text.indexOf(QLatin1Char('\f'));
  qsizetype cut = cr < 0 ? ff : (ff < 0 ? cr : qMin(cr, ff));
  if (cut >= 0) text.truncate(cut);
  return text;
}

}  // namespace

QString SystemErrorText(DWORD dwError) {
  CKeepLastError keep;
  return FirstLineOfSystemMessage(dwError);
}

void LogSystemError(DWORD dwError) {
  if (!CAppLog::Writes(eLogErr)) return;
  CKeepLastError keep;
  LogErr(u"Error code: 0x%x, description: %s", dwError, FirstLineOfSystemMessage(dwError));
}

namespace applog_detail {

void WriteTraceLine(plat::CHostFile* pFile, QStringView format, const CPrintfArg* args,
                    std::size_t count) {
  CKeepLastError keep;
  const QString message = PrintfFormatArgs(format, args, count, kTraceMessageChars);
  SYSTEMTIME st{};
  CAppLog::Instance().ReadClock(&st);
  QString line;
  line.reserve(message.size() + 26);
  line += QLatin1Char('[') + TimeStamp(st) + QStringLiteral("]: ");
  line += message;
  line += QStringLiteral("\r\n");
  const QByteArray bytes = plat::ToAnsi(line);
  DWORD written = 0;
  pFile->Write(bytes.constData(), DWORD(bytes.size()), &written);
}

}  // namespace applog_detail
