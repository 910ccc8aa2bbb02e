#include "respawn.h"

#include "format.h"
#include "messages.h"
#include "platform.h"

namespace varkel {

WideString respawnCommandLine(const LaunchContext& ctx) {
    return formatMessage(text::kRespawnCommandLine, {ctx.exeDirectory, text::kLauncher64, ctx.commandLine});
}

bool respawnIn64BitMode(const LaunchContext& ctx) { return platform::createProcess(respawnCommandLine(ctx)); }

}  // namespace varkel
