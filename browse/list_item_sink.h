#pragma once
// The receiver of items found by a folder enumeration: each find record together with the
// folder it was found in. A list panel is one (it adds each item that passes the list's
// filters to its listing).

#include <QString>

#include "platform/wintypes.h"

class IFoundItemSink {
 public:
  virtual ~IFoundItemSink() = default;
  // One item found in strFolder (a device path). True when the sink took the item.
  virtual bool OnFoundItem(const WIN32_FIND_DATAW& data, const QString& strFolder) = 0;
};
