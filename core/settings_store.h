#pragma once
// Typed reads and writes of single options in the registry, below HKEY_LOCAL_MACHINE: the
// product key (process-wide values) and the current profile's key (per-profile values).
// Each call builds the key path, opens the key, does one value and closes the key again;
// nothing is cached. Called on the user-interface thread only.
//
// Reads succeed only for a value of the right type (REG_DWORD; REG_SZ of at most 1023
// characters); anything else - missing key, missing value, wrong type, over-long text - leaves
// the default in the target and returns false. Writes create the key when missing, set the
// value, flush the key and report success; a failed write changes nothing else.

#include <QString>

#include "platform/wintypes.h"

// "Software\Tarvish\Pinewood Browser\<profile>", with "Default" for an empty name.
QString ProfileKeyPath(const QString& strProfile);
// The key of the current profile (settings.CurrentProfile).
QString CurrentProfileKeyPath();

bool ReadProfileDword(const QString& strName, DWORD dwDefault, DWORD* pdwValue);
bool ReadProfileString(const QString& strName, const QString& strDefault, QString* pstrValue);
bool WriteProfileDword(const QString& strName, DWORD dwValue);
bool WriteProfileString(const QString& strName, const QString& strValue);

// As the writers, but only when the profile does not hold exactly this value already (same
// type, same data): a value that is in place was flushed by the write that put it there, so
// saving an unchanged set costs reads, not flushes.
bool UpdateProfileDword(const QString& strName, DWORD dwValue);
bool UpdateProfileString(const QString& strName, const QString& strValue);

bool ReadGlobalDword(const QString& strName, DWORD dwDefault, DWORD* pdwValue);
bool ReadGlobalString(const QString& strName, const QString& strDefault, QString* pstrValue);
bool WriteGlobalDword(const QString& strName, DWORD dwValue);
bool WriteGlobalString(const QString& strName, const QString& strValue);

// The same on any key below HKEY_LOCAL_MACHINE.
bool ReadKeyDword(const QString& strKey, const QString& strName, DWORD dwDefault, DWORD* pdwValue);
bool ReadKeyString(const QString& strKey, const QString& strName, const QString& strDefault,
                   QString* pstrValue);
bool WriteKeyDword(const QString& strKey, const QString& strName, DWORD dwValue);
bool WriteKeyString(const QString& strKey, const QString& strName, const QString& strValue);
