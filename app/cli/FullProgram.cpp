#include "FullProgram.h"

#include "ConsoleInteraction.h"
#include "data/ChildProcess.h"
#include "data/DataFolder.h"
#include "data/SystemErrors.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace presenze {
namespace {

constexpr const char* kFullProgram = "presenze-cli-full";

std::filesystem::path fullProgram()
{
    if (const char* named = std::getenv("PRESENZE_CLI_FULL"); named && *named)
        return named;
    return besideThisProgram(kFullProgram).value_or(kFullProgram);
}

} // namespace

int handToFullProgram(int argc, char** argv)
{
    const std::filesystem::path program = fullProgram();
    const int error = replaceProgram(program, {argv + 1, argv + argc});
    printError("presenze-cli: impossibile avviare " + displayName(program) + " (" +
               systemErrorText(error) + ")");
    return 1;
}

} // namespace presenze
