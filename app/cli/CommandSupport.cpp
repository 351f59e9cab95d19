#include "CommandSupport.h"

#include "ConsoleInteraction.h"
#include "common/Station.h"
#include "data/ProtectedFiles.h"

#include <iostream>

namespace presenze {
namespace {

// The data folder of the command, for its Access copies.
std::filesystem::path commandDataDir(const CommandRequest& request)
{
    switch (request.command) {
    case Command::Report:
        return dataDirOf(request.report);
    case Command::Kpi:
        return dataDirOf(request.kpi);
    case Command::Istat:
        return dataDirOf(request.istat);
    case Command::Sync:
        return dataDirOf(request.sync);
    default:
        return dataDirOf(request.output);
    }
}

bool readsDataFiles(Command command)
{
    return command == Command::Report || command == Command::Kpi || command == Command::Print ||
           command == Command::Istat || command == Command::Sync;
}

} // namespace

int usageError(const std::string& message, const std::string& command)
{
    std::cerr << "presenze-cli: " << message << "\n";
    if (command.empty())
        std::cerr << "Usare \"presenze-cli --help\" per l'elenco dei comandi.\n";
    else
        std::cerr << "Usare \"presenze-cli " << command
                  << " --help\" per l'elenco delle opzioni.\n";
    return 2;
}

int showText(const CommandLine& line)
{
    if (line.status != 0)
        return usageError(line.text, line.command);
    std::cout << line.text;
    return 0;
}

int runGuarded(const std::function<int()>& command)
{
    try {
        return command();
    } catch (const DataError& e) {
        printError(e.what());
        return 1;
    } catch (const std::exception& e) {
        // Never the library's English text.
        printError("presenze-cli: " + unexpectedErrorText(e));
        return 1;
    }
}

DataFolder existingFolder(const std::filesystem::path& dir)
{
    DataFolder folder(dir);
    if (!std::filesystem::is_directory(folder.dir()))
        throw DataError("Cartella dei dati non trovata: " + displayName(folder.dir()));
    folder.setWaitNotice(consoleWaitNotice());
    return folder;
}

OutputPlace outputPlace(const std::optional<std::string>& station, DataFolder folder)
{
    const std::string tag = station ? *station : stationTagFromEnvironment();
    checkStationTag(tag);
    return {tag, std::move(folder)};
}

void openAccessCopies(const CommandRequest& request, std::optional<RunCacheFolder>& cache)
{
    if (!readsDataFiles(request.command))
        return;
    cache.emplace(commandDataDir(request));
    if (!cache->warning().empty())
        printError("Avviso: " + cache->warning());
}

std::optional<std::filesystem::path> userOutput(const std::optional<std::string>& name,
                                                const DataFolder& folder)
{
    if (!name)
        return std::nullopt;
    const std::filesystem::path file = std::filesystem::absolute(*name);
    checkUserOutput(file, folder);
    return file;
}

void WarningsShown::operator()(std::string_view text)
{
    if (++m_count <= kShown)
        printError("Avviso: " + std::string(text));
}

void WarningsShown::finish() const
{
    if (m_count > kShown)
        printError("Avviso: ... e altre " + std::to_string(m_count - kShown) + " righe.");
}

void writeNamed(const std::optional<std::filesystem::path>& file,
                const std::function<void(const std::filesystem::path&)>& write)
{
    if (!file)
        return;
    write(*file);
    std::cout << file->string() << "\n";
}

bool drawNamed(const std::optional<std::filesystem::path>& file,
               const std::function<std::optional<std::string>(const std::filesystem::path&)>& draw)
{
    if (!file)
        return true;
    if (const auto problem = draw(*file)) {
        printError(*problem);
        return false;
    }
    std::cout << file->string() << "\n";
    return true;
}

} // namespace presenze
