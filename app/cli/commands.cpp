#include "app/cli/commands.h"

namespace cli {

// Each command lives in its own file (command_<word>.cpp) and is listed here once it exists.
const std::vector<CCommand>& Commands() {
  static const std::vector<CCommand> commands = {
  };
  return commands;
}

}  // namespace cli
