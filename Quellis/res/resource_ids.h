// Resource ids that the module's code and its resource script share.
#pragma once

// The Windows 11 menu command's icon, named to Explorer as "<module>,-<id>":
// such a reference needs a numeric id.
#define VARKEL_COMMAND_ICON 101
