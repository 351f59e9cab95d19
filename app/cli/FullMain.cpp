// presenze-cli-full: every command of presenze-cli, the drawing (print,
// --chart) and the chain's server (sync, pickup, --source) included.
// presenze-cli hands it the commands it does not run itself.

#include "CommandSupport.h"
#include "FolderCommands.h"
#include "FullCommands.h"
#include "ServerAndDrawing.h"
#include "cli/CommandLine.h"
#include "data/ProcessMemory.h"

using namespace presenze;

namespace {

int run(const CommandLine& line, const Clock& clock)
{
    if (!line.request)
        return showText(line);
    const CommandRequest& request = *line.request;
    std::optional<RunCacheFolder> cache;
    switch (request.command) {
    case Command::Print:
        openAccessCopies(request, cache);
        return runPrint(request.output, clock);
    case Command::Sync:
        openAccessCopies(request, cache);
        return runSync(request.sync, clock);
    case Command::Pickup:
        return runPickup(request.pickup, clock);
    default:
        return runFolderCommand(request, clock, ServerAndDrawing());
    }
}

} // namespace

int main(int argc, char** argv)
{
    prepareHeapForReports();
    return runGuarded([argc, argv] {
        const SystemClock clock;
        return run(readCommandLine({argv + 1, argv + argc}), clock);
    });
}
