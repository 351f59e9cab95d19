#include "output/PrintQueues.h"

#include "common/ReportFile.h"
#include "data/AtomicFile.h"
#include "data/ChildProcess.h"
#include "data/DataError.h"
#include "data/SystemErrors.h"
#include "data/Text1252.h"
#include "data/TextLines.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace presenze {
namespace {

using namespace std::chrono_literals;

// What lpstat says after whether the scheduler runs ("-r": lpstat itself
// succeeds when it cannot reach one); its lines are read, so they must not be
// translated. Nullopt when the print system cannot be reached.
std::optional<std::vector<std::string>> askLpstat(const std::string& option,
                                                  std::chrono::milliseconds limit)
{
    const ChildOutcome r =
        runChild("lpstat", {"-r", option},
                 {.limit = limit, .captureOutput = true, .environment = {"LC_ALL=C", "LANG=C"}});
    if (!r.succeeded())
        return std::nullopt;
    auto lines = splitLines(r.output);
    if (lines.empty() || trimBlanks(lines.front()) != "scheduler is running")
        return std::nullopt;
    lines.erase(lines.begin());
    return lines;
}

std::string secondsText(std::chrono::milliseconds limit)
{
    const auto ms = limit.count();
    if (ms >= 1000 && ms % 1000 == 0)
        return std::to_string(ms / 1000);
    return std::to_string(ms / 1000) + "," + std::to_string(ms % 1000 / 100);
}

std::string firstLine(std::string_view text)
{
    const auto lines = splitLines(text);
    return lines.empty() ? std::string() : std::string(trimBlanks(lines.front()));
}

// lp's reason for refusing a job, in Italian.
std::string refusal(std::string_view reason)
{
    struct Known {
        std::string_view english;
        std::string_view italian;
    };
    static constexpr Known kKnown[] = {
        {"does not exist", "la coda di stampa non esiste"},
        {"not accepting jobs", "la coda di stampa non accetta lavori"},
        {"No default destination", "nessuna stampante predefinita"},
        {"Unable to connect", "il sistema di stampa non \xE8 raggiungibile"},
        {"not responding", "il sistema di stampa non risponde"},
        {"Forbidden", "stampa non consentita a questo utente"},
        {"Unauthorized", "stampa non consentita a questo utente"},
        {"Unsupported document-format", "formato del documento non accettato"},
    };
    for (const auto& known : kKnown) {
        if (reason.find(known.english) != std::string_view::npos)
            return std::string(known.italian);
    }
    if (reason.empty())
        return "nessun motivo indicato";
    return "risposta del programma lp: \"" + utf8ToCp1252(reason) + "\"";
}

} // namespace

std::optional<std::vector<std::string>> listPrintQueues(std::chrono::milliseconds limit)
{
    const auto lines = askLpstat("-e", limit);
    if (!lines)
        return std::nullopt;
    std::vector<std::string> queues;
    for (const auto& line : *lines) {
        const auto name = trimBlanks(line);
        if (!name.empty())
            queues.push_back(utf8ToCp1252(name));
    }
    return queues;
}

std::optional<std::string> defaultPrintQueue(std::chrono::milliseconds limit)
{
    const auto lines = askLpstat("-d", limit);
    if (!lines || lines->empty())
        return std::nullopt;
    // "system default destination: NAME" or "no system default destination"
    const std::string line(trimBlanks(lines->front()));
    const std::string_view prefix = "system default destination:";
    if (line.rfind(prefix, 0) != 0)
        return std::nullopt;
    const auto name = trimBlanks(std::string_view(line).substr(prefix.size()));
    if (name.empty())
        return std::nullopt;
    return utf8ToCp1252(name);
}

std::optional<std::string> findPrintQueue(const std::vector<std::string>& queues,
                                          std::string_view name)
{
    for (const auto& queue : queues) {
        if (equalText(queue, name))
            return queue;
    }
    return std::nullopt;
}

void sendToPrintQueue(std::string_view queue, const std::filesystem::path& file,
                      const std::vector<std::string>& options, std::string_view title,
                      std::chrono::milliseconds limit)
{
    std::vector<std::string> args;
    if (!queue.empty()) {
        args.push_back("-d");
        args.push_back(cp1252ToUtf8(queue));
    }
    for (const auto& option : options) {
        args.push_back("-o");
        args.push_back(option);
    }
    if (!title.empty()) {
        args.push_back("-t");
        args.push_back(cp1252ToUtf8(title));
    }
    args.push_back(file.string());
    // lp's own messages are read back: untranslated, whatever the locale.
    const ChildOutcome r = runChild(
        "lp", args, {.limit = limit, .captureOutput = true, .environment = {"LC_ALL=C", "LANG=C"}});
    const std::string where = queue.empty() ? std::string("la stampante predefinita")
                                            : "la coda di stampa \"" + std::string(queue) + "\"";
    switch (r.end) {
    case ChildOutcome::End::NotStarted:
        throw DataError("Impossibile avviare il programma di stampa lp per " + where + " (" +
                        systemErrorText(r.code) + ")");
    case ChildOutcome::End::TimedOut:
        throw DataError("Il sistema di stampa non ha risposto entro " + secondsText(limit) +
                        " secondi per " + where + ": niente \xE8 stato stampato");
    case ChildOutcome::End::Signalled:
    case ChildOutcome::End::Exited:
        break;
    }
    if (!r.succeeded())
        throw DataError("Stampa rifiutata dal sistema di stampa per " + where + ": " +
                        refusal(firstLine(r.errorOutput.empty() ? r.output : r.errorOutput)));
}

} // namespace presenze
