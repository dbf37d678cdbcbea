#include "collect/collect_tokens.h"

#include "collect/known_locations.h"
#include "registry/registry_access.h"

namespace collect {
namespace {

struct CLocationToken {
  const char* name;
  int nLocation;
};

constexpr CLocationToken kLocationTokens[] = {
    {"WINDOWS", eSpecialLoc_Windows},          {"MY_DOCS", eSpecialLoc_MyDocuments},
    {"PROG_FILES", eSpecialLoc_ProgramFiles},  {"AVANTGO_CACHE", eSpecialLoc_AvantGoDatabase},
    {"IE_CACHE", eSpecialLoc_IECache},         {"IE_HISTORY", eSpecialLoc_IEHistory},
    {"IE_COOKIES", eSpecialLoc_IECookies},     {"NETFRONT_CACHE", eSpecialLoc_NetFrontCache},
    {"OPERA_CACHE", eSpecialLoc_OperaData},    {"APPDATA", eSpecialLoc_ApplicationData},
};

bool IsRegistryToken(const QString& strToken) {
  for (const char* prefix : {"HKEY", "HKLM", "HKCU", "HKCR", "HKU\\"})
    if (strToken.startsWith(QLatin1String(prefix))) return true;
  return false;
}

QString RegistryValue(const QString& strToken) {
  HKEY root = 0;
  QString key, name, value;
  if (ParseRegistryPath(strToken, &root, &key, &name) && root != 0)
    ReadString(root, key, name, &value);
  return value;
}

QString TokenValue(const QString& strToken, const CStorageCards& cards) {
  if (IsRegistryToken(strToken)) return RegistryValue(strToken);
  for (const CLocationToken& token : kLocationTokens)
    if (strToken.compare(QLatin1String(token.name), Qt::CaseInsensitive) == 0)
      return GetSpecialLocation(token.nLocation);
  if (strToken.size() == 5 && strToken.startsWith(QLatin1String("CARD"), Qt::CaseInsensitive)) {
    const int n = strToken[4].digitValue();
    if (n >= 1 && n <= 4) return cards.CardOfNumber(n);
  }
  return QString();
}

}  // namespace

bool CCollectTokens::ExpandToken(const QString& strToken, QString* pstrValue) {
  *pstrValue = TokenValue(strToken, cards_);
  return !pstrValue->isEmpty();
}

}  // namespace collect
