#include "app/cli/commands.h"

namespace cli {

// Each command lives in its own file (command_<word>.cpp) and is listed here once it exists.
const std::vector<CCommand>& Commands() {
  static const std::vector<CCommand> commands = {
      {"ls", "ls [PATH] [--sort name|size|date|attr|type] [--desc]", "list a folder, a folder inside a zip archive (A.zip\\docs), a registry key (HKLM\\Software), the registry roots (:reg) or the recycle bin (:bin) as the list panel shows it", &RunLsCommand},
      {"copy", "copy SRC... DEST", "copy files and folders into the folder DEST", &RunCopyCommand},
      {"move", "move SRC... DEST", "move files and folders into the folder DEST (copy, then delete each source)", &RunMoveCommand},
      {"delete", "delete PATH...", "the Delete command: move files and folders to the recycle bin, or delete them for good when UseRecycleBin is 0", &RunDeleteCommand},
      {"bin", "bin restore NAME... | bin purge NAME...", "restore items of the recycle bin, or delete them for good; NAME is the item's name in the bin (last column of ls :bin) or its original name where unique", &RunBinCommand},
      {"shred", "shred PATH...", "overwrite files and folders with the configured passes, then delete them", &RunShredCommand},
      {"encrypt", "encrypt FILE... [--keep]", "encrypt files (and the files in folders) into .enc files with one password; the sources are deleted unless --keep", &RunEncryptCommand},
      {"decrypt", "decrypt FILE... [--keep]", "decrypt .enc files (and the .enc files in folders) with one password; the sources are deleted unless --keep", &RunDecryptCommand},
      {"zip", "zip create ARCHIVE ITEM... [--level 8|6|4|3|2|1] | zip extract ARCHIVE DEST [ENTRY...] | zip test ARCHIVE", "compress files and folders into a new zip archive; extract all or the named entries into the folder DEST; test every entry of an archive", &RunZipCommand},
      {"mkdir", "mkdir FOLDER", "create a new folder inside FOLDER with a unique name; prints its name", &RunMkdirCommand},
      {"rename", "rename OLD NEW", "rename a file or folder; NEW is the new name", &RunRenameCommand},
      {"shortcut", "shortcut TARGET FOLDER", "paste a shortcut to TARGET into FOLDER; prints the shortcut's name", &RunShortcutCommand},
      {"settings", "settings get NAME | settings set NAME VALUE", "read or change a per-profile option of the current profile", &RunSettingsCommand},
      {"profile", "profile list | add NAME [DETAILS] | switch NAME | delete NAME", "list, add, activate or delete profiles", &RunProfileCommand},
      {"reg", "reg get PATH\\VALUE | set PATH\\VALUE --dword N|--string S|--multi S... | new-key PATH | delete-key PATH | delete-value PATH\\VALUE | export PATH FILE [--regedit4] | import FILE", "read and edit registry values and keys, registry files in and out", &RunRegCommand},
      {"search", "search TEXT", "the search bar's search: every file of the device matching the patterns of TEXT (\"*.tmp;-~*\": pieces end at \";\", else at \",\"; \"-\" excludes), one path per line", &RunSearchCommand},
      {"info", "info", "the device storage totals: memory, store, ROM files, storage cards, total; one figure per line", &RunInfoCommand},
  };
  return commands;
}

}  // namespace cli
