#pragma once
// The commands of presenze-cli-full alone: print (the drawing of a system
// print's pages), sync and pickup (the chain's server).

#include "cli/CommandLine.h"
#include "common/Clock.h"

namespace presenze {

int runPrint(const OutputOptions& o, const Clock& clock);
int runSync(const SyncOptions& o, const Clock& running);
int runPickup(const PickupOptions& o, const Clock& running);

} // namespace presenze
