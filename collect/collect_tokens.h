#pragma once
// The tokens of the collection engine's folders:
//   HKEY..., HKLM..., HKCU..., HKCR..., HKU\...  a string value: the token is the value's full
//                       registry path ("HKLM\Software\Foo\Path" is the value Path of the key
//                       HKEY_LOCAL_MACHINE\Software\Foo); REG_SZ values only
//   WINDOWS, MY_DOCS, PROG_FILES, AVANTGO_CACHE, IE_CACHE, IE_HISTORY, IE_COOKIES,
//   NETFRONT_CACHE, OPERA_CACHE, APPDATA       a special location (collect/known_locations.h)
//   CARD1 ... CARD4     the bare name of a storage card (rules write "\%CARD1%\...")
// Names other than registry paths compare without regard to case. A token whose value comes
// out empty fails, and so makes the whole folder text empty.

#include "collect/placeholders.h"
#include "collect/storage_cards.h"

namespace collect {

class CCollectTokens : public IPlaceholderExpander {
 public:
  // The card tokens are read from cards, which must outlive this object.
  explicit CCollectTokens(const CStorageCards& cards) : cards_(cards) {}
  bool ExpandToken(const QString& strToken, QString* pstrValue) override;

 private:
  const CStorageCards& cards_;
};

}  // namespace collect
