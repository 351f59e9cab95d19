#pragma once
// Files handed to other programs: the desktop's opener for the files the
// print menu writes, the mail program for the message file. The program is
// started with startWatched and given a few seconds: only an exit status of
// 0 counts as done; one still at work then (a viewer that stays in the
// foreground) is said to be so. The texts are Italian, Windows-1252.

#include "data/ChildProcess.h"

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace presenze {

inline constexpr std::string_view kDesktopOpener = "xdg-open";
inline constexpr std::chrono::milliseconds kHandoverWait{5000};

struct Handover {
    std::string program; // the name shown
    std::chrono::milliseconds waited = kHandoverWait;
    // How it ended; nullopt while still at work when the wait ended.
    std::optional<ChildOutcome> outcome;

    bool done() const { return outcome && outcome->succeeded(); }
    bool running() const { return !outcome; }
};

// Starts `program` in `workdir` and waits up to `wait` for it.
Handover handOver(const std::filesystem::path& program, const std::vector<std::string>& args,
                  const std::filesystem::path& workdir,
                  std::chrono::milliseconds wait = kHandoverWait);

// Opens the file with the desktop's associated program (xdg-open on PATH).
Handover openWithDesktop(const std::filesystem::path& file,
                         std::chrono::milliseconds wait = kHandoverWait);

// What went wrong, for a message: "xdg-open è terminato con il codice 3
// (manca un programma necessario)", "xdg-open non è installato"... Empty
// when it is done or still at work.
std::string handoverTrouble(const Handover& handover);

} // namespace presenze
