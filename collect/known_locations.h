#pragma once
// The special locations behind the placeholders: folders whose place differs from device to
// device, found through the shell's special folders and through the registry values other
// programs leave (registry reads under HKEY_CURRENT_USER). The host's mapping of each is in
// docs/host.md.

#include <QString>

namespace collect {

// Ids of the special locations.
enum ESpecialLocation : int {
  eSpecialLoc_Windows = 1,          // the system folder: the program's own folder on the desktop
  eSpecialLoc_MyDocuments = 2,
  eSpecialLoc_ProgramFiles = 3,
  eSpecialLoc_StartMenu = 4,
  eSpecialLoc_Programs = 5,
  eSpecialLoc_Startup = 6,
  eSpecialLoc_AvantGoDatabase = 7,
  eSpecialLoc_IECache = 8,
  eSpecialLoc_IEHistory = 9,
  eSpecialLoc_IECookies = 10,
  eSpecialLoc_NetFrontCache = 11,
  eSpecialLoc_MailAttachments = 12,
  eSpecialLoc_None = 13,            // always empty
  eSpecialLoc_OperaData = 14,
  eSpecialLoc_JournalBarCache = 15,
  eSpecialLoc_ApplicationData = 16,
};

// The device path of a special location; empty when it does not exist as a folder, and for
// ids outside 1 to 16.
QString GetSpecialLocation(int nId);

}  // namespace collect
