#include "output/Handover.h"

#include "data/SystemErrors.h"
#include "data/Text1252.h"

#include <cerrno>

namespace presenze {
namespace fs = std::filesystem;
namespace {

// The exit statuses the desktop's xdg tools document.
std::string xdgStatusText(int code)
{
    switch (code) {
    case 1:
        return "argomenti non validi";
    case 2:
        return "il file non si trova";
    case 3:
        return "manca un programma necessario";
    case 4:
        return "l'azione non \xE8 riuscita";
    default:
        return {};
    }
}

} // namespace

Handover handOver(const fs::path& program, const std::vector<std::string>& args,
                  const fs::path& workdir, std::chrono::milliseconds wait)
{
    Handover handover;
    handover.program = utf8ToCp1252(program.filename().string());
    handover.waited = wait;
    handover.outcome = startWatched(program, args, workdir, wait);
    return handover;
}

Handover openWithDesktop(const fs::path& file, std::chrono::milliseconds wait)
{
    std::error_code ec;
    const fs::path absolute = fs::absolute(file, ec);
    const fs::path shown = ec ? file : absolute;
    return handOver(fs::path(std::string(kDesktopOpener)), {shown.string()}, shown.parent_path(),
                    wait);
}

std::string handoverTrouble(const Handover& handover)
{
    if (!handover.outcome || handover.outcome->succeeded())
        return {};
    const ChildOutcome& outcome = *handover.outcome;
    const std::string& program = handover.program;
    switch (outcome.end) {
    case ChildOutcome::End::NotStarted:
        if (outcome.code == ENOENT)
            return program + " non \xE8 installato";
        return program + " non si avvia: " + systemErrorText(outcome.code);
    case ChildOutcome::End::Signalled:
        return program + " si \xE8 interrotto (segnale " + std::to_string(outcome.code) + ")";
    case ChildOutcome::End::TimedOut:
        return program + " non ha finito in tempo";
    case ChildOutcome::End::Exited:
        break;
    }
    std::string text = program + " \xE8 terminato con il codice " + std::to_string(outcome.code);
    const std::string meaning = program.rfind("xdg-", 0) == 0 ? xdgStatusText(outcome.code) : "";
    if (!meaning.empty())
        text += " (" + meaning + ")";
    return text;
}

} // namespace presenze
