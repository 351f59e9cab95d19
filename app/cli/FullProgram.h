#pragma once
// presenze-cli runs the folder commands itself and hands the others (those
// that draw or talk to the chain's server) to presenze-cli-full, built from
// the same sources with the drawing and the store, by replacing itself with
// it on the same arguments: the person at the terminal, the scripts and the
// tests see one program. presenze-cli-full is $PRESENZE_CLI_FULL, else the
// one beside the running program.

namespace presenze {

// Goes on as presenze-cli-full with the same arguments; returns the exit
// status only when it cannot be started, after saying why on stderr.
int handToFullProgram(int argc, char** argv);

} // namespace presenze
