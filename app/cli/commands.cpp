#include "app/cli/commands.h"

namespace cli {

// Each command lives in its own file (command_<word>.cpp) and is listed here once it exists.
const std::vector<CCommand>& Commands() {
  static const std::vector<CCommand> commands = {
      {"reg", "reg get PATH\\VALUE | set PATH\\VALUE --dword N|--string S|--multi S... | new-key PATH | delete-key PATH | delete-value PATH\\VALUE", "read and edit registry values and keys", [](CCliContext& ctx) { int RunRegCommand(CCliContext&); return RunRegCommand(ctx); }},
  };
  return commands;
}

}  // namespace cli
