#pragma once
// The files side of the e-mail dispatch (InviaEMail): the message file handed
// to the mail program, and finding that program. The message file is
// "e-mail" + tag + ".txt" in the data folder: the line "OGGETTO", then the
// shown text followed by a line end, in Windows-1252 with CR LF line ends.
// The mail program gets the file's path as its argument; without one, the
// desktop's own mail program gets the file as an attachment.

#include "data/DataFolder.h"
#include "output/PrintJob.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace presenze {

inline constexpr std::string_view kMailProgram = "Corvex.exe";
inline constexpr std::string_view kMailProgramVariable = "PRESENZE_MAIL";
inline constexpr std::string_view kDesktopMail = "xdg-email";

std::string mailFileName(std::string_view stationTag);

// Writes the message file (replacing an earlier one) and returns its path.
// `text` is Windows-1252; its LF line ends become CR LF.
std::filesystem::path writeMailFile(const DataFolder& folder, std::string_view stationTag,
                                    std::string_view text);

// The mail program: the one PRESENZE_MAIL names when set, else "Corvex.exe"
// found on PATH. A bare name is looked up on PATH. Nullopt when there is none.
std::optional<std::filesystem::path>
findMailProgram(const EnvironmentLookup& env = systemEnvironment);

struct MailCommand {
    std::filesystem::path program;
    std::vector<std::string> args; // UTF-8
};

// How the message file goes out: the mail program with the file's absolute
// path as its argument; without one, "xdg-email --attach FILE" when
// xdg-email is on PATH. Nullopt when there is neither.
std::optional<MailCommand> mailCommand(const std::filesystem::path& messageFile,
                                       const EnvironmentLookup& env = systemEnvironment);

} // namespace presenze
