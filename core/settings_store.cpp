#include "core/settings_store.h"

#include "core/settings.h"
#include "registry/registry_access.h"

QString ProfileKeyPath(const QString& strProfile) {
  const QString name = strProfile.isEmpty() ? QString::fromUtf16(kDefaultProfileName) : strProfile;
  return QString::fromUtf16(kProductKey) + u'\\' + name;
}

QString CurrentProfileKeyPath() { return ProfileKeyPath(settings.CurrentProfile); }

bool ReadKeyDword(const QString& strKey, const QString& strName, DWORD dwDefault, DWORD* pdwValue) {
  DWORD dwValue = 0;
  const bool bOk = ReadDword(HKEY_LOCAL_MACHINE, strKey, strName, &dwValue);
  *pdwValue = bOk ? dwValue : dwDefault;
  return bOk;
}

bool ReadKeyString(const QString& strKey, const QString& strName, const QString& strDefault,
                   QString* pstrValue) {
  QString value;
  const bool bOk = ReadString(HKEY_LOCAL_MACHINE, strKey, strName, &value);
  *pstrValue = bOk ? value : strDefault;
  return bOk;
}

bool WriteKeyDword(const QString& strKey, const QString& strName, DWORD dwValue) {
  return WriteDword(HKEY_LOCAL_MACHINE, strKey, strName, dwValue);
}

bool WriteKeyString(const QString& strKey, const QString& strName, const QString& strValue) {
  return WriteString(HKEY_LOCAL_MACHINE, strKey, strName, strValue);
}

bool ReadProfileDword(const QString& strName, DWORD dwDefault, DWORD* pdwValue) {
  return ReadKeyDword(CurrentProfileKeyPath(), strName, dwDefault, pdwValue);
}
bool ReadProfileString(const QString& strName, const QString& strDefault, QString* pstrValue) {
  return ReadKeyString(CurrentProfileKeyPath(), strName, strDefault, pstrValue);
}
bool WriteProfileDword(const QString& strName, DWORD dwValue) {
  return WriteKeyDword(CurrentProfileKeyPath(), strName, dwValue);
}
bool WriteProfileString(const QString& strName, const QString& strValue) {
  return WriteKeyString(CurrentProfileKeyPath(), strName, strValue);
}

bool UpdateProfileDword(const QString& strName, DWORD dwValue) {
  DWORD dwStored = 0;
  if (ReadProfileDword(strName, 0, &dwStored) && dwStored == dwValue) return true;
  return WriteProfileDword(strName, dwValue);
}
bool UpdateProfileString(const QString& strName, const QString& strValue) {
  QString stored;
  if (ReadProfileString(strName, QString(), &stored) && stored == strValue) return true;
  return WriteProfileString(strName, strValue);
}

bool ReadGlobalDword(const QString& strName, DWORD dwDefault, DWORD* pdwValue) {
  return ReadKeyDword(QString::fromUtf16(kProductKey), strName, dwDefault, pdwValue);
}
bool ReadGlobalString(const QString& strName, const QString& strDefault, QString* pstrValue) {
  return ReadKeyString(QString::fromUtf16(kProductKey), strName, strDefault, pstrValue);
}
bool WriteGlobalDword(const QString& strName, DWORD dwValue) {
  return WriteKeyDword(QString::fromUtf16(kProductKey), strName, dwValue);
}
bool WriteGlobalString(const QString& strName, const QString& strValue) {
  return WriteKeyString(QString::fromUtf16(kProductKey), strName, strValue);
}
