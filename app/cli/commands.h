#pragma once
// The table of pinbro-cli commands. A command word may have sub-words ("reg get"); the table
// holds the first word and each handler reads its own sub-words from ctx.args.

#include <QString>
#include <vector>

#include "app/cli/cli_context.h"

class CListPanel;

namespace cli {

using CommandHandler = int (*)(CCliContext& ctx);

struct CCommand {
  const char* word;     // "ls", "reg", "settings", ...
  const char* usage;    // one or more usage lines for --help
  const char* summary;  // one line saying what it does
  CommandHandler run;
};

// Every command that exists, in the order --help lists them.
const std::vector<CCommand>& Commands();

// The handlers, each in its own file (command_<word>.cpp).
int RunLsCommand(CCliContext& ctx);        // command_ls.cpp
int RunRegCommand(CCliContext& ctx);       // command_reg.cpp
int RunSettingsCommand(CCliContext& ctx);  // command_settings.cpp
int RunProfileCommand(CCliContext& ctx);   // command_profile.cpp
int RunMkdirCommand(CCliContext& ctx);     // command_naming.cpp
int RunRenameCommand(CCliContext& ctx);    // command_naming.cpp
int RunShortcutCommand(CCliContext& ctx);  // command_naming.cpp
int RunCopyCommand(CCliContext& ctx);      // command_copy.cpp
int RunMoveCommand(CCliContext& ctx);      // command_copy.cpp
int RunShredCommand(CCliContext& ctx);     // command_shred.cpp
int RunDeleteCommand(CCliContext& ctx);    // command_delete.cpp
int RunBinCommand(CCliContext& ctx);       // command_bin.cpp
int RunEncryptCommand(CCliContext& ctx);   // command_crypt.cpp
int RunDecryptCommand(CCliContext& ctx);   // command_crypt.cpp
int RunZipCommand(CCliContext& ctx);       // command_zip.cpp
int RunSearchCommand(CCliContext& ctx);    // command_search.cpp
int RunInfoCommand(CCliContext& ctx);      // command_info.cpp

// One row of a listing as `ls` prints it: the cells separated by tabs, and for a row of the
// recycle bin the item's own name in the bin as the last cell (command_ls.cpp).
QString ListingRowText(const CListPanel& panel, int nRow);
// A text with its control characters escaped, as `ls -b` writes them: "\n" and "\t", and
// "\ooo" (octal) for each UTF-8 byte of any other (C0, DEL and C1), so that a name can neither
// break a line nor forge a cell. Backslashes, the device's separator, stay as they are.
QString EscapedCell(const QString& strCell);

}  // namespace cli
