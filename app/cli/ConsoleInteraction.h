#pragma once
// The command line's answers to the core's questions: the Type 2 question
// "presences or arrivals" is answered from --arrivals, warnings go to stderr.

#include "common/Interaction.h"
#include "data/DataFolder.h"

namespace presenze {

class ConsoleInteraction final : public Interaction {
public:
    explicit ConsoleInteraction(bool arrivals) : m_arrivals(arrivals) {}

    int ask(std::string_view title, std::string_view text, bool withCancel) override;
    void warn(std::string_view title, std::string_view text) override;

private:
    bool m_arrivals;
};

// Writes a Windows-1252 text as UTF-8 on stderr, with a line end.
void printError(std::string_view cp1252);

// Says on stderr, once a wait, that a read waits for a data file to be
// still; the command line does not cancel it (Ctrl-C ends the program).
WaitNotice consoleWaitNotice();

} // namespace presenze
