#pragma once
// The special locations behind the placeholders: folders whose place differs from device to
// device, found through the shell's special folders and through the registry values other
// programs leave (registry reads under HKEY_CURRENT_USER). The host's mapping of each is in
// docs/host.md.

#include <QString>

namespace collect {

// Ids of the special locations.
enum ESpecialLocation : int {
  eSpecLoc_Windows = 1,          // the system folder: the program's own folder on the desktop
  eSpecLoc_MyDocuments = 2,
  eSpecLoc_ProgramFiles = 3,
  eSpecLoc_StartMenu = 4,
  eSpecLoc_Programs = 5,
  eSpecLoc_Startup = 6,
  eSpecLoc_AvantGoDatabase = 7,
  eSpecLoc_IECache = 8,
  eSpecLoc_IEHistory = 9,
  eSpecLoc_IECookies = 10,
  eSpecLoc_NetFrontCache = 11,
  eSpecLoc_MailAttachments = 12,
  eSpecLoc_None = 13,            // always empty
  eSpecLoc_OperaData = 14,
  eSpecLoc_JournalBarCache = 15,
  eSpecLoc_ApplicationData = 16,
};

// The device path of a special location; empty when it does not exist as a folder, and for
// ids outside 1 to 16.
QString GetSpecialLocation(int nId);

}  // namespace collect
