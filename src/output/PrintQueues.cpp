#include "output/PrintQueues.h"

#include "common/ReportFile.h"
#include "data/AtomicFile.h"
#include "data/ChildProcess.h"
#include "data/DataError.h"
#include "data/Text1252.h"
#include "data/TextLines.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <unistd.h>

namespace presenze {
namespace {

using namespace std::chrono_literals;

// A print system that does not answer must not hold the caller: lpstat is
// asked what is there, lp hands over one job.
constexpr auto kListLimit = 15s;
constexpr auto kSendLimit = 60s;

// What lpstat says: its messages are parsed, so they must not be translated.
ChildOutcome askLpstat(const std::string& option)
{
    return runChild(
        "lpstat", {option},
        {.limit = kListLimit, .captureOutput = true, .environment = {"LC_ALL=C", "LANG=C"}});
}

std::string firstLine(std::string_view text)
{
    const auto lines = splitLines(text);
    return lines.empty() ? std::string() : std::string(trimBlanks(lines.front()));
}

// A private copy of the job's bytes for lp, removed when done.
class JobFile {
public:
    explicit JobFile(std::string_view bytes)
    {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "presenze-job-XXXXXX").string();
        const int fd = ::mkstemp(pattern.data());
        if (fd < 0)
            throw DataError("Impossibile creare il file temporaneo di stampa");
        ::close(fd);
        m_path = pattern;
        writeFileAtomically(m_path, bytes, FileAccess::Private);
    }
    ~JobFile()
    {
        std::error_code ec;
        std::filesystem::remove(m_path, ec);
    }
    JobFile(const JobFile&) = delete;
    JobFile& operator=(const JobFile&) = delete;

    std::string path() const { return m_path.string(); }

private:
    std::filesystem::path m_path;
};

} // namespace

std::vector<std::string> listPrintQueues()
{
    std::vector<std::string> queues;
    const ChildOutcome r = askLpstat("-e");
    if (!r.succeeded())
        return queues;
    for (const auto& line : splitLines(r.output)) {
        const auto name = trimBlanks(line);
        if (!name.empty())
            queues.push_back(utf8ToCp1252(name));
    }
    return queues;
}

std::optional<std::string> defaultPrintQueue()
{
    const ChildOutcome r = askLpstat("-d");
    if (!r.succeeded())
        return std::nullopt;
    // "system default destination: NAME" or "no system default destination"
    const std::string line = firstLine(r.output);
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

void sendToPrintQueue(std::string_view queue, std::string_view bytes,
                      const std::vector<std::string>& options, std::string_view title)
{
    const JobFile job(bytes);
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
    args.push_back(job.path());
    const ChildOutcome r = runChild("lp", args, {.limit = kSendLimit, .captureOutput = true});
    const std::string where = queue.empty() ? std::string("la stampante predefinita")
                                            : "la coda di stampa \"" + std::string(queue) + "\"";
    switch (r.end) {
    case ChildOutcome::End::NotStarted:
        throw DataError("Impossibile avviare il programma di stampa lp per " + where + " (" +
                        utf8ToCp1252(std::strerror(r.code)) + ")");
    case ChildOutcome::End::TimedOut:
        throw DataError("Il sistema di stampa non ha risposto entro " +
                        std::to_string(std::chrono::seconds(kSendLimit).count()) + " secondi per " +
                        where);
    case ChildOutcome::End::Signalled:
    case ChildOutcome::End::Exited:
        break;
    }
    if (!r.succeeded()) {
        const std::string reason =
            utf8ToCp1252(firstLine(r.errorOutput.empty() ? r.output : r.errorOutput));
        throw DataError("Stampa rifiutata dal sistema di stampa per " + where +
                        (reason.empty() ? std::string() : ": " + reason));
    }
}

} // namespace presenze
