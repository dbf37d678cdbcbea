#pragma once
// The list sources the desktop program shows, and the frame's command for each command a
// source can offer (browse/list_source.h).

#include "browse/list_source.h"

// Registers every feature's list sources with the factory (browse/list_source_factory.h): the
// recycle bin and the registry beside the file system, which is always there. Registering
// again changes nothing. User-interface thread.
void RegisterDesktopListSources();

// The frame's command id (ui/frame_commands.h) of a list command; 0 for eSeparator.
int CommandOfListCommand(EListCommand command);
