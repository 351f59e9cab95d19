#include "output/MailDispatch.h"

#include "common/ReportFile.h"
#include "data/AtomicFile.h"
#include "data/Text1252.h"

#include <unistd.h>

namespace presenze {
namespace fs = std::filesystem;
namespace {

bool isProgram(const fs::path& path)
{
    std::error_code ec;
    return fs::is_regular_file(path, ec) && ::access(path.c_str(), X_OK) == 0;
}

std::optional<fs::path> onPath(const fs::path& name, const EnvironmentLookup& env)
{
    if (name.has_parent_path())
        return isProgram(name) ? std::optional<fs::path>(name) : std::nullopt;
    const std::string path = cp1252ToUtf8(env ? env("PATH").value_or("") : std::string());
    if (path.empty())
        return std::nullopt;
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t colon = std::min(path.find(':', start), path.size());
        const fs::path dir = colon > start ? fs::path(path.substr(start, colon - start)) : ".";
        if (isProgram(dir / name))
            return dir / name;
        start = colon + 1;
    }
    return std::nullopt;
}

} // namespace

std::string mailFileName(std::string_view stationTag)
{
    return "e-mail" + std::string(stationTag) + ".txt";
}

fs::path writeMailFile(const DataFolder& folder, std::string_view stationTag, std::string_view text)
{
    std::string content = "OGGETTO";
    content += kLineEnd;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r'))
            content += '\r';
        content += text[i];
    }
    content += kLineEnd;
    const fs::path target = folder.target(mailFileName(stationTag));
    writeFileAtomically(target, content);
    return target;
}

std::optional<fs::path> findMailProgram(const EnvironmentLookup& env)
{
    if (env) {
        if (auto chosen = env(kMailProgramVariable); chosen && !trimBlanks(*chosen).empty())
            return onPath(fs::path(cp1252ToUtf8(trimBlanks(*chosen))), env);
    }
    return onPath(fs::path(std::string(kMailProgram)), env);
}

std::optional<MailCommand> mailCommand(const fs::path& messageFile, const EnvironmentLookup& env)
{
    std::error_code ec;
    fs::path file = fs::absolute(messageFile, ec);
    if (ec)
        file = messageFile;
    if (auto program = findMailProgram(env))
        return MailCommand{*program, {file.string()}};
    if (auto desktop = onPath(fs::path(std::string(kDesktopMail)), env))
        return MailCommand{*desktop, {"--attach", file.string()}};
    return std::nullopt;
}

} // namespace presenze
