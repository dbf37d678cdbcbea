#pragma once
// The names in a host folder as a test sees them: every entry, hidden ones included, without
// "." and "..", sorted by name.

#include <QDir>
#include <QStringList>

namespace test {

inline QStringList HostListing(const QString& strHostFolder) {
  return QDir(strHostFolder)
      .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Name);
}

}  // namespace test
