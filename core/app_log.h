#pragma once
// The application log: one ANSI text file, "pinbro.log", to which every subsystem appends
// time-stamped lines through the level entry points below. Each level has its own switch and
// all are off by default; a switched-off level costs one relaxed atomic load and nothing else.
// Lines of the three most severe levels also show the error box.
//
//   LogWarn(u"Could not read %s (%d)", strPath, nCode);
//   LogTrace(u"CFSCollect::CollectFiles(%d)...", nDepth);
//
// Every entry point is callable from any thread. The file is opened, appended to, flushed and
// closed for every line, so it is complete on disk after each call.

#include <QMutex>
#include <QString>
#include <QStringView>

#include <atomic>
#include <cstddef>

#include "core/log_format.h"
#include "platform/file.h"
#include "platform/wintypes.h"

// The eight levels, most severe first. Each is one bit of the log's switch set.
enum ELogLevel : DWORD {
  eLogEmerg = 1,
  eLogAlert = 2,
  eLogCrit = 4,
  eLogErr = 8,
  eLogWarn = 16,
  eLogNotice = 32,
  eLogInfo = 64,
  eLogDebug = 128,
};

// Message texts are cut to 2047 characters (2048 with the handheld's terminator); trace lines
// of the encryption engine to 1023.
constexpr int kLogMessageChars = 2048;
constexpr int kTraceMessageChars = 1024;

// The file name inside the log folder.
inline constexpr char16_t kLogFileName[] = u"pinbro.log";

// The log's options (AppLog_* in the current profile). The settings store fills this from the
// in-memory option set and passes it to OpenLog.
struct CLogOptions {
  QString strFolder;        // AppLog_Folder
  DWORD dwTruncateLog = 0;  // AppLog_TruncateLog: empty the file once when the log is opened
  DWORD dwLogEmerg = 0;     // AppLog_LogEmerg ... AppLog_LogDebug: non-zero is on
  DWORD dwLogAlert = 0;
  DWORD dwLogCrit = 0;
  DWORD dwLogErr = 0;
  DWORD dwLogWarn = 0;
  DWORD dwLogNotice = 0;
  DWORD dwLogInfo = 0;
  DWORD dwLogDebug = 0;

  // The default of AppLog_Folder: the executable's folder (its path up to, not including, the
  // last backslash; "\" when the path has none).
  static QString DefaultFolder();
  // Every option at its default.
  static CLogOptions Defaults();

  // The switches as a set of ELogLevel bits, and back.
  DWORD SwitchBits() const;
  void SetSwitchBits(DWORD dwBits);
};

// "%s\%s" of the folder and "pinbro.log"; a folder that already ends in a backslash (the root
// "\") is not given a second one.
QString LogPathOfFolder(const QString& strFolder);

class CAppLog {
 public:
  static CAppLog& Instance();

  // Records the path and the switches and marks the log open; with dwTruncateLog the file is
  // emptied first (a failure there is ignored). Called on the user-interface thread.
  void Open(const CLogOptions& options);
  // Makes the file in strFolder the log's file from the next line on; never empties it.
  void Retarget(const QString& strFolder);
  // Marks the log closed and forgets its path; entry points called afterwards write nothing.
  // The switches are kept so that the options can still be saved.
  void Close();

  bool IsOpen() const { return (gate_.load(std::memory_order_relaxed) & kOpenBit) != 0; }
  QString Path() const;
  // The folder, the truncate option and the switches as they stand now.
  CLogOptions Options() const;

  // A changed switch takes effect with the next line.
  void SetSwitch(DWORD dwLevel, bool bOn);
  bool Switch(DWORD dwLevel) const {
    return (gate_.load(std::memory_order_relaxed) & dwLevel) == dwLevel;
  }

  // True when the log is open and the switch of dwLevel is on: the one test an entry point
  // makes before any formatting.
  static bool Writes(DWORD dwLevel) {
    const DWORD want = kOpenBit | dwLevel;
    return (gate_.load(std::memory_order_relaxed) & want) == want;
  }

  // Formats and appends one line with the tag of dwTagLevel; shows the error box for the
  // three most severe levels once the file could be opened. Use the entry points instead.
  void WriteLine(DWORD dwTagLevel, QStringView format, const CPrintfArg* args, std::size_t count);

  // The clock of the time stamps (GetLocalTime); tests pin it. Null restores the real clock.
  using ClockFn = void (*)(SYSTEMTIME*);
  void SetClock(ClockFn clock);
  void ReadClock(SYSTEMTIME* st) const;

