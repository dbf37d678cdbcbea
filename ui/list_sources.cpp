#include "ui/list_sources.h"

#include "browse/folder_tree_model.h"
#include "collect/search_results.h"
#include "fileops/list_source_bin.h"
#include "registry/registry_view_source.h"
#include "ui/frame_commands.h"
#include "ui/registry_dialogs.h"
#include "zip/list_source_zip.h"

void RegisterDesktopListSources() {
  browse::RegisterRecycleBinListSource();
  RegisterRegistryListSource();
  InstallDesktopRegistryDialogs();
  zip::RegisterZipListSource();
  CFolderTreeModel::SetDefaultArchiveFolders(&zip::ArchiveFolders);
  collect::RegisterSearchListSource();
}

int CommandOfListCommand(EListCommand command) {
  switch (command) {
    case EListCommand::eSeparator:
      return 0;
    case EListCommand::eOpen:
      return eCmd_Open;
    case EListCommand::eCut:
      return eCmd_Cut;
    case EListCommand::eCopy:
      return eCmd_Copy;
    case EListCommand::ePaste:
      return eCmd_Paste;
    case EListCommand::ePasteShortcut:
      return eCmd_PasteShortcut;
    case EListCommand::eCopyToOther:
      return eCmd_CopyToOther;
    case EListCommand::eMoveToOther:
      return eCmd_MoveToOther;
    case EListCommand::eDelete:
      return eCmd_Delete;
    case EListCommand::eShred:
      return eCmd_Shred;
    case EListCommand::eEncrypt:
      return eCmd_Encrypt;
    case EListCommand::eDecrypt:
      return eCmd_Decrypt;
    case EListCommand::eRename:
      return eCmd_Rename;
    case EListCommand::eNewFolder:
      return eCmd_NewFolder;
    case EListCommand::eSelectAll:
      return eCmd_SelectAll;
    case EListCommand::eRefresh:
      return eCmd_Refresh;
    case EListCommand::eRestore:
      return eCmd_Restore;
    case EListCommand::eDeleteForGood:
      return eCmd_DeleteForGood;
    case EListCommand::eProperties:
      return eCmd_Properties;
    case EListCommand::eNewKey:
      return eCmd_NewKey;
    case EListCommand::eNewDwordValue:
      return eCmd_NewDwordValue;
    case EListCommand::eNewStringValue:
      return eCmd_NewStringValue;
    case EListCommand::eNewMultiStringValue:
      return eCmd_NewMultiStringValue;
    case EListCommand::eModify:
      return eCmd_Modify;
    case EListCommand::eExport:
      return eCmd_Export;
    case EListCommand::eImport:
      return eCmd_Import;
    case EListCommand::eExtractHere:
      return eCmd_ExtractHere;
    case EListCommand::eExtractTo:
      return eCmd_ExtractTo;
    case EListCommand::eTestArchive:
      return eCmd_TestArchive;
    case EListCommand::eCompress:
      return eCmd_Compress;
    case EListCommand::eOpenContainingFolder:
      return eCmd_OpenContainingFolder;
  }
  return 0;
}
