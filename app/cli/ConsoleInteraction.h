#pragma once
// The command line's side of the core's questions: its options answer them
// beforehand (Type 2's presences or arrivals is the selection's day count),
// so nothing is asked; warnings go to stderr.

#include "common/Interaction.h"
#include "data/DataFolder.h"

namespace presenze {

class ConsoleInteraction final : public Interaction {
public:
    // Takes the first answer (Yes) of a question no option settles.
    int ask(std::string_view title, std::string_view text, bool withCancel) override;
    void warn(std::string_view title, std::string_view text) override;
};

// Writes a Windows-1252 text as UTF-8 on stderr, with a line end.
void printError(std::string_view cp1252);

// Says on stderr, once a wait, that a read waits for a data file to be
// still; the command line does not cancel it (Ctrl-C ends the program).
WaitNotice consoleWaitNotice();

} // namespace presenze