 private:
  CAppLog() = default;
  static constexpr DWORD kOpenBit = 0x80000000u;

  // The open flag and the eight switches. Written on the user-interface thread only (open,
  // retarget, close, settings pages); read by every entry point without a lock.
  static inline std::atomic<DWORD> gate_{0};

  mutable QMutex mutex_;  // serialises every line's append and guards the members below
  QString path_;
  QString folder_;
  DWORD truncateLog_ = 0;
  std::atomic<ClockFn> clock_{nullptr};
};

// The level tag of a line: "emrg", "alrt", "crit", "err!", "warn", "note", "info", "dbug";
// "????" for anything else.
QString LogLevelTag(DWORD dwLevel);
// "[tag @ yyyy-mm-dd hh:mm:ss]: message\r\n" as UTF-16, before the ANSI conversion.
QString FormatLogLine(DWORD dwLevel, const SYSTEMTIME& st, QStringView message);

void OpenLog(const CLogOptions& options);
void RetargetLog(const QString& strFolder);
void CloseLog();
void SetLogSwitch(DWORD dwLevel, bool bOn);
bool IsLogOn(DWORD dwLevel);

// The system's description of an error code, as one line: cut before its first carriage
// return or form feed. Empty for an unknown code.
QString SystemErrorText(DWORD dwError);
// Writes "Error code: 0x%x, description: %s" with LogErr.
void LogSystemError(DWORD dwError);

namespace applog_detail {
template <typename... Args>
inline void Line(DWORD dwGate, DWORD dwTag, QStringView format, const Args&... args) {
  if (!CAppLog::Writes(dwGate)) return;
  if constexpr (sizeof...(Args) == 0) {
    CAppLog::Instance().WriteLine(dwTag, format, nullptr, 0);
  } else {
    const CPrintfArg packed[] = {CPrintfArg(args)...};
    CAppLog::Instance().WriteLine(dwTag, format, packed, sizeof...(Args));
  }
}

void WriteTraceLine(plat::CHostFile* pFile, QStringView format, const CPrintfArg* args,
                    std::size_t count);
}  // namespace applog_detail

template <typename... Args>
void LogEmerg(QStringView format, const Args&... args) {
  applog_detail::Line(eLogEmerg, eLogEmerg, format, args...);
}
template <typename... Args>
void LogAlert(QStringView format, const Args&... args) {
  applog_detail::Line(eLogAlert, eLogAlert, format, args...);
}
template <typename... Args>
void LogCrit(QStringView format, const Args&... args) {
  applog_detail::Line(eLogCrit, eLogCrit, format, args...);
}
template <typename... Args>
void LogErr(QStringView format, const Args&... args) {
  applog_detail::Line(eLogErr, eLogErr, format, args...);
}
template <typename... Args>
void LogWarn(QStringView format, const Args&... args) {
  applog_detail::Line(eLogWarn, eLogWarn, format, args...);
}
template <typename... Args>
void LogNotice(QStringView format, const Args&... args) {
  applog_detail::Line(eLogNotice, eLogNotice, format, args...);
}
template <typename... Args>
void LogInfo(QStringView format, const Args&... args) {
  applog_detail::Line(eLogInfo, eLogInfo, format, args...);
}
template <typename... Args>
void LogDebug(QStringView format, const Args&... args) {
  applog_detail::Line(eLogDebug, eLogDebug, format, args...);
}
// Function trace: entry ("Name(args)...") and exit ("Name(args)") lines. Written with the
// Debug tag but switched by the Info switch.
template <typename... Args>
void LogTrace(QStringView format, const Args&... args) {
  applog_detail::Line(eLogInfo, eLogDebug, format, args...);
}

// The encryption engine's per-operation trace: "[yyyy-mm-dd hh:mm:ss]: message\r\n" in ANSI,
// written through pFile at its current position. No switch; nothing when pFile is null; the
// file is neither opened nor closed here.
template <typename... Args>
void TraceLine(plat::CHostFile* pFile, QStringView format, const Args&... args) {
  if (!pFile) return;
  if constexpr (sizeof...(Args) == 0) {
    applog_detail::WriteTraceLine(pFile, format, nullptr, 0);
  } else {
    const CPrintfArg packed[] = {CPrintfArg(args)...};
    applog_detail::WriteTraceLine(pFile, format, packed, sizeof...(Args));
  }
}
