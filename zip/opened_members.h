#pragma once
// The folder where members of archives are extracted before the desktop's application opens
// them, and its clean-up.

#include <QString>
#include <QtGlobal>

namespace zip {

// "\Temp\Pinewood Browser\<archive name>".
QString OpenedMembersFolder(const QString& strArchive);

// Removes the folders of opened members that nothing was extracted into for uMaxAgeSeconds
// (an application may still have a recent one open, and a user may have changed it there).
// Returns how many folders were removed.
int RemoveStaleOpenedMembers(quint64 uMaxAgeSeconds);

// A day: what the desktop program leaves in place when it starts.
constexpr quint64 kOpenedMembersKeptSeconds = 24 * 60 * 60;

}  // namespace zip
