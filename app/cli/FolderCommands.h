#pragma once
// The commands that read a data folder and write its reports: report, kpi,
// csv, istat and demo, with their workbooks and CSV files. presenze-cli runs
// them itself; a command whose options name the chain's server or a chart,
// and the commands print, sync and pickup, it hands to presenze-cli-full
// (FullProgram.h), which runs these same commands with CommandExtras of its
// own.

#include "CommandExtras.h"
#include "cli/CommandLine.h"
#include "common/Clock.h"

namespace presenze {

// True for a command that presenze-cli runs without the server or the drawing.
bool isFolderCommand(const CommandRequest& request);

// Runs a command for which isFolderCommand holds, or one of report, kpi and
// istat that `extras` answers for; the exit status.
int runFolderCommand(const CommandRequest& request, const Clock& clock,
                     const CommandExtras& extras);

} // namespace presenze
